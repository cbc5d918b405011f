#include "framework/keyboard_capture.h"

#include "device/keyboard_hook.h"
#include "framework/wnd.h"

namespace {

WindowHandle Id(HWND hwnd) {
    return reinterpret_cast<WindowHandle>(hwnd);
}

}  // namespace

bool CKeyboardCapture::Start() {
    return m_window.m_hWnd && InstallKeyboardHook(Id(m_window.m_hWnd));
}

void CKeyboardCapture::Stop() {
    // Once the window is gone the handle is unbound (null here): the framework
    // has let go for it already, and a new window may have the old handle.
    if (m_window.m_hWnd) RemoveKeyboardHook(Id(m_window.m_hWnd));
}

bool CKeyboardCapture::IsCapturing() const {
    return m_window.m_hWnd && IsCapturingKeyboard(Id(m_window.m_hWnd));
}

void ReleaseKeyboardCaptureOf(HWND hwnd) {
    if (IsCapturingKeyboard(Id(hwnd))) RemoveKeyboardHook(Id(hwnd));
}
