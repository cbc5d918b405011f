// Text helpers for the window code: printf-style formatting into std::wstring
// and the one conversion between the portable char16_t text and wchar_t (the
// same 16-bit units on Windows).
#pragma once

#include <string>
#include <string_view>

// Formats like swprintf ("%d", "%s" with a wide string, "%02d"...) without a
// fixed buffer: the result may be of any length.
std::wstring FormatW(const wchar_t* format, ...);

std::wstring ToWide(std::u16string_view text);
std::u16string ToU16(std::wstring_view text);
