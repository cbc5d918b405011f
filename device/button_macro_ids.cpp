#include "device/button_macro_ids.h"

#include <algorithm>
#include <iterator>

int32_t g_buttonMacroIds[BUTTON_COUNT] = {};

void ClearButtonMacroIds() {
    std::fill(std::begin(g_buttonMacroIds), std::end(g_buttonMacroIds), 0);
}
