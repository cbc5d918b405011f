#include "skin/skin_draw_win32.h"

#include "device/file_system.h"
#include "framework/strings.h"
#include "skin/skin_path.h"

std::wstring SkinImagePathW(const std::wstring& fileName) {
    return ToWide(SkinImagePath(ProgramFolder(), ToU16(fileName)));
}

std::wstring SkinImagePathW(const std::wstring& programFolder, const std::wstring& fileName) {
    return ToWide(SkinImagePath(ToU16(programFolder), ToU16(fileName)));
}

void CopyBitmapRect(HDC ref, CBitmap& dst, const CBitmap& src, int offsetFlag, RECT r) {
    if (src.IsEmpty()) return;
    dst.DeleteObject();
    int width = r.right - r.left;
    int height = r.bottom - r.top;
    if (width <= 0 || height <= 0 || !dst.CreateCompatibleBitmap(ref, width, height)) return;
    MemoryDC target(ref);
    MemoryDC source(ref);
    target.Select(dst);
    source.Select(src);
    int x = offsetFlag == 1 ? r.left : 0;
    int y = offsetFlag == 1 ? r.top : 0;
    ::StretchBlt(target, 0, 0, width, height, source, x, y, width, height, SRCCOPY);
}

void SnapshotBackground(const CWnd& control, CBitmap& dst, const CBitmap* parentBackground, RECT r) {
    if (!parentBackground) return;
    ClientDC dc(control.m_hWnd);
    CopyBitmapRect(dc, dst, *parentBackground, 1, r);
}

void TakeButtonBackground(CWnd& button, CBitmap& dst, const CBitmap* parentBackground, RECT r) {
    SnapshotBackground(button, dst, parentBackground, r);
    button.ModifyStyle(WS_BORDER | WS_TABSTOP, 0);
}

SkinPaintBuffer::SkinPaintBuffer(HDC target, const CBitmap& snapshot, int width, int height)
    : m_target(target), m_width(width), m_height(height), m_buffer(target) {
    m_bitmap.CreateCompatibleBitmap(target, width > 0 ? width : 1, height > 0 ? height : 1);
    m_buffer.Select(m_bitmap);
    if (!snapshot.IsEmpty()) {
        MemoryDC source(target);
        source.Select(snapshot);
        ::BitBlt(m_buffer, 0, 0, width, height, source, 0, 0, SRCCOPY);
    }
}

void SkinPaintBuffer::Present() {
    ::BitBlt(m_target, 0, 0, m_width, m_height, m_buffer, 0, 0, SRCCOPY);
}

void DrawSkinText(HDC dc, const std::wstring& text, RECT rect, UINT format, int fontHeight, int weight,
                  COLORREF color) {
    CFont font;
    font.CreateSkinFont(fontHeight, weight);
    SelectScope select(dc, font);
    int oldMode = ::SetBkMode(dc, TRANSPARENT);
    COLORREF oldColor = ::SetTextColor(dc, color);
    ::DrawTextW(dc, text.c_str(), -1, &rect, format);
    ::SetTextColor(dc, oldColor);
    ::SetBkMode(dc, oldMode);
}
