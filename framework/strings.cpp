#include "framework/strings.h"

#include <cstdarg>
#include <cwchar>
#include <vector>

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows wide characters are UTF-16 units");

std::wstring FormatW(const wchar_t* format, ...) {
    std::vector<wchar_t> buffer(256);
    for (;;) {
        va_list args;
        va_start(args, format);
        int written = _vsnwprintf(buffer.data(), buffer.size(), format, args);
        va_end(args);
        // MSVCRT's _vsnwprintf returns -1 (or the full size, unterminated) when
        // the buffer is too small.
        if (written >= 0 && static_cast<size_t>(written) < buffer.size()) return std::wstring(buffer.data(), written);
        if (buffer.size() >= (1u << 20)) return std::wstring();
        buffer.resize(buffer.size() * 2);
    }
}

std::wstring ToWide(std::u16string_view text) {
    return std::wstring(reinterpret_cast<const wchar_t*>(text.data()), text.size());
}

std::u16string ToU16(std::wstring_view text) {
    return std::u16string(reinterpret_cast<const char16_t*>(text.data()), text.size());
}
