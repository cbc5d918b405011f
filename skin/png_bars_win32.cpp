#include "skin/png_bars_win32.h"

#include "framework/gdi.h"
#include "skin/png_bar_logic.h"
#include "skin/skin_draw_win32.h"

bool CPngHProgressBar::Create(RECT rect, CWnd* parent) {
    m_rect = rect;
    m_parent = parent;
    m_min = 0;
    m_max = 10;
    m_pos = 0;
    return CWnd::Create(nullptr, L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP, rect, parent, static_cast<UINT>(m_id));
}

void CPngHProgressBar::SetImages(const GdipImage* fillSource, int x, int y, int width, int height,
                                 const GdipImage* trackSource) {
    m_trackImage.Reset();
    m_fillImage.Reset();
    if (trackSource) m_trackImage = trackSource->CloneArea(x, y, width, height);
    if (fillSource) m_fillImage = fillSource->CloneArea(x, y, width, height);
}

LRESULT CPngHProgressBar::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (HandlePaintMessage(m_hWnd, msg, wp, [this](HDC dc) { Paint(dc); })) return 0;
    switch (msg) {
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP:
        if (m_readOnly) return 0;
        break;
    case WM_KILLFOCUS:
        return DefaultThenRepaint(*this);
    default:
        break;
    }
    return CWnd::WindowProc(msg, wp, lp);
}

void CPngHProgressBar::Paint(HDC dc) {
    const int width = m_rect.right - m_rect.left;
    const int height = m_rect.bottom - m_rect.top;
    if (width <= 0 || height <= 0) return;
    // Off screen first, so the frequent position updates do not flicker.
    const CBitmap noSnapshot;
    SkinPaintBuffer buffer(dc, noSnapshot, width, height);
    {
        GdipGraphics graphics(buffer.dc());
        graphics.DrawImageRect(&m_trackImage, 0, 0, width, height);
        const int fill = PngBarFillWidth(m_pos, m_min, m_max, width);
        if (fill > 0) graphics.DrawImagePart(&m_fillImage, 0, 0, 0, 0, fill, height);
    }
    buffer.Present();
}
