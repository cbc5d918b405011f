// A scroll bar drawn from one skin bitmap of 9 x 3 cells: arrows, a
// proportional thumb, hover and pressed looks, the arrow repeat and thumb
// dragging. It keeps its own scroll state (answering SBM_SETSCROLLINFO and
// SBM_GETSCROLLINFO itself) and reports to its parent with WM_VSCROLL or
// WM_HSCROLL, as a system bar does. The scroll frame (skin_scroll_wnd_win32.h)
// lays two of them over a control's own bars.
#pragma once

#include <windows.h>

#include "framework/controls.h"
#include "framework/gdi.h"
#include "skin/scroll_bar_logic.h"

class CSkinScrollBar : public CScrollBar {
public:
    CBitmapRef m_skin;  // the frame's skin, borrowed
    ScrollBarModel m_model;

    bool IsVertical() const { return m_model.vertical; }
    bool IsDragging() const { return m_model.dragging; }
    // Draws the bar as WM_PAINT does (also answers WM_PRINTCLIENT).
    void Paint(HDC dc);

protected:
    void PreSubclassWindow() override;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void Apply(const ScrollEffects& fx);
    SkinPoint CursorInClient() const;

    bool m_leaveTracking = false;
};

// Gives the bar its skin: the cell size W is the bitmap's width / 9, and the
// bar becomes W thick in its parent (its place and length kept).
void SetScrollBarSkin(CSkinScrollBar& bar, HBITMAP skin);
