#include "device/settings.h"

#include <cstring>

#include "device/button_macro_ids.h"
#include "device/device_state.h"
#include "device/function_names.h"
#include "text/u16_buffer.h"

SettingsImage g_settings{};

namespace {

constexpr int32_t kDefaultDpiSteps[DPI_LEVEL_COUNT] = {7, 15, 31, 47, 63, 127};

constexpr FunctionId kDefaultButtonFunctions[BUTTON_COUNT] = {
    FUNC_LEFT_BUTTON, FUNC_RIGHT_BUTTON, FUNC_MIDDLE_BUTTON, FUNC_FORWARD, FUNC_BACKWARD};

void SetDpiSteps(int32_t (&steps)[DPI_LEVEL_COUNT]) {
    std::memcpy(steps, kDefaultDpiSteps, sizeof(steps));
}

// Everything both default procedures write after the optional clear; only the
// debounce time differs between them.
void WriteCommonDefaults(SettingsImage& record, uint8_t debounceTime) {
    record.fireInterval = 10;
    record.reserved14DC = 0;
    record.fireCount = 3;
    record.reportRateCode = 0;
    record.liftOffCode = 0;

    SetDpiSteps(record.dpiStepsX);
    // Only sensors with a separate Y axis get a Y table; for the others it is
    // left as it was (zero after a reset).
    if (SensorHasYAxis(g_sensorType)) {
        record.yTableMarker = Y_TABLE_MARKER;
        SetDpiSteps(record.dpiStepsY);
    }

    for (int i = 0; i < BUTTON_COUNT; ++i) {
        ButtonAssignment& button = record.buttons[i];
        button.functionId = kDefaultButtonFunctions[i];
        CopyToBuffer(button.displayName, FunctionCodeName(button.functionId));
    }

    record.motionSync = 1;
    record.debounceTime = debounceTime;
    record.reserved14E8 = 0x0000FF00;

    record.dpiCount = 6;
    record.dpiCurrent = 1;
    record.dpiLedMode = 1;
    record.dpiConfigByte6 = 1;
    record.dpiConfigByte5 = 1;
    record.sensorMode = 1;
    record.rippleControl = 0;
    record.angleSnap = 0;

    record.powerDownTime = 60;
    record.ledEffect = 0;
}

}  // namespace

void ResetSettingsToDefaults(SettingsImage& record) {
    if (&record == &g_settings) ClearButtonMacroIds();
    std::memset(&record, 0, sizeof(record));
    record.magic = SETTINGS_MAGIC;
    WriteCommonDefaults(record, 4);
}

void ApplyNewProfileDefaults() {
    WriteCommonDefaults(g_settings, 8);
}

void ApplyYTableMarkerRule(SettingsImage& record) {
    if (record.yTableMarker == Y_TABLE_MARKER) return;
    std::memcpy(record.dpiStepsY, record.dpiStepsX, sizeof(record.dpiStepsY));
    record.yTableMarker = Y_TABLE_MARKER;
}
