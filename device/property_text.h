// Text out of a device property or registry value: UTF-16 strings of a known
// byte size, NUL-separated when the value is a list.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The non-empty strings of the value. The system does not promise a terminator
// when a value fills its buffer, so nothing past size bytes is looked at.
void AppendPropertyStrings(const uint8_t* bytes, size_t size, std::vector<std::u16string>& out);
