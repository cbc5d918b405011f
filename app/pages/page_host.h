// What a page of the main window may ask of the window that holds it. The
// pages reach the window through this alone, so that a test can make a page
// without a main window and hand it a host of its own.
#pragma once

#include <cstdint>

class CUSBDriver;
struct DeviceEntry;

class PageHost {
public:
    virtual ~PageHost() = default;

    // The transport a page's commands go through: null until the window's
    // start-up has ended, and a page then sends nothing.
    virtual CUSBDriver* Driver() = 0;
    // Whether the window holds a connection the user picked.
    virtual bool LinkOpen() = 0;
    // Connects to g_currentDevicePath, which is entry's path number
    // `connection`, and reads the mouse (the device picker's tile click).
    virtual void Connect(const DeviceEntry& entry, uint8_t connection) = 0;
    // Back to the page shown before the current one.
    virtual void ShowPreviousPage() = 0;
    // The pointer is over a control that has hover tip number `tip`.
    virtual void ShowHoverTip(int tip) = 0;
};
