#include "framework/gdiplus_helpers.h"

#include <objidl.h>

#include <atomic>
#include <cstring>
#include <vector>

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

namespace {
std::atomic<long> g_liveGdiplus{0};

// The whole file, read with every kind of sharing so that nobody is kept out;
// empty when it cannot be read.
std::vector<uint8_t> ReadWholeFile(const std::wstring& path) {
    std::vector<uint8_t> bytes;
    if (path.empty()) return bytes;
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return bytes;
    LARGE_INTEGER size{};
    // Skin images are small; anything past 64 MB is no image of ours.
    if (::GetFileSizeEx(file, &size) && size.QuadPart > 0 && size.QuadPart < (64 << 20)) {
        bytes.resize(size_t(size.QuadPart));
        DWORD read = 0;
        if (!::ReadFile(file, bytes.data(), DWORD(bytes.size()), &read, nullptr)) read = 0;
        bytes.resize(read);
    }
    ::CloseHandle(file);
    return bytes;
}

// A stream over a copy of the bytes, which frees its memory when released.
IStream* StreamOverCopy(const void* data, size_t size) {
    if (!data || size == 0) return nullptr;
    HGLOBAL copy = ::GlobalAlloc(GMEM_MOVEABLE, size);
    if (!copy) return nullptr;
    void* target = ::GlobalLock(copy);
    if (!target) {
        ::GlobalFree(copy);
        return nullptr;
    }
    std::memcpy(target, data, size);
    ::GlobalUnlock(copy);
    IStream* stream = nullptr;
    if (FAILED(::CreateStreamOnHGlobal(copy, TRUE, &stream))) {
        ::GlobalFree(copy);
        return nullptr;
    }
    return stream;
}
}  // namespace

namespace gdiplus {
long LiveObjects() {
    return g_liveGdiplus.load();
}
}  // namespace gdiplus

GdiplusSession::GdiplusSession() {
    GdiplusStartupInput input;  // version 1, no debug callback, background thread on
    ULONG_PTR token = 0;
    if (GdiplusStartup(&token, &input, nullptr) == Ok) m_token = token;
}

GdiplusSession::~GdiplusSession() {
    if (m_token) GdiplusShutdown(m_token);
}

GdipImage::GdipImage(GpImage* image) : m_image(image) {
    if (m_image) ++g_liveGdiplus;
}

void GdipImage::Reset() {
    if (m_image) {
        GdipDisposeImage(m_image);
        --g_liveGdiplus;
        m_image = nullptr;
    }
}

GdipImage GdipImage::FromFile(const std::wstring& path) {
    // Decoded from a copy of the file's bytes: the file is never held open
    // while the image lives, and Wine decodes a small image from memory in
    // about half the time it takes from the file.
    const std::vector<uint8_t> bytes = ReadWholeFile(path);
    return FromBytes(bytes.data(), bytes.size());
}

GdipImage GdipImage::FromFileICM(const std::wstring& path) {
    GpImage* image = nullptr;
    if (path.empty() || GdipLoadImageFromFileICM(path.c_str(), &image) != Ok) return GdipImage();
    return GdipImage(image);
}

GdipImage GdipImage::FromResource(UINT id, const wchar_t* type) {
    HMODULE module = ::GetModuleHandleW(nullptr);
    HRSRC info = ::FindResourceW(module, MAKEINTRESOURCEW(id), type);
    if (!info) return GdipImage();
    DWORD size = ::SizeofResource(module, info);
    HGLOBAL loaded = ::LoadResource(module, info);
    return FromBytes(loaded ? ::LockResource(loaded) : nullptr, size);
}

GdipImage GdipImage::FromBytes(const void* data, size_t size) {
    // The image holds the stream while it lives: never free either by hand.
    IStream* stream = StreamOverCopy(data, size);
    if (!stream) return GdipImage();
    GpImage* image = nullptr;
    GpStatus status = GdipLoadImageFromStream(stream, &image);
    stream->Release();
    return status == Ok ? GdipImage(image) : GdipImage();
}

GdipImage GdipImage::CloneArea(int x, int y, int width, int height) const {
    if (!m_image || width <= 0 || height <= 0) return GdipImage();
    PixelFormat format = 0;
    GdipGetImagePixelFormat(m_image, &format);
    GpBitmap* clone = nullptr;
    if (GdipCloneBitmapAreaI(x, y, width, height, format, static_cast<GpBitmap*>(m_image), &clone) != Ok)
        return GdipImage();
    return GdipImage(clone);
}

UINT GdipImage::Width() const {
    UINT w = 0;
    if (m_image) GdipGetImageWidth(m_image, &w);
    return w;
}

UINT GdipImage::Height() const {
    UINT h = 0;
    if (m_image) GdipGetImageHeight(m_image, &h);
    return h;
}

