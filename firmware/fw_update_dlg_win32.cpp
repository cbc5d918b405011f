#include "firmware/fw_update_dlg_win32.h"

#include "device/device_state.h"
#include "framework/strings.h"
#include "res/resource.h"
#include "skin/box_controls_win32.h"
#include "skin/skin_draw_win32.h"
#include "text/ui_texts.h"

CFWUpdateDlg* g_fwUpdateDlg = nullptr;

namespace {

constexpr RECT kStartRect{150, 360, 270, 400};
constexpr RECT kExitRect{290, 360, 410, 400};
// Where Exit stands once Start has gone: alone, beside the bar's end.
constexpr RECT kExitMovedRect{380, 360, 500, 400};
constexpr RECT kStatusRect{40, 250, 520, 276};
// The progress pictures hold the bar at this place; the dialog shows that part
// of them under its own bar.
constexpr int kBarSourceX = 35;
constexpr int kBarSourceY = 47;
constexpr int kBarWidth = 260;
constexpr int kBarHeight = 9;
constexpr RECT kBarRect{150, 300, 150 + kBarWidth, 300 + kBarHeight};
constexpr int kTitleFontHeight = 22;
constexpr int kLineFontHeight = 16;
// As the box buttons' captions.
constexpr int kButtonFontHeight = 18;
constexpr int kButtonTextOffset = 3;

// The advice lines: a title and three lines below it. English (language 2)
// is shorter than the Russian text and sits further in, with more space.
RECT InfoLineRect(int i) {
    const bool english = g_languageIndex == 2;
    const int left = english ? 60 : 30;
    const int right = english ? 500 : 530;
    if (i == 0) return RECT{left, 40, right, 70};
    const int top = english ? 100 + 44 * (i - 1) : 96 + 40 * (i - 1);
    return RECT{left, top, right, top + 26};
}

std::wstring StatusText(FwUpdateStatus status) {
    switch (status) {
    case FwUpdateStatus::Running: return ToWide(g_uiTexts[UiText::str_msg22]);
    case FwUpdateStatus::Failed: return ToWide(g_uiTexts[UiText::str_msg23]);
    case FwUpdateStatus::Done: return ToWide(g_uiTexts[UiText::str_msg24]);
    case FwUpdateStatus::None: break;
    }
    return L"";
}

}  // namespace

CFWUpdateDlg::CFWUpdateDlg(CWnd* parent)
    : CSkinnedDialog(IDD_FIRMWARE_DIALOG, parent),
      m_session(m_sink, [this] { return m_imageSource ? m_imageSource() : FirmwareImage{}; }) {
    m_controls.Click(m_startButton, [this] { OnStart(); });
    m_controls.Click(m_exitButton, [this] { OnExit(); });
}

CFWUpdateDlg::~CFWUpdateDlg() {
    m_session.Stop();
    if (g_fwUpdateDlg == this) g_fwUpdateDlg = nullptr;
}

BOOL CFWUpdateDlg::OnInitDialog() {
    CSkinnedDialog::OnInitDialog();
    SetWindowText(L"CFWUpdateDlg");
    m_sink.SetWindow(m_hWnd);
    BuildSkin();
    g_fwUpdateDlg = this;
    return FALSE;
}

void CFWUpdateDlg::BuildSkin() {
    LoadBackground(SkinImagePathW(L"fwupdate.png"));
    m_buttonImages.Load();
    m_buttonImages.CreateButton(m_startButton, *this, m_background, kStartRect, UiText::str_ok1);
    m_buttonImages.CreateButton(m_exitButton, *this, m_background, kExitRect, UiText::str_cancel);

    const UiText lines[] = {UiText::str_msg18, UiText::str_msg19, UiText::str_msg20, UiText::str_msg21};
    for (int i = 0; i < 4; ++i) {
        // The first line is the dialog's title.
        CreateBoxCaption(m_infoLines[i], *this, m_background, InfoLineRect(i), ToWide(g_uiTexts[lines[i]]),
                         i == 0 ? kTitleFontHeight : kLineFontHeight, i == 0 ? DT_CENTER : 0);
    }
    CreateBoxCaption(m_statusLine, *this, m_background, kStatusRect, L"", kLineFontHeight, DT_CENTER);
    m_statusLine.ShowWindow(SW_HIDE);

    m_progressTrack = GdipImage::FromFile(SkinImagePathW(L"Progress_Normal.png"));
    m_progressFill = GdipImage::FromFile(SkinImagePathW(L"Progress_Over.png"));
    m_progress.Create(kBarRect, this);
    m_progress.SetImages(&m_progressFill, kBarSourceX, kBarSourceY, kBarWidth, kBarHeight,
                         &m_progressTrack);
    m_progress.m_readOnly = TRUE;
    m_progress.m_min = 0;
    m_progress.m_max = 0;
    m_progress.m_pos = 0;
    m_progress.ShowWindow(SW_HIDE);
}

