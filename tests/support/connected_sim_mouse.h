// A simulated mouse behind one cable command interface, with a driver open on
// it: for tests of code that sends commands through CUSBDriver and checks what
// reached the wire and what the mouse then holds.
#pragma once

#include <cstdint>
#include <vector>

#include "support/cable_driver_fixture.h"

struct ConnectedSimMouse : CableDriverFixture {
    ConnectedSimMouse() { opened = Open(); }

    // The set commands that reached the mouse since the log was last cleared,
    // each from its command byte on.
    std::vector<std::vector<uint8_t>> SetCommands() const {
        std::vector<std::vector<uint8_t>> out;
        for (const SimReport& r : backend.Log())
            if (r.kind == SimReport::Kind::SetFeature) out.emplace_back(r.bytes.begin() + 1, r.bytes.end());
        return out;
    }

    bool opened = false;
};
