#include "app/pages/button_page_model.h"

#include <string>

#include "device/button_codes.h"
#include "device/button_macro_ids.h"
#include "device/clock.h"
#include "device/function_names.h"
#include "device/key_names.h"
#include "device/macro_image.h"
#include "device/macro_store.h"
#include "device/usb_driver.h"
#include "skin/popup_menu_logic.h"
#include "text/u16_buffer.h"
#include "text/ui_texts.h"

namespace {

constexpr FunctionButtonSpec kFunctionButtons[FUNCTION_BUTTON_COUNT] = {
    {FUNC_LEFT_BUTTON, FunctionAction::Assign},
    {FUNC_RIGHT_BUTTON, FunctionAction::Assign},
    {FUNC_MIDDLE_BUTTON, FunctionAction::Assign},
    {FUNC_FORWARD, FunctionAction::Assign},
    {FUNC_BACKWARD, FunctionAction::Assign},
    {FUNC_DOUBLE_CLICK, FunctionAction::DoubleClick},
    {FUNC_SINGLE_KEY, FunctionAction::KeyCombination},
    {FUNC_MACRO, FunctionAction::Macro},
    {FUNC_DISABLED, FunctionAction::Assign},
    {FUNC_DPI_MENU, FunctionAction::DpiMenu},
    {FUNC_MEDIA_MENU, FunctionAction::MediaMenu},
};

constexpr FunctionId kDpiMenuFunctions[] = {FUNC_DPI_LOOP, FUNC_DPI_UP, FUNC_DPI_DOWN};

// The mouse stores what the settle time after an upload lets it finish.
constexpr uint32_t kMacroSettleMs = 50;

bool InRange(int button) {
    return button >= 0 && button < BUTTON_COUNT;
}

void SetDisplayName(ButtonAssignment& record, std::u16string_view text) {
    CopyToBuffer(record.displayName, text);
}

}  // namespace

const int32_t kPowerDownSeconds[POWER_DOWN_STEP_COUNT] = {10,  20,  30,  60,  120, 180, 240, 300, 360,
                                                          420, 480, 540, 600, 660, 720, 780, 840, 900};

const FunctionButtonSpec& FunctionButtonAt(int index) {
    return kFunctionButtons[index];
}

std::optional<FunctionId> DpiMenuFunction(uint32_t value) {
    if (value < 1 || value > std::size(kDpiMenuFunctions)) return std::nullopt;
    return kDpiMenuFunctions[value - 1];
}

std::optional<FunctionId> MediaMenuFunction(uint32_t value) {
    const int32_t id = MultimediaFunctionForValue(value);
    if (id == 0) return std::nullopt;
    return id;
}

int PowerDownPosition(uint32_t seconds) {
    for (int i = 0; i < POWER_DOWN_STEP_COUNT; ++i)
        if (uint32_t(kPowerDownSeconds[i]) == seconds) return i;
    return 3;
}

bool LeftClickGuardRefuses(const SettingsImage& settings, int selected) {
    if (!InRange(selected) || settings.buttons[selected].functionId != FUNC_LEFT_BUTTON) return false;
    for (int i = 0; i < BUTTON_COUNT; ++i)
        if (i != selected && settings.buttons[i].functionId == FUNC_LEFT_BUTTON) return false;
    return true;
}

void NameFixedFunctions(SettingsImage& settings) {
    for (ButtonAssignment& record : settings.buttons) {
        const FunctionId id = record.functionId;
        if (id == FUNC_SINGLE_KEY || id == FUNC_MACRO || id == FUNC_RAW_CODE) continue;
        SetDisplayName(record, FunctionCodeName(id));
    }
}

void RespellDisplayNames(SettingsImage& settings) {
    for (ButtonAssignment& record : settings.buttons) {
        switch (record.functionId) {
        case FUNC_SINGLE_KEY:
            SetDisplayName(record, KeyComboText(record.deviceCode));
            break;
        case FUNC_MACRO:
        case FUNC_RAW_CODE:
            break;  // their texts name what the user chose; they stay
        default:
            SetDisplayName(record, FunctionCodeName(record.functionId));
            break;
        }
    }
}

std::u16string DisplayNameOf(const ButtonAssignment& record) {
    return std::u16string(BufferText(record.displayName));
}

std::u16string SelectedButtonLabel(int selected) {
    std::string number = std::to_string(selected + 1);
    return g_uiTexts[UiText::str_SelBtn] + u" " + std::u16string(number.begin(), number.end());
}

int SelectorHoverNumber(const HoverRect (&rects)[BUTTON_COUNT], int x, int y, bool pageInFront,
                        int selectorUnderCursor) {
    if (!pageInFront) return 0;
    constexpr int kInset = 17;
    for (int k = 0; k < BUTTON_COUNT; ++k) {
        const HoverRect& r = rects[k];
        const bool inside = x >= r.left + kInset && x < r.right - kInset && y >= r.top && y < r.bottom;
        if (inside && selectorUnderCursor == k) return k + 1;
    }
    return 0;
}

void ButtonAssigner::Send(int button, uint32_t code) {
    if (m_driver) m_driver->SetButtonFunction(code, DeviceButtonNumber(button));
}

bool ButtonAssigner::AssignFixed(int button, FunctionId id) {
    const std::optional<uint32_t> code = FixedButtonCode(id);
    if (!InRange(button) || !code) return false;
    ButtonAssignment& record = m_settings.buttons[button];
    record.functionId = id;
    SetDisplayName(record, FunctionCodeName(id));
    Send(button, *code);
    return true;
}

bool ButtonAssigner::AssignKeyCombination(int button, uint32_t code) {
    if (!InRange(button)) return false;
    ButtonAssignment& record = m_settings.buttons[button];
    record.functionId = FUNC_SINGLE_KEY;
    record.deviceCode = code;
    SetDisplayName(record, KeyComboText(code));
    Send(button, code);
    return true;
}

bool ButtonAssigner::AssignMacro(int button, int32_t macroId) {
    if (!InRange(button)) return false;
    const MacroRecord* macro = FindMacroRecord(uint32_t(macroId));
    if (!macro || macro->size == 0) return false;
    const uint8_t slot = DeviceButtonNumber(button);
    if (EncodeAndUploadMacro(macro, m_driver, slot) == 0) return false;

    g_buttonMacroIds[button] = macroId;
    ButtonAssignment& record = m_settings.buttons[button];
    record.macroId = macroId;
    record.functionId = FUNC_MACRO;
    SetDisplayName(record, g_uiTexts[UiText::str_Macro] + u" - " + std::u16string(MacroNameOf(*macro)));
    SleepMs(kMacroSettleMs);
    Send(button, MacroButtonCode(slot));
    return true;
}

void ButtonAssigner::StepperChanged(int mode, int value) {
    if (mode == 0) {
        m_settings.debounceTime = uint8_t(value);
        if (m_driver) m_driver->SetDebounceTime(uint8_t(value));
    } else if (mode == 1) {
        m_settings.powerDownTime = uint32_t(value);
        if (m_driver) m_driver->SetPowerDownTime(uint32_t(value));
    }
}
