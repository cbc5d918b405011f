#include "device/keyboard_hook.h"

#include <algorithm>
#include <vector>

#include "device/user_notice.h"

HookHandle g_keyboardHook = 0;
WindowHandle g_captureWindow = 0;

namespace {
KeyboardHookSystem* g_hookSystem = nullptr;

// Oldest first; g_captureWindow is always the last one (0 when empty). The
// hook and its capturers live on the UI thread only.
std::vector<WindowHandle> g_capturers;

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

namespace {

void ForgetCapturer(WindowHandle window) {
    g_capturers.erase(std::remove(g_capturers.begin(), g_capturers.end(), window), g_capturers.end());
}

void UninstallWhenUnused() {
    g_captureWindow = g_capturers.empty() ? 0 : g_capturers.back();
    if (g_capturers.empty() && g_keyboardHook != 0) {
        GetKeyboardHookSystem().Uninstall(g_keyboardHook);
        g_keyboardHook = 0;
    }
}

}  // namespace

bool InstallKeyboardHook(WindowHandle window) {
    if (window == 0) return false;
    if (g_keyboardHook == 0) {
        g_keyboardHook = GetKeyboardHookSystem().Install();
        if (g_keyboardHook == 0) {
            ShowUserNotice(u"hook failure!", u"");
            return false;
        }
    }
    ForgetCapturer(window);
    g_capturers.push_back(window);
    g_captureWindow = window;
    return true;
}

void RemoveKeyboardHook(WindowHandle window) {
    ForgetCapturer(window);
    UninstallWhenUnused();
}

bool IsCapturingKeyboard(WindowHandle window) {
    return window != 0 && std::find(g_capturers.begin(), g_capturers.end(), window) != g_capturers.end();
}

void ResetKeyboardHook() {
    g_capturers.clear();
    UninstallWhenUnused();
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
