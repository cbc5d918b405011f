// Comparing texts the way the system compares names and hardware ids: letters
// A to Z match their lower-case forms, every other unit only itself.
#pragma once

#include <algorithm>
#include <string_view>

inline char16_t FoldAsciiCase(char16_t unit) {
    return unit >= u'A' && unit <= u'Z' ? char16_t(unit - u'A' + u'a') : unit;
}

// True when part occurs in text; an empty part occurs nowhere.
inline bool ContainsIgnoringAsciiCase(std::u16string_view text, std::u16string_view part) {
    if (part.empty()) return false;
    auto it =
        std::search(text.begin(), text.end(), part.begin(), part.end(),
                    [](char16_t a, char16_t b) { return FoldAsciiCase(a) == FoldAsciiCase(b); });
    return it != text.end();
}
