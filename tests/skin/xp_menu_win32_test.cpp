// The owner-drawn context menus under Wine: a tracked CXPMenu draws its rows
// and takes over the system menu window only while it is tracked; the rows of
// both menus as they are drawn.
#include <gtest/gtest.h>

#include <vector>

#include "framework/strings.h"
#include "res/resource.h"
#include "skin/xp_menu_win32.h"
#include "support/window_harness_win32.h"
#include "text/ui_texts.h"

namespace {

class CountingXPMenu : public CXPMenu {
public:
    int drawn = 0;
    void DrawItem(DRAWITEMSTRUCT* dis) override {
        ++drawn;
        CXPMenu::DrawItem(dis);
    }
};

// What a timer saw of the menu window while the menu was up.
struct MenuSeen {
    bool found = false;
    bool subclassed = false;
    bool borderless = false;
    bool hooked = false;
};
MenuSeen g_seen;

HWND FindMenuWindow() {
    HWND found = nullptr;
    ::EnumWindows(
        [](HWND hwnd, LPARAM lp) -> BOOL {
            wchar_t name[16] = {};
            ::GetClassNameW(hwnd, name, 16);
            if (std::wstring(name) == L"#32768" && ::IsWindowVisible(hwnd)) {
                *reinterpret_cast<HWND*>(lp) = hwnd;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

void CALLBACK InspectAndEnd(HWND, UINT, UINT_PTR id, DWORD) {
    HWND menu = FindMenuWindow();
    if (!menu) return;  // not up yet: the next tick
    ::KillTimer(nullptr, id);
    g_seen.found = true;
    g_seen.hooked = g_menuHook != nullptr;
    g_seen.subclassed = reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(menu, GWLP_WNDPROC)) == MenuWindowProc;
    g_seen.borderless = !(::GetWindowLongPtrW(menu, GWL_STYLE) & WS_BORDER) &&
                        !(::GetWindowLongPtrW(menu, GWL_EXSTYLE) & (WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE));
    ::EndMenu();
}

const wchar_t* const kRowTexts[] = {L"Key", L"Delay", L"Left button with a rather long name that will not fit"};

TEST(XpMenuWindowTest, ATrackedMenuDrawsItsRowsAndLeavesNoHook) {
    EnsureGdiplus();
    TestDialog owner;
    ASSERT_TRUE(owner.Open());
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        CountingXPMenu menu;
        ASSERT_TRUE(menu.CreatePopupMenu());
        for (int i = 0; i < 3; ++i) menu.AppendRow(0x90 + i, kRowTexts[i]);
        menu.m_itemWidth = 160;
        menu.m_itemHeight = 20;
        g_seen = MenuSeen{};
        ::SetTimer(nullptr, 0, 50, InspectAndEnd);
        menu.TrackWithHook(TPM_LEFTALIGN | TPM_RIGHTBUTTON, 200, 200, owner.m_hWnd);
        EXPECT_TRUE(g_seen.found);
        EXPECT_TRUE(g_seen.hooked);
        EXPECT_TRUE(g_seen.subclassed);
        EXPECT_TRUE(g_seen.borderless);
        EXPECT_GE(menu.drawn, 3);
        EXPECT_EQ(g_menuHook, nullptr);
        EXPECT_EQ(menu.m_hookFlag, 0);
        PumpMessages(20);
    }
}

TEST(XpMenuWindowTest, TheDestructorRemovesAHookLeftInstalled) {
    {
        CXPMenu menu;
        ASSERT_TRUE(menu.InstallHook());
        EXPECT_NE(g_menuHook, nullptr);
    }
    EXPECT_EQ(g_menuHook, nullptr);
}

// Draws a row of a menu into dib at y through a record like the system's.
void DrawRow(CMenu& menu, Dib32& dib, int top, int height, const void* data, bool selected) {
    DRAWITEMSTRUCT dis{};
    dis.CtlType = ODT_MENU;
    dis.itemAction = ODA_DRAWENTIRE;
    dis.itemState = selected ? ODS_SELECTED : 0;
    dis.hDC = dib.dc();
    dis.rcItem = RECT{0, top, dib.width(), top + height};
    dis.itemData = reinterpret_cast<ULONG_PTR>(data);
    menu.DrawItem(&dis);
    ::GdiFlush();
}

TEST(XpMenuWindowTest, ContextMenuRows) {
    CXPMenu menu;
    MEASUREITEMSTRUCT mis{};
    menu.m_itemWidth = 160;
    menu.m_itemHeight = 20;
    menu.MeasureItem(&mis);
    EXPECT_EQ(mis.itemWidth, 160u);
    EXPECT_EQ(mis.itemHeight, 20u);

    Dib32 dib(160, 80);
    dib.Fill(0x00123456);
    DrawRow(menu, dib, 0, 20, nullptr, false);  // no data: untouched
    EXPECT_EQ(dib.Rgb(80, 10), 0x123456u);
    DrawRow(menu, dib, 0, 20, kRowTexts[0], false);
    DrawRow(menu, dib, 20, 20, kRowTexts[1], true);
    DrawRow(menu, dib, 40, 20, kRowTexts[2], false);
    EXPECT_EQ(dib.Rgb(2, 2), 0x000000u);
    EXPECT_EQ(dib.Rgb(2, 22), 0x22467Fu);
    // The long text stays inside its row.
    for (int x = 0; x < 160; ++x) EXPECT_EQ(dib.Rgb(x, 60), 0x123456u) << x;
    EXPECT_TRUE(SaveScreenshot(dib, L"xp_menu_context_rows"));
}

TEST(XpMenuWindowTest, TrayMenuRowsInEnglishAndRussian) {
    EXPECT_NE(LoadSharedIcon16(IDI_TRAY_SHOW), nullptr);
    EXPECT_EQ(LoadSharedIcon16(IDI_TRAY_SHOW), LoadSharedIcon16(IDI_TRAY_SHOW));  // one shared icon
    EXPECT_NE(LoadSharedIcon16(IDI_TRAY_EXIT), nullptr);
    EXPECT_EQ(LoadSharedIcon16(999), nullptr);

    CXPMenuEx menu;
    MEASUREITEMSTRUCT mis{};
    menu.MeasureItem(&mis);
    EXPECT_EQ(mis.itemWidth, 100u);
    EXPECT_EQ(mis.itemHeight, 22u);
    long gdiBefore = gdi::LiveObjects();
    for (const wchar_t* language : {L"enr", L"rus"}) {
        LoadLanguageFile(ToU16(TestDistDir() + L"language\\" + language + L".xml"));
        XPMenuExItem show{IDI_TRAY_SHOW, IDI_TRAY_SHOW, ToWide(g_uiTexts[UiText::str_config])};
        XPMenuExItem exit{IDI_TRAY_EXIT, IDI_TRAY_EXIT, ToWide(g_uiTexts[UiText::str_exit])};
        Dib32 dib(130, 44);
        dib.Fill(0x00123456);
        for (int i = 0; i < 20; ++i) {
            DrawRow(menu, dib, 0, 22, &show, false);
            DrawRow(menu, dib, 22, 22, &exit, true);
        }
        EXPECT_EQ(dib.Rgb(22, 1), 0xDBD8D1u);
        EXPECT_EQ(dib.Rgb(120, 20), 0xDBD8D1u);
        EXPECT_EQ(dib.Rgb(0, 22), 0x000000u);   // the selected row's frame
        EXPECT_EQ(dib.Rgb(120, 30), 0xB1B9CFu);
        int iconPixels = 0;
        for (int y = 3; y < 19; ++y)
            for (int x = 3; x < 19; ++x)
                if (dib.Rgb(x, y) != 0xDBD8D1u) ++iconPixels;
        EXPECT_GT(iconPixels, 10);
        EXPECT_TRUE(SaveScreenshot(dib, std::wstring(L"xp_menu_tray_rows_") + language));
    }
    EXPECT_EQ(gdi::LiveObjects(), gdiBefore);
    g_uiTexts = UiTextTable{};
}

}  // namespace
