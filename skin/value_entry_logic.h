// The decisions of the value-entry dialog, apart from its window: what each
// mode shows and accepts, how the name mode edits its text key by key, and
// what OK makes of the typed text.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "text/ui_texts.h"

enum ValueEntryModeId : int {
    VALUE_ENTRY_KEY = 0,
    VALUE_ENTRY_DELAY = 1,
    VALUE_ENTRY_DPI = 2,
    VALUE_ENTRY_NAME = 3,
};

// The edit field's id in the dialog.
constexpr unsigned VALUE_ENTRY_EDIT_ID = 2580;

struct ValueEntryMode {
    // The title row: a language text, or a fixed text when titleKey is empty.
    std::optional<UiText> titleKey;
    std::u16string fixedTitle;
    int titleFontHeight = 18;
    bool numeric = false;        // the edit field takes digits only (ES_NUMBER)
    bool setsLimits = false;     // the field's minimum and maximum come from the mode
    uint32_t minValue = 0;
    uint32_t maxValue = 0;
    bool capturesKeys = false;   // the keyboard goes to the dialog through the hook
    uint32_t resultCap = 0;      // OK caps the typed number at this (numeric modes)
};

// Unknown modes open nothing that captures or limits: a plain text field.
ValueEntryMode ValueEntryModeFor(int mode, uint8_t sensorType);

// The highest DPI value the sensor takes: 30000, 26000, 16000, 24000, else 6400.
uint32_t SensorDpiMaximum(uint8_t sensorType);

// Key mode: every key, press or release, becomes the result, except Enter.
bool KeyModeTakes(uint32_t vk);

// Name mode: the text and selection after one key from the hook. Nothing
// (the key is ignored) for presses and Enter. Backspace removes the selection
// or the character before it; any other key replaces the selection by the
// key's name while the text outside the selection holds fewer than 15
// characters. The caret always ends up at the end.
struct NameEdit {
    std::u16string text;
    int selStart = 0;
    int selEnd = 0;
    bool operator==(const NameEdit&) const = default;
};
constexpr int kNameEntryLimit = 15;
std::optional<NameEdit> ApplyNameKey(std::u16string_view text, int selStart, int selEnd, uint32_t vk,
                                     bool release);

// What OK makes of the typed text in the numeric modes: at most 19
// characters, read as a decimal number that saturates instead of wrapping,
// capped at the mode's result cap.
uint32_t TypedEntryValue(const ValueEntryMode& mode, std::u16string_view text);
