// Discovery among HID interfaces the input describes (up to 40, beyond the
// tables' 30), each probe answered from the input: the look for the products'
// hardware ids, the enumeration that fills the interface table, then the scan
// that fills the device table.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <memory>
#include <string>

#include "device/device_tables.h"
#include "device/discovery.h"
#include "fuzz/fuzz_input.h"
#include "sim/sim_clock.h"
#include "sim/sim_hid_backend.h"

namespace {

constexpr int kMaxInterfaces = 40;
// What a device property value or a path may be made of: the characters the
// parsers look for, and some that they pass over.
constexpr char16_t kAlphabet[] = u"USB\\&#_0123456789abcdefVIDP";

std::u16string TextOf(FuzzInput& input, size_t length) {
    std::u16string text;
    for (size_t i = 0; i < length; ++i)
        text += kAlphabet[input.Byte() % (std::size(kAlphabet) - 1)];
    return text;
}

HidInterfaceDescription Describe(int index, FuzzInput& input) {
    const uint8_t flags = input.Byte();
    HidInterfaceDescription d;
    // Unique paths, some of them too long for the tables' fields.
    d.path = u"\\\\?\\hid#" + std::u16string(1, char16_t(u'A' + index)) + u"#";
    if (flags & 0x80) d.path += std::u16string(PATH_LENGTH, u'x');
    d.vendorId = (flags & 0x40) ? 0x845E : MOUSE_VENDOR_ID;
    d.productId = (flags & 1) ? PRODUCT_ID_RECEIVER : PRODUCT_ID_WIRED;
    d.capsValid = (flags & 2) == 0;
    if (flags & 4) d.featureValueCaps.push_back({USAGE_PAGE_OTA, USAGE_OTA});
    if (flags & 8) d.featureValueCaps.push_back({USAGE_PAGE_MOUSE_VENDOR, USAGE_MOUSE_COMMANDS});
    if (flags & 16) d.featureValueCaps.push_back({USAGE_PAGE_MOUSE_VENDOR, USAGE_MOUSE_COMMANDS});
    d.topLevel =
        (flags & 32) ? HidUsage{USAGE_PAGE_MOUSE_VENDOR, USAGE_MOUSE_CONFIG} : HidUsage{1, 2};
    d.deviceProperties.push_back(u"HID-compliant device");
    d.deviceProperties.push_back(TextOf(input, size_t(input.Byte()) * 2));
    return d;
}

// A text field of a table: terminated within its buffer.
template <size_t N>
void CheckField(const char16_t (&field)[N]) {
    FUZZ_CHECK(IsTerminated(field));
}

void CheckInterfaceTable() {
    FUZZ_CHECK(g_hidInterfaceCount >= 0 && g_hidInterfaceCount <= DEVICE_TABLE_SIZE);
    for (int i = 0; i < DEVICE_TABLE_SIZE; ++i) {
        const HidInterfaceEntry& e = g_hidInterfaces[i];
        FUZZ_CHECK((e.used != 0) == (i < g_hidInterfaceCount));
        CheckField(e.location);
        CheckField(e.otaPath);
        CheckField(e.mousePath);
        CheckField(e.configPath);
    }
}

void CheckDeviceTable() {
    FUZZ_CHECK(g_deviceCount >= 0 && g_deviceCount <= DEVICE_TABLE_SIZE);
    for (int i = 0; i < DEVICE_TABLE_SIZE; ++i) {
        const DeviceEntry& e = g_deviceTable[i];
        FUZZ_CHECK((e.used != 0) == (i < g_deviceCount));
        // A device is listed for the paths it can be reached by.
        if (e.used) FUZZ_CHECK((e.pathMask & 7) != 0);
        for (int k = 0; k < CONNECTION_COUNT; ++k) {
            CheckField(e.paths[k]);
            // A path the entry claims is a path it holds.
            if (e.pathMask & (1 << k)) FUZZ_CHECK(e.paths[k][0] != 0);
            if (e.onlineMask & (1 << k)) FUZZ_CHECK(e.pathMask & (1 << k));
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static ScopedSimClock clock;  // the probes' waits only move simulated time
    FuzzInput input(data, size);
    SimHidBackend backend;
    SetHidBackend(&backend);

    // Start-up looks for the products among the USB hardware ids.
    backend.AddUsbHardwareId(TextOf(input, input.Byte()));
    IsUsbIdPresent(HARDWARE_ID_WIRED);
    IsUsbIdPresent(HARDWARE_ID_RECEIVER);

    const int count = input.Byte() % (kMaxInterfaces + 1);
    for (int i = 0; i < count; ++i)
        backend.Plug(std::make_shared<ReplyInterface>(Describe(i, input), input));

    EnumerateHidInterfaces();
    CheckInterfaceTable();
    ScanDevices();
    CheckDeviceTable();
    FUZZ_CHECK(g_probeReadHandle == kInvalidHidHandle && g_probeWriteHandle == kInvalidHidHandle);
    FUZZ_CHECK(g_scanReadHandle == kInvalidHidHandle && g_scanWriteHandle == kInvalidHidHandle);
    FUZZ_CHECK(backend.OpenHandleCount() == 0);

    SetHidBackend(nullptr);
    return 0;
}
