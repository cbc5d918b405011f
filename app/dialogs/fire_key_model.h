// What the fire-key dialog makes of its two fields, apart from its window.
#pragma once

#include <cstdint>
#include <string_view>

// The fields open with these, whatever the settings hold.
constexpr uint32_t FIRE_COUNT_DEFAULT = 3;
constexpr uint32_t FIRE_INTERVAL_DEFAULT = 10;
// The ranges the mouse takes; the fields keep to them while typed.
constexpr uint32_t FIRE_COUNT_FIELD_MAX = 3;
constexpr uint32_t FIRE_INTERVAL_FIELD_MAX = 255;
// The fields hold at most this many characters.
constexpr size_t FIRE_FIELD_CHARS = 4;

struct FireKeyValues {
    uint8_t count = 0;
    uint32_t interval = 0;
    bool operator==(const FireKeyValues&) const = default;
};

// The first four characters of each field, their leading digits read as a
// number (0 when there are none). A number beyond the field's range is taken
// as its maximum: the field normally keeps to its range, but a value that got
// past it (a paste the field had no time to rewrite) must not reach the mouse
// as a wrapped byte.
FireKeyValues ReadFireKeyFields(std::u16string_view countText, std::u16string_view intervalText);
