// The pages of the real main window against the simulated mouse: they follow
// the mouse's status reports, and while a read of all settings runs nothing
// on the window's thread writes the settings, whatever reaches the window
// meanwhile; what it asked for is shown once the read is over.
#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>

#include "app/main_window/harness_win32.h"
#include "app/pages/button_page_win32.h"
#include "app/pages/host_page_win32.h"
#include "device/usb_driver.h"
#include "firmware/fw_update_dlg_win32.h"
#include "skin/stepper_win32.h"

namespace {

using namespace e2e;

// wParam and lParam of a status report with these bytes 1 and 3 (the others 0).
WPARAM StatusWParam(uint8_t battery, uint8_t debounce) {
    return WPARAM(battery) | WPARAM(debounce) << 16;
}
constexpr LPARAM kStatusMarker = 0x5A;
// Byte 3's top bit: the mouse's profile button was pressed.
constexpr WPARAM kProfileCycle = WPARAM(0x80) << 16;

// Holds the sync thread at the first report of one kind and command on the
// mouse's wire until released (bounded, so that a failing test still ends).
class WireStall {
public:
    WireStall(SimHidBackend& backend, SimReport::Kind kind, uint8_t command) : m_backend(backend) {
        backend.WatchReports([this, kind, command](const SimReport& r) {
            if (r.kind != kind || r.bytes.size() < 2 || r.bytes[1] != command) return;
            std::unique_lock<std::mutex> lock(m_mutex);
            if (m_reached) return;
            m_reached = true;
            m_changed.notify_all();
            m_changed.wait_for(lock, std::chrono::seconds(20), [this] { return m_released; });
        });
    }
    ~WireStall() {
        Release();
        m_backend.WatchReports(nullptr);
    }
    WireStall(const WireStall&) = delete;
    WireStall& operator=(const WireStall&) = delete;

    bool WaitReached(int milliseconds) {
        std::unique_lock<std::mutex> lock(m_mutex);
        return m_changed.wait_for(lock, std::chrono::milliseconds(milliseconds), [this] { return m_reached; });
    }
    void Release() {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_released = true;
        m_changed.notify_all();
    }

private:
    SimHidBackend& m_backend;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_reached = false;
    bool m_released = false;
};

class MainWindowPageRefreshTest : public MainWindowFixture {
protected:
    void TearDown() override {
        SetStepConfirmation(nullptr);
        MainWindowFixture::TearDown();
    }

    bool Received(const Bytes& fromByte1) const {
        for (const SimReport& r : m_rig->backend.Log())
            if (r.kind == SimReport::Kind::SetFeature && r.bytes.size() > fromByte1.size() &&
                std::equal(fromByte1.begin(), fromByte1.end(), r.bytes.begin() + 1))
                return true;
        return false;
    }

    // Every message posted to the UI thread before this call has been handled.
    static bool PostedMessagesHandled(UiInvoker& ui) {
        auto reached = std::make_shared<std::atomic<bool>>(false);
        ui.Post([reached] { *reached = true; });
        return WaitFor([&] { return reached->load(); }, kHangLimitMs);
    }

