#include "skin/progress_dlg_win32.h"

#include "device/sync_threads.h"
#include "framework/strings.h"
#include "res/resource.h"
#include "skin/png_bar_logic.h"
#include "skin/skin_draw_win32.h"
#include "text/ui_texts.h"

namespace {

constexpr RECT kBarRect{35, 47, 295, 56};
constexpr RECT kTextRect{15, 20, 15 + 360, 20 + 40};
constexpr float kTextPoints = 8.0f;
constexpr Gdiplus::ARGB kTextColor = 0xFF808080;

}  // namespace

CProgressDlg::CProgressDlg() : CSkinnedDialog(IDD_PROGRESS_DIALOG, nullptr, Closing::ByOwnerOnly) {}

BOOL CProgressDlg::OnInitDialog() {
    CSkinnedDialog::OnInitDialog();
    SetWindowText(L"QuorvelProcessDlg");
    BuildSkin();
    ComeToFront();
    return TRUE;
}

void CProgressDlg::BuildSkin() {
    m_normalImage = GdipImage::FromFile(SkinImagePathW(L"Progress_Normal.png"));
    m_overImage = GdipImage::FromFile(SkinImagePathW(L"Progress_Over.png"));
    // Missing images leave a box of no size that still waits for its worker.
    FitToSkin(SIZE{static_cast<LONG>(m_normalImage.Width()), static_cast<LONG>(m_normalImage.Height())});
    m_bar.Create(kBarRect, this);
    m_bar.SetImages(&m_overImage, kBarRect.left, kBarRect.top, kBarRect.right - kBarRect.left,
                    kBarRect.bottom - kBarRect.top, &m_normalImage);
    m_bar.m_readOnly = 1;
    m_bar.m_min = 0;
    m_bar.m_max = 100;
    m_bar.m_pos = 0;
    m_bar.Invalidate(TRUE);
    m_bar.UpdateWindow();
}

void CProgressDlg::ComeToFront() {
    // The sync may start while another program has the foreground; sharing
    // its thread's input for a moment lets the box take it.
    const DWORD own = ::GetCurrentThreadId();
    const DWORD front = ::GetWindowThreadProcessId(::GetForegroundWindow(), nullptr);
    const bool attach = front != 0 && front != own && ::AttachThreadInput(front, own, TRUE);
    ::SetForegroundWindow(m_hWnd);
    if (attach) ::AttachThreadInput(front, own, FALSE);
}

LRESULT CProgressDlg::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == UWM_PROGRESS_POS) return OnProgressPos(wp);
    return CSkinnedDialog::WindowProc(msg, wp, lp);
}

LRESULT CProgressDlg::OnProgressPos(WPARAM wp) {
    m_bar.m_pos = ProgressPositionFor(static_cast<std::intptr_t>(wp), m_bar.m_min, m_bar.m_max);
    if (m_bar.m_hWnd) {
        m_bar.Invalidate(TRUE);
        m_bar.UpdateWindow();
    }
    Invalidate(TRUE);
    UpdateWindow();
    return 1;
}

void CProgressDlg::PaintSkin(HDC dc) {
    const RECT client = GetClientRect();
    const int width = client.right;
    const int height = client.bottom;
    if (width <= 0 || height <= 0) return;
    const CBitmap noSnapshot;
    SkinPaintBuffer buffer(dc, noSnapshot, width, height);
    {
        GdipGraphics graphics(buffer.dc());
        graphics.DrawImagePart(&m_normalImage, 0, 0, 0, 0, width, height);
        graphics.DrawString(ToWide(g_uiTexts[UiText::str_updatemsg]), L"", kTextPoints, Gdiplus::FontStyleRegular,
                            Gdiplus::StringAlignmentNear, kTextRect, kTextColor);
    }
    buffer.Present();
}
