// The macro picker: lists the recorded macros of the store by name and hands
// the chosen macro's id back to the button page, which assigns and uploads it.
// The box changes nothing itself.
#pragma once

#include <windows.h>

#include <cstdint>

#include "app/dialogs/macro_picker_model.h"
#include "framework/gdi.h"
#include "skin/box_controls_win32.h"
#include "skin/list_box_ex_win32.h"
#include "skin/push_buttons_win32.h"
#include "skin/skinned_dialog_win32.h"

constexpr UINT MACRO_PICKER_LIST_ID = 10002;

class CDlgMacroSet : public CSkinnedDialog {
public:
    explicit CDlgMacroSet(CWnd* parent = nullptr);

    CBoxButtonImages m_buttonImages;
    CGDIBitmapBtn m_okButton;
    CGDIBitmapBtn m_cancelButton;
    CListBoxEx m_macroList;  // wrapped by a skinned scroll frame
    // After IDOK: the id of the chosen macro (never 0: OK with no row
    // selected ends the box as cancelled).
    uint32_t m_macroId = 0;

    BOOL PreTranslateMessage(MSG* msg) override;

protected:
    BOOL OnInitDialog() override;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    // Reached only by the window's close: the key filter keeps Enter and
    // Escape from the dialog manager.
    void OnOK() override {}
    void OnCancel() override { EndDialog(IDCANCEL); }

private:
    void BuildSkin();
    void FillMacroList();
    void Confirm();

    MacroPickerList m_rows;
    CBitmap m_scrollSkin;  // outlives the scroll frame, which goes with the list
};
