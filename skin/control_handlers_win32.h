// A window's table from its controls to their handlers: a page with thirty
// controls lists one line per control instead of a chain of handle tests. The
// entries name the control object; its window, slider id or control id is
// looked up when a notice comes, so the table can be filled before the
// controls exist (in the constructor) or after (in OnInitDialog).
//
//     m_controls.Click(m_resetButton, [this] { OnReset(); });
//     m_controls.SliderReleased(m_dpiSlider, [this](int value) { OnDpiReleased(value); });
//
// The owner hands every message to Dispatch from its WindowProc, and its
// WM_COMMAND from OnCommand (clicks come there, after the framework has let the
// control take what is reflected to it).
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "framework/wnd.h"

class CHProgressBar;

class CControlHandlers {
public:
    // WM_COMMAND BN_CLICKED from the control's window.
    void Click(const CWnd& control, std::function<void()> handler);
    // Any WM_COMMAND from the control's window, whatever its notification: a
    // double click's second press, BN_DOUBLECLICKED, acts as a click.
    void Command(const CWnd& control, std::function<void()> handler);
    // WM_COMMAND EN_CHANGE from an edit control's window.
    void EditChanged(const CWnd& edit, std::function<void()> handler);
    // A popup menu's row: WM_COMMAND with no window and the row's command id
    // (its low 16 bits, all that a command carries).
    void MenuCommand(uint32_t id, std::function<void()> handler);
    // UWM_BUTTON_PRESS_RELEASE from a push button that sends it.
    void PressRelease(const CWnd& button, std::function<void(bool pressed)> handler);
    // UWM_SLIDER_MOVING / UWM_SLIDER_RELEASED carrying the slider's m_id.
    void SliderMoving(const CHProgressBar& slider, std::function<void(int value)> handler);
    void SliderReleased(const CHProgressBar& slider, std::function<void(int value)> handler);
    // UWM_VALUE_CHANGED carrying the control's id.
    void ValueChanged(const CWnd& control, std::function<void(uint32_t value)> handler);
    // UWM_STEPPER_CHANGED; the notice does not name its stepper.
    void StepperChanged(std::function<void(int mode, int value)> handler);

    // Runs the handler of the control the notice comes from. True when one ran:
    // the message is handled.
    bool Dispatch(UINT msg, WPARAM wp, LPARAM lp) const;

private:
    enum class Kind { Click, Command, EditChanged, MenuCommand, PressRelease, SliderMoving, SliderReleased, ValueChanged, Stepper };
    struct Entry {
        Kind kind;
        const CWnd* control;             // null for the stepper and the menu rows
        const CHProgressBar* slider;     // the sliders only
        uint32_t menuId;                 // the menu rows only
        std::function<void(int, int)> handler;
    };
    void Add(Kind kind, const CWnd* control, const CHProgressBar* slider, std::function<void(int, int)> handler,
             uint32_t menuId = 0);

    std::vector<Entry> m_entries;
};
