// The one small entry box: capture a key (mode 0), type a delay (1), type a
// DPI value (2) or type a name (3). It looks like the confirmation boxes: a
// skinned background, a title row, one edit field, OK and Cancel. In the key
// and name modes it takes the whole keyboard through the process's low-level
// hook, so Enter and Escape cannot end it: the mouse on OK or Cancel is the
// way out. Owners normally go through RunValueEntry / RunNameEntry
// (value_entry_win32.h) rather than using the class.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "framework/gdiplus_helpers.h"
#include "framework/keyboard_capture.h"
#include "skin/box_controls_win32.h"
#include "skin/filter_edit_win32.h"
#include "skin/push_buttons_win32.h"
#include "skin/skinned_dialog_win32.h"
#include "framework/dialog.h"
#include "framework/gdi.h"
#include "skin/value_entry_logic.h"

class CMacroModifyDlg : public CSkinnedDialog {
public:
    // parent only says whose top-level window owns the box; without one it is
    // the main window's last active popup.
    explicit CMacroModifyDlg(CWnd* parent = nullptr);

    CBoxButtonImages m_buttonImages;
    CGDIBitmapBtn m_okButton;
    CGDIBitmapBtn m_cancelButton;
    CGDIBitmapBtn m_titleRow;
    int m_mode = VALUE_ENTRY_KEY;  // set by the owner before DoModal
    CFilterEdit m_edit;
    // Results after IDOK: the key code (mode 0, 0 when none was captured) or
    // the number (modes 1 and 2); the name (mode 3), also the working copy
    // while it is typed. After IDCANCEL they hold whatever came so far.
    uint32_t m_value = 0;
    std::wstring m_text;

    BOOL PreTranslateMessage(MSG* msg) override;

protected:
    BOOL OnInitDialog() override;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    // The dialog manager's IDOK and IDCANCEL (the window's close, Alt+F4 in
    // the numeric modes) end the box the way its own buttons do.
    void OnOK() override { Confirm(); }
    void OnCancel() override { Dismiss(); }

private:
    void BuildSkin();
    LRESULT OnHookKey(uint32_t vk, LPARAM state);
    void Confirm();
    void Dismiss();

    ValueEntryMode m_setup;
    CKeyboardCapture m_capture{*this};
};
