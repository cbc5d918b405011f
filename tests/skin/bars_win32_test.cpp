// The slider and the battery bar on a test dialog under Wine.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "skin/bars_win32.h"
#include "skin/skin_messages.h"
#include "support/window_harness_win32.h"

namespace {

constexpr uint32_t kTrackArgb = 0xFF2FC8F0;
constexpr uint32_t kRestArgb = 0xFF404850;
constexpr uint32_t kThumbArgb = 0xFFF0F0F0;

class SliderTest : public testing::Test {
protected:
    void SetUp() override {
        EnsureGdiplus();
        track = GdipImage::FromFile(WriteSolidPng(L"track.png", 272, 4, kTrackArgb));
        rest = GdipImage::FromFile(WriteSolidPng(L"rest.png", 272, 4, kRestArgb));
        thumb = GdipImage::FromFile(WriteSolidPng(L"thumb.png", 12, 12, kThumbArgb));
        ASSERT_TRUE(track && rest && thumb);
        ASSERT_TRUE(dialog.Open());
        // The owner's skin: the dialog's background, as the main window's is.
        skin = dialog.Background().GetSafeHandle();
    }

    void Make(CHProgressBar& bar, int id = 2565) {
        bar.m_id = id;
        bar.m_trackRect = {110, 50, 382, 62};
        bar.m_dragEnabled = 1;
        bar.m_min = 0;
        bar.m_max = 599;
        bar.m_pos = 0;
        bar.m_owner = &dialog;
        bar.m_trackImage = &track;
        bar.m_restImage = &rest;
        bar.m_thumbImage = &thumb;
        bar.m_skin.Attach(skin);
        ASSERT_TRUE(bar.Create(nullptr, L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP, RECT{110, 50, 382, 62}, &dialog,
                               static_cast<UINT>(id)));
    }

    std::vector<int> Values(UINT msg) const {
        std::vector<int> values;
        for (const RecordedMessage& m : dialog.Of(msg)) {
            EXPECT_EQ(m.lp, 2565);
            values.push_back(static_cast<int>(m.wp));
        }
        return values;
    }

