#include "app/pages/macro_set_model.h"

#include <algorithm>
#include <string>

#include "app/dialogs/macro_picker_model.h"
#include "device/clock.h"
#include "device/key_names.h"
#include "device/macro_image.h"
#include "device/profiles.h"
#include "device/settings.h"
#include "device/usb_driver.h"
#include "text/one_string_format.h"
#include "text/u16_buffer.h"

uint32_t g_lastHookVk = 0;
uint32_t g_lastHookFlags = 0;

namespace {

std::u16string Digits(uint64_t value) {
    std::string digits = std::to_string(value);
    return std::u16string(digits.begin(), digits.end());
}

// A whole decimal number, optionally negative; saturating far beyond any limit
// that is checked against it.
struct ParsedNumber {
    bool negative = false;
    uint64_t magnitude = 0;
};
std::optional<ParsedNumber> ParseWholeNumber(std::u16string_view text) {
    ParsedNumber n;
    size_t i = 0;
    if (!text.empty() && text[0] == u'-') {
        n.negative = true;
        i = 1;
    }
    if (i == text.size()) return std::nullopt;
    for (; i < text.size(); ++i) {
        char16_t c = text[i];
        if (c < u'0' || c > u'9') return std::nullopt;
        n.magnitude = std::min<uint64_t>(n.magnitude * 10 + uint64_t(c - u'0'), 0xFFFFFFFFFFull);
    }
    return n;
}

bool IsKeyRow(const MacroEventRow& row) {
    return row.type == LIST_ITEM_KEY_DOWN || row.type == LIST_ITEM_KEY_UP;
}

// The three rows of a key or click: press, 50 ms, release.
void KeyStroke(MacroEdits& edits, int at, uint32_t vk) {
    edits.push_back({MacroRowEdit::Insert, at, MacroKeyRow(LIST_ITEM_KEY_DOWN, vk)});
    edits.push_back({MacroRowEdit::Insert, at + 1, {LIST_ITEM_DELAY, MACRO_CLICK_DELAY, u"50 ms"}});
    edits.push_back({MacroRowEdit::Insert, at + 2, MacroKeyRow(LIST_ITEM_KEY_UP, vk)});
}

}  // namespace

std::u16string MacroDelayText(uint32_t ms) {
    return Digits(ms) + u"  ms";
}

MacroEventRow MacroKeyRow(uint8_t type, uint32_t vk) {
    return {type, vk & 0xFFFFFF, VkToKeyName(vk)};
}

MacroEventRow MacroDelayRow(uint32_t ms) {
    return {LIST_ITEM_DELAY, ms & 0xFFFFFF, MacroDelayText(ms & 0xFFFFFF)};
}

ShownMacro ShowMacroRecord(MacroRecord& record) {
    ShownMacro shown;
    shown.countText = record.repeatCount == MACRO_REPEAT_SINGLE_KEY ? u"1" : Digits(record.repeatCount);
    if (record.repeatMode > 2) record.repeatMode = 2;
    shown.repeatMode = static_cast<int>(record.repeatMode);
    const uint32_t count = MacroEventCountOf(record);
    for (uint32_t i = 0; i < count; ++i) {
        const MacroEvent event = record.events[i];
        const uint32_t value = MacroEventValue(event);
        switch (MacroEventType(event)) {
        case MACRO_EVENT_RELEASE:
            shown.rows.push_back(MacroKeyRow(LIST_ITEM_KEY_UP, value));
            break;
        case MACRO_EVENT_PRESS:
            shown.rows.push_back(MacroKeyRow(LIST_ITEM_KEY_DOWN, value));
            break;
        case MACRO_EVENT_DELAY:
            shown.rows.push_back(MacroDelayRow(value));
            break;
        default:
            shown.badEvent = true;
            return shown;
        }
    }
    return shown;
}

uint32_t FixedDelayOf(std::u16string_view text) {
    std::optional<ParsedNumber> n = ParseWholeNumber(text);
    if (!n || n->negative) return 10;
    return static_cast<uint32_t>(std::min<uint64_t>(n->magnitude, MACRO_DELAY_LIMIT));
}

void MacroRecorder::Start() {
    m_recordedKeyCount = 0;
    m_lastKeyTick = 0;
}

