#include "device/sync_threads.h"

#include <algorithm>
#include <cstring>

#include "device/button_codes.h"
#include "device/clock.h"
#include "device/device_state.h"
#include "device/key_names.h"
#include "device/macro_image.h"
#include "device/macro_readback.h"
#include "device/macro_store.h"
#include "device/profiles.h"
#include "device/usb_driver.h"
#include "text/u16_buffer.h"
#include "text/ui_texts.h"

namespace {

// Pauses of the read of all settings: the mouse needs them between commands.
constexpr uint32_t kReadStartMs = 50;
constexpr uint32_t kReadSettleMs = 100;
constexpr uint32_t kReadGapMs = 80;
constexpr uint32_t kButtonGapMs = 100;
constexpr uint32_t kMacroFetchPauseMs = 100;
constexpr uint32_t kEndGapMs = 50;

// Pauses of the write of all settings.
constexpr uint32_t kWriteStartMs = 50;
constexpr uint32_t kWriteSettleMs = 150;
constexpr uint32_t kWriteGapMs = 150;
constexpr uint32_t kDpiLevelWriteMs = 200;
constexpr uint32_t kMacroSearchMs = 500;
constexpr uint32_t kMacroUploadBeforeMs = 100;
constexpr uint32_t kMacroUploadAfterMs = 50;
constexpr uint32_t kWriteTailMs = 100;

constexpr uint8_t kLedLinkType = 2;

// The DPI levels in the order both passes take them: all six on the X axis and
// then all six on the Y axis for a sensor that keeps the two apart, otherwise
// all six for both axes at once.
template <typename Visit>
void ForEachDpiLevel(Visit visit) {
    auto allLevels = [&](int axis) {
        for (int level = 0; level < DPI_LEVEL_COUNT; ++level) visit(level, axis);
    };
    if (SensorHasYAxis(g_sensorType)) {
        allLevels(DPI_AXIS_X);
        allLevels(DPI_AXIS_Y);
    } else {
        allLevels(DPI_AXIS_BOTH);
    }
}

int ButtonProgress(int index) {
    return 50 + 7 * (index + 1);
}

// The worker clears the flags its starter set, whichever way it ends.
void ClearSyncFlags(const SyncJob& job) {
    if (job.running) job.running->store(0);
    StoreSyncBusy(0);
}

void ReadButton(const SyncJob& job, int index) {
    const uint8_t deviceButton = DeviceButtonNumber(index);
    uint32_t code = 0;
    bool codeWritten = false;
    // A reply for another button leaves code unwritten; decoding it anyway would
    // give this button a function the mouse never reported.
    if (!job.driver->GetButtonFunction(deviceButton, code, &codeWritten) || !codeWritten) return;

    const std::optional<FunctionId> function = FunctionForButtonCode(code);
    if (!function) return;
    ButtonAssignment& record = g_settings.buttons[index];
    if (*function == FUNC_SINGLE_KEY) record.deviceCode = code;
    if (*function == FUNC_MACRO) {
        SleepMs(kMacroFetchPauseMs);
        ReadDeviceMacro(job, deviceButton, index);
    }
    record.functionId = *function;
}

// The record is what the mouse was given for this slot: it builds the very
// image the slot holds.
bool EncodesToImage(const MacroRecord& record, uint8_t slot, const uint8_t* image) {
    uint8_t built[MACRO_IMAGE_BUFFER_SIZE];
    BuildDeviceMacroImage(record, slot, built, VkToHidUsage);
    return std::memcmp(built, image, DEVICE_MACRO_IMAGE_SIZE) == 0;
}

}  // namespace