    GdipImage track, rest, thumb;
    HBITMAP skin = nullptr;
    TestDialog dialog;
};

TEST_F(SliderTest, DragPostsMovingValuesAndOneRelease) {
    CHProgressBar bar;
    Make(bar);
    dialog.Clear();
    PostMouse(bar, WM_LBUTTONDOWN, 0, 6, MK_LBUTTON);
    PostMouse(bar, WM_MOUSEMOVE, 136, 6, MK_LBUTTON);
    PostMouse(bar, WM_MOUSEMOVE, 400, 6, MK_LBUTTON);  // past the right end
    PostMouse(bar, WM_MOUSEMOVE, -50, 6, MK_LBUTTON);  // past the left end
    PostMouse(bar, WM_MOUSEMOVE, 68, 6, MK_LBUTTON);
    PostMouse(bar, WM_LBUTTONUP, 68, 6, 0);
    PumpMessages();
    EXPECT_EQ(Values(UWM_SLIDER_MOVING), (std::vector<int>{299, 599, 0, 149}));
    EXPECT_EQ(Values(UWM_SLIDER_RELEASED), (std::vector<int>{149}));
    EXPECT_EQ(bar.m_pos, 149);
    EXPECT_FALSE(bar.m_dragging);
    EXPECT_NE(::GetCapture(), bar.m_hWnd);
}

TEST_F(SliderTest, LosingTheCaptureEndsTheDragAsARelease) {
    CHProgressBar bar;
    Make(bar);
    dialog.Clear();
    PostMouse(bar, WM_LBUTTONDOWN, 0, 6, MK_LBUTTON);
    PostMouse(bar, WM_MOUSEMOVE, 136, 6, MK_LBUTTON);
    PumpMessages();
    ASSERT_EQ(::GetCapture(), bar.m_hWnd);
    ::SetCapture(dialog.m_hWnd);  // something else takes the mouse
    ::ReleaseCapture();
    PostMouse(bar, WM_MOUSEMOVE, 250, 6, 0);  // plain moves afterwards
    PostMouse(bar, WM_MOUSEMOVE, 10, 6, 0);
    PumpMessages();
    EXPECT_EQ(Values(UWM_SLIDER_MOVING), (std::vector<int>{299}));
    EXPECT_EQ(Values(UWM_SLIDER_RELEASED), (std::vector<int>{299}));
    EXPECT_EQ(bar.m_pos, 299);
    EXPECT_FALSE(bar.m_dragging);
}

TEST_F(SliderTest, APressWhileHoldingTheCaptureStillStartsADrag) {
    CHProgressBar bar;
    Make(bar);
    bar.SetCapture();  // left from before: taking it again is no loss
    dialog.Clear();
    PostMouse(bar, WM_LBUTTONDOWN, 0, 6, MK_LBUTTON);
    PostMouse(bar, WM_MOUSEMOVE, 136, 6, MK_LBUTTON);
    PumpMessages();
    EXPECT_TRUE(bar.m_dragging);
    EXPECT_EQ(::GetCapture(), bar.m_hWnd);
    EXPECT_EQ(Values(UWM_SLIDER_MOVING), (std::vector<int>{299}));
    EXPECT_TRUE(Values(UWM_SLIDER_RELEASED).empty());
    PostMouse(bar, WM_LBUTTONUP, 136, 6, 0);
    PumpMessages();
    EXPECT_EQ(Values(UWM_SLIDER_RELEASED), (std::vector<int>{299}));
}

TEST_F(SliderTest, LockedBarIgnoresTheMouse) {
    CHProgressBar bar;
    Make(bar);
    bar.m_locked = 1;
    dialog.Clear();
    PostClick(bar, 136, 6);
    EXPECT_EQ(dialog.Count(UWM_SLIDER_RELEASED), 0);
    EXPECT_EQ(bar.m_pos, 0);
}

TEST_F(SliderTest, ThumbAndTrackFollowThePosition) {
    CHProgressBar bar;
    Make(bar);
    struct Case {
        int pos;
        int thumbLeft;
    };
    for (Case c : {Case{0, 0}, Case{599, 260}, Case{300, 130}}) {
        SCOPED_TRACE(c.pos);
        bar.m_pos = c.pos;
        std::unique_ptr<Dib32> dib = RenderPrintClient(bar);
        EXPECT_EQ(dib->Rgb(c.thumbLeft + 1, 1), kThumbArgb & 0xFFFFFF);  // thumb rows 0..11
        int right = c.thumbLeft + 12;
        if (right < 271) {
            EXPECT_EQ(dib->Rgb(right + 1, 5), kRestArgb & 0xFFFFFF);  // right of the thumb
        }
        if (c.thumbLeft > 1) {
            EXPECT_EQ(dib->Rgb(c.thumbLeft - 1, 5), kTrackArgb & 0xFFFFFF);
        }
        // Above the 4-row track, away from the thumb: the owner's skin at the
        // page offset.
        int x = c.thumbLeft > 20 ? 2 : 200;
        EXPECT_EQ(dib->Rgb(x, 1), TestBackgroundPixel(110 + 80 + x, 50 + 146 + 1));
    }
}

TEST_F(SliderTest, SliderNeverDeletesTheOwnersSkin) {
    long before = gdi::LiveObjects();
    {
        CHProgressBar bar;
        Make(bar);
        RenderPrintClient(bar);
    }
    BITMAP info{};
    EXPECT_NE(::GetObjectW(skin, sizeof(info), &info), 0);
    EXPECT_EQ(info.bmWidth, 480);
    EXPECT_EQ(gdi::LiveObjects(), before);
}

class BatteryTest : public testing::Test {
protected:
    void SetUp() override {
        EnsureGdiplus();
        ASSERT_TRUE(dialog.Open());
    }
    TestDialog dialog;
};

// Counts the fill's columns (horizontal) or rows (vertical) in a rendering.
int FillExtent(const Dib32& dib, bool horizontal, uint32_t fill) {
    int count = 0;
    if (horizontal) {
        for (int x = 0; x < dib.width(); ++x) count += dib.Rgb(x, dib.height() / 2) == fill;
    } else {
        for (int y = 0; y < dib.height(); ++y) count += dib.Rgb(dib.width() / 2, y) == fill;
    }
    return count;
}

TEST_F(BatteryTest, FillAtEmptyAndFullInBothOrientations) {
    std::wstring fillH = WriteSolidPng(L"fill_h.png", 80, 28, 0xFF30D070);
    std::wstring backH = WriteSolidPng(L"back_h.png", 80, 28, 0xFF101010);
    std::wstring fillV = WriteSolidPng(L"fill_v.png", 28, 80, 0xFF30D070);
    std::wstring backV = WriteSolidPng(L"back_v.png", 28, 80, 0xFF101010);
    struct Case {
        bool horizontal;
        int pos;
        int extent;
    };
    const Case cases[] = {{true, 0, 18}, {true, 100, 80 - 22}, {false, 0, 5}, {false, 100, 80 - 6}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.horizontal << " " << c.pos);
        CBatProgressBar bar;
        RECT r = c.horizontal ? RECT{20, 20, 100, 48} : RECT{20, 20, 48, 100};
        ASSERT_TRUE(bar.Create(r, &dialog));
        // The second pair is the level look.
        bar.SetImages(L"", L"", c.horizontal ? fillH : fillV, c.horizontal ? backH : backV, &dialog.Background(),
                      c.horizontal);
        bar.m_altLook = 1;
        bar.m_pos = c.pos;
        std::unique_ptr<Dib32> dib = RenderPrintClient(bar);
        EXPECT_EQ(FillExtent(*dib, c.horizontal, 0x30D070), c.extent);
        // The back image is under the rest.
        EXPECT_EQ(c.horizontal ? dib->Rgb(79, 14) : dib->Rgb(14, 0), 0x101010u);
    }
}

