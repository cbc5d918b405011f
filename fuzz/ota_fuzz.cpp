// The firmware update protocol fed whatever the update interface may answer.
// Byte 0 chooses the exchange: one reply checked as it stands, the start-up
// version query, or a whole update of a small image; the replies come from the
// rest of the input.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "device/device_tables.h"
#include "firmware/firmware_update.h"
#include "firmware/ota_device.h"
#include "firmware/ota_protocol.h"
#include "fuzz/fuzz_input.h"
#include "sim/sim_clock.h"
#include "sim/sim_hid_backend.h"

namespace {

const std::u16string kPath = u"\\\\?\\hid#vid_093a&pid_622c&mi_01&col02#7&1a2b3c&0&0001";
constexpr uint32_t kMaxImage = 2 * OTA_BLOCK_SIZE + 100;

void ResetOtaState() {
    ResetOtaProtocolState();
    std::memset(g_hidInterfaces, 0, sizeof(g_hidInterfaces));
    g_hidInterfaceCount = 0;
}

void ListUpdateInterface() {
    HidInterfaceEntry& e = g_hidInterfaces[0];
    e.used = 1;
    e.interfaceMask = INTERFACE_OTA_OR_CONFIG | INTERFACE_MOUSE;
    std::memcpy(e.otaPath, kPath.c_str(), (kPath.size() + 1) * sizeof(char16_t));
    e.vendorId = MOUSE_VENDOR_ID;
    e.productId = PRODUCT_ID_WIRED;
    g_hidInterfaceCount = 1;
}

HidInterfaceDescription UpdateInterface() {
    HidInterfaceDescription d;
    d.path = kPath;
    d.vendorId = MOUSE_VENDOR_ID;
    d.productId = PRODUCT_ID_WIRED;
    d.capsValid = true;
    d.featureValueCaps = {{0xFF00, 1}};
    return d;
}

class CountingSink final : public FirmwareUpdateSink {
public:
    void OnProgressRange(int32_t maximum) override { range = maximum; }
    void OnProgressPosition(int32_t) override {}
    void OnResult(bool finished, FirmwareUpdateStep step) override {
        ++results;
        this->finished = finished;
        failedStep = step;
    }
    int32_t range = 0;
    int results = 0;
    bool finished = false;
    FirmwareUpdateStep failedStep = FirmwareUpdateStep::None;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static ScopedSimClock clock;  // the protocol's pauses only move simulated time
    FuzzInput input(data, size);
    ResetOtaState();
    const uint8_t mode = input.Byte();

    if (mode % 3 == 0) {
        g_otaCounter = input.Byte();
        input.Fill(g_otaReply, OTA_REPORT_LENGTH);
        const bool accepted = CheckOtaReply();
        // Only a reply to the last report counts.
        if (accepted) FUZZ_CHECK(g_otaReply[4] == uint8_t(g_otaCounter - 1));
        return 0;
    }

    SimHidBackend backend;
    SetHidBackend(&backend);
    backend.Plug(std::make_shared<ReplyInterface>(UpdateInterface(), input));
    ListUpdateInterface();

    if (mode % 3 == 1) {
        QueryFirmwareVersion();
    } else {
        const uint32_t imageSize = input.U16() % (kMaxImage + 1);
        const std::vector<uint8_t> image(imageSize, 0x5A);
        CountingSink sink;
        FUZZ_CHECK(ChooseOtaDevice() && OpenOtaHandles());
        const FirmwareUpdateResult result = RunFirmwareUpdate(image.data(), imageSize, sink);
        // An update that was not stopped reports its outcome exactly once.
        FUZZ_CHECK(sink.results == 1);
        FUZZ_CHECK((result.outcome == FirmwareUpdateOutcome::Finished) == sink.finished);
        if (sink.finished) {
            FUZZ_CHECK(g_otaPacketSize >= 1 && g_otaPacketSize <= OTA_MAX_DATA_BYTES);
            FUZZ_CHECK(imageSize >= 1);
        }
        CloseOtaHandles();
    }
    FUZZ_CHECK(g_otaReadHandle == kInvalidHidHandle && g_otaWriteHandle == kInvalidHidHandle);
    FUZZ_CHECK(backend.OpenHandleCount() == 0);
    SetHidBackend(nullptr);
    return 0;
}
