#include "framework/layered_window.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

DibGraphics::DibGraphics(const Dib32& dib) {
    if (!dib.ok() || !dib.bits()) return;
    // Finish GDI's pending drawing first: GDI+ writes the same memory.
    ::GdiFlush();
    // The DIB is top-down, so its first row is the bitmap's first scan line.
    if (GdipCreateBitmapFromScan0(dib.width(), dib.height(), dib.width() * 4, PixelFormat32bppPARGB,
                                  reinterpret_cast<BYTE*>(dib.bits()), &m_bitmap) != Ok) {
        m_bitmap = nullptr;
        return;
    }
    if (GdipGetImageGraphicsContext(m_bitmap, &m_graphics) != Ok) m_graphics = nullptr;
}

DibGraphics::~DibGraphics() {
    if (m_graphics) {
        GdipFlush(m_graphics, FlushIntentionSync);
        GdipDeleteGraphics(m_graphics);
    }
    if (m_bitmap) GdipDisposeImage(m_bitmap);
}

bool UpdateLayeredFromDib(HWND hwnd, const Dib32& picture, POINT screenTopLeft, COLORREF colorKey, DWORD flags) {
    if (!hwnd || !picture.ok()) return false;
    ::GdiFlush();
    LONG_PTR exStyle = ::GetWindowLongPtrW(hwnd, GWL_EXSTYLE);
    if (!(exStyle & WS_EX_LAYERED)) ::SetWindowLongPtrW(hwnd, GWL_EXSTYLE, exStyle | WS_EX_LAYERED);
    SIZE size{picture.width(), picture.height()};
    POINT source{0, 0};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    HDC screen = ::GetDC(nullptr);
    BOOL done = ::UpdateLayeredWindow(hwnd, screen, &screenTopLeft, &size, picture.dc(), &source, colorKey, &blend,
                                      flags);
    ::ReleaseDC(nullptr, screen);
    return done != FALSE;
}
