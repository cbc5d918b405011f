// Translation between the program's button functions and the 32-bit codes the
// mouse keeps per button, in both directions. The write of all settings turns a
// record into the code it sends; the read of all settings turns the code the
// mouse reports back into a function.
#pragma once

#include <cstdint>
#include <optional>

#include "device/settings.h"

// The code of a macro assignment: the macro lives in the slot of the button's own
// device number.
constexpr uint32_t MacroButtonCode(uint8_t deviceButton) {
    return uint32_t(CODE_KIND_MACRO) + (uint32_t(deviceButton) << 16);
}

// The code of a function that always sends the same one (the mouse buttons,
// the media keys, the DPI functions, double click, disabled), or nothing.
std::optional<uint32_t> FixedButtonCode(FunctionId functionId);

// The code sent for a record on the given device button, or nothing for a
// function the mouse has no code for (no button command is sent then). A
// FUNC_MACRO record gets the macro code; whether it may be sent depends on the
// upload that comes first, which is the caller's business.
std::optional<uint32_t> ButtonCodeForRecord(const ButtonAssignment& record, uint8_t deviceButton);

// The function a reported code stands for: FUNC_SINGLE_KEY for a keyboard code
// (which goes into deviceCode), FUNC_MACRO for any macro code (the macro itself is
// fetched from the mouse), nothing for a code the program does not know, which
// leaves the record as it was.
std::optional<FunctionId> FunctionForButtonCode(uint32_t code);
