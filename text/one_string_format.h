// Texts from a language file that hold a "%s" for one value. They come from a
// file the user can edit, so they are never handed to a printf-style function:
// the first "%s" takes the value and every other character stays as it is.
#pragma once

#include <string>
#include <string_view>

inline std::u16string FormatOneString(std::u16string_view format, std::u16string_view value) {
    std::u16string result(format);
    size_t at = result.find(u"%s");
    if (at != std::u16string::npos) result.replace(at, 2, value);
    return result;
}
