// The LED page inside the real main window against the simulated mouse: its
// page icon is there only for a mouse that has the lights, and a click on an
// effect reaches the connected mouse through the main window's transport.
#include <gtest/gtest.h>

#include "app/main_window/commands.h"
#include "app/main_window/harness_win32.h"
#include "app/main_window/layout.h"
#include "app/pages/led_set_win32.h"
#include "skin/popup_menu_logic.h"
#include "support/input_win32.h"

namespace {

using namespace e2e;

class LedSetMainWindowTest : public MainWindowFixture {};

TEST_F(LedSetMainWindowTest, IconShowsOnlyForAMouseWithLightsAndAClickSetsItsEffect) {
    struct Case {
        const char* name;
        uint8_t linkType;
        uint8_t model;
        bool iconShown;
    };
    const Case cases[] = {
        {"a mouse with lights", 2, 0xE1, true},
        {"another link type", 1, 0xE1, false},
        {"the model without lights", 2, 0xF1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        UseRig(MakeDemoMouseRig());
        SimDeviceInfo info = m_rig->cable.command->DeviceInfo();
        info.linkType = c.linkType;
        info.byte5 = c.model;
        m_rig->cable.command->SetDeviceInfo(info);
        SimMouseSettings start = m_rig->mouse->Settings();
        start.ledEffect = 0;
        m_rig->mouse->SetSettings(start);

        bool connected = false;
        bool iconShown = !c.iconShown;
        bool pageShown = false;
        HWND breathing = nullptr;
        Run run = RunMainWindow([&](CQuorvelDlg& dlg, UiInvoker& ui) {
            if (!WaitForMainWindow(dlg)) return;
            connected = ConnectMouse(dlg, ui, 0);
            if (!connected) return;
            HWND icon = nullptr;
            ui.Call([&] {
                icon = dlg.m_pageButtons[PAGE_LED].m_hWnd;
                iconShown = icon && ::IsWindowVisible(icon);
            });
            if (!iconShown) return;
            ClickControl(icon);
            WaitFor(
                [&] {
                    bool shown = false;
                    ui.Call([&] { shown = dlg.m_pages.Led() && ::IsWindowVisible(dlg.m_pages.Led()->m_hWnd); });
                    return shown;
                },
                kHangLimitMs);
            ui.Call([&] {
                auto* led = dlg.m_pages.Led();
                pageShown = led && ::IsWindowVisible(led->m_hWnd);
                if (led) breathing = led->m_effectButtons[1].m_hWnd;
            });
            if (!breathing) return;
            m_rig->backend.ClearLog();
            ClickControl(breathing);
            WaitFor([&] { return m_rig->mouse->Settings().ledEffect == 1; }, kHangLimitMs);
        });
        EXPECT_TRUE(run.ended);
        ASSERT_TRUE(connected);
        EXPECT_EQ(iconShown, c.iconShown);
        if (!c.iconShown) continue;
        EXPECT_TRUE(pageShown);
        EXPECT_EQ(m_rig->mouse->Settings().ledEffect, 1);
        EXPECT_EQ(g_settings.ledEffect, 1);
        int ledFrames = 0;
        for (const SimReport& r : m_rig->backend.Log()) {
            if (r.kind == SimReport::Kind::SetFeature && r.bytes.size() > 2 && r.bytes[1] == CMD_SET_LED_EFFECT) {
                EXPECT_EQ(r.bytes[2], 1);
                ++ledFrames;
            }
        }
        EXPECT_EQ(ledFrames, 1);
    }
}

TEST_F(LedSetMainWindowTest, ScreenshotsInBothLanguages) {
    UseRig(MakeDemoMouseRig());
    SimDeviceInfo info = m_rig->cable.command->DeviceInfo();
    info.linkType = 2;
    m_rig->cable.command->SetDeviceInfo(info);
    std::vector<std::wstring> captions;
    Run run = RunMainWindow([&](CQuorvelDlg& dlg, UiInvoker& ui) {
        if (!WaitForMainWindow(dlg) || !ConnectMouse(dlg, ui, 0)) return;
        ui.Call([&] { dlg.ShowPage(PAGE_LED); });
        // The language popup's choices: 2 English, 1 Russian.
        for (int language : {2, 1}) {
            ::PostMessageW(dlg.m_hWnd, UWM_LANGUAGE_MENU_RESULT, kMenuResultAlways, language);
            // The pages take the texts from a refresh the choice posts.
            ui.CallWhenIdle([&] {
                auto* led = dlg.m_pages.Led();
                if (led) captions.push_back(led->m_effectButtons[0].GetWindowText());
                SaveScreenshot(*RenderWindow(dlg.m_hWnd),
                               language == 2 ? L"main_window_led_page_en" : L"main_window_led_page_ru");
            });
        }
    });
    EXPECT_TRUE(run.ended);
    EXPECT_EQ(captions, (std::vector<std::wstring>{L"Flicker", L"Мерцание"}));
}

}  // namespace
