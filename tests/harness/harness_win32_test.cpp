// The shared test harness under Wine, driven the way the end-to-end tests
// drive the program: the windows live on the test's thread, in a modal loop
// where it matters, while a driver thread finds them, clicks them, spies on
// them and takes their pictures without pumping messages itself.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "framework/controls.h"
#include "framework/dialog.h"
#include "framework/layered_window.h"
#include "support/input_win32.h"
#include "support/message_spy_win32.h"
#include "support/top_windows_win32.h"
#include "support/ui_thread_win32.h"
#include "support/window_harness_win32.h"

namespace {

constexpr UINT kPosted = WM_APP + 40;
constexpr UINT kSent = WM_APP + 41;
constexpr int kOkId = 1001;

// Pumps here until the driver thread is done; the driver must never need
// this thread's loop to be anything but a plain one.
void PumpUntilDone(const std::atomic<bool>& done) {
    PumpUntil([&] { return done.load(); });
}

TEST(MessageSpyTest, KeepsWhatReachesTheWindowAndItsChildrenInOrderPostedOrSent) {
    TestDialog dialog;
    ASSERT_TRUE(dialog.Open());
    CButton child;
    ASSERT_TRUE(child.Create(L"", WS_CHILD | WS_VISIBLE, RECT{5, 5, 60, 30}, &dialog, 7));
    TestDialog other(100, 80);
    ASSERT_TRUE(other.Open());

    std::atomic<bool> done{false};
    std::vector<SpiedMessage> seen;
    std::thread driver([&] {
        MessageSpy spy(dialog.m_hWnd);
        EXPECT_TRUE(spy.ok());
        ::PostMessageW(dialog.m_hWnd, kPosted, 1, 0);
        // A thread handles what is sent to it before what waits in its queue:
        // the order is the order the window met them in.
        spy.WaitFor(kPosted, 1, kHangLimitMs);
        ::SendMessageW(child.m_hWnd, kSent, 2, 0);
        ::PostMessageW(other.m_hWnd, kPosted, 3, 0);        // not of the watched tree
        ::PostMessageW(dialog.m_hWnd, WM_MOUSEMOVE, 0, 0);  // filtered out
        ::PostMessageW(dialog.m_hWnd, WM_COMMAND, 4, 0);
        spy.WaitFor(WM_COMMAND, 1, kHangLimitMs);
        seen = spy.Messages();
        done = true;
    });
    PumpUntilDone(done);
    driver.join();

    std::string trace;
    for (const SpiedMessage& m : seen)
        trace += std::to_string(m.msg) + (m.posted ? "p " : "s ") + std::to_string(m.wp) + " @" +
                 std::to_string(reinterpret_cast<uintptr_t>(m.hwnd)) + "; ";
    SCOPED_TRACE(trace);
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0].msg, kPosted);
    EXPECT_EQ(seen[0].wp, 1u);
    EXPECT_TRUE(seen[0].posted);
    EXPECT_EQ(seen[1].msg, kSent);
    EXPECT_EQ(seen[1].hwnd, child.m_hWnd);
    EXPECT_FALSE(seen[1].posted);
    EXPECT_EQ(seen[2].msg, UINT(WM_COMMAND));
    // Gone with the spy: nothing is recorded or hooked any more.
    MessageSpy next(dialog.m_hWnd);
    EXPECT_TRUE(next.ok()) << "the first spy let its hooks go";
}

// A modal box with a standard button that ends it.
class BoxWithButton : public CDialog {
public:
    BoxWithButton()
        : CDialog(
              BuildDialogTemplate(WS_POPUP | WS_VISIBLE | DS_SETFONT | DS_FIXEDSYS, 0, 120, 60)) {}
    CButton ok;

protected:
    BOOL OnInitDialog() override {
        SetWindowText(L"HarnessBox");
        ::SetWindowPos(m_hWnd, HWND_TOP, 300, 200, 200, 100, SWP_SHOWWINDOW);
        ok.Create(L"OK", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, RECT{20, 20, 120, 60}, this, kOkId);
        return TRUE;
    }
    BOOL OnCommand(WPARAM wp, LPARAM lp) override {
        if (LOWORD(wp) == kOkId && HIWORD(wp) == BN_CLICKED) {
            EndDialog(kOkId);
            return TRUE;
        }
        return CDialog::OnCommand(wp, lp);
    }
};

TEST(DriverThreadTest, FindsAModalBoxByTitleTakesItsPictureAndClicksItsButton) {
    EnsureGdiplus();
    std::atomic<bool> clicked{false};
    HWND found = nullptr;
    std::unique_ptr<Dib32> picture;
    std::thread driver([&] {
        found = WaitForTopLevelWindow(L"HarnessBox", L"#32770", kHangLimitMs);
        if (!found) return;
        picture = CaptureTopLevelWindow(found);
        clicked = ClickControlById(found, kOkId);
        // Never ending the box would hang the test: end it the hard way.
        if (!WaitFor([&] { return !::IsWindow(found); }, kHangLimitMs))
            ::PostMessageW(found, WM_CLOSE, 0, 0);
    });
    BoxWithButton box;
    INT_PTR result = box.DoModal();
    driver.join();

    ASSERT_NE(found, nullptr);
    EXPECT_TRUE(clicked);
    EXPECT_EQ(result, kOkId) << "the click ended the box from inside its own loop";
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->width(), 200);
    EXPECT_EQ(picture->height(), 100);
    EXPECT_EQ(FindTopLevelWindow(L"HarnessBox"), nullptr);
}

TEST(DriverThreadTest, TakesThePictureOfALayeredPopup) {
    EnsureGdiplus();
    CWnd popup;
    ASSERT_TRUE(popup.CreateEx(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, CWnd::RegisterWndClass(0), L"",
                               WS_POPUP, RECT{0, 0, 0, 0}, nullptr, 0));
    Dib32 art(60, 40);
    art.Fill(0xFF2080C0);
    ASSERT_TRUE(UpdateLayeredFromDib(popup.m_hWnd, art, POINT{420, 260}, 0, ULW_ALPHA));
    popup.ShowWindow(SW_SHOWNOACTIVATE);
    PumpMessages();

    std::atomic<bool> done{false};
    std::unique_ptr<Dib32> picture;
    HWND found = nullptr;
    std::thread driver([&] {
        found = FindTopLevelWindow(nullptr, CWnd::RegisterWndClass(0));
        // A layered window reaches the screen a moment after it showed.
        if (found)
            WaitFor(
                [&] {
                    picture = CaptureTopLevelWindow(found);
                    return picture->Rgb(30, 20) == 0x2080C0u;
                },
                kHangLimitMs);
        done = true;
    });
    PumpUntilDone(done);
    driver.join();

    EXPECT_EQ(found, popup.m_hWnd);
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->width(), 60);
    EXPECT_EQ(picture->Rgb(30, 20), 0x2080C0u);
    EXPECT_TRUE(SaveScreenshot(*picture, L"harness_layered_popup"));
}

}  // namespace
