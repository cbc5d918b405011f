#include <windows.h>

#include "device/keyboard_layout.h"

namespace {

class Win32KeyboardLayout final : public KeyboardLayout {
public:
    bool CharacterOf(uint32_t virtualKey, uint8_t& character) override {
        UINT scanCode = MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC);
        BYTE keyState[256] = {};
        WORD output = 0;
        int count = ToAscii(virtualKey, scanCode, keyState, &output, 0);
        if (count < 0) {
            // A dead key: ToAscii has stored it and would put an accent on the
            // user's next keystroke. Asking again takes it back out.
            ToAscii(virtualKey, scanCode, keyState, &output, 0);
            return false;
        }
        if (count == 0) return false;  // the output was not written
        character = LOBYTE(output);
        return true;
    }
};

Win32KeyboardLayout g_win32Layout;

}  // namespace

KeyboardLayout& SystemKeyboardLayout() {
    return g_win32Layout;
}
