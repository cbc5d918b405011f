// Layered windows drawn off screen: GDI+ drawing straight into the
// premultiplied pixels of a 32-bit DIB, and the DIB handed to the window with
// UpdateLayeredWindow. Such a window paints nothing in WM_PAINT: the system
// keeps the last picture it was given and composes it with what lies below.
#pragma once

#include <windows.h>
#include <objidl.h>

#include <gdiplus.h>

#include "framework/gdi.h"

// A GDI+ surface over a Dib32's bits, read as premultiplied ARGB: images drawn
// here keep their own transparency in the alpha channel, which a graphics on
// the DIB's DC would not. The DIB must outlive it.
class DibGraphics {
public:
    explicit DibGraphics(const Dib32& dib);
    ~DibGraphics();
    DibGraphics(const DibGraphics&) = delete;
    DibGraphics& operator=(const DibGraphics&) = delete;
    bool ok() const { return m_graphics != nullptr; }
    Gdiplus::GpGraphics* get() const { return m_graphics; }

private:
    Gdiplus::GpBitmap* m_bitmap = nullptr;
    Gdiplus::GpGraphics* m_graphics = nullptr;
};

// Gives the window the picture at screenTopLeft, at the picture's size:
// ULW_ALPHA uses the pixels' own (premultiplied) alpha, ULW_COLORKEY makes
// colorKey transparent. Adds WS_EX_LAYERED first, which the call needs.
bool UpdateLayeredFromDib(HWND hwnd, const Dib32& picture, POINT screenTopLeft, COLORREF colorKey, DWORD flags);
