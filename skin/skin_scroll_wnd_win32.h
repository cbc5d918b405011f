// The scroll frame: takes the place of an existing control (a list box) and
// shows skinned bars instead of the control's own. The control moves into an
// inner window that clips its system bars away, and two CSkinScrollBar
// children lie where those bars were, kept in step with the control's scroll
// state. The frame lives on the heap from SkinWindow until the control is
// destroyed; then it unwraps the control and deletes itself.
#pragma once

#include <windows.h>

#include "framework/wnd.h"
#include "skin/skin_scroll_bar_win32.h"

// The window between the frame and the control. The control's notices
// (WM_COMMAND, WM_DRAWITEM, WM_CTLCOLORLISTBOX...) now come here and reach the
// control's object through the framework's reflection.
class CScrollFrameInner : public CWnd {
public:
    HBITMAP m_skin = nullptr;  // borrowed from the owner
    bool m_busy = false;       // the frame itself scrolls or lays out the control
    int m_cornerMode = 0;      // 0 none, 1 bottom left, 2 bottom right
    WNDPROC m_oldProc = nullptr;  // the control's procedure before the frame's hook
};

class CSkinScrollWnd : public CWnd {
public:
    CSkinScrollWnd();
    ~CSkinScrollWnd() override;

    // Frame objects now alive on this thread: tests show that every wrapped
    // control's end frees its frame.
    static long LiveFrames();

    // Wraps control in frame (made with new by the owner, who never deletes it)
    // with the skin the owner loaded ("scrollbar.bmp"), which must outlive the
    // frame. False when nothing was wrapped; a frame that could not be made is
    // deleted here.
    static bool SkinWindow(CWnd* control, CSkinScrollWnd* frame, HBITMAP skin);

    int m_cell = 16;
    CSkinScrollBar m_hBar;  // id 100
    CSkinScrollBar m_vBar;  // id 101
    CScrollFrameInner m_inner;  // "LIMIT", id 200

    HWND Control() const { return m_control; }

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    void PostNcDestroy() override { delete this; }

private:
    friend LRESULT CALLBACK ScrollFrameSubclassProc(HWND, UINT, WPARAM, LPARAM);

    // Hands the control's scroll state of one bar to the skin bar when they
    // differ; with enable, the skin bar is enabled only for a range that
    // exceeds its page.
    void SyncBar(CSkinScrollBar& bar, bool enable);
    void Relayout(bool hasVertical, bool onLeft);
    void Unwrap(HWND control);
    void OnControlNcCalcSize(HWND control, const RECT& window, NCCALCSIZE_PARAMS* params);

    HWND m_control = nullptr;
    bool m_destroying = false;
};

// The wrapped control's window procedure while it is wrapped.
LRESULT CALLBACK ScrollFrameSubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

// The window a wrapped control reports to: its frame's parent. For a control
// that is not wrapped, its own parent.
HWND ScrollFrameOwnerOf(HWND control);
