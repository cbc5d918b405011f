// A window's capture of the raw keyboard (through the process's one low-level
// hook). Every capturing window keeps one of these as a member and calls Start
// when it begins to capture and Stop when it is done; a window destroyed while
// it still captures (closed with its owner, say) lets go in its WM_DESTROY,
// through the framework, so no hook is left behind and the capturer before it
// gets the keys back.
#pragma once

#include <windows.h>

class CWnd;

class CKeyboardCapture {
public:
    explicit CKeyboardCapture(CWnd& window) : m_window(window) {}
    ~CKeyboardCapture() { Stop(); }
    CKeyboardCapture(const CKeyboardCapture&) = delete;
    CKeyboardCapture& operator=(const CKeyboardCapture&) = delete;

    // The window receives UWM_HOOK_KEY for every key from now on. When the
    // system refuses the hook the user sees "hook failure!" and this returns
    // false; the window goes on without capture.
    bool Start();
    // Ends the capture; safe to call again, and after the window is gone.
    void Stop();
    bool IsCapturing() const;

private:
    CWnd& m_window;
};

// Called by the framework for every window it manages when it is destroyed.
void ReleaseKeyboardCaptureOf(HWND hwnd);
