#include "device/hid_backend.h"

namespace {

// Until a backend is installed there is no HID device at all.
class NoHidBackend final : public HidBackend {
public:
    std::vector<HidInterfaceDescription> EnumerateInterfaces() override { return {}; }
    std::vector<std::u16string> UsbHardwareIds() override { return {}; }
    HidHandle Open(const std::u16string&, HidAccess) override { return kInvalidHidHandle; }
    void Close(HidHandle) override {}
    bool SetFeature(HidHandle, const uint8_t*, size_t) override { return false; }
    bool GetFeature(HidHandle, uint8_t*, size_t) override { return false; }
    bool ReadInput(HidHandle, uint8_t*, size_t) override { return false; }
    void CancelRead(HidHandle) override {}
    void ResetRead(HidHandle) override {}
    bool WriteOutput(HidHandle, const uint8_t*, size_t, uint32_t*) override { return false; }
};

NoHidBackend g_noHidBackend;
HidBackend* g_hidBackend = &g_noHidBackend;

}  // namespace

HidBackend& GetHidBackend() {
    return *g_hidBackend;
}

void SetHidBackend(HidBackend* backend) {
    g_hidBackend = backend ? backend : &g_noHidBackend;
}
