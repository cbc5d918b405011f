// One simulated mouse behind one cable command interface, installed as the
// HID stack, with a driver ready to open it and a clock that only pretends to
// wait. Test fixtures derive from it, so it is built before their own members
// and outlives them.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "device/usb_driver.h"
#include "sim/sim_clock.h"
#include "sim/sim_mouse.h"
#include "support/installed_backend.h"
#include "support/recording_sink.h"

class CableDriverFixture {
public:
    static inline const std::u16string kPath =
        u"\\\\?\\hid#vid_093a&pid_622c&mi_01#7&2a3b4c5d&0&0000#{4d1e55b2}";

    CableDriverFixture()
        : mouse(std::make_shared<SimMouse>()),
          iface(std::make_shared<SimMouseInterface>(SimMouseInterface::CommandInterface(kPath, 0x622C, u"7&2a3b4c5d"),
                                                    mouse, SimDeviceInfo{}, SimLinkInfo{})) {
        backend.Plug(iface);
    }

    // Opens the driver on the interface; the log then starts empty.
    bool Open() {
        if (!driver.Open(kPath, REPORT_ID_MOUSE, 8, &sink)) return false;
        backend.ClearLog();
        return true;
    }

    // Bytes 1 to 6 of every feature report set since the log was cleared.
    std::vector<std::vector<uint8_t>> Commands() const {
        std::vector<std::vector<uint8_t>> out;
        for (const SimReport& r : backend.Log())
            if (r.kind == SimReport::Kind::SetFeature) out.emplace_back(r.bytes.begin() + 1, r.bytes.begin() + 7);
        return out;
    }

    ScopedSimClock clock;
    SimHidBackend backend;
    InstalledBackend installed{backend};
    RecordingSink sink;
    std::shared_ptr<SimMouse> mouse;
    std::shared_ptr<SimMouseInterface> iface;
    CUSBDriver driver;
};
