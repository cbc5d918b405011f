// The advanced page inside the real main window against the simulated mouse:
// connecting fills it from what the mouse holds, and its controls reach the
// connected mouse through the main window's transport.
#include <gtest/gtest.h>

#include "app/main_window_harness_win32.h"
#include "app/pages/adv_set_win32.h"

namespace {

using namespace e2e;

class AdvSetMainWindowTest : public MainWindowFixture {};

TEST_F(AdvSetMainWindowTest, TheConnectedMousesStagesShowAndADraggedSliderSetsOne) {
    UseRig(MakeDemoMouseRig());
    bool connected = false;
    std::wstring shownFirstStage;
    HWND slider = nullptr;
    Run run = RunMainWindow([&](CQuorvelDlg& dlg, UiInvoker& ui) {
        if (!WaitForMainWindow(dlg)) return;
        connected = ConnectMouse(dlg, ui, 0);
        if (!connected) return;
        ui.Call([&] {
            // A sensor with separate axes, whatever the demo's probe reported:
            // its first stage then shows (8 + 1) x 50.
            g_sensorType = 0xF1;
            dlg.RefreshAllPages();
            dlg.ShowPage(PAGE_ADVANCED - 1);
            auto* adv = dynamic_cast<CAdvSetDlg*>(dlg.m_pAdvDlg.get());
            if (!adv) return;
            shownFirstStage = adv->m_dpiBoxX[0].m_text;
            SaveScreenshot(*RenderWindow(dlg.m_hWnd), L"main_window_advanced_page");
            slider = adv->m_dpiSliderX[2].m_hWnd;
        });
        if (!slider) return;
        ::PostMessageW(slider, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(0, 6));
        ::PostMessageW(slider, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(68, 6));
        ::PostMessageW(slider, WM_LBUTTONUP, 0, MAKELPARAM(68, 6));
        WaitFor([&] { return m_rig->mouse->Settings().stages[2].stepX == 149; }, 5000);
    });
    EXPECT_TRUE(run.ended);
    ASSERT_TRUE(connected);
    EXPECT_EQ(shownFirstStage, L"450");  // the demo mouse's first step, 8
    EXPECT_EQ(m_rig->mouse->Settings().stages[2].stepX, 149);
    EXPECT_EQ(g_settings.dpiStepsX[2], 149);
}

}  // namespace
