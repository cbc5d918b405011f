#include "device/keyboard_layout.h"

namespace {
KeyboardLayout* g_keyboardLayout = nullptr;
}

KeyboardLayout& GetKeyboardLayout() {
    return g_keyboardLayout ? *g_keyboardLayout : SystemKeyboardLayout();
}

void SetKeyboardLayout(KeyboardLayout* layout) {
    g_keyboardLayout = layout;
}
