// A simulated mouse set up as a user would meet it: plugged in by cable and
// linked through its 2.4 GHz receiver at the same time, with settings that are
// not the factory ones, a battery that reports, and an update interface. The
// demo build runs the program against it; end-to-end tests start from it.
#pragma once

#include <memory>
#include <string>

#include "sim/sim_hid_backend.h"
#include "sim/sim_mouse.h"
#include "sim/sim_ota_device.h"
#include "sim/sim_status_reporter.h"
#include "sim/sim_topology.h"

struct SimMouseRig {
    SimHidBackend backend;
    std::shared_ptr<SimMouse> mouse;
    SimCableMouse cable;
    SimReceiver receiver;
    // The mouse's status reports over both connections; null without them.
    // Changes go out at once; the periodic ones only once it is started or ticked.
    std::unique_ptr<SimStatusReporter> status;
};

// The demo mouse's sensor: the one with separate X and Y steps and every
// lift-off distance, so that each control of the advanced page is there.
constexpr uint8_t kDemoSensorType = 0xF1;

// The mouse with both connections plugged in, on link type 2 through either.
std::unique_ptr<SimMouseRig> MakeDemoMouseRig();
// The same rig with nothing plugged in: no interfaces and no USB ids.
std::unique_ptr<SimMouseRig> MakeUnpluggedRig();

// A few macros of the kind a user records, for the macro store of the demo.
// Stores them through the macro store (and so into its file); false when the store refused one.
bool StoreDemoMacros();
