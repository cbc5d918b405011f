// The native build has no system-wide keyboard: installing a hook fails.
#include "device/keyboard_hook.h"

namespace {

class NoKeyboardHookSystem final : public KeyboardHookSystem {
public:
    HookHandle Install() override { return 0; }
    void Uninstall(HookHandle) override {}
    bool IsWindow(WindowHandle) override { return false; }
    void Post(WindowHandle, uint32_t, uintptr_t, intptr_t) override {}
};

NoKeyboardHookSystem g_noHookSystem;

}  // namespace

KeyboardHookSystem& SystemKeyboardHookSystem() {
    return g_noHookSystem;
}
