// The DPI slider and the battery bar: windows of the framework's default class
// painted from skin images.
#pragma once

#include <windows.h>

#include <string>

#include "framework/gdi.h"
#include "framework/gdiplus_helpers.h"
#include "framework/wnd.h"
#include "skin/bar_logic.h"
#include "skin/paint_image_win32.h"

// A horizontal slider. The owner sets the members (SliderModel's range,
// position, track and switches; the images and the skin) and then creates the
// window with Create(nullptr, L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP, ...).
class CHProgressBar : public CWnd, public SliderModel {
public:
    int m_id = 0;
    CBitmapRef m_skin;        // the owner's skin, borrowed: never deleted here
    CWnd* m_owner = nullptr;  // receives the notifications; its client holds m_trackRect
    const GdipImage* m_trackImage = nullptr;
    const GdipImage* m_restImage = nullptr;
    const GdipImage* m_thumbImage = nullptr;

    // Draws the bar as WM_PAINT does (also answers WM_PRINTCLIENT).
    void Paint(HDC dc);

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    int OwnerX(LPARAM lp) const;
    void Post(const SliderNotice& notice) const;
};

// The battery level bar: shows m_pos of 0..100, horizontally or vertically,
// with one of two image pairs. It ignores the mouse.
class CBatProgressBar : public CWnd {
public:
    int m_id = 802;
    CBitmap m_work;
    CBitmap m_pristine;
    RECT m_rect{};  // in the parent's client coordinates
    CWnd* m_parent = nullptr;
    int m_min = 0;
    int m_max = 100;
    int m_pos = 0;
    BOOL m_altLook = 0;  // 1: the second image pair
    BOOL m_horizontal = 0;
    std::wstring m_fill1, m_back1, m_fill2, m_back2;

    bool Create(RECT rect, CWnd* parent);
    void SetImages(const std::wstring& fill1, const std::wstring& back1, const std::wstring& fill2,
                   const std::wstring& back2, const CBitmap* background, BOOL horizontal);

    void Paint(HDC dc);

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    PaintImage m_loaded[4];  // fill and back of the first pair, then of the second
};
