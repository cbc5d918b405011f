// The current keyboard layout, as the key names need it: the character a key
// types with no modifier held. Windows asks the system's layout; tests install
// a fake one.
#pragma once

#include <cstdint>

class KeyboardLayout {
public:
    virtual ~KeyboardLayout() = default;
    // The character (a byte of the ANSI code page) that the key types with an
    // empty key state; false when it types none.
    virtual bool CharacterOf(uint32_t virtualKey, uint8_t& character) = 0;
};

// MapVirtualKeyW and ToAscii on Windows; a US layout in the native build.
KeyboardLayout& SystemKeyboardLayout();

KeyboardLayout& GetKeyboardLayout();
void SetKeyboardLayout(KeyboardLayout* layout);  // null restores the system's
