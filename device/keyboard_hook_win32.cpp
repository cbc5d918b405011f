#include <windows.h>

#include "device/keyboard_hook.h"

// Runs on the thread that installed the hook, whenever the system delivers a
// keyboard event; it only posts, so the capturing window handles the key in
// its own message loop.
LRESULT CALLBACK LowLevelKeyboardProc(int nCode, WPARAM wParam, LPARAM lParam) {
    uint32_t vkCode = 0;
    if (nCode >= 0 && lParam != 0) vkCode = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam)->vkCode;
    if (HandleHookKey(nCode, wParam, vkCode)) return 1;
    return CallNextHookEx(nullptr, nCode, wParam, lParam);
}

namespace {

class Win32KeyboardHookSystem final : public KeyboardHookSystem {
public:
    HookHandle Install() override {
        HHOOK hook = SetWindowsHookExW(WH_KEYBOARD_LL, LowLevelKeyboardProc, GetModuleHandleW(nullptr), 0);
        return reinterpret_cast<HookHandle>(hook);
    }
    void Uninstall(HookHandle hook) override { UnhookWindowsHookEx(reinterpret_cast<HHOOK>(hook)); }
    bool IsWindow(WindowHandle window) override { return ::IsWindow(reinterpret_cast<HWND>(window)) != FALSE; }
    void Post(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) override {
        PostMessageW(reinterpret_cast<HWND>(window), message, wParam, lParam);
    }
};

Win32KeyboardHookSystem g_win32HookSystem;

}  // namespace

KeyboardHookSystem& SystemKeyboardHookSystem() {
    return g_win32HookSystem;
}
