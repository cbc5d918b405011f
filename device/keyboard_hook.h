// The process-wide low-level keyboard hook that captures raw keystrokes for one
// window at a time (the key-combination dialog, the value-entry dialog in its
// key modes, the macro editor while it records). Every press and release is
// posted to the capturing window as UWM_HOOK_KEY and reaches no other program.
//
// Captures nest: the value-entry dialog can open over the macro editor while it
// records. The capturers form a stack served by one hook; the newest holds the
// keyboard, and when it lets go the one before it gets the keys again. The hook
// goes when the last capturer lets go. Windows capture through the framework's
// CKeyboardCapture, which also lets go for a window destroyed while it held.
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
extern WindowHandle g_captureWindow;  // the newest capturer; 0 while none captures

// Makes window the capturing window, saving the one before it, and installs
// the hook unless one is installed already (a second hook would leak and keep
// swallowing keys for good). A window that captures again while it already
// holds a place moves to the top rather than holding two. On failure shows
// "hook failure!", changes nothing and returns false.
bool InstallKeyboardHook(WindowHandle window);

// Ends window's capture: when it was the newest, the capturer before it gets
// the keys again. The hook goes with the last capturer. Safe to call again, and
// for a window that never captured.
void RemoveKeyboardHook(WindowHandle window);

// True while window holds a place among the capturers.
bool IsCapturingKeyboard(WindowHandle window);

// Drops every capture and the hook (tests, and the program's last word).
void ResetKeyboardHook();

// The hook procedure's decision for one event: true when the key was posted
// to the capturing window and must be swallowed; false when it goes on to the
// next hook (nCode negative, another message, or no live capturing window).
bool HandleHookKey(int nCode, uintptr_t message, uint32_t vkCode) noexcept;
