#include "skin/mouse_bitmap_win32.h"

#include <algorithm>

#include "framework/strings.h"
#include "skin/png_bar_logic.h"
#include "skin/skin_draw_win32.h"

void CMouseBitmap::SetImages(const std::wstring& picturePath, const std::wstring& markerPrefix,
                             const CBitmap* background, RECT rect) {
    m_picture = GdipImage::FromFile(picturePath);
    m_markerPrefix = markerPrefix;
    SnapshotBackground(*this, m_background, background, rect);
}

void CMouseBitmap::SetOverlayImage(const std::wstring& picturePath, const std::wstring& markerPrefix) {
    // The picture it replaces is released here, so its file is not held open.
    m_picture = GdipImage::FromFile(picturePath);
    m_markerPrefix = markerPrefix;
}

void CMouseBitmap::DrawItem(DRAWITEMSTRUCT* dis) {
    RECT client = GetClientRect();
    SkinPaintBuffer buffer(dis->hDC, m_background, client.right, client.bottom);
    {
        GdipGraphics graphics(buffer.dc());
        graphics.DrawImage(&m_picture, 0, 0);
        if (std::optional<MarkerRect> r = MouseMarkerRect(m_marker)) {
            // The marker's file as it is at this paint; it is never held open.
            const GdipImage& marker =
                m_loadedMarker.Load(FormatW(L"%snumber%d.png", m_markerPrefix.c_str(), m_marker));
            int w = std::min<int>(r->right - r->left, static_cast<int>(marker.Width()));
            int h = std::min<int>(r->bottom - r->top, static_cast<int>(marker.Height()));
            if (w > 0 && h > 0) graphics.DrawImagePart(&marker, r->left, r->top, 0, 0, w, h);
        }
    }
    buffer.Present();
}
