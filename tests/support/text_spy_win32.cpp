#include "support/text_spy_win32.h"

#include <algorithm>
#include <cstring>
#include <cwctype>
#include <utility>

#include "framework/gdi.h"
#include "framework/gdiplus_helpers.h"

namespace {

std::mutex g_spyLock;
TextSpy* g_spy = nullptr;

using DrawTextWFn = int(WINAPI*)(HDC, LPCWSTR, int, LPRECT, UINT);
using TextOutWFn = BOOL(WINAPI*)(HDC, int, int, LPCWSTR, int);
using GdipDrawStringFn = Gdiplus::GpStatus(WINGDIPAPI*)(Gdiplus::GpGraphics*, const WCHAR*, INT,
                                                        const Gdiplus::GpFont*, const Gdiplus::RectF*,
                                                        const Gdiplus::GpStringFormat*, const Gdiplus::GpBrush*);
DrawTextWFn g_drawTextW = nullptr;
TextOutWFn g_textOutW = nullptr;
GdipDrawStringFn g_gdipDrawString = nullptr;

void Record(const wchar_t* text, int length, const LOGFONTW& font) {
    std::lock_guard<std::mutex> guard(g_spyLock);
    if (g_spy) g_spy->Record(text, length, font);
}

LOGFONTW FontOf(HDC dc) {
    LOGFONTW font{};
    ::GetObjectW(::GetCurrentObject(dc, OBJ_FONT), sizeof(font), &font);
    return font;
}

int WINAPI SpyDrawTextW(HDC dc, LPCWSTR text, int length, LPRECT rect, UINT format) {
    if (text && !(format & DT_CALCRECT)) Record(text, length, FontOf(dc));
    return g_drawTextW(dc, text, length, rect, format);
}

BOOL WINAPI SpyTextOutW(HDC dc, int x, int y, LPCWSTR text, int length) {
    if (text) Record(text, length, FontOf(dc));
    return g_textOutW(dc, x, y, text, length);
}

Gdiplus::GpStatus WINGDIPAPI SpyGdipDrawString(Gdiplus::GpGraphics* graphics, const WCHAR* text, INT length,
                                               const Gdiplus::GpFont* font, const Gdiplus::RectF* layout,
                                               const Gdiplus::GpStringFormat* format, const Gdiplus::GpBrush* brush) {
    LOGFONTW logFont{};
    if (text && font &&
        Gdiplus::DllExports::GdipGetLogFontW(const_cast<Gdiplus::GpFont*>(font), graphics, &logFont) ==
            Gdiplus::Ok)
        Record(text, length, logFont);
    return g_gdipDrawString(graphics, text, length, font, layout, format, brush);
}

// Points this module's import of dll!name at replacement; the function it
// pointed at before, or null when the module imports no such function.
void* PatchImport(const char* dll, const char* name, void* replacement) {
    HMODULE target = ::GetModuleHandleA(dll);
    void* original = target ? reinterpret_cast<void*>(::GetProcAddress(target, name)) : nullptr;
    if (!original) return nullptr;
    auto* base = reinterpret_cast<BYTE*>(::GetModuleHandleW(nullptr));
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    bool found = false;
    for (auto* desc = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
         imports.VirtualAddress && desc->Name; ++desc) {
        if (_stricmp(reinterpret_cast<const char*>(base + desc->Name), dll) != 0) continue;
        for (auto* slot = reinterpret_cast<IMAGE_THUNK_DATA*>(base + desc->FirstThunk); slot->u1.Function;
             ++slot) {
            if (reinterpret_cast<void*>(slot->u1.Function) != original) continue;
            DWORD protection = 0;
            ::VirtualProtect(&slot->u1.Function, sizeof(slot->u1.Function), PAGE_READWRITE, &protection);
            slot->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
            ::VirtualProtect(&slot->u1.Function, sizeof(slot->u1.Function), protection, &protection);
            found = true;
        }
    }
    return found ? original : nullptr;
}

// A picture of text drawn black on white in font, alone, unrotated.
std::vector<uint32_t> Draw(const std::wstring& text, const LOGFONTW& font) {
    LOGFONTW upright = font;
    upright.lfEscapement = upright.lfOrientation = 0;
    const int size = 3 * std::max<int>(std::abs(upright.lfHeight), 16) + 16;
    Dib32 dib(size, size);
    HFONT handle = ::CreateFontIndirectW(&upright);
    HGDIOBJ old = ::SelectObject(dib.dc(), handle);
    RECT all{0, 0, size, size};
    ::FillRect(dib.dc(), &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    ::SetBkMode(dib.dc(), TRANSPARENT);
    ::SetTextColor(dib.dc(), RGB(0, 0, 0));
    ::SetTextAlign(dib.dc(), TA_LEFT | TA_TOP);
    (g_textOutW ? g_textOutW : ::TextOutW)(dib.dc(), 8, 8, text.c_str(), static_cast<int>(text.size()));
    ::GdiFlush();
    ::SelectObject(dib.dc(), old);
    ::DeleteObject(handle);
    const uint32_t* bits = dib.bits();
    return std::vector<uint32_t>(bits, bits + size_t(size) * size);
}

}  // namespace

TextSpy::TextSpy() {
    std::lock_guard<std::mutex> guard(g_spyLock);
    if (g_spy) return;
    g_drawTextW = reinterpret_cast<DrawTextWFn>(
        PatchImport("user32.dll", "DrawTextW", reinterpret_cast<void*>(&SpyDrawTextW)));
    g_textOutW = reinterpret_cast<TextOutWFn>(
        PatchImport("gdi32.dll", "TextOutW", reinterpret_cast<void*>(&SpyTextOutW)));
    g_gdipDrawString = reinterpret_cast<GdipDrawStringFn>(
        PatchImport("gdiplus.dll", "GdipDrawString", reinterpret_cast<void*>(&SpyGdipDrawString)));
    m_ok = g_drawTextW && g_textOutW && g_gdipDrawString;
    g_spy = this;
}

TextSpy::~TextSpy() {
    std::lock_guard<std::mutex> guard(g_spyLock);
    if (g_spy != this) return;
    // The replaced functions stay in the table and only pass the calls on.
    g_spy = nullptr;
}

std::vector<SpiedText> TextSpy::Take() {
    std::lock_guard<std::mutex> guard(m_lock);
    return std::exchange(m_texts, {});
}

void TextSpy::Record(const wchar_t* text, int length, const LOGFONTW& font) {
    std::wstring copy = length < 0 ? std::wstring(text) : std::wstring(text, static_cast<size_t>(length));
    // Nothing of the face name's buffer past its end: equal fonts compare equal.
    LOGFONTW kept = font;
    const size_t end = wcsnlen(kept.lfFaceName, LF_FACESIZE);
    std::fill(kept.lfFaceName + end, kept.lfFaceName + LF_FACESIZE, L'\0');
    std::lock_guard<std::mutex> guard(m_lock);
    m_texts.push_back({std::move(copy), kept});
}

std::wstring MissingGlyphs(const std::wstring& text, const LOGFONTW& font) {
    // U+FFFF is no character: every font draws it as its missing-glyph shape.
    const std::vector<uint32_t> missing = Draw(std::wstring(1, wchar_t(0xFFFF)), font);
    std::wstring found;
    for (wchar_t c : text) {
        if (c < 0x20 || std::iswspace(c) || found.find(c) != std::wstring::npos) continue;
        if (Draw(std::wstring(1, c), font) == missing) found += c;
    }
    return found;
}
