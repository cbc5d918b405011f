#include "skin/value_entry_logic.h"

#include <algorithm>

#include "device/key_names.h"
#include "skin/filter_edit_logic.h"

namespace {
constexpr uint32_t kVkBack = 0x08;
constexpr uint32_t kVkReturn = 0x0D;
}  // namespace

namespace {
struct SensorDpiRange {
    uint8_t sensorType;
    const char16_t* title;
    uint32_t maximum;
};
// The lowest value named in a title is only shown: the value box that asked
// rounds what comes back and refuses what it cannot use.
constexpr SensorDpiRange kSensorDpiRanges[] = {
    {0xF1, u"DPI (50 ~ 30000)", 30000},
    {0xF0, u"DPI (50 ~ 26000)", 26000},
    {0xE1, u"DPI (200 ~ 16000)", 16000},
    {0xE2, u"DPI (50 ~ 24000)", 24000},
};
constexpr SensorDpiRange kOtherSensorDpiRange{0, u"DPI (50 ~ 6400)", 6400};

const SensorDpiRange& DpiRangeOf(uint8_t sensorType) {
    for (const SensorDpiRange& range : kSensorDpiRanges) {
        if (range.sensorType == sensorType) return range;
    }
    return kOtherSensorDpiRange;
}
}  // namespace

uint32_t SensorDpiMaximum(uint8_t sensorType) {
    return DpiRangeOf(sensorType).maximum;
}

ValueEntryMode ValueEntryModeFor(int mode, uint8_t sensorType) {
    ValueEntryMode m;
    switch (mode) {
    case VALUE_ENTRY_KEY:
        m.titleKey = UiText::str_macro_msg1;
        m.capturesKeys = true;
        break;
    case VALUE_ENTRY_DELAY:
        m.titleKey = UiText::str_macro_msg2;
        m.numeric = true;
        m.setsLimits = true;
        m.maxValue = 0xFFFF;
        m.resultCap = 0xFFFFFF;
        break;
    case VALUE_ENTRY_DPI: {
        const SensorDpiRange& range = DpiRangeOf(sensorType);
        m.fixedTitle = range.title;
        m.titleFontHeight = 20;
        m.numeric = true;
        m.setsLimits = true;
        m.maxValue = range.maximum;
        m.resultCap = 0xFFFF;
        break;
    }
    case VALUE_ENTRY_NAME:
        m.titleKey = UiText::str_msg17;
        m.titleFontHeight = 16;
        m.capturesKeys = true;
        break;
    default:
        break;
    }
    return m;
}

bool KeyModeTakes(uint32_t vk) {
    return vk != kVkReturn;
}

std::optional<NameEdit> ApplyNameKey(std::u16string_view text, int selStart, int selEnd, uint32_t vk,
                                     bool release) {
    if (!release || vk == kVkReturn) return std::nullopt;
    // The edit reports a selection in either order; clamp it to the text.
    size_t size = text.size();
    size_t start = std::min(static_cast<size_t>(std::max(0, std::min(selStart, selEnd))), size);
    size_t end = std::min(static_cast<size_t>(std::max(0, std::max(selStart, selEnd))), size);
    std::u16string left(text.substr(0, start));
    std::u16string right(text.substr(end));
    std::u16string result(text);
    if (vk == kVkBack) {
        if (start == end && !left.empty()) left.pop_back();
        result = left + right;
    } else if (left.size() + right.size() < static_cast<size_t>(kNameEntryLimit)) {
        // A key that types nothing (Shift, an arrow, a function key) leaves
        // the text alone rather than wiping out the selection.
        std::u16string name = NumPadKeyName(vk);
        if (!name.empty()) result = left + name + right;
    }
    int caret = static_cast<int>(result.size());
    return NameEdit{result, caret, caret};
}

uint32_t TypedEntryValue(const ValueEntryMode& mode, std::u16string_view text) {
    uint32_t value = ParseFieldNumber(text.substr(0, std::min<size_t>(text.size(), 19)));
    if (mode.resultCap != 0 && value > mode.resultCap) value = mode.resultCap;
    return value;
}