RecordStep MacroRecorder::Key(uint32_t vk, uint32_t flags, uint32_t now, bool autoDelay,
                              std::u16string_view fixedDelayText, size_t rowsNow) {
    RecordStep step;
    // The keyboard repeats a held key's press, and a release may come twice.
    if (vk == g_lastHookVk && flags == g_lastHookFlags) return step;
    if (m_recordedKeyCount >= MACRO_RECORD_KEY_LIMIT) {
        step.outcome = RecordedKey::KeyLimit;
        return step;
    }
    if (autoDelay) {
        if (m_lastKeyTick != 0) step.rows.push_back(MacroDelayRow(std::min(now - m_lastKeyTick, MACRO_DELAY_LIMIT)));
    } else {
        step.rows.push_back(MacroDelayRow(FixedDelayOf(fixedDelayText)));
    }
    step.rows.push_back(MacroKeyRow(flags ? LIST_ITEM_KEY_UP : LIST_ITEM_KEY_DOWN, vk));
    if (rowsNow + step.rows.size() > MACRO_MAX_EVENTS) {
        step.rows.clear();
        step.outcome = RecordedKey::RowLimit;
        return step;
    }
    if (autoDelay) m_lastKeyTick = now;
    ++m_recordedKeyCount;
    g_lastHookVk = vk;
    g_lastHookFlags = flags;
    step.outcome = RecordedKey::Added;
    return step;
}

MacroEdits PlanMacroInsert(int command, const MacroRows& rows, int selected, uint32_t value) {
    MacroEdits edits;
    const int s = selected >= 0 && selected < static_cast<int>(rows.size()) ? selected : -1;
    switch (command) {
    case MACRO_INSERT_KEY:
        KeyStroke(edits, s + 1, value);
        break;
    case MACRO_INSERT_LEFT:
        KeyStroke(edits, s + 1, 1);
        break;
    case MACRO_INSERT_RIGHT:
        KeyStroke(edits, s + 1, 2);
        break;
    case MACRO_INSERT_MIDDLE:
        KeyStroke(edits, s + 1, 4);
        break;
    case MACRO_INSERT_DELAY: {
        MacroEventRow delay = MacroDelayRow(value);
        if (s >= 0 && rows[s].type == LIST_ITEM_DELAY)
            edits.push_back({MacroRowEdit::Replace, s, delay});
        else if (s + 1 < static_cast<int>(rows.size()) && rows[s + 1].type == LIST_ITEM_DELAY)
            edits.push_back({MacroRowEdit::Replace, s + 1, delay});
        else
            edits.push_back({MacroRowEdit::Insert, s + 1, delay});
        break;
    }
    default:
        break;
    }
    return edits;
}

bool MacroEditsFit(const MacroRows& rows, const MacroEdits& edits) {
    size_t inserted = 0;
    for (const MacroRowEdit& e : edits)
        if (e.kind == MacroRowEdit::Insert) ++inserted;
    return rows.size() + inserted <= MACRO_MAX_EVENTS;
}

void ApplyMacroEdits(MacroRows& rows, const MacroEdits& edits) {
    for (const MacroRowEdit& e : edits) {
        if (e.index < 0 || e.index > static_cast<int>(rows.size())) continue;
        if (e.kind == MacroRowEdit::Insert)
            rows.insert(rows.begin() + e.index, e.row);
        else if (e.index < static_cast<int>(rows.size()))
            rows[static_cast<size_t>(e.index)] = e.row;
    }
}

int MacroModifyMode(const MacroEventRow& row) {
    if (IsKeyRow(row)) return 0;
    if (row.type == LIST_ITEM_DELAY) return 1;
    return -1;
}

std::optional<MacroEventRow> ModifiedMacroRow(const MacroEventRow& row, uint32_t value) {
    if (IsKeyRow(row)) {
        if (value == 0) return std::nullopt;
        return MacroKeyRow(row.type, value);
    }
    if (row.type == LIST_ITEM_DELAY) return MacroEventRow{LIST_ITEM_DELAY, value & 0xFFFFFF, ListDelayText(value & 0xFFFFFF)};
    return std::nullopt;
}

MergedRows MergeMacroDelays(const MacroRows& rows, int selected) {
    MergedRows out;
    for (size_t i = 0; i < rows.size(); ++i) {
        const MacroEventRow& row = rows[i];
        const bool joins = row.type == LIST_ITEM_DELAY && !out.rows.empty() && out.rows.back().type == LIST_ITEM_DELAY;
        if (joins) {
            // The mouse keeps 16 bits of a delay: a longer sum would arrive cut.
            uint32_t sum = std::min(out.rows.back().value + row.value, MACRO_DELAY_LIMIT);
            out.rows.back() = MacroDelayRow(sum);
            out.changed = true;
        } else {
            out.rows.push_back(row);
        }
        if (static_cast<int>(i) == selected) out.selected = static_cast<int>(out.rows.size()) - 1;
    }
    return out;
}

uint32_t MacroRepeatCountOf(std::u16string_view countText) {
    std::optional<ParsedNumber> n = ParseWholeNumber(countText);
    if (!n || n->negative || n->magnitude == 0) return 1;
    return static_cast<uint32_t>(std::min<uint64_t>(n->magnitude, MACRO_REPEAT_COUNT_LIMIT));
}

