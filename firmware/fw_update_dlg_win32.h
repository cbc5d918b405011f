// The firmware update dialog: four lines of advice, Start and Exit, and once
// Start was pressed a status line and the progress bar. Its decisions are the
// FwUpdateSession's; this window shows them and hands it the worker's posts.
// Every deliberate way of closing it (Exit, WM_CLOSE, the main window's exit)
// ends a running update in order; Enter and Escape close it only while none runs.
#pragma once

#include <windows.h>

#include "device/message_sink_win32.h"
#include "firmware/fw_update_session.h"
#include "framework/gdiplus_helpers.h"
#include "skin/box_controls_win32.h"
#include "skin/png_bars_win32.h"
#include "skin/push_buttons_win32.h"
#include "skin/skinned_dialog_win32.h"

class CFWUpdateDlg : public CSkinnedDialog {
public:
    explicit CFWUpdateDlg(CWnd* parent = nullptr);
    ~CFWUpdateDlg() override;

    // Where Start takes the image from; the program's resource unless a test says otherwise.
    FwUpdateSession::ImageSource m_imageSource = LoadEmbeddedFirmwareImage;

    CBoxButtonImages m_buttonImages;
    CGDIBitmapBtn m_startButton;
    CGDIBitmapBtn m_exitButton;
    CGDIBitmapBtn m_infoLines[4];
    CGDIBitmapBtn m_statusLine;
    CPngHProgressBarEx m_progress;

    const FwUpdateView& View() const { return m_session.View(); }

protected:
    BOOL OnInitDialog() override;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    // The dialog manager's Enter and Escape: a key pressed by accident must
    // never stop an update half-way and leave the mouse half-flashed, so while
    // one runs they do nothing; otherwise they end the dialog as Exit does.
    void OnOK() override { OnDialogKey(); }
    void OnCancel() override { OnDialogKey(); }

private:
    void BuildSkin();
    void OnStart();
    void OnExit();
    void OnDialogKey();
    LRESULT OnFwProgress(WPARAM wp, LPARAM lp);
    LRESULT OnFwResult(WPARAM wp, LPARAM lp);
    // Puts the session's view on the controls.
    void ShowView();
    void PlaceExit(bool moved);

    WindowMessageSink m_sink;
    FwUpdateSession m_session;
    GdipImage m_progressTrack;
    GdipImage m_progressFill;
    bool m_exitMoved = false;
};

// The update dialog from its initialisation until it is ended or destroyed;
// null when none runs. The device picker's scan skips its work while it is set.
extern CFWUpdateDlg* g_fwUpdateDlg;

// Closes the open update dialog, if any, as its Exit does: the one way every
// other window closes it (the main window's exit, the picker's close), as a
// modal dialog would otherwise hold them off.
void CloseFirmwareUpdateDialog();