TEST_F(BatteryTest, EmptyRangeDrawsNoFillAndTheFirstPairIsTheDefault) {
    std::wstring fill = WriteSolidPng(L"fill.png", 80, 28, 0xFF30D070);
    std::wstring back = WriteSolidPng(L"back.png", 80, 28, 0xFF101010);
    CBatProgressBar bar;
    ASSERT_TRUE(bar.Create(RECT{20, 20, 100, 48}, &dialog));
    EXPECT_EQ(bar.GetDlgCtrlID(), 802);
    bar.SetImages(fill, back, L"", L"", &dialog.Background(), TRUE);
    bar.m_pos = 50;
    EXPECT_EQ(FillExtent(*RenderPrintClient(bar), true, 0x30D070), 38);
    bar.m_min = bar.m_max = 100;
    EXPECT_EQ(FillExtent(*RenderPrintClient(bar), true, 0x30D070), 0);
}

// Many paints of both looks keep no more objects than the first ones did,
// and hold none of the four files open.
TEST_F(BatteryTest, PaintsKeepNoMoreImagesAndHoldNoFile) {
    std::wstring fill = WriteSolidPng(L"fill_each.png", 80, 28, 0xFF30D070);
    std::wstring back = WriteSolidPng(L"back_each.png", 80, 28, 0xFF101010);
    std::wstring fill2 = WriteSolidPng(L"fill2_each.png", 80, 28, 0xFF3070D0);
    std::wstring back2 = WriteSolidPng(L"back2_each.png", 80, 28, 0xFF101010);
    CBatProgressBar bar;
    ASSERT_TRUE(bar.Create(RECT{20, 20, 100, 48}, &dialog));
    bar.SetImages(fill, back, fill2, back2, &dialog.Background(), TRUE);
    bar.m_pos = 72;
    // What the first paint of each look decodes is kept for the next ones.
    for (int look = 0; look < 2; ++look) {
        bar.m_altLook = look;
        RenderPrintClient(bar);
    }
    long gdiBefore = gdi::LiveObjects();
    long gdiplusBefore = gdiplus::LiveObjects();
    for (int i = 0; i < 100; ++i) {
        bar.m_altLook = i % 2;
        RenderPrintClient(bar);
    }
    EXPECT_EQ(gdi::LiveObjects(), gdiBefore);
    EXPECT_EQ(gdiplus::LiveObjects(), gdiplusBefore);
    for (const std::wstring& path : {fill, back, fill2, back2}) EXPECT_TRUE(::DeleteFileW(path.c_str()));
}

TEST_F(BatteryTest, AClickOnTheBarDoesNothing) {
    CBatProgressBar bar;
    ASSERT_TRUE(bar.Create(RECT{20, 20, 100, 48}, &dialog));
    HWND focus = ::GetFocus();
    dialog.Clear();
    PostClick(bar, 10, 10);
    PostMouse(bar, WM_LBUTTONDBLCLK, 10, 10, MK_LBUTTON);
    PumpMessages(20);
    EXPECT_EQ(dialog.Count(WM_COMMAND), 0);
    EXPECT_EQ(::GetFocus(), focus);
    EXPECT_NE(::GetCapture(), bar.m_hWnd);
}

}  // namespace

#include "skin/irr_button_win32.h"

