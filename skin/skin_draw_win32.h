// What all skinned controls share: skin paths, the background snapshot and the
// double-buffered paint.
#pragma once

#include <windows.h>

#include <string>

#include "framework/gdi.h"
#include "framework/gdiplus_helpers.h"
#include "framework/wnd.h"

// The program folder (SetProgramFolder) + "skins\" + name.
std::wstring SkinImagePathW(const std::wstring& fileName);
std::wstring SkinImagePathW(const std::wstring& programFolder, const std::wstring& fileName);

// The controls' WM_KILLFOCUS: default processing, then a repaint so that no
// focus or hover look stays behind.
inline LRESULT DefaultThenRepaint(CWnd& control) {
    LRESULT result = control.Default();
    control.Invalidate(TRUE);
    return result;
}

// Makes dst a copy of the rectangle r of src: from (r.left, r.top) when
// offsetFlag is 1, from (0, 0) otherwise. An empty source leaves dst as it
// was; an old dst bitmap is released first.
void CopyBitmapRect(HDC ref, CBitmap& dst, const CBitmap& src, int offsetFlag, RECT r);

// The snapshot a control takes of its parent's background under itself
// (r in the parent's client coordinates).
void SnapshotBackground(const CWnd& control, CBitmap& dst, const CBitmap* parentBackground, RECT r);

// What giving a button its images does besides storing them: the snapshot of
// the parent's background under it, and no border or tab stop from then on.
void TakeButtonBackground(CWnd& button, CBitmap& dst, const CBitmap* parentBackground, RECT r);

// The double-buffered paint: the snapshot goes into a buffer of the client
// size, the caller draws the state image and the text into dc(), and
// Present() copies the buffer to the target in one blit.
class SkinPaintBuffer {
public:
    SkinPaintBuffer(HDC target, const CBitmap& snapshot, int width, int height);
    SkinPaintBuffer(const SkinPaintBuffer&) = delete;
    SkinPaintBuffer& operator=(const SkinPaintBuffer&) = delete;

    HDC dc() const { return m_buffer.dc(); }
    int width() const { return m_width; }
    int height() const { return m_height; }
    void Present();

private:
    HDC m_target;
    int m_width;
    int m_height;
    CBitmap m_bitmap;   // declared first: deleted after the DC has let go of it
    MemoryDC m_buffer;
};

// Text in transparent mode with a font made for this one call.
void DrawSkinText(HDC dc, const std::wstring& text, RECT rect, UINT format, int fontHeight, int weight,
                  COLORREF color);
