// The advanced page under Wine, on its own under a test window of the main
// window's size, sending to the simulated mouse: real input on its sliders,
// value boxes, buttons and popups, and what each sensor and link shows.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/pages/adv_set_win32.h"
#include "app/pages/page_test_fixture_win32.h"
#include "device/device_state.h"
#include "device/file_system.h"
#include "framework/strings.h"
#include "skin/skin_messages.h"
#include "skin/value_entry_logic.h"
#include "skin/value_entry_win32.h"
#include "support/connected_sim_mouse.h"
#include "support/input_win32.h"
#include "support/top_windows_win32.h"
#include "support/ui_thread_win32.h"
#include "support/window_harness_win32.h"
#include "text/ui_texts.h"

namespace {

using Bytes = std::vector<uint8_t>;

class AdvSetPageTest : public PageTestFixture<CAdvSetDlg> {
protected:
    void SetUp() override {
        PageTestFixture::SetUp();
        g_settings = SettingsImage{};
        g_settings.dpiCount = 4;
        g_settings.dpiCurrent = 0;
        g_settings.yTableMarker = Y_TABLE_MARKER;
        g_settings.reportRateCode = 0;
        for (int i = 0; i < DPI_LEVEL_COUNT; ++i) {
            g_settings.dpiStepsX[i] = 15 + 16 * i;
            g_settings.dpiStepsY[i] = 7 + 16 * i;
        }
        g_sensorType = SENSOR_F1;
        g_linkType = 2;
    }
    void TearDown() override {
        PageTestFixture::TearDown();
        SetValueEntryHandler({});
        SetMouseSettingsLauncher({});
        g_sensorType = 0;
        g_linkType = 0;
    }
    void Refresh() override { page->RefreshFromSettingsAndRanges(); }

