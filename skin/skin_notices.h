// One decode per notice the skinned controls send their owners (the messages
// of skin_messages.h and the click command). The notices put the sender in
// different places (its window, its slider id, its control id, or nowhere),
// so owners read them through these rather than each taking the pair apart in
// its own way. Portable: window handles are plain numbers here.
#pragma once

#include <cstdint>
#include <optional>

#include "skin/skin_messages.h"

// The message as its window procedure received it.
struct SkinMessage {
    unsigned msg;
    uintptr_t wParam;
    intptr_t lParam;
};

constexpr unsigned kCommandMessage = 0x111;  // WM_COMMAND
constexpr unsigned kButtonClickedCode = 0;   // BN_CLICKED
constexpr unsigned kLeftButtonDown = 0x201;  // WM_LBUTTONDOWN
constexpr unsigned kLeftButtonUp = 0x202;    // WM_LBUTTONUP

// A click: WM_COMMAND with BN_CLICKED from a control's window. The skinned
// controls have id 0, so the window is what tells them apart.
struct ClickNotice {
    uintptr_t control;
};
inline std::optional<ClickNotice> DecodeClick(const SkinMessage& m) {
    if (m.msg != kCommandMessage || m.lParam == 0) return std::nullopt;
    if (((m.wParam >> 16) & 0xFFFF) != kButtonClickedCode) return std::nullopt;
    return ClickNotice{static_cast<uintptr_t>(m.lParam)};
}

// Any command from a control's window, whatever its notification: for owners
// that tell their buttons apart by the window alone, so that a double click's
// second press (BN_DOUBLECLICKED on an owner-drawn button) acts as the first.
struct CommandNotice {
    uintptr_t control;
};
inline std::optional<CommandNotice> DecodeCommand(const SkinMessage& m) {
    if (m.msg != kCommandMessage || m.lParam == 0) return std::nullopt;
    return CommandNotice{static_cast<uintptr_t>(m.lParam)};
}

// An edit control's text changed: WM_COMMAND with EN_CHANGE from its window.
constexpr unsigned kEditChangeCode = 0x300;  // EN_CHANGE
struct EditChangeNotice {
    uintptr_t control;
};
inline std::optional<EditChangeNotice> DecodeEditChange(const SkinMessage& m) {
    if (m.msg != kCommandMessage || m.lParam == 0) return std::nullopt;
    if (((m.wParam >> 16) & 0xFFFF) != kEditChangeCode) return std::nullopt;
    return EditChangeNotice{static_cast<uintptr_t>(m.lParam)};
}

// A menu row chosen: WM_COMMAND with no window and notification 0; the row's
// command id is what tells them apart, and a command carries only its low 16 bits.
struct MenuCommandNotice {
    unsigned id;
};
inline std::optional<MenuCommandNotice> DecodeMenuCommand(const SkinMessage& m) {
    if (m.msg != kCommandMessage || m.lParam != 0) return std::nullopt;
    if (((m.wParam >> 16) & 0xFFFF) != 0) return std::nullopt;
    return MenuCommandNotice{static_cast<unsigned>(m.wParam & 0xFFFF)};
}

// UWM_BUTTON_PRESS_RELEASE: a left press or release on a push button.
struct PressReleaseNotice {
    uintptr_t button;
    bool pressed;  // false: released
};
inline std::optional<PressReleaseNotice> DecodePressRelease(const SkinMessage& m) {
    if (m.msg != UWM_BUTTON_PRESS_RELEASE || m.lParam == 0) return std::nullopt;
    if (m.wParam != kLeftButtonDown && m.wParam != kLeftButtonUp) return std::nullopt;
    return PressReleaseNotice{static_cast<uintptr_t>(m.lParam), m.wParam == kLeftButtonDown};
}

// UWM_SLIDER_MOVING and UWM_SLIDER_RELEASED: the slider's m_id and value.
struct SliderMoveNotice {
    int sliderId;
    int value;
    bool released;  // false: still dragging
};
inline std::optional<SliderMoveNotice> DecodeSliderMove(const SkinMessage& m) {
    if (m.msg != UWM_SLIDER_MOVING && m.msg != UWM_SLIDER_RELEASED) return std::nullopt;
    return SliderMoveNotice{static_cast<int>(m.lParam), static_cast<int>(m.wParam), m.msg == UWM_SLIDER_RELEASED};
}

// UWM_VALUE_CHANGED: a value typed into a value box or numeric edit, and that
// control's id.
struct ValueChangedNotice {
    int controlId;
    uint32_t value;
};
inline std::optional<ValueChangedNotice> DecodeValueChanged(const SkinMessage& m) {
    if (m.msg != UWM_VALUE_CHANGED) return std::nullopt;
    return ValueChangedNotice{static_cast<int>(m.lParam), static_cast<uint32_t>(m.wParam)};
}

// UWM_STEPPER_CHANGED: the stepper's mode (0 counter, 1 list) and its new
// value; it does not say which stepper sent it.
struct StepperNotice {
    int mode;
    int value;
};
inline std::optional<StepperNotice> DecodeStepper(const SkinMessage& m) {
    if (m.msg != UWM_STEPPER_CHANGED) return std::nullopt;
    return StepperNotice{static_cast<int>(m.wParam), static_cast<int>(m.lParam)};
}
