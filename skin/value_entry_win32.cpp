#include "skin/value_entry_win32.h"

#include <utility>

#include "skin/value_entry_dlg_win32.h"

namespace {

ValueEntryHandler& ValueHandler() {
    static ValueEntryHandler handler;
    return handler;
}

NameEntryHandler& NameHandler() {
    static NameEntryHandler handler;
    return handler;
}

std::optional<uint32_t> RunValueDialog(CWnd* parent, int mode) {
    if (mode != VALUE_ENTRY_KEY && mode != VALUE_ENTRY_DELAY && mode != VALUE_ENTRY_DPI) return std::nullopt;
    CMacroModifyDlg dialog(parent);
    dialog.m_mode = mode;
    if (dialog.DoModal() != IDOK) return std::nullopt;
    // No key came (or the hook was refused): that is no change, never key 0.
    if (mode == VALUE_ENTRY_KEY && dialog.m_value == 0) return std::nullopt;
    return dialog.m_value;
}

std::optional<std::wstring> RunNameDialog(CWnd* parent) {
    CMacroModifyDlg dialog(parent);
    dialog.m_mode = VALUE_ENTRY_NAME;
    if (dialog.DoModal() != IDOK) return std::nullopt;
    return dialog.m_text;
}

}  // namespace

void SetValueEntryHandler(ValueEntryHandler handler) {
    ValueHandler() = std::move(handler);
}

void SetNameEntryHandler(NameEntryHandler handler) {
    NameHandler() = std::move(handler);
}

std::optional<uint32_t> RunValueEntry(CWnd* parent, int mode) {
    if (ValueEntryHandler& handler = ValueHandler()) return handler(parent, mode);
    return RunValueDialog(parent, mode);
}

std::optional<std::wstring> RunNameEntry(CWnd* parent) {
    if (NameEntryHandler& handler = NameHandler()) return handler(parent);
    return RunNameDialog(parent);
}
