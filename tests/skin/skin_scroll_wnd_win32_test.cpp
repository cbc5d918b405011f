// A real list box wrapped in the skinned scroll bars under Wine: arrows, track
// and thumb scroll it, its own scrolling shows on the bar, and its end frees
// the frame, also when the window around it goes first.
#include <gtest/gtest.h>

#include <memory>

#include "device/file_system.h"
#include "framework/strings.h"
#include "skin/list_box_ex_win32.h"
#include "skin/skin_scroll_wnd_win32.h"
#include "support/message_spy_win32.h"
#include "support/window_harness_win32.h"

namespace {

constexpr UINT kListId = 257;
constexpr RECT kListRect{20, 20, 320, 251};  // 300 x 231: eleven rows of 20 and a part

class ScrollFrameTest : public testing::Test {
protected:
    void SetUp() override {
        EnsureGdiplus();
        SetProgramFolder(ToU16(TestDistDir()));  // the row icons
        ASSERT_TRUE(skin.Attach(static_cast<HBITMAP>(
            ::LoadImageW(nullptr, TestSkinPath(L"scrollbar.bmp").c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE))));
        ASSERT_TRUE(dialog.Open());
        frames = CSkinScrollWnd::LiveFrames();
    }
    void TearDown() override { SetProgramFolder(u""); }

    // A list of `rows` delay rows on `parent`, wrapped; returns its frame.
    CSkinScrollWnd* MakeList(CListBoxEx& list, int rows, CWnd* parent = nullptr) {
        if (!list.Create(CListBoxEx::kStyle | WS_BORDER, kListRect, parent ? parent : &dialog, kListId)) return nullptr;
        for (int i = 0; i < rows; ++i) list.AddItem(10 * i, LIST_ITEM_DELAY, FormatW(L"%d ms", 10 * i));
        list.SetCurSel(0);
        list.SetTopIndex(0);
        auto* frame = new CSkinScrollWnd;
        if (!CSkinScrollWnd::SkinWindow(&list, frame, skin)) return nullptr;
        PumpMessages();
        return frame;
    }

    static int BarPos(const CSkinScrollBar& bar) {
        SCROLLINFO info{};
        bar.GetScrollInfo(info, SIF_POS);
        return info.nPos;
    }

    static int BarLength(const CSkinScrollBar& bar) {
        RECT r = bar.GetClientRect();
        return r.bottom;
    }

