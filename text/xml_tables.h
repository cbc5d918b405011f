// Look-ups of the language document: encoding names to code pages and named
// character references to code points.
#pragma once

#include <cstdint>
#include <string_view>

// The Windows code page of an encoding name (ASCII case ignored); a name that
// begins "UTF-32" (exact case) is 65005. 0, the ANSI page, when unknown.
uint32_t CharsetCodePage(std::u16string_view name);

// The code point of a named character reference (ASCII case ignored); 0 when unknown.
uint32_t EntityCodePoint(std::u16string_view name);