std::optional<std::u16string> NormalisedCountText(std::u16string_view text) {
    std::optional<ParsedNumber> n = ParseWholeNumber(text);
    if (!n || n->magnitude == 0) return u"1";
    if (n->negative || n->magnitude > MACRO_COUNT_FIELD_LIMIT) return Digits(MACRO_COUNT_FIELD_LIMIT);
    return std::nullopt;
}

std::optional<MacroBlobImage> BuildMacroBlob(const MacroRows& rows, uint32_t macroId, std::u16string_view name,
                                             int repeatMode, std::u16string_view countText) {
    if (rows.empty()) return std::nullopt;
    std::vector<MacroEvent> events;
    bool started = false;
    for (const MacroEventRow& row : rows) {
        if (!started && !IsKeyRow(row)) continue;
        started = true;
        uint8_t type = row.type == LIST_ITEM_KEY_UP     ? MACRO_EVENT_RELEASE
                       : row.type == LIST_ITEM_KEY_DOWN ? MACRO_EVENT_PRESS
                                                        : MACRO_EVENT_DELAY;
        events.push_back(MakeMacroEvent(type, row.value));
    }
    if (events.size() > MACRO_MAX_EVENTS) return std::nullopt;

    MacroBlobImage image;
    image.words.assign(MACRO_BLOB_HEADER_SIZE / sizeof(uint32_t) + events.size(), 0);
    auto* blob = reinterpret_cast<MacroBlob*>(image.words.data());
    blob->size = MACRO_BLOB_HEADER_SIZE + 4 * static_cast<uint32_t>(rows.size());
    blob->magic = MACRO_MAGIC;
    blob->macroId = macroId;
    blob->repeatMode = repeatMode >= 0 && repeatMode <= 2 ? static_cast<uint32_t>(repeatMode) : 2;
    const bool singlePress = events.size() == 1 && MacroEventType(events[0]) == MACRO_EVENT_PRESS;
    blob->repeatCount = singlePress ? MACRO_REPEAT_SINGLE_KEY : MacroRepeatCountOf(countText);
    CopyToBuffer(blob->name, name);
    blob->eventCount = static_cast<uint32_t>(events.size());
    std::copy(events.begin(), events.end(), image.words.begin() + MACRO_BLOB_HEADER_SIZE / sizeof(uint32_t));
    return image;
}

std::u16string NewMacroName(std::u16string_view typed) {
    return typed.empty() ? std::u16string(u"New Macro") : std::u16string(typed);
}

bool IsMacroApplied(uint32_t macroId) {
    for (const ProfileSlot& slot : g_profileSlots)
        for (int32_t id : slot.appliedMacroIds)
            if (static_cast<uint32_t>(id) == macroId) return true;
    return false;
}

bool RenameStoredMacro(uint32_t macroId, std::u16string_view name) {
    std::u16string stored(name.substr(0, MACRO_NAME_LENGTH - 1));
    bool changed = false;
    for (MacroRecord& record : g_macroStore.records) {
        if (record.macroId != macroId || !IsListedMacro(record) || MacroNameOf(record) == stored) continue;
        MacroRecord copy = record;
        CopyToBuffer(copy.name, stored);
        changed = CopyMacroRecord(&copy) != 0;
        break;
    }
    // A button that plays this macro shows its name; one that was given
    // another function since keeps the name of that function.
    const std::u16string display = FormatOneString(u"Macro:%s", stored);
    for (ButtonAssignment& button : g_settings.buttons)
        if (button.functionId == FUNC_MACRO && static_cast<uint32_t>(button.macroId) == macroId)
            CopyToBuffer(button.displayName, display);
    return changed;
}

std::vector<uint8_t> ApplyMacroToButtons(uint32_t macroId, int repeatMode, std::u16string_view countText,
                                         CUSBDriver* driver) {
    std::vector<uint8_t> set;
    MacroRecord* record = FindMacroRecord(macroId);
    if (!record) return set;
    MacroRecord updated = *record;
    updated.repeatMode = repeatMode >= 0 && repeatMode <= 2 ? static_cast<uint32_t>(repeatMode) : 2;
    if (updated.repeatMode == 2) updated.repeatCount = MacroRepeatCountOf(countText);
    CopyMacroRecord(&updated);
    const MacroRecord* stored = FindMacroRecord(macroId);
    if (!stored || !driver) return set;
    for (int i = 0; i < BUTTON_COUNT; ++i) {
        const ButtonAssignment& button = g_settings.buttons[i];
        if (button.functionId != FUNC_MACRO || static_cast<uint32_t>(button.macroId) != macroId) continue;
        const uint8_t d = DeviceButtonNumber(i);
        const bool uploaded = EncodeAndUploadMacro(stored, driver, d) != 0;
        SleepMs(50);
        // The slot may hold half of each macro: the button is not pointed at it.
        if (!uploaded) continue;
        if (driver->SetButtonFunction(MacroButtonCode(d), d)) set.push_back(d);
    }
    return set;
}
