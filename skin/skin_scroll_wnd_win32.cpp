#include "skin/skin_scroll_wnd_win32.h"

#include "skin/skin_messages.h"

namespace {

constexpr UINT kHorizontalBarId = 100;
constexpr UINT kVerticalBarId = 101;
constexpr UINT kInnerId = 200;
constexpr UINT_PTR kSyncTimer = 100;
constexpr UINT kSyncMs = 500;

CSkinScrollWnd* FrameOf(HWND control) {
    if (reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(control, GWLP_WNDPROC)) != ScrollFrameSubclassProc)
        return nullptr;
    return reinterpret_cast<CSkinScrollWnd*>(::GetWindowLongPtrW(control, GWLP_USERDATA));
}

RECT ToRect(const SkinRect& r) {
    return {r.left, r.top, r.right, r.bottom};
}

SkinRect ToSkin(const RECT& r) {
    return {r.left, r.top, r.right, r.bottom};
}

void MoveTo(CWnd& wnd, const SkinRect& r) {
    wnd.SetWindowPos(nullptr, r.left, r.top, r.Width(), r.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
}

thread_local long t_liveFrames = 0;

}  // namespace

CSkinScrollWnd::CSkinScrollWnd() {
    ++t_liveFrames;
}

CSkinScrollWnd::~CSkinScrollWnd() {
    --t_liveFrames;
}

long CSkinScrollWnd::LiveFrames() {
    return t_liveFrames;
}

HWND ScrollFrameOwnerOf(HWND control) {
    if (CSkinScrollWnd* frame = FrameOf(control); frame && frame->m_hWnd) return ::GetParent(frame->m_hWnd);
    return ::GetParent(control);
}

bool CSkinScrollWnd::SkinWindow(CWnd* control, CSkinScrollWnd* frame, HBITMAP skin) {
    // A frame already wrapping something is the caller's mistake, not ours to delete.
    if (!frame || frame->m_hWnd) return false;
    HWND ctrl = control ? control->m_hWnd : nullptr;
    HWND parent = ctrl ? ::GetParent(ctrl) : nullptr;
    if (!parent || FrameOf(ctrl)) {
        delete frame;
        return false;
    }

    frame->m_inner.m_skin = skin;
    BITMAP info{};
    if (skin && ::GetObjectW(skin, sizeof(info), &info) && info.bmWidth >= 9) frame->m_cell = info.bmWidth / 9;

    RECT r = control->GetRectInParent();
    const UINT id = static_cast<UINT>(::GetDlgCtrlID(ctrl));
    const DWORD style = control->GetStyle();
    const DWORD exStyle = control->GetExStyle();
    DWORD frameStyle = WS_CHILD | (style & WS_VISIBLE);
    DWORD frameExStyle = (exStyle & WS_EX_TOOLWINDOW) ? WS_EX_TOOLWINDOW | WS_EX_TOPMOST : 0;
    int width = r.right - r.left;
    int height = r.bottom - r.top;
    // The frame draws the control's border; the control shrinks inside it.
    if (style & WS_BORDER) {
        frameStyle |= WS_BORDER;
        width -= 2 * ::GetSystemMetrics(SM_CXBORDER);
        height -= 2 * ::GetSystemMetrics(SM_CXBORDER);
    }
    if (exStyle & WS_EX_CLIENTEDGE) {
        frameExStyle |= WS_EX_CLIENTEDGE;
        width -= 2 * ::GetSystemMetrics(SM_CXEDGE);
        height -= 2 * ::GetSystemMetrics(SM_CXEDGE);
    }

    const wchar_t* className = RegisterWndClass(0, ::LoadCursorW(nullptr, IDC_ARROW));
    if (!frame->CreateEx(frameExStyle, className, L"SkinScrollBarFrame", frameStyle, r, parent, id)) {
        delete frame;
        return false;
    }
    // Just below the control, so the tab order stays as it was.
    ::SetWindowPos(frame->m_hWnd, ctrl, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

    const RECT none{};
    if (!frame->m_inner.CreateEx(0, nullptr, L"LIMIT", WS_CHILD | WS_VISIBLE, none, frame->m_hWnd, kInnerId) ||
        !frame->m_hBar.Create(WS_CHILD, none, frame, kHorizontalBarId) ||
        !frame->m_vBar.Create(WS_CHILD | SBS_VERT, none, frame, kVerticalBarId)) {
        // Its PostNcDestroy deletes the frame; the control was never touched.
        frame->DestroyWindow();
        return false;
    }
    SetScrollBarSkin(frame->m_hBar, skin);
    SetScrollBarSkin(frame->m_vBar, skin);

    control->ModifyStyle(WS_BORDER, 0);
    control->ModifyStyleEx(WS_EX_CLIENTEDGE, 0);
    frame->m_control = ctrl;
    ::SetParent(ctrl, frame->m_inner.m_hWnd);
    ::SetWindowLongPtrW(ctrl, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(frame));
    frame->m_inner.m_oldProc = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(ctrl, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ScrollFrameSubclassProc)));
    ::SetWindowPos(ctrl, nullptr, 0, 0, width, height, SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);

    frame->SetTimer(kSyncTimer, kSyncMs);
    frame->m_inner.MoveWindow(frame->GetClientRect());
    frame->SyncBar(frame->m_vBar, true);
    frame->SyncBar(frame->m_hBar, true);
    return true;
}

