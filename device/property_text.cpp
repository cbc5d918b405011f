#include "device/property_text.h"

void AppendPropertyStrings(const uint8_t* bytes, size_t size, std::vector<std::u16string>& out) {
    const size_t units = size / sizeof(char16_t);
    std::u16string text(units, u'\0');
    for (size_t i = 0; i < units; ++i) {
        text[i] = char16_t(bytes[2 * i] | bytes[2 * i + 1] << 8);
    }
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(u'\0', start);
        if (end == std::u16string::npos) end = text.size();
        if (end > start) out.push_back(text.substr(start, end - start));
        start = end + 1;
    }
}
