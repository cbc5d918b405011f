// The picture progress bars: a horizontal bar whose empty track and filled
// part are both cut from full-window skin pictures, so the bar blends into its
// dialog. CPngHProgressBar is the progress box's bar, CPngHProgressBarEx the
// firmware update's; they differ only in their control id.
#pragma once

#include <windows.h>

#include "framework/gdiplus_helpers.h"
#include "framework/wnd.h"

class CPngHProgressBar : public CWnd {
public:
    CPngHProgressBar() : CPngHProgressBar(777) {}

    int m_id;
    GdipImage m_trackImage;  // each may be empty
    GdipImage m_fillImage;
    BOOL m_readOnly = 0;     // set: the mouse changes nothing
    RECT m_rect{};           // in the parent's client coordinates
    CWnd* m_parent = nullptr;
    // The owner sets these directly and repaints the bar.
    int m_min = 0;
    int m_max = 10;
    int m_pos = 0;

    // A child of the framework's default class with this bar's id; the range
    // becomes 0..10 and the position 0.
    bool Create(RECT rect, CWnd* parent);
    // The track becomes a copy of the area (x, y, width, height) of trackSource
    // and the fill the same area of fillSource; a missing source leaves its
    // image empty.
    void SetImages(const GdipImage* fillSource, int x, int y, int width, int height,
                   const GdipImage* trackSource);

    // Draws the bar as WM_PAINT does (also answers WM_PRINTCLIENT).
    void Paint(HDC dc);

protected:
    explicit CPngHProgressBar(int id) : m_id(id) {}
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
};

class CPngHProgressBarEx : public CPngHProgressBar {
public:
    CPngHProgressBarEx() : CPngHProgressBar(778) {}
};