void CSkinScrollWnd::SyncBar(CSkinScrollBar& bar, bool enable) {
    if (!m_control || !bar.m_hWnd) return;
    const bool vertical = &bar == &m_vBar;
    DWORD style = static_cast<DWORD>(::GetWindowLongPtrW(m_control, GWL_STYLE));
    if (!(style & (vertical ? WS_VSCROLL : WS_HSCROLL))) return;
    SCROLLINFO theirs{};
    theirs.cbSize = sizeof(theirs);
    theirs.fMask = SIF_ALL;
    if (!::GetScrollInfo(m_control, vertical ? SB_VERT : SB_HORZ, &theirs)) return;
    SCROLLINFO ours{};
    bar.GetScrollInfo(ours, SIF_ALL);
    if (theirs.nMin != ours.nMin || theirs.nMax != ours.nMax || theirs.nPage != ours.nPage ||
        theirs.nPos != ours.nPos) {
        theirs.fMask = SIF_PAGE | SIF_POS | SIF_RANGE;
        bar.SetScrollInfo(theirs, TRUE);
    }
    if (enable) bar.EnableWindow(theirs.nMax >= static_cast<int>(theirs.nPage));
}

void CSkinScrollWnd::OnControlNcCalcSize(HWND control, const RECT& window, NCCALCSIZE_PARAMS* params) {
    DWORD style = static_cast<DWORD>(::GetWindowLongPtrW(control, GWL_STYLE));
    DWORD exStyle = static_cast<DWORD>(::GetWindowLongPtrW(control, GWL_EXSTYLE));
    const bool hasV = (style & WS_VSCROLL) != 0;
    const bool hasH = (style & WS_HSCROLL) != 0;
    const bool left = (exStyle & WS_EX_LEFTSCROLLBAR) != 0;
    RECT& client = params->rgrc[0];
    SkinRect relative{client.left - window.left, client.top - window.top, client.right - window.left,
                      client.bottom - window.top};
    ScrollFrameBars bars =
        LayOutScrollFrameBars(relative, hasV, hasH, left, ::GetSystemMetrics(SM_CXVSCROLL), m_cell);
    client = {bars.client.left + window.left, bars.client.top + window.top, bars.client.right + window.left,
              bars.client.bottom + window.top};
    MoveTo(m_vBar, bars.vertical);
    MoveTo(m_hBar, bars.horizontal);
    m_vBar.ShowWindow(hasV ? SW_SHOWNOACTIVATE : SW_HIDE);
    m_hBar.ShowWindow(hasH ? SW_SHOWNOACTIVATE : SW_HIDE);
    m_inner.m_cornerMode = bars.cornerMode;
    PostMessage(UWM_SCROLLFRAME_RELAYOUT, hasV, left);
}

void CSkinScrollWnd::Relayout(bool hasVertical, bool onLeft) {
    if (!m_control) return;
    m_inner.m_busy = true;
    ScrollFrameInner layout =
        LayOutScrollFrameInner(ToSkin(GetClientRect()), m_hBar.IsWindowVisible() != FALSE, hasVertical, onLeft, m_cell);
    m_inner.MoveWindow(ToRect(layout.inner));
    ::SetWindowPos(m_control, nullptr, layout.controlX, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    m_inner.m_busy = false;
    Invalidate(FALSE);
}

void CSkinScrollWnd::Unwrap(HWND control) {
    ::SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_inner.m_oldProc));
    ::SetWindowLongPtrW(control, GWLP_USERDATA, 0);
    m_control = nullptr;
    if (m_destroying) {
        // The frame is going with its own parent (a page closing): the control
        // goes with it, and the frame deletes itself once its window is gone.
        return;
    }
    // The control leaves the frame first, so destroying the frame cannot
    // reach the control a second time.
    RECT r = GetRectInParent();
    ::SetParent(control, ::GetParent(m_hWnd));
    ::SetWindowPos(control, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    DestroyWindow();  // PostNcDestroy deletes this
}

