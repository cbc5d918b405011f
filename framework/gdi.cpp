#include "framework/gdi.h"

#include <atomic>
#include <cstring>

namespace {
std::atomic<long> g_liveObjects{0};
}

namespace gdi {
long LiveObjects() {
    return g_liveObjects.load();
}
void CountCreated() {
    ++g_liveObjects;
}
void CountDeleted() {
    --g_liveObjects;
}
}  // namespace gdi

SIZE CBitmap::GetSize() const {
    BITMAP info{};
    if (!m_handle || !::GetObjectW(m_handle, sizeof(info), &info)) return SIZE{0, 0};
    return SIZE{info.bmWidth, info.bmHeight};
}

bool CFont::CreateSkinFont(int height, int weight, int escapement, BYTE charset) {
    return Attach(::CreateFontW(height, 0, escapement, 0, weight, FALSE, FALSE, FALSE, charset, OUT_DEFAULT_PRECIS,
                                CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FF_SWISS, L"MS Shell Dlg"));
}

MemoryDC::MemoryDC(HDC ref) : m_dc(::CreateCompatibleDC(ref)) {
    if (m_dc) gdi::CountCreated();
}

MemoryDC::~MemoryDC() {
    if (!m_dc) return;
    // Deselecting in reverse order brings back the DC's own stock objects.
    for (auto it = m_previous.rbegin(); it != m_previous.rend(); ++it) ::SelectObject(m_dc, *it);
    ::DeleteDC(m_dc);
    gdi::CountDeleted();
}

void MemoryDC::Select(HGDIOBJ object) {
    if (!m_dc || !object) return;
    if (HGDIOBJ old = ::SelectObject(m_dc, object)) m_previous.push_back(old);
}

Dib32::Dib32(int width, int height) : m_width(width > 0 ? width : 1), m_height(height > 0 ? height : 1) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = m_width;
    info.bmiHeader.biHeight = -m_height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    m_bitmap = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!m_bitmap) return;
    gdi::CountCreated();
    m_bits = static_cast<uint32_t*>(bits);
    m_dc = ::CreateCompatibleDC(nullptr);
    if (m_dc) {
        gdi::CountCreated();
        m_oldBitmap = ::SelectObject(m_dc, m_bitmap);
    }
    Fill(0);
}

Dib32::~Dib32() {
    if (m_dc) {
        ::SelectObject(m_dc, m_oldBitmap);
        ::DeleteDC(m_dc);
        gdi::CountDeleted();
    }
    if (m_bitmap) {
        ::DeleteObject(m_bitmap);
        gdi::CountDeleted();
    }
}

void Dib32::Fill(uint32_t argb) {
    if (!m_bits) return;
    ::GdiFlush();
    for (size_t i = 0, n = static_cast<size_t>(m_width) * m_height; i < n; ++i) m_bits[i] = argb;
}

bool Dib32::CopyTo(CBitmap& out) const {
    if (!m_dc) return false;
    HDC screen = ::GetDC(nullptr);
    bool made = out.CreateCompatibleBitmap(screen, m_width, m_height);
    ::ReleaseDC(nullptr, screen);
    if (!made) return false;
    MemoryDC target(m_dc);
    target.Select(out);
    ::GdiFlush();
    return ::BitBlt(target, 0, 0, m_width, m_height, m_dc, 0, 0, SRCCOPY) != FALSE;
}
