#include "device/message_sink_win32.h"

void WindowMessageSink::Post(uint32_t message, uintptr_t wParam, intptr_t lParam) {
    // A window that is already gone simply loses the message, as PostMessage does.
    if (m_window) PostMessageW(m_window, message, WPARAM(wParam), LPARAM(lParam));
}
