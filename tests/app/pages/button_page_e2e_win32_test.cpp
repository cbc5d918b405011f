// The button page inside the real main window, connected to the simulated
// mouse: clicks on its controls reach the mouse.
#include <gtest/gtest.h>

#include "app/main_window/harness_win32.h"
#include "app/pages/button_page_win32.h"
#include "skin/stepper_win32.h"

namespace {

using namespace e2e;

class ButtonPageEndToEndTest : public MainWindowFixture {
protected:
    // Whether the mouse has received this set command (bytes from byte 1).
    bool Received(const Bytes& fromByte1) const {
        for (const SimReport& r : m_rig->backend.Log())
            if (r.kind == SimReport::Kind::SetFeature && r.bytes.size() > fromByte1.size() &&
                std::equal(fromByte1.begin(), fromByte1.end(), r.bytes.begin() + 1))
                return true;
        return false;
    }
    bool WaitReceived(const Bytes& fromByte1) {
        return WaitFor([&] { return Received(fromByte1); }, kHangLimitMs);
    }
};

// A click posted to a control of the UI thread from the driver thread.
void Click(HWND control, int x = 10, int y = 10) {
    ::PostMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    ::PostMessageW(control, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

TEST_F(ButtonPageEndToEndTest, ClicksOnThePageChangeTheMouse) {
    UseRig(MakeDemoMouseRig());
    SetStepConfirmation([](CWnd*) { return true; });
    bool connected = false;
    bool backward = false, disabled = false, debounce = false, powerDown = false;
    uint32_t deviceButton4 = 0;
    Run run = RunMainWindow(
        [&](CQuorvelDlg& dlg, UiInvoker& ui) {
            ASSERT_TRUE(WaitForMainWindow(dlg));
            connected = ConnectMouse(dlg, ui, 0);
            if (!connected) return;
            CBaseSetDlg* page = nullptr;
            ui.Call([&] {
                dlg.ShowPage(PAGE_BUTTONS);
                page = dlg.m_pages.Buttons();
            });
            ASSERT_NE(page, nullptr);
            m_rig->backend.ClearLog();
            Click(page->m_selectors[3].m_hWnd);
            Click(page->m_functionButtons[4].m_hWnd);
            backward = WaitReceived({0x06, 0x04, 0x01, 0x00, 0xF3, 0x00});
            Click(page->m_selectors[1].m_hWnd);
            Click(page->m_functionButtons[8].m_hWnd);
            disabled = WaitReceived({0x06, 0x01, 0x00, 0x00, 0x00, 0x00});
            // The demo mouse's debounce of 8 and power-down of 300 s, one step each.
            Click(page->m_debounceStepper.m_hWnd, 17, 10);
            debounce = WaitReceived({0x05, 0x01, 9});
            Click(page->m_powerDownStepper.m_hWnd, 17, 100);
            powerDown = WaitReceived({0x05, 0x03, 240 & 0xFF, 0});
            deviceButton4 = m_rig->mouse->Settings().buttons[4];
            ui.Call([&] { SaveScreenshot(*RenderWindow(dlg.m_hWnd), L"main_window_button_page"); });
            ::PostMessageW(dlg.m_hWnd, WM_CLOSE, 0, 0);
        },
        40000);
    SetStepConfirmation(nullptr);
    EXPECT_TRUE(run.ended);
    ASSERT_TRUE(connected);
    EXPECT_TRUE(backward) << "selector 4 with backward";
    EXPECT_TRUE(disabled) << "selector 2 disabled";
    EXPECT_TRUE(debounce);
    EXPECT_TRUE(powerDown);
    EXPECT_EQ(deviceButton4, 0x00F30001u);
}

}  // namespace
