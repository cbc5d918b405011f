// The pages' common base and their table, on a test window of the main
// window's size.
#include <gtest/gtest.h>

#include "app/pages/adv_set_win32.h"
#include "app/pages/button_page_win32.h"
#include "app/pages/fake_page_host.h"
#include "app/pages/host_page_win32.h"
#include "app/pages/led_set_win32.h"
#include "app/pages/macro_set_win32.h"
#include "app/pages/page_factory_win32.h"
#include "support/window_harness_win32.h"

namespace {

class MainPageTest : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureGdiplus();
        ASSERT_TRUE(parent.Open());
    }
    TestDialog parent{1040, 640};
    FakePageHost host;
};

TEST_F(MainPageTest, EveryPageIsAHiddenChildAtThePageRectPaintedFromTheSkinUnderIt) {
    MainPages pages;
    pages.Create(parent, &parent.Background(), host);
    for (MainPageNumber number : kPageNumbers) {
        SCOPED_TRACE(number);
        CMainPage* page = pages.Page(number);
        ASSERT_TRUE(page && page->m_hWnd);
        EXPECT_EQ(page->GetParentHwnd(), parent.m_hWnd);
        EXPECT_TRUE(page->GetStyle() & WS_CHILD);
        EXPECT_FALSE(page->IsWindowVisible());
        RECT r = page->GetRectInParent();
        EXPECT_EQ(r.left, kPageRect.left);
        EXPECT_EQ(r.top, kPageRect.top);
        EXPECT_EQ(r.right, kPageRect.right);
        EXPECT_EQ(r.bottom, kPageRect.bottom);

        std::unique_ptr<Dib32> shot = RenderPrintClient(*page);
        ASSERT_TRUE(shot && shot->ok());
        for (POINT p : {POINT{0, 0}, POINT{13, 7}, POINT{900, 400}, POINT{451, 211}})
            EXPECT_EQ(shot->Rgb(p.x, p.y), TestBackgroundPixel(p.x + 80, p.y + 146))
                << p.x << "," << p.y;
    }
    for (int notAPage : {0, PAGE_DEVICE_PICKER + 1, -1}) EXPECT_EQ(pages.Page(notAPage), nullptr);

    // Each typed page is the one its number names.
    const struct {
        CMainPage* typed;
        MainPageNumber number;
    } typed[] = {{pages.Buttons(), PAGE_BUTTONS},
                 {pages.Led(), PAGE_LED},
                 {pages.Advanced(), PAGE_ADVANCED},
                 {pages.Macro(), PAGE_MACRO},
                 {pages.DevicePicker(), PAGE_DEVICE_PICKER}};
    for (const auto& t : typed) EXPECT_EQ(t.typed, pages.Page(t.number)) << t.number;

    pages.ShowOnly(PAGE_MACRO);
    for (MainPageNumber number : kPageNumbers)
        EXPECT_EQ(pages.Page(number)->IsWindowVisible() != FALSE, number == PAGE_MACRO) << number;

    std::vector<HWND> windows;
    for (MainPageNumber number : kPageNumbers) windows.push_back(pages.Page(number)->m_hWnd);
    pages.Destroy();
    for (HWND window : windows) EXPECT_FALSE(::IsWindow(window));
    for (MainPageNumber number : kPageNumbers) EXPECT_EQ(pages.Page(number), nullptr);
    EXPECT_EQ(pages.Macro(), nullptr);
}

// The dialog manager hands a page's Enter and Escape on to the outermost
// dialog: the main window would close on them.
TEST_F(MainPageTest, EnterEscapeAndCloseLeaveThePageAndItsParentUp) {
    MainPages pages;
    pages.Create(parent, &parent.Background(), host);
    CMainPage* page = pages.Page(PAGE_BUTTONS);
    ASSERT_TRUE(page);
    page->ShowWindow(SW_SHOW);
    page->SetFocus();
    parent.Clear();
    for (UINT key : {UINT(VK_RETURN), UINT(VK_ESCAPE)}) {
        page->PostMessage(WM_KEYDOWN, key, 1);
        page->PostMessage(WM_KEYUP, key, 0xC0000001);
        PumpMessages(50);
    }
    page->SendMessage(WM_CLOSE);
    PumpMessages(50);
    EXPECT_TRUE(::IsWindow(page->m_hWnd));
    EXPECT_TRUE(page->IsWindowVisible());
    EXPECT_TRUE(parent.IsWindowVisible());
    EXPECT_EQ(parent.Count(WM_COMMAND), 0);
    pages.Destroy();
}

}  // namespace
