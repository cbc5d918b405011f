#include "skin/list_box_logic.h"

#include <string>

#include "device/key_names.h"

uint32_t ListItemData(uint8_t type, int value) {
    if (type == LIST_ITEM_PLAIN) return static_cast<uint32_t>(value);
    return static_cast<uint32_t>(type) << 24 | (static_cast<uint32_t>(value) & 0xFFFFFF);
}

uint32_t ListItemDataWithValue(uint32_t data, uint32_t value) {
    return (data & 0xFF000000u) | (value & 0xFFFFFF);
}

const char16_t* ListRowIconFile(uint8_t type, bool selected) {
    switch (type) {
    case LIST_ITEM_KEY_UP:
        return selected ? u"up_select.png" : u"up_normal.png";
    case LIST_ITEM_KEY_DOWN:
        return selected ? u"down_select.png" : u"down_normal.png";
    case LIST_ITEM_DELAY:
        return selected ? u"delay_select.png" : u"delay_normal.png";
    default:
        return nullptr;
    }
}

int ListRowTextLeft(uint8_t type, bool showIcons, int iconWidth) {
    return type != LIST_ITEM_PLAIN && showIcons ? iconWidth + 10 : 5;
}

std::u16string ListDelayText(uint32_t ms) {
    std::string digits = std::to_string(ms);
    std::u16string text(digits.begin(), digits.end());
    return text + u" ms";
}

ListRowFill ChooseListRowFill(bool selected, bool selectionChanged, bool focusChanged, bool hasFocus) {
    ListRowFill fill;
    fill.selection = selected || selectionChanged;
    // Every row out of the selection gets the list's own background, also
    // when the whole row is drawn without an erase before it.
    fill.background = !selected;
    fill.selectionAgain = focusChanged && selected && !hasFocus;
    return fill;
}

ListDoubleClick ChooseListDoubleClick(bool editEnabled, bool inplaceEditOpen, bool hasParent, int listId, int row,
                                      uint32_t data) {
    if (!editEnabled || inplaceEditOpen || !hasParent || row < 0) return ListDoubleClick::None;
    if (listId != kMacroEventListId) return ListDoubleClick::Rename;
    switch (ListItemDataType(data)) {
    case LIST_ITEM_DELAY:
        return ListDoubleClick::EditDelay;
    case LIST_ITEM_KEY_UP:
    case LIST_ITEM_KEY_DOWN:
        return ListDoubleClick::EditKey;
    default:
        return ListDoubleClick::None;
    }
}

std::optional<ListRowEdit> EditedListRow(ListDoubleClick action, uint32_t data, uint32_t value) {
    switch (action) {
    case ListDoubleClick::EditDelay:
        return ListRowEdit{ListDelayText(value & 0xFFFFFF), ListItemDataWithValue(data, value)};
    case ListDoubleClick::EditKey:
        // No key captured is no change: a key row never gets code 0.
        if (value == 0) return std::nullopt;
        return ListRowEdit{VkToKeyName(value), ListItemDataWithValue(data, value)};
    default:
        return std::nullopt;
    }
}
