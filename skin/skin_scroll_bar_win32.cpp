#include "skin/skin_scroll_bar_win32.h"

#include <windowsx.h>

namespace {

SkinPoint PointOf(LPARAM lp) {
    return {GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
}

int CellOf(HBITMAP skin) {
    BITMAP info{};
    if (!skin || !::GetObjectW(skin, sizeof(info), &info)) return 0;
    return info.bmWidth / 9;
}

}  // namespace

void CSkinScrollBar::PreSubclassWindow() {
    m_model.vertical = (GetStyle() & SBS_VERT) != 0;
}

SkinPoint CSkinScrollBar::CursorInClient() const {
    POINT pt{};
    ::GetCursorPos(&pt);
    ::ScreenToClient(m_hWnd, &pt);
    return {pt.x, pt.y};
}

void CSkinScrollBar::Apply(const ScrollEffects& fx) {
    if (fx.stopTimer) KillTimer(static_cast<UINT_PTR>(fx.stopTimer));
    if (fx.startTimer) SetTimer(static_cast<UINT_PTR>(fx.startTimer), static_cast<UINT>(fx.startElapse));
    if (fx.repaint) Invalidate(FALSE);
    // The parent scrolls its control and hands the new state back through
    // SBM_SETSCROLLINFO before SendMessage returns.
    HWND self = m_hWnd;
    HWND parent = ::GetParent(self);
    UINT msg = m_model.vertical ? WM_VSCROLL : WM_HSCROLL;
    for (const ScrollNotice& n : fx.notices) {
        if (!::IsWindow(self) || !parent) return;
        ::SendMessageW(parent, msg, MAKEWPARAM(n.code, n.pos), reinterpret_cast<LPARAM>(self));
    }
}

void CSkinScrollBar::Paint(HDC dc) {
    if (m_skin.IsEmpty()) return;
    MemoryDC cells(dc);
    if (!cells.ok()) return;
    cells.Select(m_skin);
    for (const SkinBlit& b : ScrollBarBlits(m_model)) {
        if (b.src.Width() == b.dst.Width() && b.src.Height() == b.dst.Height()) {
            ::BitBlt(dc, b.dst.left, b.dst.top, b.dst.Width(), b.dst.Height(), cells, b.src.left, b.src.top, SRCCOPY);
        } else {
            ::SetStretchBltMode(dc, COLORONCOLOR);
            ::StretchBlt(dc, b.dst.left, b.dst.top, b.dst.Width(), b.dst.Height(), cells, b.src.left, b.src.top,
                         b.src.Width(), b.src.Height(), SRCCOPY);
        }
    }
}

LRESULT CSkinScrollBar::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (HandlePaintMessage(m_hWnd, msg, wp, [this](HDC dc) { Paint(dc); })) return 0;
    switch (msg) {
    case SBM_SETSCROLLINFO: {
        const auto* info = reinterpret_cast<const SCROLLINFO*>(lp);
        if (!info) return 0;
        if (info->fMask & SIF_PAGE) m_model.range.page = static_cast<int>(info->nPage);
        if (info->fMask & SIF_POS) m_model.range.pos = info->nPos;
        if (info->fMask & SIF_RANGE) {
            m_model.range.min = info->nMin;
            m_model.range.max = info->nMax;
        }
        if (wp) Invalidate(FALSE);
        return 1;
    }
    case SBM_GETSCROLLINFO: {
        auto* info = reinterpret_cast<SCROLLINFO*>(lp);
        if (!info) return 0;
        if (info->fMask & SIF_PAGE) info->nPage = static_cast<UINT>(m_model.range.page);
        if (info->fMask & SIF_POS) info->nPos = m_model.range.pos;
        if (info->fMask & SIF_TRACKPOS) info->nTrackPos = m_model.dragging ? m_model.trackPos : -1;
        if (info->fMask & SIF_RANGE) {
            info->nMin = m_model.range.min;
            info->nMax = m_model.range.max;
        }
        return 1;
    }
    case WM_SIZE: {
        RECT client = GetClientRect();
        m_model.length = m_model.vertical ? client.bottom : client.right;
        return Default();
    }
    case WM_ERASEBKGND:
        // Every pixel comes from the skin; without one the system bar erases.
        if (!m_skin.IsEmpty()) return 1;
        break;
    case WM_LBUTTONDOWN:
        SetCapture();
        Apply(m_model.Press(PointOf(lp)));
        return 0;
    case WM_LBUTTONDBLCLK:
        // The second press of a double click does nothing more.
        return 1;
    case WM_MOUSEMOVE:
        if (!m_leaveTracking) {
            TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, m_hWnd, 0};
            m_leaveTracking = ::TrackMouseEvent(&track) != FALSE;
        }
        Apply(m_model.Move(PointOf(lp)));
        return 0;
    case WM_LBUTTONUP:
        // The press ends before the capture goes, so letting it go is no loss.
        Apply(m_model.Release(PointOf(lp)));
        if (HasCapture()) ::ReleaseCapture();
        return 0;
    case WM_CAPTURECHANGED:
        if (reinterpret_cast<HWND>(lp) != m_hWnd) Apply(m_model.CaptureLost());
        break;
    case WM_MOUSELEAVE:
        m_leaveTracking = false;
        Apply(m_model.Move({-1, -1}));
        return 0;
    case WM_TIMER:
        if (wp == static_cast<WPARAM>(kScrollDelayTimer) || wp == static_cast<WPARAM>(kScrollRepeatTimer)) {
            Apply(m_model.Timer(static_cast<int>(wp), CursorInClient()));
            return 0;
        }
        break;
    default:
        break;
    }
    return CScrollBar::WindowProc(msg, wp, lp);
}

void SetScrollBarSkin(CSkinScrollBar& bar, HBITMAP skin) {
    bar.m_skin.Attach(skin);
    int cell = CellOf(skin);
    if (cell <= 0) return;
    bar.m_model.cell = cell;
    if (!bar.m_hWnd) return;
    RECT r = bar.GetRectInParent();
    int width = bar.IsVertical() ? cell : r.right - r.left;
    int height = bar.IsVertical() ? r.bottom - r.top : cell;
    bar.SetWindowPos(nullptr, r.left, r.top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    bar.Invalidate(FALSE);
}