bool ReadDeviceMacro(const SyncJob& job, uint8_t deviceButton, int buttonIndex) {
    uint8_t image[MACRO_IMAGE_BUFFER_SIZE] = {};
    // A download with a chunk missing would decode into a macro with holes in
    // it; the button keeps the macro it had instead.
    if (!job.driver->DownloadMacroChunks(image, deviceButton)) return false;
    MacroReadback readback;
    if (!readback.Decode(image, [](uint32_t usage) { return uint32_t(HidUsageToVirtualKey(usage)); }))
        return false;

    ButtonAssignment& record = g_settings.buttons[buttonIndex];
    record.macroId = int32_t(readback.Blob().macroId);
    // The mouse holds a cut-down copy (70 steps, 15 bytes of name) of what the
    // store had when it was uploaded; replacing that record would lose the rest.
    if (const MacroRecord* stored = FindMacroRecord(readback.Blob().macroId);
        stored && EncodesToImage(*stored, deviceButton, image)) {
        CopyToBuffer(record.displayName,
                     g_uiTexts[UiText::str_Macro] + u" - " + std::u16string(MacroNameOf(*stored)));
        return true;
    }
    CopyToBuffer(record.displayName, g_uiTexts[UiText::str_Macro] + u" - " + readback.Name());
    if (StoreMacroBlob(&readback.Blob(), readback.BufferSize())) job.sink->MacroStoreChanged();
    return true;
}

void ReadAllSettingsThread(const SyncJob& job) {
    SyncSink& sink = *job.sink;
    if (job.linkMode == -1) {
        sink.Notice(u"Open hid device failed.");
        ClearSyncFlags(job);
        // Nothing was read; the view still closes, or it would sit there for ever.
        sink.CloseProgress();
        return;
    }
    CUSBDriver& driver = *job.driver;
    SettingsImage& s = g_settings;
    // The mouse's buttons replace whatever the button page assigned before.
    ClearButtonMacroIds();

    SleepMs(kReadStartMs);
    SleepMs(kReadSettleMs);

    driver.GetReportRate(s.reportRateCode);
    sink.Progress(5);
    SleepMs(kReadGapMs);

    ForEachDpiLevel([&](int level, int axis) {
        driver.GetDpiStage(level, axis);
        SleepMs(kReadGapMs);
    });
    // The Y table now holds the mouse's own steps. Unmarked, the page would
    // show the X steps for it and the next load of the profile would copy them
    // over it: the mouse's Y steps would be lost at the first profile switch.
    if (SensorHasYAxis(g_sensorType)) s.yTableMarker = Y_TABLE_MARKER;

    sink.Progress(10);
    SleepMs(kReadGapMs);
    driver.GetDpiConfig(s.dpiCount, s.dpiCurrent, s.dpiLedMode, s.dpiConfigByte5,
                        s.dpiConfigByte6);
    sink.Progress(15);
    SleepMs(kReadGapMs);

    auto readThen = [&](bool, int position) {
        sink.Progress(position);
        SleepMs(kReadGapMs);
    };
    readThen(driver.GetLiftOffDistance(s.liftOffCode), 15);
    readThen(driver.GetRippleControl(s.rippleControl), 20);
    readThen(driver.GetAngleSnap(s.angleSnap), 25);
    readThen(driver.GetMotionSync(s.motionSync), 30);
    readThen(driver.GetSensorMode(s.sensorMode), 35);
    readThen(driver.GetDebounceTime(s.debounceTime), 40);
    readThen(driver.GetPowerDownTime(s.powerDownTime), 45);
    readThen(driver.GetFireKey(s.fireCount, s.fireInterval), 50);

    for (int index = 0; index < BUTTON_COUNT; ++index) {
        sink.Progress(ButtonProgress(index));
        SleepMs(kButtonGapMs);
        ReadButton(job, index);
    }

    SleepMs(kReadGapMs);
    if (g_linkType == kLedLinkType) driver.GetLedEffect(s.ledEffect);

    SleepMs(kEndGapMs);
    sink.Progress(100);
    SleepMs(kEndGapMs);
    sink.Done();
    ClearSyncFlags(job);
    sink.CloseProgress();
}