    static Bytes Frame(std::initializer_list<uint8_t> bytes) {
        Bytes frame(bytes);
        frame.resize(FEATURE_REPORT_SIZE - 1, 0);
        return frame;
    }
    // Double-clicks the value box and, from another thread, types text into
    // the value entry that opens and presses its OK. False when no box came.
    bool TypeInto(CGDIBitmapBtnEx2& box, const wchar_t* text) {
        std::atomic<bool> done{false};
        bool typed = false;
        std::thread driver([&] {
            HWND entry = WaitForTopLevelWindow(L"QuorvelMacroModifyDlg", nullptr, kHangLimitMs);
            if (entry) {
                ::SendMessageW(::GetDlgItem(entry, VALUE_ENTRY_EDIT_ID), WM_SETTEXT, 0,
                               reinterpret_cast<LPARAM>(text));
                typed = ClickControl(::ChildWindowFromPoint(entry, POINT{40, 170}));
            }
            done = true;
        });
        PostMouse(box, WM_LBUTTONDBLCLK, 10, 5, MK_LBUTTON);
        PumpUntil([&] { return done && !FindTopLevelWindow(L"QuorvelMacroModifyDlg"); });
        driver.join();
        PumpMessages(30);
        return typed;
    }
    static bool Shown(const CWnd& control) { return (control.GetStyle() & WS_VISIBLE) != 0; }
};

TEST_F(AdvSetPageTest, DraggingASliderSetsTheMousesStageOnlyWhenReleased) {
    OpenPage();
    CHProgressBar& slider = page->m_dpiSliderX[1];
    PostMouse(slider, WM_LBUTTONDOWN, 0, 6, MK_LBUTTON);
    PostMouse(slider, WM_MOUSEMOVE, 40, 6, MK_LBUTTON);
    PostMouse(slider, WM_MOUSEMOVE, 136, 6, MK_LBUTTON);  // the middle: 599 * 136 / 272
    PumpMessages(30);
    EXPECT_TRUE(sim.SetCommands().empty());
    EXPECT_EQ(page->m_dpiBoxX[1].m_text, L"15000");
    EXPECT_EQ(g_settings.dpiStepsX[1], 299);
    PostMouse(slider, WM_LBUTTONUP, 136, 6, 0);
    PumpMessages(30);
    EXPECT_EQ(sim.SetCommands(), std::vector<Bytes>{Frame({CMD_SET_DPI_STAGE, 1, 299 & 0xFF, 299 >> 8, 0, 0, 0, 1})});
    EXPECT_EQ(sim.mouse->Settings().stages[1].stepX, 299);

    // A drag that loses the mouse ends where it was, and the mouse gets that step.
    sim.backend.ClearLog();
    CHProgressBar& y = page->m_dpiSliderY[2];
    PostMouse(y, WM_LBUTTONDOWN, 0, 6, MK_LBUTTON);
    PostMouse(y, WM_MOUSEMOVE, 68, 6, MK_LBUTTON);
    PumpMessages(30);
    ::SetCapture(parent.m_hWnd);
    ::ReleaseCapture();
    PumpMessages(30);
    EXPECT_EQ(sim.SetCommands(), std::vector<Bytes>{Frame({CMD_SET_DPI_STAGE, 2, 149, 0, 0, 0, 0, 2})});
    EXPECT_EQ(sim.mouse->Settings().stages[2].stepY, 149);
    EXPECT_EQ(page->m_dpiBoxY[2].m_text, L"7500");
}

TEST_F(AdvSetPageTest, ADoubleClickedValueBoxTypesItsStage) {
    g_sensorType = SENSOR_E2;
    OpenPage();
    EXPECT_TRUE(TypeInto(page->m_dpiBoxX[3], L"11234"));  // the box rounds it to 11250
    EXPECT_EQ(g_settings.dpiStepsX[3], 211);             // 11200
    EXPECT_EQ(page->m_dpiSliderX[3].m_pos, 211);
    EXPECT_EQ(page->m_dpiBoxX[3].m_text, L"11250");
    EXPECT_EQ(sim.SetCommands(), std::vector<Bytes>{Frame({CMD_SET_DPI_STAGE, 3, 211, 0, 0, 0, 0, 0})});
    EXPECT_EQ(sim.mouse->Settings().stages[3].stepX, 211);

    // 1..25 come from the box as 0: refused, the box shows what it showed before.
    sim.backend.ClearLog();
    EXPECT_TRUE(TypeInto(page->m_dpiBoxX[3], L"20"));
    EXPECT_TRUE(sim.SetCommands().empty());
    EXPECT_EQ(page->m_dpiBoxX[3].m_text, L"11250");
    EXPECT_EQ(g_settings.dpiStepsX[3], 211);
}

TEST_F(AdvSetPageTest, TheCountPopupLaysOutTheRowsAndADismissalResendsOnce) {
    OpenPage();
    for (int i = 0; i < DPI_LEVEL_COUNT; ++i) EXPECT_EQ(Shown(page->m_dpiSliderY[i]), i < 4) << i;
    Click(page->m_countButton);
    ASSERT_TRUE(page->m_popup.IsOpen());
    CMenuEx* popup = page->m_popup.Get();
    const SkinRect row = popup->m_items[1].rect;  // "2"
    PostMouse(*popup, WM_MOUSEMOVE, row.left + 10, row.top + 5, 0);
    PostMouse(*popup, WM_LBUTTONDOWN, row.left + 10, row.top + 5, MK_LBUTTON);
    PostMouse(*popup, WM_LBUTTONUP, row.left + 10, row.top + 5, 0);
    PumpMessages(50);
    EXPECT_FALSE(page->m_popup.IsOpen());
    EXPECT_EQ(g_settings.dpiCount, 2);
    EXPECT_EQ(sim.SetCommands(), std::vector<Bytes>{Frame({CMD_SET_DPI_CONFIG, 2, 0, 0, 0, 0})});
    EXPECT_EQ(page->m_countButton.m_text, L"2");
    for (int i = 0; i < DPI_LEVEL_COUNT; ++i) {
        SCOPED_TRACE(i);
        for (const CWnd* c : {static_cast<const CWnd*>(&page->m_dpiSliderX[i]), static_cast<const CWnd*>(&page->m_dpiBoxX[i]),
                              static_cast<const CWnd*>(&page->m_labelX[i]), static_cast<const CWnd*>(&page->m_dpiSliderY[i]),
                              static_cast<const CWnd*>(&page->m_stageButtons[i])})
            EXPECT_EQ(Shown(*c), i < 2);
    }

    // The LED popup replaces a count popup still open; the replaced one says
    // nothing. Closing the LED popup without a choice sends the configuration
    // once, however often the close is reported.
    sim.backend.ClearLog();
    Click(page->m_countButton);
    HWND countPopup = page->m_popup.Get()->m_hWnd;
    Click(page->m_ledModeButton);
    EXPECT_FALSE(::IsWindow(countPopup));
    ASSERT_TRUE(page->m_popup.IsOpen());
    HWND ledPopup = page->m_popup.Get()->m_hWnd;
    ::SendMessageW(ledPopup, WM_CLOSE, 0, 0);
    page->SendMessage(UWM_DPI_LED_MENU_RESULT, 0, 0);
    PumpMessages(30);
    EXPECT_EQ(sim.SetCommands(), std::vector<Bytes>{Frame({CMD_SET_DPI_CONFIG, 2, 0, 0, 0, 0})});
}

TEST_F(AdvSetPageTest, TheStageSelectorSetsTheCurrentStage) {
    OpenPage();
    Click(page->m_stageButtons[2]);
    EXPECT_EQ(sim.SetCommands(), std::vector<Bytes>{Frame({CMD_SET_DPI_CONFIG, 4, 2, 0, 0, 0})});
    EXPECT_EQ(sim.mouse->Settings().dpiCurrent, 2);
    for (int i = 0; i < DPI_LEVEL_COUNT; ++i) EXPECT_EQ(page->m_stageButtons[i].m_checked, i == 2) << i;
}

}  // namespace

