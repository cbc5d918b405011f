// The macro event list's item data, icons, text offsets, row fills and what a
// double click edits.
#include <gtest/gtest.h>

#include "device/key_names.h"
#include "skin/list_box_logic.h"

namespace {

TEST(ListItemDataTest, EncodingTable) {
    struct Case {
        uint8_t type;
        int value;
        uint32_t data;
    };
    const Case cases[] = {
        {LIST_ITEM_PLAIN, 0x15ABCDEF, 0x15ABCDEF},  // a macro id, unchanged
        {LIST_ITEM_PLAIN, -1, 0xFFFFFFFF},
        {LIST_ITEM_TYPED, 7, 0x01000007},
        {LIST_ITEM_KEY_UP, 0x41, 0x02000041},
        {LIST_ITEM_KEY_DOWN, 0x41, 0x03000041},
        {LIST_ITEM_DELAY, 1500, 0x040005DC},
        {LIST_ITEM_DELAY, 0x7FFFFFFF, 0x04FFFFFF},  // only 24 bits of value
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ListItemData(c.type, c.value), c.data) << int(c.type) << " " << c.value;
        if (c.type != LIST_ITEM_PLAIN) {
            EXPECT_EQ(ListItemDataType(c.data), c.type);
            EXPECT_EQ(ListItemDataValue(c.data), static_cast<uint32_t>(c.value) & 0xFFFFFF);
        }
    }
}

TEST(ListItemDataTest, ANewValueKeepsTheTypeAndReplacesTheOldValue) {
    // The old value's bits must not survive: 100 | 1500 would read 1532.
    EXPECT_EQ(ListItemDataWithValue(0x04000064, 1500), 0x040005DCu);
    EXPECT_EQ(ListItemDataWithValue(0x03000041, 0x1000042), 0x03000042u);
    EXPECT_EQ(ListItemDataWithValue(0x02FFFFFF, 0), 0x02000000u);
}

TEST(ListRowLookTest, IconFileAndTextOffsetByTypeAndSelection) {
    struct Case {
        uint8_t type;
        bool selected;
        bool showIcons;
        const char16_t* icon;
        int textLeft;
    };
    const Case cases[] = {
        {LIST_ITEM_KEY_UP, false, true, u"up_normal.png", 26},
        {LIST_ITEM_KEY_UP, true, true, u"up_select.png", 26},
        {LIST_ITEM_KEY_DOWN, false, true, u"down_normal.png", 26},
        {LIST_ITEM_KEY_DOWN, true, true, u"down_select.png", 26},
        {LIST_ITEM_DELAY, false, true, u"delay_normal.png", 26},
        {LIST_ITEM_DELAY, true, true, u"delay_select.png", 26},
        {LIST_ITEM_TYPED, false, true, nullptr, 26},  // no icon, but the text leaves its room
        {LIST_ITEM_PLAIN, true, true, nullptr, 5},
        {LIST_ITEM_KEY_DOWN, false, false, u"down_normal.png", 5},  // icons turned off by a plain row
        {9, false, true, nullptr, 26},
    };
    for (const Case& c : cases) {
        const char16_t* icon = ListRowIconFile(c.type, c.selected);
        if (c.icon)
            EXPECT_EQ(std::u16string(icon ? icon : u""), std::u16string(c.icon)) << int(c.type);
        else
            EXPECT_EQ(icon, nullptr) << int(c.type);
        EXPECT_EQ(ListRowTextLeft(c.type, c.showIcons, 16), c.textLeft) << int(c.type);
    }
}

TEST(ListRowLookTest, BackgroundFillsByDrawReason) {
    // selected, selection changed, focus changed, has focus
    EXPECT_EQ(ChooseListRowFill(true, false, false, true), (ListRowFill{true, false, false}));
    EXPECT_EQ(ChooseListRowFill(false, true, false, false), (ListRowFill{true, true, false}));  // lost it
    EXPECT_EQ(ChooseListRowFill(true, false, true, false), (ListRowFill{true, false, true}));
    EXPECT_EQ(ChooseListRowFill(true, false, true, true), (ListRowFill{true, false, false}));
    EXPECT_EQ(ChooseListRowFill(false, false, false, false), (ListRowFill{false, true, false}));
}

TEST(ListDoubleClickTest, DispatchByListAndRowType) {
    struct Case {
        bool enabled, inplace, parent;
        int listId, row;
        uint32_t data;
        ListDoubleClick action;
    };
    const Case cases[] = {
        {true, false, true, 257, 0, 0x04000064, ListDoubleClick::EditDelay},
        {true, false, true, 257, 3, 0x02000041, ListDoubleClick::EditKey},
        {true, false, true, 257, 3, 0x03000041, ListDoubleClick::EditKey},
        {true, false, true, 257, 1, 0x01000000, ListDoubleClick::None},
        {true, false, true, 257, 1, 0x15000001, ListDoubleClick::None},
        {true, false, true, 256, 0, 0x15000001, ListDoubleClick::Rename},
        {false, false, true, 256, 0, 0x15000001, ListDoubleClick::None},
        {true, true, true, 257, 0, 0x04000064, ListDoubleClick::None},
        {true, false, false, 256, 0, 0x15000001, ListDoubleClick::None},
        {true, false, true, 256, -1, 0, ListDoubleClick::None},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ChooseListDoubleClick(c.enabled, c.inplace, c.parent, c.listId, c.row, c.data), c.action)
            << c.listId << " row " << c.row << " data " << std::hex << c.data;
}

TEST(ListDoubleClickTest, EditedRowsKeepTheirType) {
    EXPECT_EQ(EditedListRow(ListDoubleClick::EditDelay, 0x04000064, 1500), (ListRowEdit{u"1500 ms", 0x040005DC}));
    EXPECT_EQ(EditedListRow(ListDoubleClick::EditKey, 0x02000041, 0x42), (ListRowEdit{VkToKeyName(0x42), 0x02000042}));
    EXPECT_EQ(EditedListRow(ListDoubleClick::EditKey, 0x03000041, 0x0D), (ListRowEdit{VkToKeyName(0x0D), 0x0300000D}));
    // A key edit that brought no key leaves the row as it was.
    EXPECT_EQ(EditedListRow(ListDoubleClick::EditKey, 0x03000041, 0), std::nullopt);
    EXPECT_EQ(EditedListRow(ListDoubleClick::Rename, 0x15000001, 5), std::nullopt);
}

}  // namespace
