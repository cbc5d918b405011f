// A simulated mouse behind one cable command interface, with a driver open on
// it: for tests of code that sends commands through CUSBDriver and checks what
// reached the wire and what the mouse then holds.
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

struct ConnectedSimMouse {
    static constexpr const char16_t* kPath = u"\\\\?\\hid#vid_093a&pid_622c&mi_01#7&2a3b4c5d&0&0000#{4d1e55b2}";

    ConnectedSimMouse()
        : mouse(std::make_shared<SimMouse>()),
          iface(std::make_shared<SimMouseInterface>(SimMouseInterface::CommandInterface(kPath, 0x622C, u"7&2a3b4c5d"),
                                                    mouse, SimDeviceInfo{}, SimLinkInfo{})) {
        backend.Plug(iface);
        opened = driver.Open(kPath, REPORT_ID_MOUSE, 8, &sink);
    }

    // The set commands that reached the mouse since the log was last cleared,
    // each from its command byte on.
    std::vector<std::vector<uint8_t>> SetCommands() const {
        std::vector<std::vector<uint8_t>> out;
        for (const SimReport& r : backend.Log())
            if (r.kind == SimReport::Kind::SetFeature) out.emplace_back(r.bytes.begin() + 1, r.bytes.end());
        return out;
    }

    ScopedSimClock clock;
    SimHidBackend backend;
    InstalledBackend installed{backend};
    RecordingSink sink;
    std::shared_ptr<SimMouse> mouse;
    std::shared_ptr<SimMouseInterface> iface;
    CUSBDriver driver;
    bool opened = false;
};
