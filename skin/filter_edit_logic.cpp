#include "skin/filter_edit_logic.h"

uint32_t ParseFieldNumber(std::u16string_view text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == u' ' || text[i] == u'\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) {
        negative = text[i] == u'-';
        ++i;
    }
    uint64_t value = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        value = value * 10 + static_cast<uint64_t>(text[i] - u'0');
        if (value > UINT32_MAX) value = UINT32_MAX;  // the rest of the digits cannot bring it down
    }
    return negative ? 0 : static_cast<uint32_t>(value);
}

namespace {
std::u16string Decimal(uint32_t value) {
    std::u16string text;
    do {
        text.insert(text.begin(), static_cast<char16_t>(u'0' + value % 10));
        value /= 10;
    } while (value != 0);
    return text;
}
}  // namespace

FieldNumber FilterFieldNumber(std::u16string_view text, uint32_t minValue, uint32_t maxValue) {
    uint32_t n = ParseFieldNumber(text);
    if (n < minValue) return {minValue, Decimal(minValue)};
    if (n > maxValue) return {maxValue, Decimal(maxValue)};
    return {n, std::nullopt};
}

std::u16string FunctionKeyName(uint32_t vk) {
    constexpr uint32_t kF1 = 0x70, kF12 = 0x7B;
    if (vk < kF1 || vk > kF12) return {};
    std::u16string name(1, u'F');
    name += Decimal(vk - kF1 + 1);
    return name;
}