GdipGraphics::GdipGraphics(HDC dc) {
    if (dc && GdipCreateFromHDC(dc, &m_graphics) == Ok)
        ++g_liveGdiplus;
    else
        m_graphics = nullptr;
}

GdipGraphics::~GdipGraphics() {
    if (m_graphics) {
        GdipDeleteGraphics(m_graphics);
        --g_liveGdiplus;
    }
}

void GdipGraphics::DrawImage(const GdipImage* image, int x, int y) {
    if (!m_graphics || !image || !image->ok()) return;
    DrawImageRect(image, x, y, static_cast<int>(image->Width()), static_cast<int>(image->Height()));
}

void GdipGraphics::DrawImageRect(const GdipImage* image, int x, int y, int width, int height) {
    if (!m_graphics || !image || !image->ok() || width <= 0 || height <= 0) return;
    GdipDrawImageRectI(m_graphics, image->get(), x, y, width, height);
}

void GdipGraphics::DrawImagePart(const GdipImage* image, int x, int y, int srcX, int srcY, int width,
                                 int height) {
    if (!m_graphics || !image || !image->ok() || width <= 0 || height <= 0) return;
    GdipDrawImageRectRectI(m_graphics, image->get(), x, y, width, height, srcX, srcY, width, height, UnitPixel,
                           nullptr, nullptr, nullptr);
}

void GdipGraphics::DrawString(const std::wstring& text, const std::wstring& family, float points, int style,
                              StringAlignment align, const RECT& layout, ARGB color) {
    if (!m_graphics || text.empty()) return;
    GpFontFamily* fontFamily = nullptr;
    if (family.empty() || GdipCreateFontFamilyFromName(family.c_str(), nullptr, &fontFamily) != Ok) {
        fontFamily = nullptr;
        // The generic sans-serif family looks for fonts a system may lack
        // (Wine has none of them by default); then try common ones by name.
        if (GdipGetGenericFontFamilySansSerif(&fontFamily) != Ok) {
            fontFamily = nullptr;
            for (const wchar_t* name : {L"Arial", L"Liberation Sans", L"DejaVu Sans", L"Tahoma"}) {
                if (GdipCreateFontFamilyFromName(name, nullptr, &fontFamily) == Ok) break;
                fontFamily = nullptr;
            }
        }
        if (!fontFamily) return;
    }
    GpFont* font = nullptr;
    GpStringFormat* format = nullptr;
    GpSolidFill* brush = nullptr;
    if (GdipCreateFont(fontFamily, points, style, UnitPoint, &font) == Ok &&
        GdipCreateStringFormat(0, LANG_NEUTRAL, &format) == Ok && GdipCreateSolidFill(color, &brush) == Ok) {
        GdipSetStringFormatAlign(format, align);
        RectF box(static_cast<REAL>(layout.left), static_cast<REAL>(layout.top),
                  static_cast<REAL>(layout.right - layout.left), static_cast<REAL>(layout.bottom - layout.top));
        GdipDrawString(m_graphics, text.c_str(), static_cast<INT>(text.size()), font, &box, format, brush);
    }
    if (brush) GdipDeleteBrush(brush);
    if (format) GdipDeleteStringFormat(format);
    if (font) GdipDeleteFont(font);
    GdipDeleteFontFamily(fontFamily);
}

bool LoadBitmapFromImageFile(const std::wstring& path, CBitmap& out) {
    out.DeleteObject();
    // From the bytes in memory, as GdipImage::FromFile decodes.
    const std::vector<uint8_t> bytes = ReadWholeFile(path);
    IStream* stream = StreamOverCopy(bytes.data(), bytes.size());
    if (!stream) return false;
    GpBitmap* bitmap = nullptr;
    GpStatus created = GdipCreateBitmapFromStream(stream, &bitmap);
    stream->Release();
    if (created != Ok) return false;
    HBITMAP handle = nullptr;
    GpStatus status = GdipCreateHBITMAPFromBitmap(bitmap, &handle, 0xFF000000);
    GdipDisposeImage(bitmap);
    return status == Ok && out.Attach(handle);
}

bool SaveDibAsPng(const Dib32& dib, const std::wstring& path) {
    if (!dib.ok()) return false;
    ::GdiFlush();
    GpBitmap* bitmap = nullptr;
    if (GdipCreateBitmapFromScan0(dib.width(), dib.height(), dib.width() * 4, PixelFormat32bppRGB,
                                  reinterpret_cast<BYTE*>(dib.bits()), &bitmap) != Ok)
        return false;
    // The PNG encoder's class id.
    static const CLSID kPngEncoder = {0x557CF406, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};
    GpStatus status = GdipSaveImageToFile(bitmap, path.c_str(), &kPngEncoder, nullptr);
    GdipDisposeImage(bitmap);
    return status == Ok;
}
