// The macro editor's decisions, apart from its window: the event rows it
// shows for a stored macro, what a recorded key adds, where the insert menu's
// rows go, the delay merge and the image stored for the rows, the repeat count
// field, new ids, renames, and applying a macro to the buttons that use it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "device/button_codes.h"
#include "device/macro_store.h"
#include "skin/list_box_logic.h"

class CUSBDriver;

constexpr uint8_t MACRO_ID_PREFIX = 0x15;  // the top byte of every macro id made here
constexpr int MACRO_RECORD_KEY_LIMIT = 70;
constexpr uint32_t MACRO_DELAY_LIMIT = 0xFFFF;
constexpr uint32_t MACRO_REPEAT_COUNT_LIMIT = 0xFFFD;
constexpr uint32_t MACRO_COUNT_FIELD_LIMIT = 65534;
constexpr uint32_t MACRO_CLICK_DELAY = 50;  // between the press and release of an inserted key or click

// The insert menu's commands (their low 12 bits).
enum MacroInsertCommand : int {
    MACRO_INSERT_KEY = 144,
    MACRO_INSERT_DELAY = 145,
    MACRO_INSERT_LEFT = 146,
    MACRO_INSERT_RIGHT = 147,
    MACRO_INSERT_MIDDLE = 148,
};
constexpr uint32_t MACRO_MENU_COMMAND_BASE = 0xFFAAE000;

// One row of the event list: its type, value and text.
struct MacroEventRow {
    uint8_t type = 0;  // LIST_ITEM_KEY_UP, LIST_ITEM_KEY_DOWN or LIST_ITEM_DELAY
    uint32_t value = 0;
    std::u16string text;
    bool operator==(const MacroEventRow&) const = default;
};
using MacroRows = std::vector<MacroEventRow>;

// "%d  ms" (two spaces): recorded, loaded, merged and inserted delays.
std::u16string MacroDelayText(uint32_t ms);
MacroEventRow MacroKeyRow(uint8_t type, uint32_t vk);
MacroEventRow MacroDelayRow(uint32_t ms);

// ---- showing a stored macro ----

struct ShownMacro {
    MacroRows rows;
    int repeatMode = 2;
    std::u16string countText;
    bool badEvent = false;  // loading stopped at an event of no known type
};
// The rows of a record (at most its first 1000 events). A repeat mode above 2
// is set to 2 in the record itself.
ShownMacro ShowMacroRecord(MacroRecord& record);

// ---- recording ----

// The recording state; the last key and flag outlive a recording.
extern uint32_t g_lastHookVk;
extern uint32_t g_lastHookFlags;

enum class RecordedKey { Ignored, KeyLimit, RowLimit, Added };
struct RecordStep {
    RecordedKey outcome = RecordedKey::Ignored;
    MacroRows rows;  // to append, in order
};

class MacroRecorder {
public:
    uint32_t m_recordedKeyCount = 0;
    uint32_t m_lastKeyTick = 0;

    void Start();
    // A key from the hook (flags 0 press, 0x80 release) at tick `now`, with
    // the delay setting as the page shows it and the rows the list holds.
    RecordStep Key(uint32_t vk, uint32_t flags, uint32_t now, bool autoDelay, std::u16string_view fixedDelayText,
                   size_t rowsNow);
};

// The fixed delay field: 10 when it is not a whole decimal number, at most 0xFFFF.
uint32_t FixedDelayOf(std::u16string_view text);

// ---- editing ----

struct MacroRowEdit {
    enum Kind { Insert, Replace } kind = Insert;
    int index = 0;
    MacroEventRow row;
    bool operator==(const MacroRowEdit&) const = default;
};
using MacroEdits = std::vector<MacroRowEdit>;

// What an insert command does with the value it asked for (the key of 144,
// the delay of 145; nothing for the mouse buttons) after row `selected` (-1:
// none).
MacroEdits PlanMacroInsert(int command, const MacroRows& rows, int selected, uint32_t value);
// False when the edits would take the list beyond 1000 rows.
bool MacroEditsFit(const MacroRows& rows, const MacroEdits& edits);
void ApplyMacroEdits(MacroRows& rows, const MacroEdits& edits);

// Which value-entry mode modifying a row asks in (-1: the row is no key or delay).
int MacroModifyMode(const MacroEventRow& row);
// The row after its modify: a key row keeps its type and takes the new key (a
// key 0 changes nothing); a delay row reads "%d ms".
std::optional<MacroEventRow> ModifiedMacroRow(const MacroEventRow& row, uint32_t value);

// ---- saving ----

// Every run of delay rows becomes one row of their sum, at most 0xFFFF ms.
// `selected` follows its row; it is -1 when it was.
struct MergedRows {
    MacroRows rows;
    int selected = -1;
    bool changed = false;
};
MergedRows MergeMacroDelays(const MacroRows& rows, int selected);

// The count field's value for the stored repeat count: 1 when it is not a
// whole decimal number or is 0, at most 0xFFFD.
uint32_t MacroRepeatCountOf(std::u16string_view countText);
// What the two-second check makes of the count field: "1" for no number or 0,
// "65534" above that (a negative number counts as above); nothing to change
// otherwise.
std::optional<std::u16string> NormalisedCountText(std::u16string_view text);

// The image StoreMacroBlob takes: a MacroBlob header and its events.
struct MacroBlobImage {
    std::vector<uint32_t> words;  // the header's 104 bytes, then the events
    const MacroBlob* blob() const { return reinterpret_cast<const MacroBlob*>(words.data()); }
    size_t bytes() const { return words.size() * sizeof(uint32_t); }
};
// Nothing for an empty list. Rows before the first key row are left out.
// repeatMode -1 (no radio selected) stores 2.
std::optional<MacroBlobImage> BuildMacroBlob(const MacroRows& rows, uint32_t macroId, std::u16string_view name,
                                             int repeatMode, std::u16string_view countText);

// ---- the macro list ----

// A new id for the tick: prefix and the tick's low 24 bits, moved on past any
// id already in use.
template <typename Taken>
uint32_t NewMacroId(uint32_t tick, Taken&& taken) {
    uint32_t low = tick & 0xFFFFFF;
    for (uint32_t tries = 0; tries <= 0xFFFFFF; ++tries) {
        uint32_t id = uint32_t(MACRO_ID_PREFIX) << 24 | ((low + tries) & 0xFFFFFF);
        if (!taken(id)) return id;
    }
    return uint32_t(MACRO_ID_PREFIX) << 24 | low;
}

// A new macro's name: the typed one, or "New Macro".
std::u16string NewMacroName(std::u16string_view typed);

// True when a profile slot applies the macro to a button: it cannot be deleted.
bool IsMacroApplied(uint32_t macroId);

// The renamed macro's store record (the one with the id whose name differs)
// takes the name, and every macro button showing it is named "Macro:<name>".
// False when no record changed.
bool RenameStoredMacro(uint32_t macroId, std::u16string_view name);

// Apply: the record takes the repeat mode (and in mode 2 the count), is
// stored, then goes to every UI button assigned to it, each followed by its
// button command. A button whose upload failed gets no command. Returns the
// device buttons that were set.
std::vector<uint8_t> ApplyMacroToButtons(uint32_t macroId, int repeatMode, std::u16string_view countText,
                                         CUSBDriver* driver);
