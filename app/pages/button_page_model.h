// The button page's decisions, apart from its window: what each function
// button stands for, what the two popups' rows assign, the power-down steps,
// the left-click guard, the texts the selectors show, the hover marker, and
// the assignments themselves (stored in the settings record and sent to the
// mouse at once, one command each).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "device/settings.h"

class CUSBDriver;

constexpr int FUNCTION_BUTTON_COUNT = 11;

// What a click on a function button does once the guard let it through.
enum class FunctionAction {
    Assign,          // the function's fixed code, at once
    DoubleClick,     // the fire-key dialog first
    KeyCombination,  // the key-combination dialog gives the code
    Macro,           // the macro picker gives the macro; it is uploaded first
    DpiMenu,         // opens the DPI-function popup
    MediaMenu,       // opens the multimedia popup
};

struct FunctionButtonSpec {
    FunctionId id;  // also the caption: FunctionCodeName(id)
    FunctionAction action;
};

// Function buttons 0 to 10, top to bottom.
const FunctionButtonSpec& FunctionButtonAt(int index);

// The function a popup row assigns, or nothing for a value that is no row.
std::optional<FunctionId> DpiMenuFunction(uint32_t value);
std::optional<FunctionId> MediaMenuFunction(uint32_t value);

// The power-down stepper's steps, in seconds.
constexpr int POWER_DOWN_STEP_COUNT = 18;
extern const int32_t kPowerDownSeconds[POWER_DOWN_STEP_COUNT];
// The step a stored time stands at; a time not in the list stands at 60 s.
int PowerDownPosition(uint32_t seconds);

// True when the selected button is the only one left with left click: no
// function may then be put on it, or the mouse would have no left click.
// Nothing else is refused, so the page can always give left click back.
bool LeftClickGuardRefuses(const SettingsImage& settings, int selected);

// The selector captions. On creation every record but key combinations,
// macros and raw codes takes its function's text; after a language change key
// combinations are spelled again with the new key names too.
void NameFixedFunctions(SettingsImage& settings);
void RespellDisplayNames(SettingsImage& settings);
std::u16string DisplayNameOf(const ButtonAssignment& record);
// "Button 3": the label over the function buttons.
std::u16string SelectedButtonLabel(int selected);

// The marker over the mouse picture: k + 1 while the cursor is inside
// selector k's rectangle narrowed by 17 pixels on each side, the page's
// window is in front, and selector k is the window under the cursor; else 0.
struct HoverRect {
    int left, top, right, bottom;
};
int SelectorHoverNumber(const HoverRect (&selectorScreenRects)[BUTTON_COUNT], int cursorX, int cursorY,
                        bool pageInFront, int selectorUnderCursor);

// Stores assignments in the record of a button (UI index 0..4) and sends each
// to the mouse on the button's device number. Without a driver nothing is
// sent; device results are not waited for, except a macro's upload.
class ButtonAssigner {
public:
    ButtonAssigner(SettingsImage& settings, CUSBDriver* driver) : m_settings(settings), m_driver(driver) {}

    // A function with a fixed code. False (nothing stored or sent) for a
    // button outside 0..4 or a function without one.
    bool AssignFixed(int button, FunctionId id);
    // A keyboard code from the key-combination dialog.
    bool AssignKeyCombination(int button, uint32_t code);
    // The macro with that store id, uploaded to the button's own device slot
    // and then assigned. A macro not in the store, an empty one, or an upload
    // that did not reach the mouse whole assigns nothing and sends no button
    // command: the button keeps what it had.
    bool AssignMacro(int button, int32_t macroId);
    // The steppers' notices: mode 0 the debounce time, mode 1 the power-down
    // time in seconds; other modes are ignored.
    void StepperChanged(int mode, int value);

private:
    void Send(int button, uint32_t code);

    SettingsImage& m_settings;
    CUSBDriver* m_driver;
};