namespace {

// The page buttons, sliders and battery bars with the real skins, for people
// to look at.
TEST(BarScreenshotsTest, PageButtonsSlidersAndBatteryBars) {
    EnsureGdiplus();
    TestDialog dialog(520, 260);
    ASSERT_TRUE(dialog.Open());
    Dib32 sheet(520, 260);
    sheet.Fill(0xFF0F1216);
    auto paste = [&](const Dib32& dib, int x, int y) {
        ::BitBlt(sheet.dc(), x, y, dib.width(), dib.height(), dib.dc(), 0, 0, SRCCOPY);
    };

    // Page buttons: normal, hover, selected; the icon ones and a captioned one.
    const wchar_t* icons[] = {L"host", L"main_btn", L"adv", L"led", L"Macro_bt"};
    const SIZE sizes[] = {{30, 26}, {18, 28}, {28, 28}, {22, 29}, {24, 28}};
    for (int i = 0; i < 5; ++i) {
        GdipImage nr = GdipImage::FromFile(TestSkinPath(std::wstring(icons[i]) + L"_nr.png"));
        GdipImage ov = GdipImage::FromFile(TestSkinPath(std::wstring(icons[i]) + L"_ov.png"));
        GdipImage dn = GdipImage::FromFile(TestSkinPath(std::wstring(icons[i]) + L"_dn.png"));
        ASSERT_TRUE(nr && ov && dn);
        for (int state = 0; state < 3; ++state) {
            CIrrButton button;
            RECT r{10 + i * 40, 10 + state * 36, 10 + i * 40 + sizes[i].cx, 10 + state * 36 + sizes[i].cy};
            ASSERT_TRUE(button.Create(r, &dialog));
            button.SetImages(&nr, &ov, &dn, &dialog.Background(), r);
            button.m_useSelectedLook = 1;
            button.m_hovered = state == 1;
            button.m_selected = state == 2;
            paste(*RenderOwnerDrawn(button), r.left, r.top);
        }
    }
    GdipImage pageNr = GdipImage::FromFile(TestSkinPath(L"keymenu_nr.png"));
    GdipImage pageOv = GdipImage::FromFile(TestSkinPath(L"keymenu_ov.png"));
    GdipImage pageDn = GdipImage::FromFile(TestSkinPath(L"keymenu_dn.png"));
    for (int state = 0; state < 3; ++state) {
        CIrrButton button;
        RECT r{220, 10 + state * 36, 340, 38 + state * 36};
        button.m_textCenterX = 60;
        button.m_textCenterY = 14;
        ASSERT_TRUE(button.Create(r, &dialog));
        button.SetWindowText(L"Macro");
        button.SetImages(&pageNr, &pageOv, &pageDn, &dialog.Background(), r);
        button.m_useSelectedLook = 1;
        button.m_hovered = state == 1;
        button.m_selected = state == 2;
        paste(*RenderOwnerDrawn(button), r.left, r.top);
    }

    // Sliders at 0, a third and the end.
    GdipImage track = GdipImage::FromFile(TestSkinPath(L"bar.png"));
    GdipImage rest = GdipImage::FromFile(TestSkinPath(L"slider2.png"));
    GdipImage thumb = GdipImage::FromFile(TestSkinPath(L"slider.png"));
    ASSERT_TRUE(track && rest && thumb);
    for (int i = 0; i < 3; ++i) {
        CHProgressBar bar;
        RECT r{10, 130 + i * 20, 282, 142 + i * 20};
        bar.m_trackRect = {r.left, r.top, r.right, r.bottom};
        bar.m_min = 0;
        bar.m_max = 599;
        bar.m_pos = i * 299;
        bar.m_owner = &dialog;
        bar.m_trackImage = &track;
        bar.m_restImage = &rest;
        bar.m_thumbImage = &thumb;
        ASSERT_TRUE(bar.Create(nullptr, L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP, r, &dialog, 2565));
        paste(*RenderPrintClient(bar), r.left, r.top);
    }

    // Battery bars: empty, half and full, then charging.
    for (int i = 0; i < 4; ++i) {
        CBatProgressBar bar;
        RECT r{300 + (i % 2) * 100, 130 + (i / 2) * 40, 380 + (i % 2) * 100, 158 + (i / 2) * 40};
        ASSERT_TRUE(bar.Create(r, &dialog));
        bar.SetImages(TestSkinPath(L"battery_chargingh.png"), TestSkinPath(L"battery_chargingeh.png"),
                      TestSkinPath(L"battery_fullh.png"), TestSkinPath(L"battery_emptyh.png"), &dialog.Background(),
                      TRUE);
        bar.m_altLook = i < 3;
        bar.m_pos = i == 3 ? 60 : i * 50;
        paste(*RenderPrintClient(bar), r.left, r.top);
    }
    EXPECT_TRUE(SaveScreenshot(sheet, L"page_buttons_sliders_battery"));
}

}  // namespace
