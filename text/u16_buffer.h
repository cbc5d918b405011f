// Fixed UTF-16 buffers inside records: copying into them and reading them back
// never runs past their capacity, whatever the source or the stored bytes hold.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Copies as much of text as fits, always NUL-terminated. Returns the units copied.
inline size_t CopyToBuffer(char16_t* buffer, size_t capacity, std::u16string_view text) {
    if (capacity == 0) return 0;
    size_t count = text.size() < capacity - 1 ? text.size() : capacity - 1;
    text.copy(buffer, count);
    buffer[count] = u'\0';
    return count;
}

template <size_t N>
size_t CopyToBuffer(char16_t (&buffer)[N], std::u16string_view text) {
    return CopyToBuffer(buffer, N, text);
}

// The text of a buffer up to its first NUL, or all of it when it holds none.
inline std::u16string_view BufferText(const char16_t* buffer, size_t capacity) {
    size_t length = 0;
    while (length < capacity && buffer[length] != u'\0') ++length;
    return std::u16string_view(buffer, length);
}

template <size_t N>
std::u16string_view BufferText(const char16_t (&buffer)[N]) {
    return BufferText(buffer, N);
}