LRESULT CSkinScrollWnd::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_DESTROY:
        m_destroying = true;
        KillTimer(kSyncTimer);
        break;
    case WM_SIZE:
        if (m_control && LOWORD(lp) && HIWORD(lp))
            ::SetWindowPos(m_control, nullptr, 0, 0, LOWORD(lp), HIWORD(lp), SWP_NOZORDER | SWP_NOACTIVATE);
        break;
    case WM_VSCROLL:
    case WM_HSCROLL: {
        CSkinScrollBar& bar = msg == WM_VSCROLL ? m_vBar : m_hBar;
        if (!m_control || reinterpret_cast<HWND>(lp) != bar.m_hWnd) break;
        m_inner.m_busy = true;
        ::SendMessageW(m_control, msg, wp, 0);
        if (LOWORD(wp) == SB_THUMBTRACK) {
            // A list box reads the track position from its own bar, which is
            // not the one being dragged, and stays where it was: it is told
            // the position outright, so it follows the thumb.
            SCROLLINFO info{};
            info.cbSize = sizeof(info);
            info.fMask = SIF_POS;
            const int track = bar.m_model.trackPos;
            if (::GetScrollInfo(m_control, msg == WM_VSCROLL ? SB_VERT : SB_HORZ, &info) && info.nPos != track)
                ::SendMessageW(m_control, msg, MAKEWPARAM(SB_THUMBPOSITION, track), 0);
        }
        m_inner.m_busy = false;
        if (LOWORD(wp) != SB_THUMBTRACK) SyncBar(bar, false);
        return 0;
    }
    case WM_TIMER:
        if (wp == kSyncTimer) {
            for (CSkinScrollBar* bar : {&m_vBar, &m_hBar})
                if (bar->IsWindowVisible() && !bar->IsDragging()) SyncBar(*bar, false);
            return 0;
        }
        break;
    case UWM_SCROLLFRAME_RELAYOUT:
        Relayout(wp != 0, lp != 0);
        return 0;
    default:
        break;
    }
    if (HandlePaintMessage(m_hWnd, msg, wp, [this](HDC dc) {
            SkinBlit corner = ScrollFrameCorner(ToSkin(GetClientRect()), m_inner.m_cornerMode, m_cell);
            if (corner.dst.Width() <= 0 || !m_inner.m_skin) return;
            MemoryDC cells(dc);
            if (!cells.ok()) return;
            cells.Select(m_inner.m_skin);
            ::BitBlt(dc, corner.dst.left, corner.dst.top, corner.dst.Width(), corner.dst.Height(), cells,
                     corner.src.left, corner.src.top, SRCCOPY);
        }))
        return 0;
    return CWnd::WindowProc(msg, wp, lp);
}

LRESULT CALLBACK ScrollFrameSubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    CSkinScrollWnd* frame = reinterpret_cast<CSkinScrollWnd*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!frame) return ::DefWindowProcW(hwnd, msg, wp, lp);
    // Kept here: unwrapping may delete the frame that holds it.
    const WNDPROC old = frame->m_inner.m_oldProc;
    if (msg == WM_DESTROY) {
        CallGuarded([&] { frame->Unwrap(hwnd); });
        return ::CallWindowProcW(old, hwnd, msg, wp, lp);
    }

    RECT window{};
    if (msg == WM_NCCALCSIZE && wp) window = reinterpret_cast<NCCALCSIZE_PARAMS*>(lp)->rgrc[0];
    LRESULT result = ::CallWindowProcW(old, hwnd, msg, wp, lp);
    // The frame may be gone (the control destroyed inside that message).
    if (reinterpret_cast<CSkinScrollWnd*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA)) != frame) return result;
    if (frame->m_inner.m_busy) return result;
    CallGuarded([&] {
        switch (msg) {
        case WM_ERASEBKGND:
            frame->SyncBar(frame->m_vBar, true);
            frame->SyncBar(frame->m_hBar, true);
            break;
        case WM_NCCALCSIZE:
            if (wp) frame->OnControlNcCalcSize(hwnd, window, reinterpret_cast<NCCALCSIZE_PARAMS*>(lp));
            break;
        default:
            break;
        }
    });
    return result;
}
