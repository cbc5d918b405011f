// The pages' common base and their factory, on a test window of the main
// window's size.
#include <gtest/gtest.h>

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
};

TEST_F(MainPageTest, EveryKindIsAHiddenChildAtThePageRectPaintedFromTheSkinUnderIt) {
    for (int k = PAGE_BUTTONS; k <= PAGE_DEVICE_PICKER; ++k) {
        SCOPED_TRACE(k);
        std::unique_ptr<CMainPage> page = CreateMainPage(k, parent, &parent.Background());
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
        page->DestroyWindow();
    }
    for (int notAPage : {0, PAGE_DEVICE_PICKER + 1, -1})
        EXPECT_EQ(NewMainPage(notAPage, &parent.Background()), nullptr);
}

// The dialog manager hands a page's Enter and Escape on to the outermost
// dialog: the main window would close on them.
TEST_F(MainPageTest, EnterEscapeAndCloseLeaveThePageAndItsParentUp) {
    std::unique_ptr<CMainPage> page = CreateMainPage(PAGE_BUTTONS, parent, &parent.Background());
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
    page->DestroyWindow();
}

}  // namespace
