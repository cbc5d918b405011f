// The picture bars and the mouse picture on a test dialog under Wine: what a
// paint shows, and that painting keeps no GDI or GDI+ object behind.
#include <gtest/gtest.h>

#include "framework/strings.h"
#include "skin/mouse_bitmap_win32.h"
#include "skin/png_bars_win32.h"
#include "support/window_harness_win32.h"

namespace {

constexpr uint32_t kTrackArgb = 0xFF203040;
constexpr uint32_t kFillArgb = 0xFF30C0F0;
constexpr uint32_t kPictureArgb = 0xFF20A020;
constexpr uint32_t kMarkerArgb = 0xFFE02020;
constexpr RECT kBarRect{35, 47, 295, 56};  // 260 wide, as in the progress box

uint32_t Rgb(uint32_t argb) {
    return argb & 0xFFFFFF;
}

class PngBarTest : public testing::Test {
protected:
    void SetUp() override {
        EnsureGdiplus();
        // Full-window pictures the bar cuts its own rectangle out of.
        trackSource = GdipImage::FromFile(WriteSolidPng(L"bar-track.png", 330, 80, kTrackArgb));
        fillSource = GdipImage::FromFile(WriteSolidPng(L"bar-fill.png", 330, 80, kFillArgb));
        ASSERT_TRUE(trackSource && fillSource);
        ASSERT_TRUE(dialog.Open());
    }

