// The stepper on a test dialog under Wine: what a press in each part posts,
// the confirmation in the low debounce range, what it shows, and that a
// confirmed step leaves no capture behind to swallow the next click.
#include <gtest/gtest.h>

#include <memory>
#include <thread>
#include <vector>

#include "device/file_system.h"
#include "framework/strings.h"
#include "skin/skin_messages.h"
#include "skin/stepper_win32.h"
#include "support/box_driver_win32.h"
#include "support/top_windows_win32.h"
#include "support/window_harness_win32.h"

namespace {

constexpr RECT kStepperRect{100, 40, 134, 158};

using Notices = std::vector<std::pair<WPARAM, LPARAM>>;

class StepperWindowTest : public testing::Test {
protected:
    void SetUp() override {
        EnsureGdiplus();
        image = GdipImage::FromFile(WriteSolidPng(L"stepper.png", 34, 118, 0xFF303840));
        ASSERT_TRUE(image);
        ASSERT_TRUE(dialog.Open());
        ASSERT_TRUE(stepper.Create(L"", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, kStepperRect, &dialog, 0));
        stepper.SetImages(&image, &image, &image, &dialog.Background(), kStepperRect);
        SetStepConfirmation([this](CWnd* parent) {
            ++asked;
            askedBy = parent;
            return answer;
        });
    }
    void TearDown() override { SetStepConfirmation(nullptr); }

    // The notices the dialog got since the last call, as (mode, value).
    Notices TakeNotices() {
        Notices out;
        for (const RecordedMessage& m : dialog.Of(UWM_STEPPER_CHANGED)) out.emplace_back(m.wp, m.lp);
        dialog.Clear();
        return out;
    }

    GdipImage image;
    TestDialog dialog;
    CGDIBitmapBtnAddSub stepper;
    bool answer = true;
    int asked = 0;
    CWnd* askedBy = nullptr;
};

TEST_F(StepperWindowTest, CounterStepsPostTheirValueAndShowIt) {
    stepper.m_value = 12;
    PostClick(stepper, 17, 10);  // plus
    EXPECT_EQ(TakeNotices(), (Notices{{0, 13}}));
    EXPECT_EQ(stepper.GetWindowText(), L"13");
    PostClick(stepper, 17, 100);  // minus
    PostClick(stepper, 17, 100);
    EXPECT_EQ(TakeNotices(), (Notices{{0, 12}, {0, 11}}));
    PostClick(stepper, 17, 60);  // the band between the two parts
    PostClick(stepper, 17, 117);
    EXPECT_EQ(TakeNotices(), (Notices{{0, 10}})) << "row 117 is still minus";
    EXPECT_EQ(asked, 0);
}

TEST_F(StepperWindowTest, AStepToEightOrBelowWaitsForTheConfirmation) {
    stepper.m_value = 8;
    answer = false;
    PostClick(stepper, 17, 100);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(askedBy, &stepper);
    EXPECT_TRUE(TakeNotices().empty()) << "Cancel keeps 8";
    EXPECT_EQ(stepper.m_value, 8);

    // The release of a confirmed press went to the box: only the press
    // reaches the stepper, which must not wait for a release with the capture.
    answer = true;
    PostMouse(stepper, WM_LBUTTONDOWN, 17, 100, MK_LBUTTON);
    PumpMessages();
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(TakeNotices(), (Notices{{0, 7}}));
    EXPECT_EQ(stepper.GetWindowText(), L"7");
    EXPECT_NE(::GetCapture(), stepper.m_hWnd);

    stepper.m_value = 7;
    PostClick(stepper, 17, 10);  // up to 8 asks too
    EXPECT_EQ(asked, 3);
    EXPECT_EQ(TakeNotices(), (Notices{{0, 8}}));
}

TEST_F(StepperWindowTest, TheRealBoxDecides) {
    SetStepConfirmation(nullptr);
    SetProgramFolder(ToU16(TestDistDir()));
    struct Case {
        POINT click;  // OK or Cancel in the box's client
        Notices notices;
        int after;
    };
    const Case cases[] = {{{310, 178}, {}, 8}, {{90, 178}, {{0, 7}}, 7}};
    for (const Case& c : cases) {
        stepper.m_value = 8;
        bool seen = false;
        std::thread user([&] {
            HWND box = WaitForTopLevelWindow(L"CDebounceWDlg", nullptr, int(kBoxWaitMs));
            seen = box != nullptr;
            if (!box) return;
            ClickBoxAt(box, c.click.x, c.click.y);
            // A box the click did not end is cancelled, so the test cannot hang.
            if (::IsWindow(box)) ::PostMessageW(box, WM_COMMAND, IDCANCEL, 0);
        });
        PostClick(stepper, 17, 100);
        user.join();
        PumpMessages(50);
        EXPECT_TRUE(seen);
        EXPECT_EQ(TakeNotices(), c.notices);
        EXPECT_EQ(stepper.m_value, c.after);
    }
    SetProgramFolder(u"");
}

TEST_F(StepperWindowTest, ListModeReportsTheValueAndStopsAtBothEnds) {
    static const int32_t kItems[] = {10, 20, 30};
    stepper.m_mode = STEPPER_LIST_MODE;
    stepper.m_items = kItems;
    stepper.m_itemCount = 3;
    stepper.m_value = 1;
    PostClick(stepper, 17, 10);
    PostClick(stepper, 17, 10);  // at the last index: nothing
    PostClick(stepper, 17, 100);
    PostClick(stepper, 17, 100);
    PostClick(stepper, 17, 100);  // at the first: nothing
    EXPECT_EQ(TakeNotices(), (Notices{{1, 30}, {1, 20}, {1, 10}}));
    EXPECT_EQ(stepper.GetWindowText(), L"10");
    EXPECT_EQ(asked, 0) << "only the counter asks";
}

TEST_F(StepperWindowTest, PressesAreSwallowedWhileTheMouseIsOff) {
    stepper.m_mouseEnabled = 0;
    stepper.m_value = 12;
    PostClick(stepper, 17, 10);
    EXPECT_TRUE(TakeNotices().empty());
    EXPECT_EQ(dialog.Count(WM_COMMAND), 0);
    EXPECT_EQ(stepper.m_value, 12);
}

TEST_F(StepperWindowTest, PaintsItsImageAtItsOwnSizeWithTheNumber) {
    stepper.m_value = 15;
    PostClick(stepper, 17, 10);
    stepper.SetText(L"16", 2, 0, 16, DT_CENTER);
    std::unique_ptr<Dib32> dib = RenderOwnerDrawn(stepper);
    EXPECT_EQ(dib->Rgb(1, 1), 0x303840u);
    int captionPixels = 0;
    for (int y = 40; y < 80; ++y)
        for (int x = 0; x < 34; ++x) captionPixels += dib->Rgb(x, y) != 0x303840u;
    EXPECT_GT(captionPixels, 10) << "the number in the middle";

    // Three digits fit: the number never turns into "2..." for 240.
    auto pixels = [&](const wchar_t* text) {
        stepper.SetText(text, 2, 0, 16, DT_CENTER);
        std::unique_ptr<Dib32> shot = RenderOwnerDrawn(stepper);
        std::vector<uint32_t> out;
        for (int y = 40; y < 80; ++y)
            for (int x = 0; x < 34; ++x) out.push_back(shot->Rgb(x, y));
        return out;
    };
    EXPECT_NE(pixels(L"240"), pixels(L"2..."));
}

}  // namespace
