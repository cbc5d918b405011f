#include "device/keyboard_hook.h"

#include "device/user_notice.h"

HookHandle g_keyboardHook = 0;
WindowHandle g_captureWindow = 0;

namespace {
KeyboardHookSystem* g_hookSystem = nullptr;

constexpr uintptr_t WM_KEYDOWN_ = 0x100;
constexpr uintptr_t WM_KEYUP_ = 0x101;
constexpr uintptr_t WM_SYSKEYDOWN_ = 0x104;
constexpr uintptr_t WM_SYSKEYUP_ = 0x105;
}  // namespace

KeyboardHookSystem& GetKeyboardHookSystem() {
    return g_hookSystem ? *g_hookSystem : SystemKeyboardHookSystem();
}

void SetKeyboardHookSystem(KeyboardHookSystem* system) {
    g_hookSystem = system;
}

bool InstallKeyboardHook(WindowHandle window) {
    g_captureWindow = window;
    if (g_keyboardHook != 0) return true;  // the one hook now serves this window
    g_keyboardHook = GetKeyboardHookSystem().Install();
    if (g_keyboardHook != 0) return true;
    g_captureWindow = 0;
    ShowUserNotice(u"hook failure!", u"");
    return false;
}

void RemoveKeyboardHook() {
    if (g_keyboardHook != 0) {
        GetKeyboardHookSystem().Uninstall(g_keyboardHook);
        g_keyboardHook = 0;
    }
    g_captureWindow = 0;
}

bool HandleHookKey(int nCode, uintptr_t message, uint32_t vkCode) noexcept {
    if (nCode < 0) return false;
    intptr_t state;
    if (message == WM_KEYDOWN_ || message == WM_SYSKEYDOWN_)
        state = HOOK_KEY_PRESS;
    else if (message == WM_KEYUP_ || message == WM_SYSKEYUP_)
        state = HOOK_KEY_RELEASE;
    else
        return false;
    // A capturer that went away without removing the hook must not take the
    // whole keyboard with it: with no live window the key goes on.
    KeyboardHookSystem& system = GetKeyboardHookSystem();
    if (g_captureWindow == 0 || !system.IsWindow(g_captureWindow)) return false;
    system.Post(g_captureWindow, UWM_HOOK_KEY, vkCode, state);
    return true;
}
