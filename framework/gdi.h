// Holders for GDI objects and device contexts: every handle has one owner that
// releases it, on every path. The holders count the objects they own, so tests
// can show that painting leaks nothing (GetGuiResources says nothing under Wine).
#pragma once

#include <windows.h>

#include <cstdint>
#include <utility>
#include <vector>

namespace gdi {
// GDI objects and device contexts now owned by the holders below.
long LiveObjects();
void CountCreated();
void CountDeleted();
}  // namespace gdi

// An owned GDI object (bitmap, font, brush, pen), or a borrowed one that is
// never deleted: the slider paints from its owner's skin without owning it.
template <typename Handle>
class GdiObject {
public:
    GdiObject() = default;
    explicit GdiObject(Handle h) { Attach(h); }
    ~GdiObject() { DeleteObject(); }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;
    GdiObject(GdiObject&& other) noexcept { *this = std::move(other); }
    GdiObject& operator=(GdiObject&& other) noexcept {
        if (this != &other) {
            DeleteObject();
            m_handle = std::exchange(other.m_handle, nullptr);
            m_owned = std::exchange(other.m_owned, false);
        }
        return *this;
    }

    // Takes ownership; a null handle leaves the holder empty.
    bool Attach(Handle h) {
        DeleteObject();
        m_handle = h;
        m_owned = h != nullptr;
        if (m_owned) gdi::CountCreated();
        return h != nullptr;
    }
    // Uses the handle without ever deleting it.
    void AttachShared(Handle h) {
        DeleteObject();
        m_handle = h;
        m_owned = false;
    }
    Handle Detach() {
        if (m_owned) gdi::CountDeleted();
        m_owned = false;
        return std::exchange(m_handle, nullptr);
    }
    void DeleteObject() {
        if (m_handle && m_owned) {
            ::DeleteObject(m_handle);
            gdi::CountDeleted();
        }
        m_handle = nullptr;
        m_owned = false;
    }

    Handle GetSafeHandle() const { return m_handle; }
    operator Handle() const { return m_handle; }
    bool IsEmpty() const { return m_handle == nullptr; }
    bool IsOwned() const { return m_owned; }

protected:
    Handle m_handle = nullptr;
    bool m_owned = false;
};

class CBitmap : public GdiObject<HBITMAP> {
public:
    using GdiObject::GdiObject;
    bool CreateCompatibleBitmap(HDC ref, int width, int height) {
        return Attach(::CreateCompatibleBitmap(ref, width, height));
    }
    SIZE GetSize() const;
};

// A bitmap that belongs to someone else: Attach only borrows the handle and
// nothing here ever deletes it (a control painting from its owner's skin).
class CBitmapRef {
public:
    CBitmapRef() = default;
    explicit CBitmapRef(HBITMAP h) : m_handle(h) {}
    void Attach(HBITMAP h) { m_handle = h; }
    HBITMAP Detach() { return std::exchange(m_handle, nullptr); }
    HBITMAP GetSafeHandle() const { return m_handle; }
    operator HBITMAP() const { return m_handle; }
    bool IsEmpty() const { return m_handle == nullptr; }

private:
    HBITMAP m_handle = nullptr;
};

class CFont : public GdiObject<HFONT> {
public:
    using GdiObject::GdiObject;
    // The skinned controls' font: "MS Shell Dlg", DEFAULT_CHARSET, FF_SWISS.
    bool CreateSkinFont(int height, int weight, int escapement = 0, BYTE charset = DEFAULT_CHARSET);
};

class CBrush : public GdiObject<HBRUSH> {
public:
    using GdiObject::GdiObject;
    bool CreateSolidBrush(COLORREF color) { return Attach(::CreateSolidBrush(color)); }
};

class CPen : public GdiObject<HPEN> {
public:
    using GdiObject::GdiObject;
    bool CreatePen(int style, int width, COLORREF color) { return Attach(::CreatePen(style, width, color)); }
};

// A memory DC that puts back what was selected into it before it is deleted.
class MemoryDC {
public:
    explicit MemoryDC(HDC ref);
    ~MemoryDC();
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;

