// The advanced page inside the real main window against the simulated mouse:
// connecting fills it from what the mouse holds, and its controls reach the
// connected mouse through the main window's transport.
#include <gtest/gtest.h>

#include "app/main_window/commands.h"
#include "app/main_window/harness_win32.h"
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
            dlg.ShowPage(PAGE_ADVANCED);
            auto* adv = dlg.m_pages.Advanced();
            if (!adv) return;
            shownFirstStage = adv->m_dpiBoxX[0].m_text;
            SaveScreenshot(*RenderWindow(dlg.m_hWnd), L"main_window_advanced_page");
            slider = adv->m_dpiSliderX[2].m_hWnd;
        });
        if (!slider) return;
        ::PostMessageW(slider, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(0, 6));
        ::PostMessageW(slider, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(68, 6));
        ::PostMessageW(slider, WM_LBUTTONUP, 0, MAKELPARAM(68, 6));
        WaitFor([&] { return m_rig->mouse->Settings().stages[2].stepX == 149; }, kHangLimitMs);
    });
    EXPECT_TRUE(run.ended);
    ASSERT_TRUE(connected);
    EXPECT_EQ(shownFirstStage, L"450");  // the demo mouse's first step, 8
    EXPECT_EQ(m_rig->mouse->Settings().stages[2].stepX, 149);
    EXPECT_EQ(g_settings.dpiStepsX[2], 149);
}

// A damaged or crafted profile file with steps at the ends of 32 bits, read as
// the import reads it: the page opens on every sensor type with the formula's
// values and its sliders at their minimum, and opening it sends nothing.
TEST_F(AdvSetMainWindowTest, AProfileWithExtremeStepsOpensThePageOnEverySensor) {
    UseRig(MakeDemoMouseRig());
    SettingsImage record;
    ResetSettingsToDefaults(record);
    record.dpiCount = DPI_LEVEL_COUNT;
    record.yTableMarker = Y_TABLE_MARKER;
    const int32_t steps[DPI_LEVEL_COUNT] = {INT32_MAX, INT32_MIN, -1, 65535, 65536, 7};
    for (int i = 0; i < DPI_LEVEL_COUNT; ++i) {
        record.dpiStepsX[i] = steps[i];
        record.dpiStepsY[i] = steps[DPI_LEVEL_COUNT - 1 - i];
    }
    const auto* bytes = reinterpret_cast<const uint8_t*>(&record);
    const std::wstring file = Path(L"extreme.ini");
    WriteFileBytes(file, Bytes(bytes, bytes + sizeof(record)));

    struct Shown {
        std::wstring x[DPI_LEVEL_COUNT], y[DPI_LEVEL_COUNT];
        int xPos[DPI_LEVEL_COUNT] = {}, yPos[DPI_LEVEL_COUNT] = {};
        bool read = false;
        size_t sent = 0;
    };
    const uint8_t sensors[] = {0xE1, 0xE2, 0xF0, 0xF1};
    Shown shown[4];
    bool connected = false;
    Run run = RunMainWindow([&](CQuorvelDlg& dlg, UiInvoker& ui) {
        if (!WaitForMainWindow(dlg)) return;
        connected = ConnectMouse(dlg, ui, 0);
        if (!connected) return;
        for (int k = 0; k < 4; ++k) {
            size_t before = m_rig->backend.Log().size();
            ui.Call([&] {
                SettingsImage imported;
                if (ReadImportFile(ToU16(file), &imported) != ImportCheck::Accepted) return;
                g_settings = imported;
                g_sensorType = sensors[k];
                dlg.RefreshAllPages();
                dlg.ShowPage(PAGE_ADVANCED);
                auto* adv = dlg.m_pages.Advanced();
                if (!adv) return;
                for (int i = 0; i < DPI_LEVEL_COUNT; ++i) {
                    shown[k].x[i] = adv->m_dpiBoxX[i].m_text;
                    shown[k].y[i] = adv->m_dpiBoxY[i].m_text;
                    shown[k].xPos[i] = adv->m_dpiSliderX[i].m_pos;
                    shown[k].yPos[i] = adv->m_dpiSliderY[i].m_pos;
                }
                shown[k].read = true;
                if (k == 0) SaveScreenshot(*RenderWindow(dlg.m_hWnd), L"main_window_advanced_extreme_steps");
            });
            shown[k].sent = m_rig->backend.Log().size() - before;
        }
    });
    EXPECT_TRUE(run.ended);
    ASSERT_TRUE(connected);
    const wchar_t* const x[4][DPI_LEVEL_COUNT] = {
        {L"214748364900", L"-214748364600", L"100", L"6553700", L"6553800", L"900"},
        {L"214748354800", L"-107374182350", L"0", L"6543600", L"6543700", L"400"},
        {L"107374182400", L"-107374182350", L"0", L"3276800", L"3276850", L"400"},
        {L"107374182400", L"-107374182350", L"0", L"3276800", L"3276850", L"400"},
    };
    const wchar_t* const y[DPI_LEVEL_COUNT] = {L"400", L"3276850", L"3276800", L"0", L"-107374182350",
                                               L"107374182400"};
    for (int k = 0; k < 4; ++k) {
        SCOPED_TRACE(int(sensors[k]));
        ASSERT_TRUE(shown[k].read);
        EXPECT_EQ(shown[k].sent, 0u) << "opening the page sends nothing";
        for (int i = 0; i < DPI_LEVEL_COUNT; ++i) {
            SCOPED_TRACE(i);
            EXPECT_EQ(shown[k].x[i], x[k][i]);
            EXPECT_EQ(shown[k].xPos[i], i == 5 ? 7 : 0);
            if (sensors[k] < 0xF0) continue;
            EXPECT_EQ(shown[k].y[i], y[i]);
            EXPECT_EQ(shown[k].yPos[i], i == 0 ? 7 : 0);
        }
    }
}

}  // namespace
