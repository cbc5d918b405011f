// The process-wide low-level keyboard hook that captures raw keystrokes for one
// window at a time (the key-combination dialog, the value-entry dialog in its
// key modes, the macro editor while it records). Every press and release is
// posted to the capturing window as UWM_HOOK_KEY and reaches no other program.
#pragma once

#include <cstdint>

using HookHandle = uintptr_t;    // HHOOK
using WindowHandle = uintptr_t;  // HWND

// wParam the virtual-key code, lParam 0 for a press and 0x80 for a release.
constexpr uint32_t UWM_HOOK_KEY = 0x40A;
constexpr intptr_t HOOK_KEY_PRESS = 0;
constexpr intptr_t HOOK_KEY_RELEASE = 0x80;

// What the hook needs of the system. Windows: SetWindowsHookExW(WH_KEYBOARD_LL),
// UnhookWindowsHookEx, IsWindow, PostMessageW; tests install a recording fake.
class KeyboardHookSystem {
public:
    virtual ~KeyboardHookSystem() = default;
    virtual HookHandle Install() = 0;  // 0 when the system refuses
    virtual void Uninstall(HookHandle hook) = 0;
    virtual bool IsWindow(WindowHandle window) = 0;
    virtual void Post(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) = 0;
};

KeyboardHookSystem& SystemKeyboardHookSystem();
KeyboardHookSystem& GetKeyboardHookSystem();
void SetKeyboardHookSystem(KeyboardHookSystem* system);  // null restores the system's

extern HookHandle g_keyboardHook;     // 0 while no hook is installed
extern WindowHandle g_captureWindow;  // 0 while no window captures

// Makes window the capturing window and installs the hook unless one is
// installed already (a second hook would leak and keep swallowing keys for
// good). On failure shows "hook failure!" and returns false.
bool InstallKeyboardHook(WindowHandle window);

// Removes the hook, when one is installed, and clears the capturing window.
// Safe to call again.
void RemoveKeyboardHook();

// The hook procedure's decision for one event: true when the key was posted
// to the capturing window and must be swallowed; false when it goes on to the
// next hook (nCode negative, another message, or no live capturing window).
bool HandleHookKey(int nCode, uintptr_t message, uint32_t vkCode) noexcept;
