// The windows the main window opens, found and handled from the driver thread
// as a user meets them: the modal About box of the system menu, and the
// language popup, a layered window of its own.
#include <gtest/gtest.h>

#include "app/main_window/harness_win32.h"
#include "support/input_win32.h"

namespace {

using namespace e2e;

class MainWindowOpenedTest : public MainWindowFixture {};

TEST_F(MainWindowOpenedTest, TheAboutBoxHoldsTheMainWindowUntilItsButtonIsClicked) {
    UseRig(MakeDemoMouseRig());
    HWND box = nullptr;
    HWND boxOwner = nullptr;
    std::optional<MainWindowState> during, after;
    bool shot = false, clicked = false, gone = false;
    Run run = RunMainWindow([&](CQuorvelDlg& dlg, UiInvoker& ui) {
        if (!WaitForMainWindow(dlg)) return;
        ::PostMessageW(dlg.m_hWnd, WM_SYSCOMMAND, 0x10, 0);
        box = WaitForTopLevelWindow(L"\u5173\u4e8e Quorvel", L"#32770", kHangLimitMs);
        if (!box) return;
        boxOwner = ::GetWindow(box, GW_OWNER);
        during = ReadMainWindow(ui, dlg);
        shot = SaveWindowScreenshot(box, L"main_window_about_box");
        clicked = ClickControlById(box, IDOK);
        gone = WaitFor([&] { return !::IsWindow(box); }, kHangLimitMs);
        after = ReadMainWindow(ui, dlg);
        ::PostMessageW(dlg.m_hWnd, WM_CLOSE, 0, 0);
    });
    EXPECT_TRUE(run.ended);
    ASSERT_NE(box, nullptr) << "no About box";
    ASSERT_TRUE(during && after);
    EXPECT_EQ(boxOwner, during->hwnd);
    EXPECT_FALSE(during->enabled) << "the box is modal";
    EXPECT_TRUE(shot);
    EXPECT_TRUE(clicked);
    EXPECT_TRUE(gone) << "its button ended it from inside the nested loop";
    EXPECT_TRUE(after->enabled);
}

TEST_F(MainWindowOpenedTest, TheLanguagePopupIsALayeredWindowOnTopOfTheMainWindow) {
    UseRig(MakeDemoMouseRig());
    HWND popup = nullptr;
    std::unique_ptr<Dib32> picture;
    RECT popupRect{};
    Run run = RunMainWindow([&](CQuorvelDlg& dlg, UiInvoker& ui) {
        if (!WaitForMainWindow(dlg)) return;
        ClickControl(dlg.m_btnLanguage.m_hWnd);
        auto layered = [](HWND hwnd) {
            return (::GetWindowLongPtrW(hwnd, GWL_EXSTYLE) & WS_EX_LAYERED) != 0;
        };
        WaitFor([&] { return (popup = FindTopLevelWindow(layered)) != nullptr; }, kHangLimitMs);
        if (!popup) return;
        ::GetWindowRect(popup, &popupRect);
        // A layered window reaches the screen a moment after it was made.
        WaitFor(
            [&] {
                picture = CaptureTopLevelWindow(popup);
                return Varied(*picture);
            },
            kHangLimitMs);
        SaveScreenshot(*picture, L"main_window_language_popup");
        ::PostMessageW(popup, WM_CLOSE, 0, 0);
        WaitFor([&] { return !::IsWindow(popup); }, kHangLimitMs);
        ::PostMessageW(dlg.m_hWnd, WM_CLOSE, 0, 0);
    });
    EXPECT_TRUE(run.ended);
    ASSERT_NE(popup, nullptr) << "the click opened no popup";
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->width(), popupRect.right - popupRect.left);
    EXPECT_TRUE(Varied(*picture)) << "the popup's rows are not drawn";
}

}  // namespace