    CBitmap skin;
    TestDialog dialog;
    long frames = 0;
};

TEST_F(ScrollFrameTest, WrapsTheListInAFrameWithOneVisibleSkinBar) {
    CListBoxEx list;
    CSkinScrollWnd* frame = MakeList(list, 40);
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(CSkinScrollWnd::LiveFrames(), frames + 1);

    EXPECT_EQ(frame->GetWindowText(), L"SkinScrollBarFrame");
    EXPECT_EQ(frame->GetDlgCtrlID(), static_cast<int>(kListId));
    EXPECT_EQ(frame->GetParentHwnd(), dialog.m_hWnd);
    EXPECT_EQ(frame->GetRectInParent().left, kListRect.left);
    EXPECT_EQ(list.GetParentHwnd(), frame->m_inner.m_hWnd);
    EXPECT_EQ(frame->m_inner.GetWindowText(), L"LIMIT");
    EXPECT_TRUE(frame->GetStyle() & WS_BORDER);
    EXPECT_FALSE(list.GetStyle() & WS_BORDER);
    // The notices still reach the window the list was made on.
    EXPECT_EQ(list.OwnerWindow(), dialog.m_hWnd);

    EXPECT_TRUE(frame->m_vBar.IsWindowVisible());
    EXPECT_FALSE(frame->m_hBar.IsWindowVisible());
    RECT bar = frame->m_vBar.GetRectInParent();
    RECT inner = frame->m_inner.GetRectInParent();
    RECT client = frame->GetClientRect();
    EXPECT_EQ(bar.right - bar.left, 16);
    EXPECT_EQ(bar.right, client.right);
    EXPECT_EQ(inner.right, bar.left);  // the list's own bar is clipped away

    SCROLLINFO theirs{};
    theirs.cbSize = sizeof(theirs);
    theirs.fMask = SIF_ALL;
    ASSERT_TRUE(::GetScrollInfo(list.m_hWnd, SB_VERT, &theirs));
    SCROLLINFO ours{};
    frame->m_vBar.GetScrollInfo(ours);
    EXPECT_EQ(ours.nMax, theirs.nMax);
    EXPECT_EQ(ours.nPage, theirs.nPage);
    EXPECT_EQ(ours.nPos, 0);
    EXPECT_EQ(ours.nTrackPos, -1);  // no thumb is dragged
    EXPECT_TRUE(frame->m_vBar.IsWindowEnabled());
}

TEST_F(ScrollFrameTest, ArrowTrackAndThumbScrollTheList) {
    CListBoxEx list;
    CSkinScrollWnd* frame = MakeList(list, 40);
    ASSERT_NE(frame, nullptr);
    CSkinScrollBar& bar = frame->m_vBar;
    const int length = BarLength(bar);

    PostClick(bar, 8, length - 4);  // down arrow
    EXPECT_EQ(list.GetTopIndex(), 1);
    EXPECT_EQ(BarPos(bar), 1);
    PostClick(bar, 8, 4);  // up arrow
    EXPECT_EQ(list.GetTopIndex(), 0);

    SCROLLINFO info{};
    bar.GetScrollInfo(info);
    PostClick(bar, 8, length - 24);  // the track below the thumb: one page
    EXPECT_EQ(list.GetTopIndex(), static_cast<int>(info.nPage));
    EXPECT_EQ(BarPos(bar), list.GetTopIndex());
    PostClick(bar, 8, 20);  // the track above the thumb, back to the top
    EXPECT_EQ(list.GetTopIndex(), 0);

    // The thumb, dragged the whole way down and back to the middle.
    ScrollGeometry g = bar.m_model.Geometry();
    const int grab = g.thumbStart + g.thumb / 2;
    PostMouse(bar, WM_LBUTTONDOWN, 8, grab, MK_LBUTTON);
    PostMouse(bar, WM_MOUSEMOVE, 8, grab + 1000, MK_LBUTTON);
    PumpMessages();
    const int last = ScrollMaxPos(bar.m_model.range);
    EXPECT_EQ(list.GetTopIndex(), last);  // the list follows while the thumb moves
    info = {};
    bar.GetScrollInfo(info, SIF_TRACKPOS);
    EXPECT_EQ(info.nTrackPos, last);
    PostMouse(bar, WM_MOUSEMOVE, 8, grab + (g.track - g.thumb) / 2, MK_LBUTTON);
    PostMouse(bar, WM_LBUTTONUP, 8, grab + (g.track - g.thumb) / 2, 0);
    PumpMessages();
    EXPECT_NEAR(list.GetTopIndex(), last / 2, 1);
    EXPECT_EQ(BarPos(bar), list.GetTopIndex());
    EXPECT_FALSE(bar.IsDragging());
    EXPECT_NE(::GetCapture(), bar.m_hWnd);
}

TEST_F(ScrollFrameTest, HeldArrowRepeatsAndStopsAtTheLastPosition) {
    CListBoxEx list;
    CSkinScrollWnd* frame = MakeList(list, 16);  // five positions beyond the first page
    ASSERT_NE(frame, nullptr);
    CSkinScrollBar& bar = frame->m_vBar;
    const int length = BarLength(bar);
    const int last = ScrollMaxPos(bar.m_model.range);
    ASSERT_GT(last, 2);

    MessageSpy ticks(bar.m_hWnd, MessageSpy::KeepTimers);
    const DWORD pressed = ::GetTickCount();
    PostMouse(bar, WM_LBUTTONDOWN, 8, length - 4, MK_LBUTTON);
    PumpMessages();
    EXPECT_EQ(list.GetTopIndex(), 1);  // one at once
    ASSERT_TRUE(PumpUntil([&] { return list.GetTopIndex() > 1; }));
    // The repeat waits half a second; the tick count moves in steps of up to 16 ms.
    EXPECT_GE(::GetTickCount() - pressed, 500u - 16u);
    ASSERT_TRUE(PumpUntil([&] { return list.GetTopIndex() == last; }));
    // The repeat's next tick finds the end.
    const int ticked = ticks.Ticks(bar.m_hWnd, kScrollRepeatTimer);
    PumpUntil([&] { return ticks.Ticks(bar.m_hWnd, kScrollRepeatTimer) > ticked; });
    // At the end the repeat timer is gone although the arrow is still held.
    EXPECT_FALSE(::KillTimer(bar.m_hWnd, kScrollRepeatTimer));
    PostMouse(bar, WM_LBUTTONUP, 8, length - 4, 0);
    PumpMessages();
    EXPECT_EQ(bar.m_model.pressedPart, SCROLL_PART_NONE);
}

TEST_F(ScrollFrameTest, TheListsOwnScrollingShowsOnTheBar) {
    CListBoxEx list;
    CSkinScrollWnd* frame = MakeList(list, 40);
    ASSERT_NE(frame, nullptr);
    list.SetFocus();
    list.SendMessage(WM_KEYDOWN, VK_END, 0);
    EXPECT_GT(list.GetTopIndex(), 0);
    // The frame's timer looks every 500 ms.
    PumpUntil([&] { return BarPos(frame->m_vBar) == list.GetTopIndex(); });
    EXPECT_EQ(BarPos(frame->m_vBar), list.GetTopIndex());
}

TEST_F(ScrollFrameTest, AShortListHidesTheBarAndALongerOneShowsItAgain) {
    CListBoxEx list;
    CSkinScrollWnd* frame = MakeList(list, 3);
    ASSERT_NE(frame, nullptr);
    EXPECT_FALSE(frame->m_vBar.IsWindowVisible());
    for (int i = 0; i < 30; ++i) list.AddItem(i, LIST_ITEM_KEY_DOWN, L"A");
    PumpMessages(50);
    EXPECT_TRUE(frame->m_vBar.IsWindowVisible());
}

TEST_F(ScrollFrameTest, DestroyingTheListFreesItsFrameEveryTime) {
    const long gdiBefore = gdi::LiveObjects();
    for (int i = 0; i < 200; ++i) {
        CListBoxEx list;
        CSkinScrollWnd* frame = MakeList(list, i % 20);
        ASSERT_NE(frame, nullptr) << i;
        HWND frameHwnd = frame->m_hWnd;
        if (i % 2) {
            list.DestroyWindow();
            EXPECT_FALSE(::IsWindow(frameHwnd)) << i;
            EXPECT_EQ(list.m_hWnd, nullptr) << i;
        }
        // The other half end with the list object, which destroys its window.
    }
    PumpMessages();
    EXPECT_EQ(CSkinScrollWnd::LiveFrames(), frames);
    EXPECT_EQ(::FindWindowExW(dialog.m_hWnd, nullptr, nullptr, L"SkinScrollBarFrame"), nullptr);
    EXPECT_EQ(gdi::LiveObjects(), gdiBefore);
}

TEST_F(ScrollFrameTest, DestroyingTheWindowAroundTheFrameFreesItToo) {
    for (int i = 0; i < 50; ++i) {
        CWnd page;
        ASSERT_TRUE(page.CreateEx(0, nullptr, L"page", WS_CHILD | WS_VISIBLE, RECT{0, 0, 400, 300}, dialog.m_hWnd, 1));
        CListBoxEx list;
        ASSERT_NE(MakeList(list, 30, &page), nullptr);
        page.DestroyWindow();
        EXPECT_EQ(list.m_hWnd, nullptr) << i;
        EXPECT_EQ(CSkinScrollWnd::LiveFrames(), frames) << i;
    }
}

TEST_F(ScrollFrameTest, LongListScreenshot) {
    CListBoxEx list;
    ASSERT_NE(MakeList(list, 40), nullptr);
    list.m_bkBrush.CreateSolidBrush(RGB(15, 15, 15));
    list.m_textColor = RGB(230, 230, 230);
    list.SetCurSel(3);
    list.Invalidate();
    PumpMessages(50);
    auto shot = RenderWindow(dialog.m_hWnd);
    ASSERT_TRUE(SaveScreenshot(*shot, L"list_long_skinned_bar"));
}

}  // namespace