    GdipImage trackSource, fillSource;
    TestDialog dialog;
};

TEST_F(PngBarTest, CreateGivesTheIdRangeAndCutOutImages) {
    CPngHProgressBar bar;
    CPngHProgressBarEx update;
    ASSERT_TRUE(bar.Create(kBarRect, &dialog));
    ASSERT_TRUE(update.Create(RECT{10, 10, 110, 20}, &dialog));
    EXPECT_EQ(bar.GetDlgCtrlID(), 777);
    EXPECT_EQ(update.GetDlgCtrlID(), 778);
    EXPECT_EQ(bar.m_min, 0);
    EXPECT_EQ(bar.m_max, 10);
    EXPECT_EQ(bar.m_pos, 0);
    bar.SetImages(&fillSource, 35, 47, 260, 9, &trackSource);
    EXPECT_EQ(bar.m_trackImage.Width(), 260u);
    EXPECT_EQ(bar.m_fillImage.Height(), 9u);
    // A missing source leaves its image empty, and the old ones are released.
    long before = gdiplus::LiveObjects();
    bar.SetImages(nullptr, 35, 47, 260, 9, &trackSource);
    EXPECT_FALSE(bar.m_fillImage.ok());
    EXPECT_TRUE(bar.m_trackImage.ok());
    EXPECT_EQ(gdiplus::LiveObjects(), before - 1);
}

TEST_F(PngBarTest, PaintShowsTheFillUpToItsWidthAndNeverPastTheBar) {
    CPngHProgressBar bar;
    ASSERT_TRUE(bar.Create(kBarRect, &dialog));
    bar.SetImages(&fillSource, 35, 47, 260, 9, &trackSource);
    struct Case {
        int min, max, pos;
        int fill;  // columns of fill colour from the left
    };
    const Case cases[] = {
        {0, 100, 0, 0},   {0, 100, 50, 130}, {0, 100, 1, 2},   {0, 100, 100, 260},
        {0, 100, 101, 260}, {0, 100, -5, 0}, {40, 40, 40, 0},  // an empty range: no fill
    };
    for (const Case& c : cases) {
        bar.m_min = c.min;
        bar.m_max = c.max;
        bar.m_pos = c.pos;
        std::unique_ptr<Dib32> shot = RenderPrintClient(bar);
        ASSERT_TRUE(shot);
        if (c.fill > 0) {
            EXPECT_EQ(shot->Rgb(0, 4), Rgb(kFillArgb)) << c.pos;
            EXPECT_EQ(shot->Rgb(c.fill - 1, 8), Rgb(kFillArgb)) << c.pos;
        }
        if (c.fill < 260) {
            EXPECT_EQ(shot->Rgb(c.fill, 0), Rgb(kTrackArgb)) << c.pos;
            EXPECT_EQ(shot->Rgb(259, 4), Rgb(kTrackArgb)) << c.pos;
        }
    }
}

TEST_F(PngBarTest, ManyPaintsKeepNoObjectBehind) {
    CPngHProgressBar bar;
    ASSERT_TRUE(bar.Create(kBarRect, &dialog));
    bar.SetImages(&fillSource, 35, 47, 260, 9, &trackSource);
    bar.m_max = 100;

    CMouseBitmap mouse;
    std::wstring picture = WriteSolidPng(L"leak-mouse.png", 200, 240, kPictureArgb);
    WriteSolidPng(L"number2.png", 32, 32, kMarkerArgb);
    ASSERT_TRUE(mouse.Create(L"", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, RECT{300, 20, 500, 260}, &dialog, 0));
    mouse.SetImages(picture, TestTempDir(), &dialog.Background(), RECT{300, 20, 500, 260});
    mouse.m_marker = 2;
    // What the first paint decodes (the marker) is kept for the next ones.
    RenderOwnerDrawn(mouse);

    const long gdiBefore = gdi::LiveObjects();
    const long gdiplusBefore = gdiplus::LiveObjects();
    for (int i = 0; i < 60; ++i) {
        bar.m_pos = i;
        bar.Invalidate(FALSE);
        bar.UpdateWindow();
        mouse.Invalidate(FALSE);
        mouse.UpdateWindow();
        RenderPrintClient(bar);
        RenderOwnerDrawn(mouse);
    }
    EXPECT_EQ(gdi::LiveObjects(), gdiBefore);
    EXPECT_EQ(gdiplus::LiveObjects(), gdiplusBefore);
}

class MouseBitmapTest : public PngBarTest {};

TEST_F(MouseBitmapTest, ShowsThePictureAndOnlyMarkersOneToFive) {
    std::wstring picture = WriteSolidPng(L"mouse.png", 200, 240, kPictureArgb);
    for (int n = 1; n <= 5; ++n) WriteSolidPng(FormatW(L"number%d.png", n), 40, 40, kMarkerArgb);
    CMouseBitmap mouse;
    const RECT place{10, 10, 210, 250};
    ASSERT_TRUE(mouse.Create(L"", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, place, &dialog, 0));
    mouse.SetImages(picture, TestTempDir(), &dialog.Background(), place);

    // Inside each marker's square, and one pixel past its 32 x 32.
    const POINT inside[6] = {{}, {31, 60}, {154, 60}, {88, 49}, {11, 130}, {11, 196}};
    for (int shown = 0; shown <= 6; ++shown) {
        mouse.m_marker = shown;
        std::unique_ptr<Dib32> shot = RenderOwnerDrawn(mouse);
        ASSERT_TRUE(shot);
        for (int n = 1; n <= 5; ++n) {
            uint32_t expected = n == shown ? Rgb(kMarkerArgb) : Rgb(kPictureArgb);
            EXPECT_EQ(shot->Rgb(inside[n].x, inside[n].y), expected) << "marker " << n << " with " << shown;
        }
        if (shown >= 1 && shown <= 5) {
            // The marker file is 40 wide: only its top-left 32 x 32 shows.
            EXPECT_EQ(shot->Rgb(inside[shown].x + 32, inside[shown].y + 32), Rgb(kPictureArgb));
        }
    }

    // Beyond the picture the parent's background shows through the snapshot.
    mouse.SetOverlayImage(WriteSolidPng(L"mouse-small.png", 50, 50, kPictureArgb), TestTempDir());
    mouse.m_marker = 0;
    std::unique_ptr<Dib32> small = RenderOwnerDrawn(mouse);
    EXPECT_EQ(small->Rgb(20, 20), Rgb(kPictureArgb));
    EXPECT_EQ(small->Rgb(100, 100), TestBackgroundPixel(110, 110));
}

}  // namespace
