#include "app/dialogs/button_dialogs_win32.h"

#include <utility>

#include "app/dialogs/fire_key_dlg_win32.h"
#include "app/dialogs/key_combo_dlg_win32.h"
#include "app/dialogs/macro_picker_dlg_win32.h"

namespace {

// KeyComboHandler and MacroPickerHandler are the same type; tags keep their
// slots apart.
struct FireKeyTag {};
struct KeyComboTag {};
struct MacroPickerTag {};

template <typename Tag, typename Handler>
Handler& TaggedSlot() {
    static Handler handler;
    return handler;
}

}  // namespace

void SetFireKeyHandler(FireKeyHandler handler) {
    TaggedSlot<FireKeyTag, FireKeyHandler>() = std::move(handler);
}

void SetKeyComboHandler(KeyComboHandler handler) {
    TaggedSlot<KeyComboTag, KeyComboHandler>() = std::move(handler);
}

void SetMacroPickerHandler(MacroPickerHandler handler) {
    TaggedSlot<MacroPickerTag, MacroPickerHandler>() = std::move(handler);
}

bool RunFireKeyDialog(CWnd* parent, CUSBDriver* driver) {
    if (FireKeyHandler& handler = TaggedSlot<FireKeyTag, FireKeyHandler>()) return handler(parent);
    CFireKeyDlg dialog(parent, driver);
    return dialog.DoModal() == IDOK;
}

std::optional<uint32_t> RunKeyComboDialog(CWnd* parent) {
    if (KeyComboHandler& handler = TaggedSlot<KeyComboTag, KeyComboHandler>()) return handler(parent);
    CDlgSingleCombo dialog(parent);
    if (dialog.DoModal() != IDOK) return std::nullopt;
    ComboFunction function;
    dialog.EncodeFunctionCode(function);
    return function.code;
}

std::optional<uint32_t> RunMacroPicker(CWnd* parent) {
    if (MacroPickerHandler& handler = TaggedSlot<MacroPickerTag, MacroPickerHandler>()) return handler(parent);
    CDlgMacroSet dialog(parent);
    if (dialog.DoModal() != IDOK || dialog.m_macroId == 0) return std::nullopt;
    return dialog.m_macroId;
}