namespace {

TEST_F(AdvSetPageTest, ScreenshotsPerSensorLinkAndLanguage) {
    struct Case {
        uint8_t sensor, link;
        const wchar_t* name;
    };
    const Case cases[] = {
        {SENSOR_E1, 1, L"e1_link1"}, {SENSOR_E2, 2, L"e2_link2"}, {SENSOR_F0, 1, L"f0_link1"},
        {SENSOR_F0, 2, L"f0_link2"}, {SENSOR_F1, 1, L"f1_link1"}, {SENSOR_F1, 2, L"f1_link2"},
    };
    g_settings.dpiCount = 5;
    g_settings.dpiCurrent = 1;
    g_settings.dpiLedMode = 1;
    g_settings.liftOffCode = 1;
    g_settings.sensorMode = 1;
    g_settings.motionSync = 1;
    OpenPage();
    for (const wchar_t* language : {L"enr", L"rus"}) {
        LoadLanguageFile(ToU16(TestDistDir() + L"language\\" + language + L".xml"));
        for (const Case& c : cases) {
            SCOPED_TRACE(c.name);
            g_sensorType = c.sensor;
            g_linkType = c.link;
            page->RefreshFromSettingsAndRanges();
            PumpMessages(20);
            EXPECT_EQ(Shown(page->m_rateButtons[RATE_8000]), c.link == 2);
            EXPECT_EQ(Shown(page->m_dpiSliderY[0]), SensorHasYAxis(c.sensor));
            EXPECT_EQ(Shown(page->m_liftOffButtons[2]), c.sensor == SENSOR_F1);
            std::unique_ptr<Dib32> shot = RenderWindow(page->m_hWnd);
            ASSERT_TRUE(shot && shot->ok());
            EXPECT_TRUE(SaveScreenshot(*shot, std::wstring(L"adv_page_") + c.name + L"_" + language));
        }
    }
}

}  // namespace

