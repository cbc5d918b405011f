#include "skin/bars_win32.h"

#include <windowsx.h>

#include <algorithm>

#include "skin/skin_draw_win32.h"
#include "skin/skin_messages.h"

namespace {

// Every page lies at (80, 146) in the main window, whose skin the slider
// paints its background from.
constexpr int kPageLeft = 80;
constexpr int kPageTop = 146;

}  // namespace

// ---- CHProgressBar ----

int CHProgressBar::OwnerX(LPARAM lp) const {
    POINT pt{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
    ::ClientToScreen(m_hWnd, &pt);
    if (m_owner && m_owner->m_hWnd) ::ScreenToClient(m_owner->m_hWnd, &pt);
    return pt.x;
}

void CHProgressBar::Post(const SliderNotice& notice) const {
    if (notice.kind == SliderNoticeKind::None || !m_owner || !m_owner->m_hWnd) return;
    UINT msg = notice.kind == SliderNoticeKind::Moving ? UWM_SLIDER_MOVING : UWM_SLIDER_RELEASED;
    ::PostMessageW(m_owner->m_hWnd, msg, static_cast<WPARAM>(notice.value), m_id);
}

LRESULT CHProgressBar::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (HandlePaintMessage(m_hWnd, msg, wp, [this](HDC dc) { Paint(dc); })) return 0;
    switch (msg) {
    case WM_LBUTTONDOWN:
        if (m_locked) return 0;
        if (Press()) SetCapture();
        return Default();
    case WM_MOUSEMOVE:
        if (m_locked) return 0;
        if (m_dragging) {
            Post(Move(OwnerX(lp)));
            Invalidate(TRUE);
        }
        return Default();
    case WM_LBUTTONUP: {
        if (m_locked) return 0;
        // The drag ends before the capture goes, so losing it is no interruption.
        Post(Release(OwnerX(lp)));
        LRESULT result = Default();
        if (HasCapture()) ::ReleaseCapture();
        Invalidate(TRUE);
        return result;
    }
    case WM_CAPTURECHANGED:
    case WM_KILLFOCUS: {
        // Another window took the mouse (or the focus) during a drag: the drag
        // ends here, reported as a release, and later moves change nothing.
        // Taking the capture the bar already holds is no loss.
        bool lost = msg == WM_KILLFOCUS || reinterpret_cast<HWND>(lp) != m_hWnd;
        if (lost) Post(DragInterrupted());
        return DefaultThenRepaint(*this);
    }
    default:
        break;
    }
    return CWnd::WindowProc(msg, wp, lp);
}

void CHProgressBar::Paint(HDC dc) {
    RECT client = GetClientRect();
    int w = client.right, h = client.bottom;
    CBitmap buffer;
    buffer.CreateCompatibleBitmap(dc, w > 0 ? w : 1, h > 0 ? h : 1);
    MemoryDC target(dc);
    target.Select(buffer);
    if (!m_skin.IsEmpty()) {
        RECT inParent = GetRectInParent();
        MemoryDC skin(dc);
        skin.Select(m_skin);
        ::BitBlt(target, 0, 0, w, h, skin, inParent.left + kPageLeft, inParent.top + kPageTop, SRCCOPY);
    }
    {
        GdipGraphics graphics(target.dc());
        int thumbWidth = m_thumbImage ? static_cast<int>(m_thumbImage->Width()) : 0;
        int centre = SliderThumbCentre(m_pos, m_min, m_max, m_trackRect.Width(), thumbWidth);
        if (m_trackImage) {
            int ih = static_cast<int>(m_trackImage->Height());
            graphics.DrawImageRect(m_trackImage, 0, h / 2 - ih / 2, w, ih);
        }
        if (m_restImage) {
            int ih = static_cast<int>(m_restImage->Height());
            graphics.DrawImageRect(m_restImage, centre, h / 2 - ih / 2, w - centre, ih);
        }
        graphics.DrawImage(m_thumbImage, centre - thumbWidth / 2, 0);
    }
    ::BitBlt(dc, 0, 0, w, h, target, 0, 0, SRCCOPY);
}

// ---- CBatProgressBar ----

bool CBatProgressBar::Create(RECT rect, CWnd* parent) {
    m_rect = rect;
    m_parent = parent;
    m_id = 802;
    m_min = 0;
    m_max = 100;
    m_pos = 0;
    return CWnd::Create(nullptr, L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP, rect, parent, 802);
}

void CBatProgressBar::SetImages(const std::wstring& fill1, const std::wstring& back1, const std::wstring& fill2,
                                const std::wstring& back2, const CBitmap* background, BOOL horizontal) {
    m_work.DeleteObject();
    m_pristine.DeleteObject();
    m_fill1 = fill1;
    m_back1 = back1;
    m_fill2 = fill2;
    m_back2 = back2;
    m_horizontal = horizontal;
    SnapshotBackground(*this, m_work, background, m_rect);
    SnapshotBackground(*this, m_pristine, background, m_rect);
}

LRESULT CBatProgressBar::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (HandlePaintMessage(m_hWnd, msg, wp, [this](HDC dc) { Paint(dc); })) return 0;
    switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_MOUSEMOVE:
        return 0;  // a display only: the mouse does nothing here
    default:
        break;
    }
    return CWnd::WindowProc(msg, wp, lp);
}

void CBatProgressBar::Paint(HDC dc) {
    int width = m_rect.right - m_rect.left;
    int height = m_rect.bottom - m_rect.top;
    if (m_work.IsEmpty() || m_pristine.IsEmpty()) return;
    MemoryDC work(dc);
    work.Select(m_work);
    {
        // Each paint starts from the clean background.
        MemoryDC pristine(dc);
        pristine.Select(m_pristine);
        ::BitBlt(work, 0, 0, width, height, pristine, 0, 0, SRCCOPY);
    }
    {
        // The pair as its files are at this paint; neither file is held open.
        PaintImage* pair = m_altLook ? &m_loaded[2] : &m_loaded[0];
        const GdipImage& fill = pair[0].Load(m_altLook ? m_fill2 : m_fill1);
        const GdipImage& back = pair[1].Load(m_altLook ? m_back2 : m_back1);
        GdipGraphics graphics(work.dc());
        graphics.DrawImage(&back, 0, 0);
        int fillHeight = static_cast<int>(fill.Height());
        BatteryFill part =
            BatteryFillPart(m_horizontal != 0, width, height, fillHeight, m_pos, m_min, m_max);
        if (part.drawn && fill) {
            if (m_horizontal) {
                int w = std::min(part.width, static_cast<int>(fill.Width()));
                graphics.DrawImagePart(&fill, 0, 0, 0, 0, w, fillHeight);
            } else {
                graphics.DrawImagePart(&fill, 0, part.top, 0, part.top, static_cast<int>(fill.Width()),
                                       fillHeight - part.top);
            }
        }
    }
    RECT window = GetWindowRect();
    ::BitBlt(dc, 0, 0, window.right - window.left, window.bottom - window.top, work, 0, 0, SRCCOPY);
}
