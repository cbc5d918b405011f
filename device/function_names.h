// Display texts of button functions.
#pragma once

#include <string>

#include "device/settings.h"

// The text shown for a button function, in the loaded language; empty for an
// unknown id.
std::u16string FunctionCodeName(FunctionId functionId);
