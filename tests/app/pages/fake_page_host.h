// The main window as a page made without it sees it: a driver of the test's
// choosing, no connection, and the hover tips the page asked for.
#pragma once

#include <cstdint>
#include <vector>

#include "app/pages/page_host.h"

class FakePageHost final : public PageHost {
public:
    CUSBDriver* Driver() override { return driver; }
    bool LinkOpen() override { return false; }
    void Connect(const DeviceEntry&, uint8_t) override {}
    void ShowPreviousPage() override {}
    void ShowHoverTip(int tip) override { tips.push_back(tip); }

    CUSBDriver* driver = nullptr;
    std::vector<int> tips;
};
