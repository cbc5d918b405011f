#include "skin/skin_button_win32.h"

BOOL CSkinButton::PreTranslateMessage(MSG* msg) {
    if (!m_toolTip.m_hWnd && m_toolTip.Create(this)) m_toolTip.Activate(FALSE);
    if (m_toolTip.m_hWnd) m_toolTip.RelayEvent(msg);
    return CButton::PreTranslateMessage(msg);
}

void CSkinButton::ApplyHoverStep(const HoverStep& step) {
    if (step.releaseCapture) ::ReleaseCapture();
    if (step.takeCapture) SetCapture();
    switch (step.paint) {
    case HoverStep::Paint::None:
        break;
    case HoverStep::Paint::Later:
        Invalidate(TRUE);
        break;
    case HoverStep::Paint::Now:
        RedrawWindow(RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        break;
    }
}

LRESULT CSkinButton::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    // A popup belongs to the top-level window, not to the button: without
    // this the tooltip would stay until the whole window goes.
    if (msg == WM_DESTROY && m_toolTip.m_hWnd) m_toolTip.DestroyWindow();
    return CButton::WindowProc(msg, wp, lp);
}
