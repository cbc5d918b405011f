// The demo mouse as the program meets it: one mouse on both links, and the
// pages and controls that either link offers.
#include "sim/sim_demo_mouse.h"

#include <gtest/gtest.h>

#include "app/main_window/connection.h"
#include "app/pages/sensor_options.h"
#include "device/device_tables.h"
#include "device/discovery.h"
#include "sim/sim_clock.h"
#include "support/installed_backend.h"

namespace {

TEST(DemoMouseTest, EitherLinkOffersTheLedPageAndEveryControlOfTheAdvancedPage) {
    ScopedSimClock clock;
    std::unique_ptr<SimMouseRig> rig = MakeDemoMouseRig();
    InstalledBackend installed(rig->backend);
    ScanDevices();
    ASSERT_EQ(g_deviceCount, 1) << "one mouse, by cable and through its receiver";
    EXPECT_EQ(g_deviceTable[0].pathMask, 0x05) << "the cable and the 8 kHz receiver";
    EXPECT_EQ(g_deviceTable[0].sensorType, kDemoSensorType);

    const AdvControlSet every{true, true, true};
    for (SimMouseInterface* command : {rig->cable.command.get(), rig->receiver.command.get()}) {
        SCOPED_TRACE(command == rig->cable.command.get() ? "cable" : "receiver");
        const SimDeviceInfo info = command->DeviceInfo();
        EXPECT_TRUE(LedPageAvailable(info.linkType, info.byte5));
        EXPECT_EQ(AdvControlsFor(kDemoSensorType, info.linkType), every);
    }
}

}  // namespace
