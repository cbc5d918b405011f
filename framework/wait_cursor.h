// Work the user waits for on the window's own thread (a macro upload takes
// over a second on the UI thread). Nothing paints while it runs, so the window
// is first brought up to date on the screen: a box that has just closed over
// it would otherwise stay painted there, as if the program hung. Then the wait
// cursor shows until the holder goes.
#pragma once

#include <windows.h>

class CWaitCursor {
public:
    // window: any window of the top-level window to repaint; null repaints nothing.
    explicit CWaitCursor(HWND window);
    ~CWaitCursor();
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;

private:
    HCURSOR m_previous;
};
