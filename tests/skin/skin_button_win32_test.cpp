// The tooltip every skinned button keeps, under Wine: it hears the button's
// input from the first message on, never shows a tip whatever the mouse does,
// and goes with the button.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "skin/irr_button_win32.h"
#include "skin/push_buttons_win32.h"
#include "support/message_spy_win32.h"
#include "support/window_harness_win32.h"

namespace {

TEST(SkinButtonTooltipTest, EveryButtonKindRelaysToAnInactiveTipThatNeverShows) {
    TestDialog dialog;
    ASSERT_TRUE(dialog.Open());
    const RECT rect{100, 50, 160, 70};
    struct Kind {
        const char* name;
        std::function<std::unique_ptr<CSkinButton>()> make;
    };
    auto made = [&](auto button) {
        button->Create(L"", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, rect, &dialog, 0);
        return std::unique_ptr<CSkinButton>(std::move(button));
    };
    const Kind kinds[] = {
        {"CGDIBitmapBtn", [&] { return made(std::make_unique<CGDIBitmapBtn>()); }},
        {"CGDIBitmapBtnEx", [&] { return made(std::make_unique<CGDIBitmapBtnEx>()); }},
        {"CGDIBitmapBtnEx2", [&] { return made(std::make_unique<CGDIBitmapBtnEx2>()); }},
        {"CBitmapBtn", [&] { return made(std::make_unique<CBitmapBtn>()); }},
        {"CDeviceBitmap", [&] { return made(std::make_unique<CDeviceBitmap>()); }},
        {"CIrrButton",
         [&] {
             auto button = std::make_unique<CIrrButton>();
             button->Create(rect, &dialog);
             return std::unique_ptr<CSkinButton>(std::move(button));
         }},
    };
    for (const Kind& kind : kinds) {
        SCOPED_TRACE(kind.name);
        std::unique_ptr<CSkinButton> button = kind.make();
        ASSERT_NE(button->m_hWnd, nullptr);
        EXPECT_EQ(button->m_toolTip.m_hWnd, nullptr) << "no tip before any message";

        PostMouse(*button, WM_MOUSEMOVE, 10, 10, 0);
        PumpMessages();
        HWND tip = button->m_toolTip.m_hWnd;
        ASSERT_NE(tip, nullptr);
        EXPECT_EQ(::GetWindow(tip, GW_OWNER), dialog.m_hWnd);
        EXPECT_EQ(::SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0), 0);

        // Hovering, resting and clicking: every message goes by the tip, and
        // no tip ever shows.
        MessageSpy spy(tip);
        for (int i = 0; i < 5; ++i) {
            PostMouse(*button, WM_MOUSEMOVE, 10 + i, 10, 0);
            PumpMessages(120);
        }
        PostClick(*button, 20, 10);
        PumpMessages(600);
        EXPECT_GE(spy.Count(TTM_RELAYEVENT), 7);
        EXPECT_FALSE(::IsWindowVisible(tip));
        EXPECT_EQ(button->m_toolTip.m_hWnd, tip) << "one tip for the button's life";

        button->DestroyWindow();
        EXPECT_FALSE(::IsWindow(tip)) << "the tip goes with its button";
    }
}

}  // namespace
