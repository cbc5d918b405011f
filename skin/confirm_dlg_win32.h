// The two-button confirmations: CDebounceWDlg before a short debounce time is
// set, CRateMsgDlg before the 4000 and 8000 Hz report rates. Both are the same
// box with other texts: the skin "msg_nr-2.png", three text rows, OK and
// Cancel. The caller runs DoModal and reads IDOK or IDCANCEL; Enter and Escape
// answer the same way.
#pragma once

#include <windows.h>

#include "skin/box_controls_win32.h"
#include "skin/push_buttons_win32.h"
#include "skin/skinned_dialog_win32.h"
#include "text/ui_texts.h"

class CConfirmationDlg : public CSkinnedDialog {
public:
    CBoxButtonImages m_buttonImages;
    CGDIBitmapBtn m_okButton;
    CGDIBitmapBtn m_cancelButton;
    CGDIBitmapBtn m_textRows[3];

    // What tells the two boxes apart.
    struct Kind {
        UINT templateId;
        const wchar_t* windowText;
        RECT rows[3];
        UiText texts[3];
    };

protected:
    CConfirmationDlg(const Kind& kind, CWnd* parent);
    BOOL OnInitDialog() override;

private:
    void BuildSkin();
    const Kind& m_kind;
};

class CDebounceWDlg : public CConfirmationDlg {
public:
    // parent: the control that asks (the stepper); the box sits on its
    // top-level window's corner.
    explicit CDebounceWDlg(CWnd* parent);
};

class CRateMsgDlg : public CConfirmationDlg {
public:
    explicit CRateMsgDlg(CWnd* parent);
};
