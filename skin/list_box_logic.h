// The macro event list's rules, apart from its window: the 32-bit item data of
// a row (type in the top byte, value below), which icon a row shows and where
// its text starts, the row texts, and what a double click on a row edits.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

// Row types in the top byte of a row's item data.
enum ListItemType : uint8_t {
    LIST_ITEM_PLAIN = 0,     // a text row: the data is the caller's value unchanged
    LIST_ITEM_TYPED = 1,     // a typed row without an icon
    LIST_ITEM_KEY_UP = 2,    // key release; value = virtual-key code
    LIST_ITEM_KEY_DOWN = 3,  // key press; value = virtual-key code
    LIST_ITEM_DELAY = 4,     // delay; value in milliseconds
};

// The event list of the macro editor; every other list renames on double click.
constexpr int kMacroEventListId = 257;

// type << 24 | (value & 0xFFFFFF) for a typed row; the value itself for type 0.
uint32_t ListItemData(uint8_t type, int value);
inline uint8_t ListItemDataType(uint32_t data) { return static_cast<uint8_t>(data >> 24); }
inline uint32_t ListItemDataValue(uint32_t data) { return data & 0xFFFFFF; }
// The row's type bits kept, only the 24-bit value replaced.
uint32_t ListItemDataWithValue(uint32_t data, uint32_t value);

// The icon file of a row (the "select" file for a selected row), or null for
// a row that draws none.
const char16_t* ListRowIconFile(uint8_t type, bool selected);
// Where a row's text starts: after the icon box for a typed row while the
// list shows icons, else 5 pixels in.
int ListRowTextLeft(uint8_t type, bool showIcons, int iconWidth);

// "%d ms".
std::u16string ListDelayText(uint32_t ms);

// The fills of a row's background, in order: the selection colour first for a
// selected row or one whose selection changed, the list's brush for every row
// not selected, and the selection colour again when a selected row only lost
// its focus rectangle.
struct ListRowFill {
    bool selection = false;
    bool background = false;
    bool selectionAgain = false;
    bool operator==(const ListRowFill&) const = default;
};
ListRowFill ChooseListRowFill(bool selected, bool selectionChanged, bool focusChanged, bool hasFocus);

enum class ListDoubleClick { None, EditDelay, EditKey, Rename };
// What a double click on row `row` (with item data `data`) does.
ListDoubleClick ChooseListDoubleClick(bool editEnabled, bool inplaceEditOpen, bool hasParent, int listId, int row,
                                      uint32_t data);

// A key or delay row after its edit: the new text and item data. Nothing for
// a key edit that brought no key (code 0): the row stays as it was.
struct ListRowEdit {
    std::u16string text;
    uint32_t data = 0;
    bool operator==(const ListRowEdit&) const = default;
};
std::optional<ListRowEdit> EditedListRow(ListDoubleClick action, uint32_t data, uint32_t value);
