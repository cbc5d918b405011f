// The page button on a test dialog under Wine: its looks, one command per
// press, and the hover capture.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "skin/irr_button_win32.h"
#include "support/window_harness_win32.h"

namespace {

constexpr uint32_t kNormalArgb = 0xFF603030;
constexpr uint32_t kHoverArgb = 0xFF306030;
constexpr uint32_t kSelectedArgb = 0xFF303090;

class IrrButtonTest : public testing::Test {
protected:
    void SetUp() override {
        EnsureGdiplus();
        normal = GdipImage::FromFile(WriteSolidPng(L"irr_nr.png", 40, 14, kNormalArgb));
        hover = GdipImage::FromFile(WriteSolidPng(L"irr_ov.png", 40, 14, kHoverArgb));
        selected = GdipImage::FromFile(WriteSolidPng(L"irr_dn.png", 40, 14, kSelectedArgb));
        ASSERT_TRUE(normal && hover && selected);
        ASSERT_TRUE(dialog.Open());
        button.m_textCenterX = 40;
        button.m_textCenterY = 14;
        ASSERT_TRUE(button.Create(rect, &dialog));
        button.SetImages(&normal, &hover, &selected, &dialog.Background(), rect);
        PumpMessages(20);
    }

    int CommandsFromButton() const {
        int count = 0;
        for (const RecordedMessage& m : dialog.Of(WM_COMMAND))
            count += m.lp == reinterpret_cast<LPARAM>(button.m_hWnd) && LOWORD(m.wp) == 0;
        return count;
    }

    RECT rect{100, 40, 180, 68};
    GdipImage normal, hover, selected;
    TestDialog dialog;
    CIrrButton button;
};

TEST_F(IrrButtonTest, CreatedOwnerDrawnWithoutItsOwnFlag) {
    EXPECT_EQ(button.GetStyle() & BS_TYPEMASK, static_cast<DWORD>(BS_OWNERDRAW));
    EXPECT_EQ(button.GetDlgCtrlID(), 0);
}

TEST_F(IrrButtonTest, SelectedLookAndImagesStretchedOverTheButton) {
    struct Case {
        const char* what;
        BOOL useSelectedLook;
        bool selected;
        BOOL hovered;
        UINT itemState;
        uint32_t pixel;  // 0: the background shows
    };
    const Case cases[] = {
        {"selected", 1, true, 1, 0, kSelectedArgb},
        {"hovered", 1, false, 1, 0, kHoverArgb},
        {"normal", 1, false, 0, 0, kNormalArgb},
        {"disabled, selected look", 1, false, 0, ODS_DISABLED, kNormalArgb},
        {"pressed, selected look", 1, false, 0, ODS_SELECTED, kNormalArgb},
        {"disabled, plain look", 0, true, 1, ODS_DISABLED, 0},
        {"pressed, plain look", 0, false, 0, ODS_SELECTED, kSelectedArgb},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        button.m_useSelectedLook = c.useSelectedLook;
        button.m_selected = c.selected;
        button.m_hovered = c.hovered;
        std::unique_ptr<Dib32> dib = RenderOwnerDrawn(button, c.itemState);
        uint32_t expected = c.pixel ? (c.pixel & 0xFFFFFF) : TestBackgroundPixel(100 + 60, 40 + 20);
        EXPECT_EQ(dib->Rgb(60, 20), expected);  // beyond the 40 x 14 image: it is stretched
    }
}

TEST_F(IrrButtonTest, CaptionPlacedByItsLengthInTheStateColour) {
    button.m_useSelectedLook = 1;
    button.m_selected = true;
    struct Case {
        const wchar_t* text;
        int anchorX;
        int left;  // 8 per character up to five, then 4 per character, and 2 more
    };
    for (Case c : {Case{L"HHHHH", 60, 60 - 42}, Case{L"HHHHHH", 60, 60 - 26}, Case{L"HHHHH", 30, 0}}) {
        SCOPED_TRACE(testing::Message() << c.anchorX);
        button.m_textCenterX = c.anchorX;
        button.SetWindowText(c.text);
        std::unique_ptr<Dib32> dib = RenderOwnerDrawn(button);
        int minX = 1000, minY = 1000;
        for (int y = 0; y < 28; ++y)
            for (int x = 0; x < 80; ++x)
                if (dib->Rgb(x, y) == 0xFFFFFF) {
                    minX = std::min(minX, x);
                    minY = std::min(minY, y);
                }
        EXPECT_GE(minX, c.left);
        EXPECT_LE(minX, c.left + 3);
        EXPECT_GE(minY, 14 - 6);
    }
}

TEST_F(IrrButtonTest, OnePressIsOneCommandAlsoForADoubleClick) {
    dialog.Clear();
    PostClick(button, 10, 10);
    EXPECT_EQ(CommandsFromButton(), 1);

    dialog.Clear();
    PostMouse(button, WM_LBUTTONDOWN, 10, 10, MK_LBUTTON);
    PostMouse(button, WM_LBUTTONUP, 10, 10, 0);
    PostMouse(button, WM_LBUTTONDBLCLK, 10, 10, MK_LBUTTON);
    PostMouse(button, WM_LBUTTONUP, 10, 10, 0);
    PumpMessages(20);
    EXPECT_EQ(CommandsFromButton(), 1);
}

TEST_F(IrrButtonTest, HoverCaptureEndsOutsideAndOnAnySelectionChange) {
    PostMouse(button, WM_MOUSEMOVE, 10, 10, 0);
    PumpMessages();
    EXPECT_TRUE(button.m_hovered);
    EXPECT_TRUE(button.m_captured);
    EXPECT_EQ(::GetCapture(), button.m_hWnd);

    PostMouse(button, WM_MOUSEMOVE, 200, 10, 0);
    PumpMessages();
    EXPECT_FALSE(button.m_hovered);
    EXPECT_FALSE(button.m_captured);
    EXPECT_NE(::GetCapture(), button.m_hWnd);

    // Setting the same selection repaints nothing but still ends the capture.
    PostMouse(button, WM_MOUSEMOVE, 10, 10, 0);
    PumpMessages(20);
    ASSERT_TRUE(button.m_captured);
    ::ValidateRect(button.m_hWnd, nullptr);
    button.SetSelected(0);
    EXPECT_FALSE(button.m_captured);
    EXPECT_FALSE(button.m_hovered);
    EXPECT_NE(::GetCapture(), button.m_hWnd);

    // A capture taken by another window ends the hover too.
    PostMouse(button, WM_MOUSEMOVE, 10, 10, 0);
    PumpMessages();
    ASSERT_TRUE(button.m_captured);
    ::SetCapture(dialog.m_hWnd);
    ::ReleaseCapture();
    EXPECT_FALSE(button.m_captured);
    EXPECT_FALSE(button.m_hovered);
}

TEST_F(IrrButtonTest, SetSelectedRepaintsOnlyOnAChange) {
    PumpMessages(20);
    ::ValidateRect(button.m_hWnd, nullptr);
    button.SetSelected(0);
    EXPECT_FALSE(::GetUpdateRect(button.m_hWnd, nullptr, FALSE));
    button.SetSelected(1);
    EXPECT_TRUE(button.m_selected);
    EXPECT_TRUE(::GetUpdateRect(button.m_hWnd, nullptr, FALSE));
}

}  // namespace
