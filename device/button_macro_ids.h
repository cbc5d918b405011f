// The macro the button page last assigned per button, kept beside the settings
// record. The write of all settings falls back on it only for a macro button
// whose record names no macro.
#pragma once

#include <cstdint>

#include "device/settings.h"

extern int32_t g_buttonMacroIds[BUTTON_COUNT];

// Called wherever g_settings is replaced wholesale (a profile load, an import, a
// reset, the read of all settings), so that an assignment made for other
// settings cannot leak into the new ones.
void ClearButtonMacroIds();
