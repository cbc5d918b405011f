// GDI+ through its flat API: start-up, owned images, drawing, text and PNG
// files. The holders count what they own so tests can show a paint loop leaks
// nothing.
#pragma once

#include <windows.h>
// WIN32_LEAN_AND_MEAN leaves out what the GDI+ headers need (PROPID, IStream).
#include <objidl.h>

#include <gdiplus.h>

#include <string>
#include <utility>

#include "framework/gdi.h"

namespace gdiplus {
long LiveObjects();  // images and graphics now owned by the holders below
}

// Starts GDI+ for the life of the object (the application, or a test program).
class GdiplusSession {
public:
    GdiplusSession();
    ~GdiplusSession();
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;
    bool ok() const { return m_token != 0; }

private:
    ULONG_PTR m_token = 0;
};

// An owned GDI+ image. A failed load leaves it empty; drawing an empty image
// draws nothing.
class GdipImage {
public:
    GdipImage() = default;
    ~GdipImage() { Reset(); }
    GdipImage(const GdipImage&) = delete;
    GdipImage& operator=(const GdipImage&) = delete;
    GdipImage(GdipImage&& other) noexcept : m_image(std::exchange(other.m_image, nullptr)) {}
    GdipImage& operator=(GdipImage&& other) noexcept {
        if (this != &other) {
            Reset();
            m_image = std::exchange(other.m_image, nullptr);
        }
        return *this;
    }

    // The image a file holds, decoded from a copy of its bytes: the file is
    // read once and not kept open.
    static GdipImage FromFile(const std::wstring& path);
    static GdipImage FromFileICM(const std::wstring& path);
    // A resource of the given type (e.g. "PNG") of this program. The image
    // keeps reading its stream, which frees its memory when the image goes.
    static GdipImage FromResource(UINT id, const wchar_t* type);
    // The image an image file's bytes hold, decoded from a copy of them.
    static GdipImage FromBytes(const void* data, size_t size);
    // A copy of an area of this image, in the same pixel format.
    GdipImage CloneArea(int x, int y, int width, int height) const;

    void Reset();
    Gdiplus::GpImage* get() const { return m_image; }
    bool ok() const { return m_image != nullptr; }
    explicit operator bool() const { return ok(); }
    UINT Width() const;
    UINT Height() const;

private:
    explicit GdipImage(Gdiplus::GpImage* image);
    Gdiplus::GpImage* m_image = nullptr;
};

// A GDI+ drawing surface on a DC. Drawing a null or empty image does nothing.
class GdipGraphics {
public:
    explicit GdipGraphics(HDC dc);
    ~GdipGraphics();
    GdipGraphics(const GdipGraphics&) = delete;
    GdipGraphics& operator=(const GdipGraphics&) = delete;
    bool ok() const { return m_graphics != nullptr; }
    Gdiplus::GpGraphics* get() const { return m_graphics; }

    void DrawImage(const GdipImage* image, int x, int y);  // own size
    void DrawImageRect(const GdipImage* image, int x, int y, int width, int height);
    // A part of the image, pixel for pixel.
    void DrawImagePart(const GdipImage* image, int x, int y, int srcX, int srcY, int width, int height);
    // Text in the named family, or a sans-serif one when the name is empty or
    // unknown; size in points; colour 0xAARRGGBB.
    void DrawString(const std::wstring& text, const std::wstring& family, float points, int style,
                    Gdiplus::StringAlignment align, const RECT& layout, Gdiplus::ARGB color);

private:
    Gdiplus::GpGraphics* m_graphics = nullptr;
};

// A PNG (or any image GDI+ reads) as a GDI bitmap, for the backgrounds that
// are blitted and snapshotted with GDI.
bool LoadBitmapFromImageFile(const std::wstring& path, CBitmap& out);
// Saves what a DC shows in a DIB as a PNG file (screenshots).
bool SaveDibAsPng(const Dib32& dib, const std::wstring& path);
