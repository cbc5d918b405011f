#include "firmware/ota_device.h"

#include "device/device_tables.h"
#include "device/hid_backend.h"
#include "firmware/ota_protocol.h"

namespace {

std::u16string FixedText(const char16_t (&text)[PATH_LENGTH]) {
    size_t length = 0;
    while (length < PATH_LENGTH && text[length] != 0) ++length;
    return std::u16string(text, length);
}

// At start-up the device answers fast or not at all: a few reads suffice.
constexpr OtaPacing kQueryPacing{10, 100, 10};

}  // namespace

bool ChooseOtaDevice() {
    for (int i = DEVICE_TABLE_SIZE - 1; i >= 0; --i) {
        const HidInterfaceEntry& entry = g_hidInterfaces[i];
        if (!entry.used || entry.vendorId != g_otaVendorId || entry.productId != g_otaProductId) {
            continue;
        }
        g_otaDevicePath = FixedText(entry.otaPath);
        g_otaProbeByte1 = entry.probeKind;
        g_otaProbeByte2 = entry.probeModel;
        return true;
    }
    return false;
}

bool OpenOtaHandles() {
    CloseOtaHandles();
    if (g_otaDevicePath.empty()) return false;
    HidBackend& hid = GetHidBackend();
    g_otaReadHandle = hid.Open(g_otaDevicePath, HidAccess::Read);
    g_otaWriteHandle = hid.Open(g_otaDevicePath, HidAccess::Write);
    if (g_otaReadHandle != kInvalidHidHandle && g_otaWriteHandle != kInvalidHidHandle) return true;
    CloseOtaHandles();
    return false;
}

void CloseOtaHandles() {
    HidBackend& hid = GetHidBackend();
    if (g_otaReadHandle != kInvalidHidHandle) hid.Close(g_otaReadHandle);
    if (g_otaWriteHandle != kInvalidHidHandle) hid.Close(g_otaWriteHandle);
    g_otaReadHandle = kInvalidHidHandle;
    g_otaWriteHandle = kInvalidHidHandle;
}

void QueryFirmwareVersion() {
    if (!ChooseOtaDevice()) return;
    if (!OpenOtaHandles()) return;
    g_otaCounter = 0;
    g_otaSequence = 1;
    g_otaBlockIndex = 0;
    g_fwIdWord = 0;
    // The version reply only comes after the start command and command 0x42;
    // no end command follows, as the device expects a start at every launch.
    bool ok = BuildOtaStartReport(0) && ExchangeOtaReport(kQueryPacing);
    ok = ok && BuildOtaCmd42Report() && ExchangeOtaReport(kQueryPacing);
    ok = ok && BuildOtaVersionQueryReport() && ExchangeOtaReport(kQueryPacing);
    CloseOtaHandles();
}
