// The driver's get commands and the macro download fed whatever a device may
// answer. Byte 0 chooses between the read of all settings (the commands in the
// order the program sends them) and commands the input picks one by one, each
// command byte followed by its parameters and then its replies. A get that
// fails must leave its outputs as they were, and a macro read back from the
// mouse must reach the store whole.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "device/device_state.h"
#include "device/key_names.h"
#include "device/macro_image.h"
#include "device/macro_readback.h"
#include "device/macro_store.h"
#include "device/settings.h"
#include "device/sync_threads.h"
#include "device/usb_driver.h"
#include "fuzz/fuzz_input.h"
#include "sim/sim_clock.h"
#include "sim/sim_hid_backend.h"
#include "text/ui_texts.h"

namespace {

const std::u16string kPath = u"\\\\?\\hid#vid_093a&pid_622c&mi_01#7&2a3b4c5d&0&0000#{4d1e55b2}";
constexpr int kMaxCommands = 64;
constexpr uint8_t kUnset = 0xA7;
constexpr uint32_t kUnset32 = 0xA7A7A7A7;

HidInterfaceDescription CommandInterface() {
    HidInterfaceDescription d;
    d.path = kPath;
    d.vendorId = 0x093A;
    d.productId = 0x622C;
    d.capsValid = true;
    d.topLevel = {0xFF05, 1};
    d.featureValueCaps = {{0xFF05, 4}};
    return d;
}

uint32_t KeyOf(uint32_t usage) { return HidUsageToVirtualKey(usage); }

// One value get: on failure the output keeps the value it had.
template <typename T>
void CheckGet(bool ok, const T& value, T unset) {
    if (!ok) FUZZ_CHECK(value == unset);
}

bool g_storeTouched = false;

void ReadBackMacro(CUSBDriver& driver, uint8_t slot) {
    uint8_t image[DEVICE_MACRO_IMAGE_SIZE];
    std::memset(image, kUnset, sizeof(image));
    driver.DownloadMacroChunks(image, slot);
    MacroReadback readback;
    if (!readback.Decode(image, KeyOf)) {
        FUZZ_CHECK(readback.BufferSize() == 0);
        return;
    }
    const MacroBlob& blob = readback.Blob();
    FUZZ_CHECK(readback.BufferSize() <= MACRO_READBACK_BLOB_LIMIT);
    FUZZ_CHECK(blob.size == MACRO_BLOB_HEADER_SIZE + 4 * blob.eventCount);
    FUZZ_CHECK(blob.size <= readback.BufferSize());
    FUZZ_CHECK(IsTerminated(blob.name));
    g_storeTouched = true;
    if (StoreMacroBlob(&blob, readback.BufferSize())) {
        const MacroRecord* record = FindMacroRecord(blob.macroId);
        FUZZ_CHECK(record && record->eventCount == blob.eventCount);
        FUZZ_CHECK(std::memcmp(record->events, blob.Events(), 4 * blob.eventCount) == 0);
        FUZZ_CHECK(IsTerminated(record->name));
    }
}

void RunCommand(CUSBDriver& driver, uint8_t command, FuzzInput& input) {
    uint8_t a = kUnset, b = kUnset, c = kUnset, d = kUnset, e = kUnset;
    uint32_t value = kUnset32;
    switch (command % 18) {
        case 0:
            CheckGet(driver.GetReportRate(a), a, kUnset);
            break;
        case 1: {
            const int stage = int(input.Byte() % (DPI_LEVEL_COUNT + 2)) - 1;
            const int axis = input.Byte() % 4;
            const SettingsImage before = g_settings;
            if (!driver.GetDpiStage(stage, axis)) {
                FUZZ_CHECK(std::memcmp(&before, &g_settings, sizeof(g_settings)) == 0);
            }
            break;
        }
        case 2:
            if (!driver.GetDpiConfig(a, b, c, d, e)) {
                FUZZ_CHECK(a == kUnset && b == kUnset && c == kUnset && d == kUnset && e == kUnset);
            }
            break;
        case 3:
            CheckGet(driver.GetLiftOffDistance(a), a, kUnset);
            break;
        case 4:
            CheckGet(driver.GetRippleControl(a), a, kUnset);
            break;
        case 5:
            CheckGet(driver.GetAngleSnap(a), a, kUnset);
            break;
        case 6:
            CheckGet(driver.GetMotionSync(a), a, kUnset);
            break;
        case 7:
            CheckGet(driver.GetSensorMode(a), a, kUnset);
            break;
        case 8:
            CheckGet(driver.GetDebounceTime(a), a, kUnset);
            break;
        case 9:
            if (!driver.GetFireKey(a, value)) FUZZ_CHECK(a == kUnset && value == kUnset32);
            break;
        case 10:
            CheckGet(driver.GetPowerDownTime(value), value, kUnset32);
            break;
        case 11: {
            bool written = true;
            const bool ok = driver.GetButtonFunction(input.Byte(), value, &written);
            if (!written) FUZZ_CHECK(value == kUnset32);
            if (!ok) FUZZ_CHECK(!written);
            break;
        }
        case 12:
            CheckGet(driver.GetLedEffect(a), a, kUnset);
            break;
        case 13:
            CheckGet(driver.GetReceiverLinkState(a), a, kUnset);
            break;
        case 14: {
            const uint8_t linkType = g_linkType, model = g_deviceModel;
            if (!driver.GetDeviceInfo(a, b)) {
                FUZZ_CHECK(a == kUnset && b == kUnset && g_linkType == linkType &&
                           g_deviceModel == model);
            }
            break;
        }
        case 15:
            ReadBackMacro(driver, input.Byte());
            break;
        case 16: {
            uint8_t image[MACRO_IMAGE_BUFFER_SIZE] = {};
            input.Fill(image, DEVICE_MACRO_IMAGE_SIZE);
            driver.UploadMacroChunks(input.Byte(), image);
            break;
        }
        default:
            driver.SetReportRate(input.Byte());
            break;
    }
}

class CountingSyncSink final : public SyncSink {
public:
    void Progress(int position) override { FUZZ_CHECK(position >= 0 && position <= 100); }
    void CloseProgress() override { ++closed; }
    void Done() override {}
    void Notice(std::u16string_view) override {}
    int closed = 0;
};

void ReadAllSettings(CUSBDriver& driver) {
    CountingSyncSink sink;
    SyncJob job;
    job.driver = &driver;
    job.sink = &sink;
    job.linkMode = 0;
    g_storeTouched = true;
    ReadAllSettingsThread(job);
    FUZZ_CHECK(sink.closed == 1);
    for (const ButtonAssignment& button : g_settings.buttons)
        FUZZ_CHECK(IsTerminated(button.displayName));
    for (const MacroRecord& record : g_macroStore.records) {
        if (record.magic == 0) continue;
        FUZZ_CHECK(record.eventCount <= MACRO_MAX_EVENTS && IsTerminated(record.name));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static ScopedSimClock clock;  // the waits for replies only move simulated time
    FuzzInput input(data, size);
    g_settings = SettingsImage{};
    g_linkType = 0;
    g_deviceModel = 0;
    g_sensorType = 0;
    StoreSyncBusy(0);
    ClearButtonMacroIds();
    if (g_storeTouched) std::memset(&g_macroStore, 0, sizeof(g_macroStore));
    g_storeTouched = false;

    SimHidBackend backend;
    SetHidBackend(&backend);
    backend.Plug(std::make_shared<ReplyInterface>(CommandInterface(), input));
    {
        const uint8_t mode = input.Byte();
        // The length the device table gives, or any other a caller may pass.
        const uint8_t length = input.Byte();
        g_sensorType = input.Byte();
        g_uiTexts[UiText::str_Macro] = u"Macro";
        CUSBDriver driver;
        driver.Open(kPath, REPORT_ID_MOUSE, length >= 0x80 ? (int32_t(length) - 0xC0) * 5 : 8,
                    nullptr);
        if (mode & 1) {
            ReadAllSettings(driver);
        } else {
            for (int i = 0; i < kMaxCommands && !input.Empty(); ++i)
                RunCommand(driver, input.Byte(), input);
        }
    }
    FUZZ_CHECK(backend.OpenHandleCount() == 0);
    SetHidBackend(nullptr);
    return 0;
}