namespace {

TEST_F(AdvSetPageTest, EachSensorControlChangesTheMouse) {
    OpenPage();
    struct Step {
        const CWnd* control;
        Bytes frame;  // empty: nothing goes out
    };
    const Step steps[] = {
        {&page->m_rateButtons[0], Frame({CMD_SET_REPORT_RATE, 3})},
        {&page->m_rateButtons[0], Frame({CMD_SET_REPORT_RATE, 3})},  // the same rate again
        {&page->m_rateButtons[RATE_2000], Frame({CMD_SET_REPORT_RATE, 6})},
        {&page->m_rateButtons[3], Frame({CMD_SET_REPORT_RATE, 0})},
        {&page->m_liftOffButtons[2], Frame({CMD_GROUP_SENSOR, SENSOR_LIFT_OFF, 2})},
        {&page->m_liftOffButtons[2], {}},
        {&page->m_sensorModeButtons[1], Frame({CMD_GROUP_SENSOR, SENSOR_MODE, 1})},
        {&page->m_switches[SWITCH_MOTION_SYNC], Frame({CMD_GROUP_SENSOR, SENSOR_MOTION_SYNC, 1})},
        {&page->m_switches[SWITCH_ANGLE_SNAP], Frame({CMD_GROUP_SENSOR, SENSOR_ANGLE_SNAP, 1})},
        {&page->m_switches[SWITCH_RIPPLE_CONTROL], Frame({CMD_GROUP_SENSOR, SENSOR_RIPPLE_CONTROL, 1})},
        {&page->m_switches[SWITCH_RIPPLE_CONTROL], Frame({CMD_GROUP_SENSOR, SENSOR_RIPPLE_CONTROL, 0})},
    };
    for (const Step& s : steps) {
        sim.backend.ClearLog();
        Click(*s.control);
        EXPECT_EQ(sim.SetCommands(), s.frame.empty() ? std::vector<Bytes>{} : std::vector<Bytes>{s.frame});
    }
    SimMouseSettings held = sim.mouse->Settings();
    EXPECT_EQ(held.reportRate, 0);
    EXPECT_EQ(held.sensor[SENSOR_LIFT_OFF], 2);
    EXPECT_EQ(held.sensor[SENSOR_MODE], 1);
    EXPECT_EQ(held.sensor[SENSOR_MOTION_SYNC], 1);
    EXPECT_EQ(held.sensor[SENSOR_ANGLE_SNAP], 1);
    EXPECT_EQ(held.sensor[SENSOR_RIPPLE_CONTROL], 0);
    EXPECT_TRUE(page->m_liftOffButtons[2].m_checked);
    EXPECT_TRUE(page->m_switches[SWITCH_ANGLE_SNAP].m_checked);

    int launched = 0;
    SetMouseSettingsLauncher([&] { ++launched; });
    sim.backend.ClearLog();
    Click(page->m_mouseSettingsButton);
    EXPECT_EQ(launched, 1);
    EXPECT_TRUE(sim.SetCommands().empty());
}

TEST_F(AdvSetPageTest, AtTwoThousandHertzTheModeButtonsAreDisabledShowingCorded) {
    OpenPage();
    Click(page->m_rateButtons[RATE_2000]);
    for (int m = 0; m < SENSOR_MODE_COUNT; ++m) {
        EXPECT_FALSE(page->m_sensorModeButtons[m].IsWindowEnabled()) << m;
        EXPECT_EQ(page->m_sensorModeButtons[m].m_checked, m == SENSOR_MODE_CORDED) << m;
    }
    // Corded is only shown: the stored mode stays and nothing is sent for it.
    EXPECT_EQ(g_settings.sensorMode, 0);
    EXPECT_EQ(sim.SetCommands(), std::vector<Bytes>{Frame({CMD_SET_REPORT_RATE, 6})});
    Click(page->m_rateButtons[1]);
    EXPECT_TRUE(page->m_sensorModeButtons[0].IsWindowEnabled());
    EXPECT_TRUE(page->m_sensorModeButtons[SENSOR_MODE_CORDED].m_checked);
}

}  // namespace

namespace {

// Client points inside the rate confirmation's OK and Cancel.
constexpr POINT kConfirmOk{90, 178};
constexpr POINT kConfirmCancel{310, 178};

TEST_F(AdvSetPageTest, FastRatesAreSetOnlyAfterTheConfirmationsOk) {
    OpenPage();
    Click(page->m_rateButtons[1]);  // 250 Hz
    sim.backend.ClearLog();
    struct Case {
        int rate;
        POINT answer;
        uint8_t code;  // what the record and the mouse then hold
        int checked;
    };
    const Case cases[] = {
        {RATE_4000, kConfirmCancel, 2, 1},
        {RATE_8000, kConfirmCancel, 2, 1},
        {RATE_4000, kConfirmOk, 5, RATE_4000},
        {RATE_8000, kConfirmOk, 4, RATE_8000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rate);
        sim.backend.ClearLog();
        std::atomic<bool> done{false};
        bool asked = false;
        std::thread driver([&] {
            HWND box = WaitForTopLevelWindow(L"CRateMsgDlg", nullptr, kHangLimitMs);
            asked = box && ClickControl(::ChildWindowFromPoint(box, c.answer));
            WaitFor([] { return !FindTopLevelWindow(L"CRateMsgDlg"); }, kHangLimitMs);
            done = true;
        });
        PostMouse(page->m_rateButtons[c.rate], WM_LBUTTONDOWN, 5, 5, MK_LBUTTON);
        PostMouse(page->m_rateButtons[c.rate], WM_LBUTTONUP, 5, 5, 0);
        PumpUntil([&] { return done.load(); });
        driver.join();
        PumpMessages(30);
        EXPECT_TRUE(asked);
        EXPECT_EQ(g_settings.reportRateCode, c.code);
        EXPECT_EQ(sim.mouse->Settings().reportRate, c.code);
        bool ok = c.answer.x == kConfirmOk.x;
        EXPECT_EQ(sim.SetCommands(), ok ? std::vector<Bytes>{Frame({CMD_SET_REPORT_RATE, c.code})} : std::vector<Bytes>{});
        for (int i = 0; i < REPORT_RATE_BUTTON_COUNT; ++i) EXPECT_EQ(page->m_rateButtons[i].m_checked, i == c.checked) << i;
        EXPECT_EQ(page->m_sensorModeButtons[0].IsWindowEnabled(), !ok);
    }
}

}  // namespace
