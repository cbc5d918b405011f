#include <gtest/gtest.h>

#include <cstring>

#include "device/device_tables.h"
#include "device/discovery.h"
#include "device/hid_backend_win32.h"

namespace {

// Wine's own HID devices (vendor 0x845E) go through the whole discovery and are
// left out of both tables.
TEST(Win32DiscoveryTest, TheSystemsOwnHidDevicesAreNotListed) {
    bool foreign = false;
    for (const auto& d : GetWin32HidBackend().EnumerateInterfaces()) {
        foreign = foreign || d.vendorId != MOUSE_VENDOR_ID;
    }
    ASSERT_TRUE(foreign) << "Wine shows HID devices of its own";

    SetHidBackend(&GetWin32HidBackend());
    std::memset(g_hidInterfaces, 0xCC, sizeof(g_hidInterfaces));
    std::memset(g_deviceTable, 0xCC, sizeof(g_deviceTable));
    EnumerateHidInterfaces();
    ScanDevices();
    EXPECT_FALSE(IsUsbIdPresent(HARDWARE_ID_WIRED));
    EXPECT_FALSE(IsUsbIdPresent(HARDWARE_ID_RECEIVER));
    SetHidBackend(nullptr);

    EXPECT_EQ(g_hidInterfaceCount, 0);
    EXPECT_EQ(g_deviceCount, 0);
    for (const auto& e : g_hidInterfaces) EXPECT_EQ(e.used, 0u);
    for (const auto& e : g_deviceTable) EXPECT_EQ(e.used, 0u);
    EXPECT_EQ(g_probeReadHandle, kInvalidHidHandle);
    EXPECT_EQ(g_scanReadHandle, kInvalidHidHandle);
}

}  // namespace
