#include "app/dialogs/fire_key_model.h"

#include <algorithm>

#include "skin/filter_edit_logic.h"

namespace {

uint32_t ReadField(std::u16string_view text, uint32_t maximum) {
    return std::min(ParseFieldNumber(text.substr(0, FIRE_FIELD_CHARS)), maximum);
}

}  // namespace

FireKeyValues ReadFireKeyFields(std::u16string_view countText, std::u16string_view intervalText) {
    FireKeyValues values;
    values.count = static_cast<uint8_t>(ReadField(countText, FIRE_COUNT_FIELD_MAX));
    values.interval = ReadField(intervalText, FIRE_INTERVAL_FIELD_MAX);
    return values;
}