LRESULT CFWUpdateDlg::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case UWM_FW_PROGRESS:
        return OnFwProgress(wp, lp);
    case UWM_FW_RESULT:
        return OnFwResult(wp, lp);
    case WM_CLOSE:
        // Another window's close (the main window's exit) ends the dialog as Exit does.
        OnExit();
        return 0;
    case WM_DESTROY: {
        // Whatever destroys the dialog, no worker outlives it.
        m_session.Stop();
        LRESULT result = CSkinnedDialog::WindowProc(msg, wp, lp);
        if (g_fwUpdateDlg == this) g_fwUpdateDlg = nullptr;
        m_sink.SetWindow(nullptr);
        return result;
    }
    default:
        return CSkinnedDialog::WindowProc(msg, wp, lp);
    }
}

void CFWUpdateDlg::OnStart() {
    m_session.Start();
    ShowView();
}

void CFWUpdateDlg::OnExit() {
    // The worker is stopped and joined, and the end command sent, before the
    // dialog goes: nothing can post to it afterwards.
    m_session.Stop();
    // Ended is gone for everyone else: the picker's scan may run again, and
    // a second close finds nothing to close.
    if (g_fwUpdateDlg == this) g_fwUpdateDlg = nullptr;
    EndDialog(IDCANCEL);
}

void CFWUpdateDlg::OnDialogKey() {
    if (!m_session.Running()) OnExit();
}

LRESULT CFWUpdateDlg::OnFwProgress(WPARAM wp, LPARAM lp) {
    if (m_session.OnProgress(wp, lp)) {
        m_progress.m_min = View().barMinimum;
        m_progress.m_max = View().barMaximum;
        m_progress.m_pos = View().barPosition;
        m_progress.RedrawWindow();
    }
    return 1;
}

LRESULT CFWUpdateDlg::OnFwResult(WPARAM wp, LPARAM lp) {
    m_session.OnResult(wp, lp);
    ShowView();
    return 1;
}

void CFWUpdateDlg::ShowView() {
    const FwUpdateView& view = View();
    if (view.status == FwUpdateStatus::None) {
        m_statusLine.ShowWindow(SW_HIDE);
    } else {
        m_statusLine.SetText(StatusText(view.status), 0, 0, kLineFontHeight, DT_CENTER, FALSE);
        m_statusLine.ShowWindow(SW_SHOW);
        m_statusLine.RedrawWindow();
    }
    m_progress.m_min = view.barMinimum;
    m_progress.m_max = view.barMaximum;
    m_progress.m_pos = view.barPosition;
    m_progress.ShowWindow(view.barShown ? SW_SHOW : SW_HIDE);
    m_progress.RedrawWindow();
    m_startButton.ShowWindow(view.startShown ? SW_SHOW : SW_HIDE);
    PlaceExit(view.exitMoved);
    m_exitButton.SetText(ToWide(g_uiTexts[view.exitSaysOk ? UiText::str_ok1 : UiText::str_cancel]),
                         kButtonTextOffset, 0, kButtonFontHeight, DT_CENTER, TRUE);
}

void CFWUpdateDlg::PlaceExit(bool moved) {
    if (moved == m_exitMoved) return;
    m_exitMoved = moved;
    const RECT& rect = moved ? kExitMovedRect : kExitRect;
    m_exitButton.MoveWindow(rect);
    // Its background is the part of the skin under its new place.
    m_exitButton.SetImages(m_exitButton.m_imageNormal, m_exitButton.m_imageHover, m_exitButton.m_imagePressed,
                           &m_background, rect);
    Invalidate(TRUE);
}

void CloseFirmwareUpdateDialog() {
    if (g_fwUpdateDlg && g_fwUpdateDlg->m_hWnd) g_fwUpdateDlg->SendMessage(WM_CLOSE);
}
