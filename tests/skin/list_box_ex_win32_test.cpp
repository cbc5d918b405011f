// The macro event list on a test dialog under Wine: rows with icons, the
// selection notice after keyboard and mouse changes, and double-click edits
// through the value-entry box (a stand-in handler).
#include <gtest/gtest.h>

#include <optional>

#include "device/file_system.h"
#include "device/key_names.h"
#include "framework/strings.h"
#include "skin/list_box_ex_win32.h"
#include "skin/skin_messages.h"
#include "skin/value_entry_win32.h"
#include "support/window_harness_win32.h"

namespace {

constexpr RECT kListRect{20, 20, 320, 251};

class ListBoxExTest : public testing::Test {
protected:
    void SetUp() override {
        EnsureGdiplus();
        SetProgramFolder(ToU16(TestDistDir()));
        ASSERT_TRUE(dialog.Open());
    }
    void TearDown() override {
        SetValueEntryHandler(nullptr);
        SetNameEntryHandler(nullptr);
        SetProgramFolder(u"");
    }

    void Make(CListBoxEx& list, UINT id) {
        ASSERT_TRUE(list.Create(CListBoxEx::kStyle, kListRect, &dialog, id));
        list.m_bkBrush.CreateSolidBrush(RGB(15, 15, 15));
        list.m_textColor = RGB(230, 230, 230);
        list.m_dblClickEdit = 1;
    }

    // The events of pressing and releasing A with a delay between.
    static void AddEvents(CListBoxEx& list) {
        list.AddItem('A', LIST_ITEM_KEY_DOWN, ToWide(VkToKeyName('A')));
        list.AddItem(120, LIST_ITEM_DELAY, L"120 ms");
        list.AddItem('A', LIST_ITEM_KEY_UP, ToWide(VkToKeyName('A')));
    }

    // A double click on a row, with the cursor over it as a real one has.
    void DoubleClick(CListBoxEx& list, int row) {
        RECT r = list.GetItemRect(row);
        POINT pt{r.left + 40, (r.top + r.bottom) / 2};
        POINT screen = pt;
        list.ClientToScreen(&screen);
        ::SetCursorPos(screen.x, screen.y);
        PostMouse(list, WM_LBUTTONDOWN, pt.x, pt.y, MK_LBUTTON);
        PostMouse(list, WM_LBUTTONUP, pt.x, pt.y, 0);
        PostMouse(list, WM_LBUTTONDBLCLK, pt.x, pt.y, MK_LBUTTON);
        PostMouse(list, WM_LBUTTONUP, pt.x, pt.y, 0);
        PumpMessages(20);
    }

