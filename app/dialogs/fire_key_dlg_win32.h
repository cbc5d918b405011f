// The fire-key box: the count (0 to 3) and the interval (0 to 255) of the
// mouse's fire key. OK stores both in g_settings and sends them itself through
// the driver it was given; the button page only learns whether it ended with OK.
#pragma once

#include <windows.h>

#include "skin/box_controls_win32.h"
#include "skin/filter_edit_win32.h"
#include "skin/push_buttons_win32.h"
#include "skin/skinned_dialog_win32.h"

class CUSBDriver;

// Both fields carry this id; the dialog tells them apart by their windows.
constexpr UINT FIRE_KEY_EDIT_ID = 2581;

class CFireKeyDlg : public CSkinnedDialog {
public:
    // A null driver: OK stores the values only.
    CFireKeyDlg(CWnd* parent, CUSBDriver* driver);

    CBoxButtonImages m_buttonImages;
    CGDIBitmapBtn m_okButton;
    CGDIBitmapBtn m_cancelButton;
    CGDIBitmapBtn m_countLabel;     // str_msg6
    CGDIBitmapBtn m_intervalLabel;  // str_msg7
    CGDIBitmapBtn m_countHint;      // str_msg8
    CGDIBitmapBtn m_intervalHint;   // str_msg15
    CFilterEdit m_fireCountEdit;
    CFilterEdit m_fireIntervalEdit;

protected:
    BOOL OnInitDialog() override;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    // Enter in a field reaches the dialog as IDOK: it does what the OK button
    // does, so the typed values are never dropped while the page goes on as
    // if they had been confirmed. Escape and the window's close cancel.
    void OnOK() override { Confirm(); }
    void OnCancel() override { EndDialog(IDCANCEL); }

private:
    void BuildSkin();
    void Confirm();

    CUSBDriver* m_driver;
};
