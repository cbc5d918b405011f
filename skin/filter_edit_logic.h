// The decisions of the numeric edit and its key field, apart from the window:
// what number a text stands for, what the field rewrites itself to, and which
// keys put their names into the key field.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The number a field's text stands for: its leading decimal digits after any
// blanks, 0 when there are none. A number too large for 32 bits stays at
// 0xFFFFFFFF rather than wrapping, and a negative number (a pasted "-5")
// counts as 0, so the range check never sees a huge value made from a sign.
uint32_t ParseFieldNumber(std::u16string_view text);

// What a change of the numeric field's text comes to: the number reported to
// the owner, and the text the field rewrites itself to when the number lay
// outside [minValue, maxValue] (nothing when it was inside). The comparison
// is unsigned, so a maximum of 0xFFFFFFFF sets no upper limit.
struct FieldNumber {
    uint32_t value = 0;
    std::optional<std::u16string> rewrite;
    bool operator==(const FieldNumber&) const = default;
};
FieldNumber FilterFieldNumber(std::u16string_view text, uint32_t minValue, uint32_t maxValue);

// "F1" to "F12" for the function keys, empty for every other key.
std::u16string FunctionKeyName(uint32_t vk);