    static CBaseSetDlg* ButtonPage(CQuorvelDlg& dlg) { return dlg.m_pages.Buttons(); }
};

TEST_F(MainWindowPageRefreshTest, ADebounceTimeTheMouseReportsShowsOnTheButtonPageAndStepsFromThere) {
    UseRig(MakeDemoMouseRig());
    SetStepConfirmation([](CWnd*) { return true; });
    bool connected = false, reported = false, stepped = false;
    std::wstring shown;
    int value = -1;
    Run run = RunMainWindow(
        [&](CQuorvelDlg& dlg, UiInvoker& ui) {
            ASSERT_TRUE(WaitForMainWindow(dlg));
            connected = ConnectMouse(dlg, ui, 0);
            if (!connected) return;
            CBaseSetDlg* page = ButtonPage(dlg);
            ASSERT_NE(page, nullptr);
            // The demo mouse's debounce of 8 became 20 on the mouse itself.
            SimMouseSettings settings = m_rig->mouse->Settings();
            settings.debounce = 20;
            m_rig->mouse->SetSettings(settings);
            m_rig->cable.command->SendStatusReport(m_rig->backend);
            reported = WaitOnUi(ui, [&] {
                shown = page->m_debounceStepper.GetWindowText();
                value = page->m_debounceStepper.m_value;
                return g_settings.debounceTime == 20;
            });
            m_rig->backend.ClearLog();
            ::PostMessageW(page->m_debounceStepper.m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(17, 10));
            ::PostMessageW(page->m_debounceStepper.m_hWnd, WM_LBUTTONUP, 0, MAKELPARAM(17, 10));
            stepped = WaitFor([&] { return Received({CMD_GROUP_TIMING, 0x01}); }, kHangLimitMs);
            stepped = stepped && Received({CMD_GROUP_TIMING, 0x01, 21});
            ::PostMessageW(dlg.m_hWnd, WM_CLOSE, 0, 0);
        },
        40000);
    EXPECT_TRUE(run.ended);
    ASSERT_TRUE(connected);
    ASSERT_TRUE(reported) << "the report did not reach the settings";
    EXPECT_EQ(shown, L"20");
    EXPECT_EQ(value, 20);
    EXPECT_TRUE(stepped) << "one step up from the reported 20 did not send 21";
}

TEST_F(MainWindowPageRefreshTest, WhatReachesTheWindowDuringTheReadLeavesTheSettingsToItAndShowsTheirEnd) {
    UseRig(MakeDemoMouseRig());
    bool stalled = false, handled = false, readEnded = false;
    bool restoredDuringRead = false;
    SettingsImage atStall{}, afterMessages{}, afterRead{};
    std::wstring batteryDuringRead;
    std::vector<std::wstring> captions;
    std::wstring debounceShown;
    Run run = RunMainWindow(
        [&](CQuorvelDlg& dlg, UiInvoker& ui) {
            ASSERT_TRUE(WaitForMainWindow(dlg));
            ui.Call([&] { dlg.ShowWindow(SW_MINIMIZE); });
            // The read is held where it asks for the first button: the
            // settings before the buttons are the mouse's already.
            WireStall stall(m_rig->backend, SimReport::Kind::SetFeature, CMD_GET_BUTTON);
            ui.Post([] {
                const DeviceEntry& entry = g_deviceTable[0];
                g_currentDevicePath = std::u16string(BufferText(entry.paths[0]));
                SwitchConnection(entry.reportId, entry.reportLength, 0, entry.sensorType);
            });
            stalled = stall.WaitReached(kHangLimitMs);
            if (!stalled) return;
            ui.Call([&] {
                // A name the button page would spell again from the button's function.
                for (ButtonAssignment& button : g_settings.buttons) CopyToBuffer(button.displayName, u"stale");
                atStall = g_settings;
            });
            // A double-click on the tray icon, the tray menu's show, a
            // language change's refresh, a status report and a battery level.
            ::PostMessageW(dlg.m_hWnd, UWM_TRAY_NOTIFY, 0, WM_LBUTTONDBLCLK);
            ::PostMessageW(dlg.m_hWnd, WM_COMMAND, ID_TRAY_SHOW, 0);
            ::PostMessageW(dlg.m_hWnd, UWM_REFRESH_PAGES, 0, 0);
            ::PostMessageW(dlg.m_hWnd, UWM_DEVICE_EVENT, StatusWParam(33, 27), kStatusMarker);
            ::PostMessageW(dlg.m_hWnd, UWM_BATTERY_LEVEL, 40, 1);
            handled = PostedMessagesHandled(ui);
            ui.Call([&] {
                afterMessages = g_settings;
                restoredDuringRead = !::IsIconic(dlg.m_hWnd) && dlg.IsWindowVisible();
                batteryDuringRead = dlg.m_batteryText.GetWindowText();
            });
            stall.Release();
            readEnded = WaitForSyncEnd(dlg);
            WaitOnUi(ui, [&] {
                CBaseSetDlg* page = ButtonPage(dlg);
                if (!page) return false;
                captions.clear();
                for (const CGDIBitmapBtn& selector : page->m_selectors) captions.push_back(selector.GetWindowText());
                debounceShown = page->m_debounceStepper.GetWindowText();
                afterRead = g_settings;
                return captions[0] != L"stale";
            });
            ::PostMessageW(dlg.m_hWnd, WM_CLOSE, 0, 0);
        },
        40000);
    EXPECT_TRUE(run.ended);
    ASSERT_TRUE(stalled) << "the read never asked for a button";
    ASSERT_TRUE(handled);
    EXPECT_EQ(std::memcmp(&afterMessages, &atStall, sizeof(SettingsImage)), 0)
        << "the window's thread wrote the settings while the read ran";
    EXPECT_TRUE(restoredDuringRead) << "the tray's show waited for the read";
    EXPECT_EQ(batteryDuringRead, L"40%") << "the battery display stops during the read";
    ASSERT_TRUE(readEnded);
    ASSERT_EQ(captions.size(), size_t(BUTTON_COUNT));
    for (int k = 0; k < BUTTON_COUNT; ++k) {
        SCOPED_TRACE(k);
        EXPECT_EQ(captions[k], W(DisplayNameOf(afterRead.buttons[k])));
        EXPECT_NE(captions[k], L"stale");
    }
    EXPECT_EQ(afterRead.debounceTime, m_rig->mouse->Settings().debounce) << "the status report's 27 was taken";
    EXPECT_EQ(debounceShown, FormatW(L"%d", int(afterRead.debounceTime)));
}

// A profile switch writes every setting to the mouse; while the update dialog
// is open the mouse may be taking its new firmware, so its profile button
// switches nothing until the dialog has gone.
TEST_F(MainWindowPageRefreshTest, TheProfileButtonSwitchesNothingWhileTheUpdateDialogIsOpen) {
    UseRig(MakeDemoMouseRig());
    bool connected = false, dialogOpened = false, switchedAfter = false;
    int profileBefore = -1, profileDuring = -1;
    size_t setsDuring = 0;
    Run run = RunMainWindow(
        [&](CQuorvelDlg& dlg, UiInvoker& ui) {
            ASSERT_TRUE(WaitForMainWindow(dlg));
            connected = ConnectMouse(dlg, ui, 0);
            if (!connected) return;
            ui.Call([&] { profileBefore = dlg.m_activeProfileIndex; });
            ::PostMessageW(dlg.m_pages.DevicePicker()->m_hWnd, UWM_OPEN_FW_UPDATE, 0, 0);
            HWND update = nullptr;
            dialogOpened = WaitFor(
                [&] {
                    update = FindTopLevelWindow(L"CFWUpdateDlg");
                    return update && ::IsWindowVisible(update) && g_fwUpdateDlg;
                },
                kHangLimitMs);
            if (!dialogOpened) return;
            m_rig->backend.ClearLog();
            ::PostMessageW(dlg.m_hWnd, UWM_DEVICE_EVENT, StatusWParam(50, 8) | kProfileCycle, kStatusMarker);
            ui.CallWhenIdle([&] { profileDuring = dlg.m_activeProfileIndex; });
            for (const SimReport& r : m_rig->backend.Log())
                if (r.kind == SimReport::Kind::SetFeature) ++setsDuring;
            ::SendMessageW(update, WM_COMMAND, MAKEWPARAM(0, BN_CLICKED),
                           reinterpret_cast<LPARAM>(g_fwUpdateDlg->m_exitButton.m_hWnd));
            WaitFor([&] { return !::IsWindow(update) && !g_fwUpdateDlg; }, kHangLimitMs);
            // Once it has gone, the same press switches to the next profile.
            ::PostMessageW(dlg.m_hWnd, UWM_DEVICE_EVENT, StatusWParam(50, 8) | kProfileCycle, kStatusMarker);
            switchedAfter = WaitOnUi(ui, [&] { return dlg.m_activeProfileIndex != profileBefore; }) &&
                            WaitForSyncEnd(dlg);
            ::PostMessageW(dlg.m_hWnd, WM_CLOSE, 0, 0);
        },
        40000);
    EXPECT_TRUE(run.ended);
    ASSERT_TRUE(connected);
    ASSERT_TRUE(dialogOpened);
    EXPECT_EQ(profileDuring, profileBefore);
    EXPECT_EQ(setsDuring, 0u) << "a profile switch wrote to the mouse under the update dialog";
    EXPECT_TRUE(switchedAfter) << "the profile button did not switch once the dialog had gone";
}

}  // namespace
