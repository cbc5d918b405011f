// A MessageSink that posts to a window of this process.
#pragma once

#include <windows.h>

#include "device/message_sink.h"

class WindowMessageSink final : public MessageSink {
public:
    explicit WindowMessageSink(HWND window = nullptr) : m_window(window) {}
    void SetWindow(HWND window) { m_window = window; }
    HWND Window() const { return m_window; }
    void Post(uint32_t message, uintptr_t wParam, intptr_t lParam) override;

private:
    HWND m_window;
};