    HDC dc() const { return m_dc; }
    operator HDC() const { return m_dc; }
    bool ok() const { return m_dc != nullptr; }
    void Select(HGDIOBJ object);

private:
    HDC m_dc = nullptr;
    std::vector<HGDIOBJ> m_previous;
};

// Selects an object into a DC for one scope.
class SelectScope {
public:
    SelectScope(HDC dc, HGDIOBJ object) : m_dc(dc), m_old(object ? ::SelectObject(dc, object) : nullptr) {}
    ~SelectScope() {
        if (m_old) ::SelectObject(m_dc, m_old);
    }
    SelectScope(const SelectScope&) = delete;
    SelectScope& operator=(const SelectScope&) = delete;

private:
    HDC m_dc;
    HGDIOBJ m_old;
};

class ClientDC {
public:
    explicit ClientDC(HWND hwnd) : m_hwnd(hwnd), m_dc(::GetDC(hwnd)) {}
    ~ClientDC() {
        if (m_dc) ::ReleaseDC(m_hwnd, m_dc);
    }
    ClientDC(const ClientDC&) = delete;
    ClientDC& operator=(const ClientDC&) = delete;
    HDC dc() const { return m_dc; }
    operator HDC() const { return m_dc; }

private:
    HWND m_hwnd;
    HDC m_dc;
};

class PaintDC {
public:
    explicit PaintDC(HWND hwnd) : m_hwnd(hwnd) { m_dc = ::BeginPaint(hwnd, &m_ps); }
    ~PaintDC() { ::EndPaint(m_hwnd, &m_ps); }
    PaintDC(const PaintDC&) = delete;
    PaintDC& operator=(const PaintDC&) = delete;
    HDC dc() const { return m_dc; }
    operator HDC() const { return m_dc; }
    const PAINTSTRUCT& ps() const { return m_ps; }

private:
    HWND m_hwnd;
    HDC m_dc = nullptr;
    PAINTSTRUCT m_ps{};
};

// WM_PAINT and WM_PRINTCLIENT draw the same client: on the screen through
// BeginPaint, or into the caller's DC (PrintWindow, screenshots). True when msg
// was one of them and paint has run.
template <typename Paint>
bool HandlePaintMessage(HWND hwnd, UINT msg, WPARAM wp, Paint&& paint) {
    if (msg == WM_PAINT) {
        PaintDC dc(hwnd);
        paint(dc.dc());
        return true;
    }
    if (msg == WM_PRINTCLIENT) {
        paint(reinterpret_cast<HDC>(wp));
        return true;
    }
    return false;
}

// A 32-bit top-down DIB section with its own memory DC: pixel passes work on
// its bits directly, and tests paint into it and read pixels back.
class Dib32 {
public:
    Dib32(int width, int height);
    ~Dib32();
    Dib32(const Dib32&) = delete;
    Dib32& operator=(const Dib32&) = delete;

    bool ok() const { return m_bitmap != nullptr; }
    int width() const { return m_width; }
    int height() const { return m_height; }
    HDC dc() const { return m_dc; }
    HBITMAP bitmap() const { return m_bitmap; }
    uint32_t* bits() const { return m_bits; }
    // 0xAARRGGBB as stored; Rgb() drops the alpha byte.
    uint32_t Pixel(int x, int y) const {
        ::GdiFlush();
        return m_bits[static_cast<size_t>(y) * m_width + x];
    }
    uint32_t Rgb(int x, int y) const { return Pixel(x, y) & 0x00FFFFFF; }
    void Fill(uint32_t argb);
    // Draws the rendering into a compatible bitmap, e.g. a parent's background.
    bool CopyTo(CBitmap& out) const;

private:
    int m_width;
    int m_height;
    HDC m_dc = nullptr;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_oldBitmap = nullptr;
    uint32_t* m_bits = nullptr;
};

// 0x00RRGGBB, the order of DIB pixels, from a COLORREF (0x00BBGGRR).
constexpr uint32_t RgbOf(COLORREF c) {
    return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}