namespace {

// The code a button gets in the write of all settings, or nothing when no button
// command may go out for it. A macro is uploaded first; a macro button whose
// macro is not in the store (or is empty) gets no command at all, so the mouse
// keeps what it had rather than playing whatever its slot still holds. The same
// goes for a macro whose upload failed, which also clears sent.
std::optional<uint32_t> PrepareButtonCode(const SyncJob& job, int index, bool& sent) {
    const ButtonAssignment& record = g_settings.buttons[index];
    const uint8_t deviceButton = DeviceButtonNumber(index);
    int32_t* applied = g_activeProfile ? &g_activeProfile->appliedMacroIds[index] : nullptr;
    if (applied) *applied = 0;
    if (record.functionId != FUNC_MACRO) return ButtonCodeForRecord(record, deviceButton);

    // The record's own macro wins: the page's last assignment may belong to
    // settings that have since been replaced.
    const int32_t macroId = record.macroId != 0 ? record.macroId : g_buttonMacroIds[index];
    if (applied) *applied = macroId;
    const MacroRecord* macro = FindMacroRecord(uint32_t(macroId));
    SleepMs(kMacroSearchMs);
    if (!macro || macro->size == 0) return std::nullopt;
    SleepMs(kMacroUploadBeforeMs);
    // The macro goes into the slot of the button's own device number.
    // A slot the upload left half written is never pointed at: the mouse would
    // play whatever mix of old and new chunks it holds.
    const bool uploaded = EncodeAndUploadMacro(macro, job.driver, deviceButton) != 0;
    SleepMs(kMacroUploadAfterMs);
    if (!uploaded) {
        sent = false;
        return std::nullopt;
    }
    return ButtonCodeForRecord(record, deviceButton);
}

}  // namespace

void WriteAllSettingsThread(const SyncJob& job) {
    SyncSink& sink = *job.sink;
    // Without a connection the pass still runs; every command simply fails.
    if (job.linkMode == -1) sink.Notice(u"Open hid device failed");
    CUSBDriver& driver = *job.driver;
    const SettingsImage& s = g_settings;
    // Whether the mouse took everything; the caller may have to say it did not.
    bool sent = true;
    auto took = [&sent](bool ok) {
        if (!ok) sent = false;
    };

    SleepMs(kWriteStartMs);
    SleepMs(kWriteSettleMs);

    took(driver.SetReportRate(s.reportRateCode));
    sink.Progress(5);
    SleepMs(kWriteSettleMs);

    ForEachDpiLevel([&](int level, int axis) {
        took(driver.SetDpiStage(level, axis));
        SleepMs(kDpiLevelWriteMs);
    });

    sink.Progress(10);
    SleepMs(kWriteSettleMs);
    took(driver.SetDpiConfig(s.dpiCount, s.dpiCurrent, s.dpiLedMode, s.dpiConfigByte5, s.dpiConfigByte6));
    sink.Progress(15);
    SleepMs(kWriteSettleMs);

    auto writeThen = [&](bool ok, int position) {
        took(ok);
        sink.Progress(position);
        SleepMs(kWriteGapMs);
    };
    writeThen(driver.SetLiftOffDistance(s.liftOffCode), 15);
    writeThen(driver.SetRippleControl(s.rippleControl), 20);
    writeThen(driver.SetAngleSnap(s.angleSnap), 25);
    writeThen(driver.SetMotionSync(s.motionSync), 30);
    writeThen(driver.SetSensorMode(s.sensorMode), 35);
    writeThen(driver.SetDebounceTime(s.debounceTime), 40);
    writeThen(driver.SetPowerDownTime(s.powerDownTime), 45);
    writeThen(driver.SetFireKey(s.fireCount, s.fireInterval), 50);

    for (int index = 0; index < BUTTON_COUNT; ++index) {
        sink.Progress(ButtonProgress(index));
        SleepMs(kButtonGapMs);
        const std::optional<uint32_t> code = PrepareButtonCode(job, index, sent);
        if (code) took(driver.SetButtonFunction(*code, DeviceButtonNumber(index)));
    }

    SleepMs(kWriteTailMs);
    if (g_linkType == kLedLinkType) took(driver.SetLedEffect(s.ledEffect));

    SleepMs(kWriteTailMs);
    sink.Progress(100);
    SleepMs(kEndGapMs);
    if (job.allSent) job.allSent->store(sent ? 1 : 0);
    sink.Done();
    ClearSyncFlags(job);
    sink.CloseProgress();
}

std::thread StartSyncThread(void (*body)(const SyncJob&), const SyncJob& job) {
    StoreSyncBusy(1);
    if (job.running) job.running->store(1);
    return std::thread([body, job] {
        // Nothing may leave a thread's entry; should the body fail anyway, the
        // view still closes and the flags still clear, or the program would hang.
        try {
            body(job);
        } catch (...) {
            ClearSyncFlags(job);
            job.sink->CloseProgress();
        }
    });
}