    TestDialog dialog;
};

TEST_F(ListBoxExTest, AddedRowsCarryTheirTypeAndSelectTheNewRow) {
    CListBoxEx list;
    Make(list, 257);
    EXPECT_EQ(list.GetItemHeight(0), 20);
    AddEvents(list);
    EXPECT_EQ(list.GetCount(), 3);
    EXPECT_EQ(list.GetCurSel(), 2);
    EXPECT_EQ(static_cast<uint32_t>(list.GetItemData(0)), 0x03000041u);
    EXPECT_EQ(static_cast<uint32_t>(list.GetItemData(1)), 0x04000078u);
    EXPECT_TRUE(list.m_showIcons);

    EXPECT_EQ(list.InsertItem(L"50 ms", 1, LIST_ITEM_DELAY, 50), 1);
    EXPECT_EQ(list.GetCurSel(), 1);
    EXPECT_EQ(list.ReplaceDelayItem(2, L"300 ms", 300), 2);
    EXPECT_EQ(list.GetText(2), L"300 ms");
    EXPECT_EQ(static_cast<uint32_t>(list.GetItemData(2)), 0x0400012Cu);
    EXPECT_EQ(list.GetCurSel(), 2);

    // A plain row turns the icons off until the next typed one.
    list.AddItem(0x15000001, LIST_ITEM_PLAIN, L"Macro");
    EXPECT_FALSE(list.m_showIcons);
    EXPECT_EQ(static_cast<uint32_t>(list.GetItemData(4)), 0x15000001u);
    list.AddItem(10, LIST_ITEM_DELAY, L"10 ms");
    EXPECT_TRUE(list.m_showIcons);
}

TEST_F(ListBoxExTest, SelectionNoticeNamesTheSelectedRowNotTheOneUnderTheCursor) {
    CListBoxEx list;
    Make(list, 257);
    for (int i = 0; i < 6; ++i) list.AddItem(10 * i, LIST_ITEM_DELAY, FormatW(L"%d ms", 10 * i));
    list.SetCurSel(0);
    // The cursor rests over row 4 while the keyboard moves the selection.
    RECT r = list.GetItemRect(4);
    POINT screen{r.left + 30, (r.top + r.bottom) / 2};
    list.ClientToScreen(&screen);
    ::SetCursorPos(screen.x, screen.y);
    list.SetFocus();
    dialog.Clear();
    list.SendMessage(WM_KEYDOWN, VK_DOWN, 0);
    list.SendMessage(WM_KEYDOWN, VK_DOWN, 0);
    PumpMessages();
    auto notices = dialog.Of(UWM_LIST_SELCHANGE);
    ASSERT_EQ(notices.size(), 2u);
    EXPECT_EQ(notices[0].wp, 257u);
    EXPECT_EQ(notices[0].lp, 1);
    EXPECT_EQ(notices[1].lp, 2);

    // With a notify window set, the notice goes there instead.
    TestDialog other(200, 100);
    ASSERT_TRUE(other.Open());
    list.m_notifyWnd = other.m_hWnd;
    list.m_useNotifyWnd = 1;
    list.SendMessage(WM_KEYDOWN, VK_DOWN, 0);
    PumpMessages();
    ASSERT_EQ(other.Count(UWM_LIST_SELCHANGE), 1);
    EXPECT_EQ(other.Of(UWM_LIST_SELCHANGE)[0].lp, 3);
}

TEST_F(ListBoxExTest, DoubleClickEditsADelayRowAndTellsTheOwner) {
    CListBoxEx list;
    Make(list, 257);
    AddEvents(list);
    list.m_notifyWnd = dialog.m_hWnd;
    int asked = -1;
    SetValueEntryHandler([&](CWnd*, int mode) -> std::optional<uint32_t> {
        asked = mode;
        return 1500;
    });
    dialog.Clear();
    DoubleClick(list, 1);
    EXPECT_EQ(asked, VALUE_ENTRY_DELAY);
    EXPECT_EQ(list.GetText(1), L"1500 ms");
    EXPECT_EQ(static_cast<uint32_t>(list.GetItemData(1)), 0x040005DCu);
    EXPECT_EQ(list.GetCurSel(), 1);
    EXPECT_EQ(list.GetCount(), 3);
    auto edited = dialog.Of(UWM_LIST_DBLCLK);
    ASSERT_EQ(edited.size(), 1u);
    EXPECT_EQ(edited[0].wp, 257u);
    EXPECT_EQ(edited[0].lp, 1);
}

TEST_F(ListBoxExTest, KeyEditsThatBringNoKeyChangeNothing) {
    CListBoxEx list;
    Make(list, 257);
    AddEvents(list);
    list.m_notifyWnd = dialog.m_hWnd;
    struct Case {
        std::optional<uint32_t> answer;
        const wchar_t* text;
        uint32_t data;
        int posts;
    };
    const Case cases[] = {
        {std::nullopt, nullptr, 0x02000041, 0},  // cancelled
        {0u, nullptr, 0x02000041, 0},            // OK with no key captured
        {'B', L"B", 0x02000042, 1},
    };
    for (const Case& c : cases) {
        std::wstring before = list.GetText(2);
        SetValueEntryHandler([&](CWnd*, int mode) -> std::optional<uint32_t> {
            EXPECT_EQ(mode, VALUE_ENTRY_KEY);
            return c.answer;
        });
        list.SetCurSel(0);
        dialog.Clear();
        DoubleClick(list, 2);
        EXPECT_EQ(static_cast<uint32_t>(list.GetItemData(2)), c.data);
        EXPECT_EQ(list.GetText(2), c.text ? ToWide(VkToKeyName('B')) : before);
        EXPECT_EQ(dialog.Count(UWM_LIST_DBLCLK), c.posts);
    }
}

TEST_F(ListBoxExTest, RenameReplacesTheTextKeepsTheIdAndTellsTheOwner) {
    CListBoxEx names;
    Make(names, 256);
    names.AddItem(0x15000001, LIST_ITEM_PLAIN, L"First");
    names.AddItem(0x15000002, LIST_ITEM_PLAIN, std::wstring(300, L'x'));  // longer than any fixed buffer
    SetNameEntryHandler([&](CWnd*) -> std::optional<std::wstring> {
        EXPECT_EQ(names.m_editRow, 1);
        return std::wstring(L"Renamed");
    });
    dialog.Clear();
    DoubleClick(names, 1);
    EXPECT_EQ(names.GetText(1), L"Renamed");
    EXPECT_EQ(static_cast<uint32_t>(names.GetItemData(1)), 0x15000002u);
    EXPECT_EQ(names.GetCurSel(), 1);
    EXPECT_EQ(names.m_editRow, -1);
    auto edited = dialog.Of(UWM_LIST_DBLCLK);
    ASSERT_EQ(edited.size(), 1u);
    EXPECT_EQ(edited[0].wp, 256u);
    EXPECT_EQ(edited[0].lp, 1);

    // Without double-click editing nothing is asked.
    names.m_dblClickEdit = 0;
    bool asked = false;
    SetNameEntryHandler([&](CWnd*) -> std::optional<std::wstring> {
        asked = true;
        return std::wstring(L"No");
    });
    DoubleClick(names, 0);
    EXPECT_FALSE(asked);
    EXPECT_EQ(names.GetText(0), L"First");
}

TEST_F(ListBoxExTest, RowsShowTheirIconsAndTheDisabledListItsGreyBrush) {
    CListBoxEx list;
    Make(list, 257);
    AddEvents(list);
    list.SetCurSel(0);
    PumpMessages(20);
    auto shot = RenderWindow(dialog.m_hWnd);
    ASSERT_TRUE(SaveScreenshot(*shot, L"list_keys_and_delays"));
    // Row 1 (not selected): the list's background left of the icon, the icon
    // drawn inside its 16 x 16 box at (left + 5, top + 1).
    const int x = kListRect.left + 1;
    const int y = kListRect.top + 20 + 10;
    EXPECT_EQ(shot->Rgb(x, y), 0x0F0F0Fu);
    int iconPixels = 0;
    for (int dy = 0; dy < 16; ++dy)
        for (int dx = 0; dx < 16; ++dx)
            if (shot->Rgb(kListRect.left + 1 + 5 + dx, kListRect.top + 1 + 20 + 1 + dy) != 0x0F0F0Fu) ++iconPixels;
    EXPECT_GT(iconPixels, 20);
    // Row 0 is selected: the selection colour behind it.
    EXPECT_EQ(shot->Rgb(kListRect.right - 30, kListRect.top + 10), RgbOf(::GetSysColor(COLOR_HIGHLIGHT)));

    list.EnableWindow(FALSE);
    ClientDC dc(list.m_hWnd);
    auto brush = reinterpret_cast<HBRUSH>(dialog.SendMessage(WM_CTLCOLORLISTBOX, reinterpret_cast<WPARAM>(dc.dc()),
                                                             reinterpret_cast<LPARAM>(list.m_hWnd)));
    EXPECT_EQ(brush, ::GetSysColorBrush(COLOR_INACTIVEBORDER));
    list.EnableWindow(TRUE);
}

}  // namespace
