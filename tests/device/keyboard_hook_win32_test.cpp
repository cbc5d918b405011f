// The real low-level keyboard hook and keyboard layout, under Wine on Xvfb.
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "device/key_names.h"
#include "device/keyboard_hook.h"
#include "device/user_notice.h"
#include "support/input_win32.h"

namespace {

// A hidden top-level window that only receives the posted keys.
class CaptureWindow {
public:
    CaptureWindow() {
        WNDCLASSW wc{};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"QuorvelHookTestWindow";
        RegisterClassW(&wc);
        m_window = CreateWindowExW(0, wc.lpszClassName, L"", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                                   wc.hInstance, nullptr);
    }
    ~CaptureWindow() {
        if (m_window) DestroyWindow(m_window);
    }
    HWND Handle() const { return m_window; }
    WindowHandle Id() const { return reinterpret_cast<WindowHandle>(m_window); }

    // Pumps messages for up to timeoutMs (the hook runs inside the pump) and
    // collects the hook keys that arrive; stops early once `wanted` have come.
    std::vector<MSG> HookKeys(DWORD timeoutMs, size_t wanted) {
        std::vector<MSG> keys;
        DWORD start = GetTickCount();
        while (GetTickCount() - start < timeoutMs && keys.size() < wanted) {
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                if (msg.message == UWM_HOOK_KEY && msg.hwnd == m_window) keys.push_back(msg);
                DispatchMessageW(&msg);
            }
            Sleep(10);
        }
        return keys;
    }

private:
    HWND m_window = nullptr;
};

TEST(KeyboardHookWin32Test, ARealHookCapturesAnInjectedKeyUntilRemoved) {
    CaptureWindow window;
    ASSERT_NE(window.Handle(), nullptr);
    ASSERT_TRUE(InstallKeyboardHook(window.Id()));
    ASSERT_NE(g_keyboardHook, 0u);
    ASSERT_TRUE(InstallKeyboardHook(window.Id()));  // a second install reuses the hook, held once

    SendKey(VK_F9);
    std::vector<MSG> keys = window.HookKeys(kHangLimitMs, 2);
    ASSERT_EQ(keys.size(), 2u);
    EXPECT_EQ(keys[0].wParam, WPARAM(VK_F9));
    EXPECT_EQ(keys[0].lParam, HOOK_KEY_PRESS);
    EXPECT_EQ(keys[1].wParam, WPARAM(VK_F9));
    EXPECT_EQ(keys[1].lParam, HOOK_KEY_RELEASE);

    RemoveKeyboardHook(window.Id());
    RemoveKeyboardHook(window.Id());
    EXPECT_EQ(g_keyboardHook, 0u);
    SendKey(VK_F9);
    EXPECT_TRUE(window.HookKeys(300, 1).empty());
}

TEST(KeyboardLayoutWin32Test, KeysWithoutAFixedNameTakeTheLayoutsCharacter) {
    // The letter and digit keys type the same characters in every Latin layout
    // Wine starts with; the name is upper-cased only for combinations.
    EXPECT_EQ(VirtualKeyName('Q'), u"Q");
    EXPECT_EQ(NumPadKeyName('Q'), u"q");
    EXPECT_EQ(VirtualKeyName(VK_F5), u"F5");
    // A key that types no character has an empty name.
    EXPECT_EQ(VirtualKeyName(VK_F13), u"");
}

}  // namespace
