// The main window's connection end to end against the simulated mouse:
// connecting reads the mouse, status reports reach the settings, the battery
// display and the profile, the receiver's link state is polled, and hot-plug
// drops the connection or rescans without reconnecting.
// dbt.h needs the types of windows.h first.
// clang-format off
#include <windows.h>
#include <dbt.h>
// clang-format on

#include "app/app_state.h"
#include "app/main_window/harness_win32.h"
#include "app/main_window/status_events.h"
#include "device/sync_threads.h"
#include "support/device_plug_win32.h"
#include "support/message_spy_win32.h"
#include "support/top_windows_win32.h"
#include "text/u16_buffer.h"

namespace {

using namespace e2e;

// Watches from a thread of its own for the sync's progress box: how many came
// up, whether each was owned by the main window, and whether the main window
// took input while one was shown.
class ProgressBoxWatch {
public:
    explicit ProgressBoxWatch(HWND main) : m_main(main), m_thread([this] { Watch(); }) {}
    ~ProgressBoxWatch() { Stop(); }
    ProgressBoxWatch(const ProgressBoxWatch&) = delete;
    ProgressBoxWatch& operator=(const ProgressBoxWatch&) = delete;

    void Stop() {
        m_stop = true;
        if (m_thread.joinable()) m_thread.join();
    }
    int boxesSeen() const { return m_seen; }
    bool allOwnedByMain() const { return m_ownedByMain; }
    bool mainTookInput() const { return m_mainEnabled; }

private:
    void Watch() {
        HWND last = nullptr;
        while (!m_stop) {
            HWND box = FindTopLevelWindow(L"QuorvelProcessDlg");
            if (box && box != last) {
                ++m_seen;
                if (::GetWindow(box, GW_OWNER) != m_main) m_ownedByMain = false;
            }
            // Only visible boxes are found; a closing box is hidden before its
            // owner is enabled again.
            if (box && ::IsWindowEnabled(m_main)) m_mainEnabled = true;
            last = box;
            ::Sleep(5);
        }
    }

    HWND m_main;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_seen{0};
    std::atomic<bool> m_ownedByMain{true};
    std::atomic<bool> m_mainEnabled{false};
    std::thread m_thread;
};

bool ProgressBoxGone() {
    return WaitFor([] { return FindTopLevelWindow(L"QuorvelProcessDlg") == nullptr; }, kHangLimitMs);
}

class MainWindowConnectionTest : public MainWindowFixture {
protected:
    // The cable pulled and put back, with the notices the system sends.
    void UnplugCable(HWND window) { UnplugDevice(m_rig->backend, CableDevice(*m_rig), window); }
    void ReplugCable(HWND window) { PlugDevice(m_rig->backend, CableDevice(*m_rig), window); }
    std::u16string CablePath() const { return m_rig->cable.command->Description().path; }

    std::optional<SettingsImage> SavedProfile(int number) {
        auto bytes = ReadFileBytes(Path(FormatW(L"Config\\FConfig%d.ini", number).c_str()));
        if (!bytes || bytes->size() != sizeof(SettingsImage)) return std::nullopt;
        SettingsImage record;
        std::memcpy(&record, bytes->data(), sizeof(record));
        return record;
    }

    int CountSent(uint8_t command, int sub = -1) const {
        int n = 0;
        for (const SimReport& r : m_rig->backend.Log()) {
            if (r.kind != SimReport::Kind::SetFeature || r.bytes.size() < 3 || r.bytes[0] != 9)
                continue;
            if (r.bytes[1] == command && (sub < 0 || r.bytes[2] == sub)) ++n;
        }
        return n;
    }
};

TEST_F(MainWindowConnectionTest, ConnectingReadsTheMouseAndStatusReportsFollowIt) {
    UseRig(MakeDemoMouseRig());
    bool connected = false;
    int page = 0, linkMode = -2;
    uint8_t isConnected = 0;
    SettingsImage afterRead{};
    std::wstring batteryText, batteryAfterCharge;
    int barLevel = -1, barLook = -1;
    int activeAfterCycle = -1;
    std::wstring profileCaption;
    int writesForCycle = 0;
    SettingsImage afterCycle{};
    std::vector<SpiedMessage> syncDone;
    int readBoxes = 0, writeBoxes = 0;
    bool readBoxOwned = false, mainTookInputDuringRead = true, readBoxGone = false, writeBoxGone = false;

    Run run = RunMainWindow(
        [&](CQuorvelDlg& dlg, UiInvoker& ui) {
            ASSERT_TRUE(WaitForMainWindow(dlg));
            MessageSpy spy(dlg.m_hWnd);
            ASSERT_TRUE(spy.ok());
            ProgressBoxWatch readWatch(dlg.m_hWnd);
            connected = ConnectMouse(dlg, ui, 0);
            spy.WaitFor(UWM_SYNC_DONE, 1, kHangLimitMs);
            readBoxGone = ProgressBoxGone();
            readWatch.Stop();
            readBoxes = readWatch.boxesSeen();
            readBoxOwned = readWatch.allOwnedByMain();
            mainTookInputDuringRead = readWatch.mainTookInput();
            syncDone = spy.Of(UWM_SYNC_DONE);
            ui.Call([&] {
                page = dlg.m_curPage;
                linkMode = dlg.m_linkMode;
                isConnected = g_isConnected;
                afterRead = g_settings;
            });

            // The mouse reports its state: battery 72, not charging.
            m_rig->cable.command->SendStatusReport(m_rig->backend);
            WaitFor([&] { return dlg.m_batteryText.GetWindowText() == L"72%"; }, kHangLimitMs);
            // A charging sample of 40 joins the window: (72 + 40) / 2.
            ::PostMessageW(dlg.m_hWnd, UWM_DEVICE_EVENT, 0x80 | 40, 0x5A);
            WaitFor([&] { return dlg.m_batteryText.GetWindowText() == L"56%"; }, kHangLimitMs);
            ui.Call([&] {
                batteryText = dlg.m_batteryText.GetWindowText();
                barLevel = dlg.m_batteryBar.m_pos;
                barLook = dlg.m_batteryBar.m_altLook;
                SaveScreenshot(*RenderWindow(dlg.m_hWnd), L"main_window_connected_battery");
            });

            // The mouse's profile button: the next profile is loaded and written to it.
            m_rig->backend.ClearLog();
            ProgressBoxWatch writeWatch(dlg.m_hWnd);
            SimMouseStatus status = m_rig->mouse->Status();
            status.profileCycle = true;
            m_rig->mouse->SetStatus(status);
            m_rig->cable.command->SendStatusReport(m_rig->backend);
            WaitFor([&] { return LoadSyncBusy() != 0; }, kHangLimitMs);
            WaitFor(
                [&] {
                    return LoadSyncBusy() == 0 && dlg.m_syncRunning == 0 &&
                           ::IsWindowEnabled(dlg.m_hWnd);
                },
                kHangLimitMs);
            writeBoxGone = ProgressBoxGone();
            writeWatch.Stop();
            writeBoxes = writeWatch.boxesSeen();
            ui.Call([&] {
                activeAfterCycle = dlg.m_activeProfileIndex;
                profileCaption = dlg.m_btnProfile.GetWindowText();
                afterCycle = g_settings;
            });
            writesForCycle = CountSent(CMD_SET_REPORT_RATE);
            ::PostMessageW(dlg.m_hWnd, WM_CLOSE, 0, 0);
        },
        40000);

    EXPECT_TRUE(run.ended);
    ASSERT_TRUE(connected) << "the read of all settings ran and ended";
    EXPECT_EQ(readBoxes, 1) << "the read ran behind one progress box";
    EXPECT_TRUE(readBoxOwned) << "the box belongs to the main window";
    EXPECT_FALSE(mainTookInputDuringRead) << "the main window took input under the box";
    EXPECT_TRUE(readBoxGone) << "the worker closed its box";
    EXPECT_EQ(page, 1);
    EXPECT_EQ(linkMode, 0);
    EXPECT_EQ(isConnected, 1);
    // The demo mouse's own values, not the new-profile defaults.
    EXPECT_EQ(afterRead.reportRateCode, 1);
    EXPECT_EQ(afterRead.dpiCount, 4);
    EXPECT_EQ(afterRead.debounceTime, 8);
    EXPECT_EQ(afterRead.powerDownTime, 300u);
    std::optional<SettingsImage> first = SavedProfile(1);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->reportRateCode, 1) << "the end of the read saved the profile";
    EXPECT_EQ(first->dpiCount, 4);
    ASSERT_EQ(syncDone.size(), 1u) << "the read tells the window once that it ended";
    EXPECT_TRUE(syncDone[0].posted);

    EXPECT_EQ(batteryText, L"56%");
    EXPECT_EQ(barLevel, 56);
    EXPECT_EQ(barLook, 0) << "charging: the charging images";

    EXPECT_EQ(activeAfterCycle, 1);
    EXPECT_EQ(profileCaption, L"2");
    EXPECT_EQ(writesForCycle, 1) << "the new profile went to the mouse";
    EXPECT_EQ(writeBoxes, 1) << "the write ran behind one progress box";
    EXPECT_TRUE(writeBoxGone);
    EXPECT_TRUE(SavedProfile(2)) << "profile 2's file was made";
    EXPECT_EQ(m_rig->mouse->Settings().reportRate, afterCycle.reportRateCode);
    auto table = RegistryValue(L"ConfigInfo");
    ASSERT_TRUE(table && table->size() == sizeof(g_profileSlots));
    ProfileSlot slots[PROFILE_SLOT_COUNT];
    std::memcpy(slots, table->data(), sizeof(slots));
    EXPECT_EQ(slots[1].isActive, 1u) << "the sync's end stored the active profile";
    EXPECT_EQ(slots[0].isActive, 0u);
}

TEST_F(MainWindowConnectionTest, UnplugWhileIdleShowsThePickerAndAReplugOnlyRescans) {
    UseRig(MakeDemoMouseRig());
    bool connected = false;
    int pageAfterForeign = 0, pageAfterUnplug = 0, linkModeAfterUnplug = 0;
    uint8_t isConnectedAfterUnplug = 9, linkTypeAfterUnplug = 0;
    std::u16string pathAfterUnplug = u"?";
    std::wstring batteryAfterUnplug = L"?";
    int masksAfterUnplug = -1, masksAfterReplug = -1;
    uint8_t isConnectedAfterReplug = 9;
    int linkModeAfterReplug = 9;
    bool answeredDuringWait = false;
    std::vector<WPARAM> unplugNotices;

    Run run = RunMainWindow(
        [&](CQuorvelDlg& dlg, UiInvoker& ui) {
            ASSERT_TRUE(WaitForMainWindow(dlg));
            connected = ConnectMouse(dlg, ui, 0);
            ::PostMessageW(dlg.m_hWnd, UWM_DEVICE_EVENT, 60, 0x5A);

            // Another vendor's device changes nothing.
            SendDeviceChange(dlg.m_hWnd, DBT_DEVICEREMOVECOMPLETE,
                             L"\\\\?\\USB#VID_046D&PID_C077#1#{a5dcbf10}");
            ui.CallWhenIdle([&] { pageAfterForeign = dlg.m_curPage; });

            MessageSpy spy(dlg.m_hWnd);
            UnplugCable(dlg.m_hWnd);
            for (const SpiedMessage& m : spy.Of(WM_DEVICECHANGE)) unplugNotices.push_back(m.wp);
            // The half second before the rescan does not hold the window.
            DWORD_PTR result = 0;
            answeredDuringWait =
                ::SendMessageTimeoutW(dlg.m_hWnd, WM_NULL, 0, 0, SMTO_NORMAL, 200, &result) != 0;
            WaitFor([&] { return dlg.m_curPage == 5; }, kHangLimitMs);
            ui.CallWhenIdle([&] {
                pageAfterUnplug = dlg.m_curPage;
                linkModeAfterUnplug = dlg.m_linkMode;
                isConnectedAfterUnplug = g_isConnected;
                linkTypeAfterUnplug = g_linkType;
                pathAfterUnplug = g_currentDevicePath;
                batteryAfterUnplug = dlg.m_batteryText.GetWindowText();
                masksAfterUnplug = g_deviceTable[0].pathMask;
            });

            ReplugCable(dlg.m_hWnd);
            WaitFor([&] { return (g_deviceTable[0].pathMask & 1) != 0; }, kHangLimitMs);
            ui.CallWhenIdle([&] {
                masksAfterReplug = g_deviceTable[0].pathMask;
                isConnectedAfterReplug = g_isConnected;
                linkModeAfterReplug = dlg.m_linkMode;
            });
            ::PostMessageW(dlg.m_hWnd, WM_CLOSE, 0, 0);
        },
        30000);

    EXPECT_TRUE(run.ended);
    ASSERT_TRUE(connected);
    EXPECT_EQ(pageAfterForeign, 1);
    EXPECT_EQ(unplugNotices, (std::vector<WPARAM>{DBT_DEVNODES_CHANGED, DBT_DEVICEREMOVECOMPLETE}));
    EXPECT_TRUE(answeredDuringWait);
    EXPECT_EQ(pageAfterUnplug, 5);
    EXPECT_EQ(linkModeAfterUnplug, -1);
    EXPECT_EQ(isConnectedAfterUnplug, 0);
    EXPECT_EQ(linkTypeAfterUnplug, 0xFF);
    EXPECT_TRUE(pathAfterUnplug.empty());
    EXPECT_EQ(batteryAfterUnplug, L"") << "the status display is reset";
    // The mouse stays listed through its receiver; the cable path comes and goes.
    EXPECT_EQ(masksAfterUnplug, 0x04);
    EXPECT_EQ(masksAfterReplug, 0x05);
    EXPECT_EQ(isConnectedAfterReplug, 0) << "an arrival never reconnects";
    EXPECT_EQ(linkModeAfterReplug, -1);
}

TEST_F(MainWindowConnectionTest, UnplugDuringTheReadEndsItWithoutSavingOverTheProfile) {
    UseRig(MakeDemoMouseRig());
    ASSERT_TRUE(StoreDemoMacros());
    const std::optional<Bytes> macrosBefore = ReadFileBytes(Path(L"MFile.ini"));
    bool readAgain = false;
    std::optional<Bytes> profileAfterRead;
    SettingsImage settingsAfterReplug{};
    std::optional<Bytes> before;
    bool ended = false;
    int page = 0;
    uint8_t isConnected = 9;
    SettingsImage settingsAfter{};
    SettingsImage settingsBefore{};
    bool boxDuringRead = false, boxGone = false, unpluggedDuringRead = false;

    Run run = RunMainWindow(
        [&](CQuorvelDlg& dlg, UiInvoker& ui) {
            ASSERT_TRUE(WaitForMainWindow(dlg));
            ui.Call([&] {
                SaveCurrentProfile(nullptr);
                settingsBefore = g_settings;
            });
            before = ReadFileBytes(Path(L"Config\\FConfig1.ini"));
            m_rig->backend.ClearLog();
            ui.Post([] {
                const DeviceEntry& entry = g_deviceTable[0];
                g_currentDevicePath = std::u16string(BufferText(entry.paths[0]));
                SwitchConnection(entry.reportId, entry.reportLength, 0, entry.sensorType);
            });
            ASSERT_TRUE(WaitFor([&] { return LoadSyncBusy() != 0; }, kHangLimitMs));
            boxDuringRead = WaitForTopLevelWindow(L"QuorvelProcessDlg", nullptr, kHangLimitMs) != nullptr;
            // A few commands into the read, not a fixed time: on a loaded machine a
            // fixed wait can outlast the whole read.
            WaitFor([&] { return m_rig->backend.Log().size() >= 4; }, kHangLimitMs);
            unpluggedDuringRead = LoadSyncBusy() != 0;
            UnplugCable(dlg.m_hWnd);
            ended = WaitFor(
                [&] {
                    return LoadSyncBusy() == 0 && dlg.m_syncRunning == 0 &&
                           ::IsWindowEnabled(dlg.m_hWnd);
                },
                kHangLimitMs);
            boxGone = ProgressBoxGone();
            WaitFor([&] { return dlg.m_curPage == 5; }, kHangLimitMs);
            ui.CallWhenIdle([&] {
                page = dlg.m_curPage;
                isConnected = g_isConnected;
                settingsAfter = g_settings;
            });
            profileAfterRead = ReadFileBytes(Path(L"Config\\FConfig1.ini"));
            // Back in, the mouse is read as if nothing had happened.
            ReplugCable(dlg.m_hWnd);
            readAgain = WaitFor([] { return (g_deviceTable[0].pathMask & 1) != 0; }, kHangLimitMs) &&
                        ConnectMouse(dlg, ui, 0);
            ui.Call([&] { settingsAfterReplug = g_settings; });
            ::PostMessageW(dlg.m_hWnd, WM_CLOSE, 0, 0);
        },
        40000);

    EXPECT_TRUE(run.ended);
    EXPECT_TRUE(ended) << "the read ran to its end";
    EXPECT_TRUE(boxDuringRead) << "the read ran behind the progress box";
    EXPECT_TRUE(unpluggedDuringRead) << "the cable went while the read still ran";
    EXPECT_TRUE(boxGone) << "the read's end closed the box";
    EXPECT_EQ(page, 5) << "the device picker is back";
    EXPECT_EQ(isConnected, 0);
    ASSERT_TRUE(before);
    // The end of the read stored no half-read record, and closing would store
    // the settings as they were.
    EXPECT_EQ(std::memcmp(&settingsAfter, &settingsBefore, sizeof(SettingsImage)), 0);
    EXPECT_EQ(profileAfterRead, before);
    EXPECT_TRUE(ReadFileBytes(Path(L"MFile.ini")) == macrosBefore) << "the macro store changed";
    EXPECT_TRUE(readAgain) << "the mouse does not work again";
    EXPECT_EQ(settingsAfterReplug.reportRateCode, m_rig->mouse->Settings().reportRate);
    EXPECT_EQ(settingsAfterReplug.dpiCount, m_rig->mouse->Settings().dpiCount);
}

TEST_F(MainWindowConnectionTest, TheReceiversLinkStateIsPolledOnlyOverTheReceiver) {
    UseRig(MakeDemoMouseRig());
    int pollsOverCable = -1, pollsOverReceiver = -1;
    int ticksOverCable = -1, ticksOverReceiver = -1;
    uint8_t linkState = 9;
    Run run = RunMainWindow(
        [&](CQuorvelDlg& dlg, UiInvoker& ui) {
            ASSERT_TRUE(WaitForMainWindow(dlg));
            MessageSpy ticks(dlg.m_hWnd, MessageSpy::KeepTimers);
            ASSERT_TRUE(ticks.ok());
            // Counted from the same moment on the window's thread, and read
            // there between its messages: each tick and its poll are on the
            // same side of the count.
            auto countTwoTicks = [&](int& polls, int& seen) {
                ui.Call([&] {
                    m_rig->backend.ClearLog();
                    ticks.Clear();
                });
                ticks.WaitForTicks(dlg.m_hWnd, TIMER_STATUS_POLL, 2, kHangLimitMs);
                ui.Call([&] {
                    polls = CountSent(CMD_GET_LINK_INFO, LINK_INFO_STATE);
                    seen = ticks.Ticks(dlg.m_hWnd, TIMER_STATUS_POLL);
                });
            };
            ASSERT_TRUE(ConnectMouse(dlg, ui, 0));
            countTwoTicks(pollsOverCable, ticksOverCable);

            g_receiverLinkState = 0;
            ASSERT_TRUE(ConnectMouse(dlg, ui, 2));  // the demo's receiver is an 8 kHz one
            countTwoTicks(pollsOverReceiver, ticksOverReceiver);
            ui.Call([&] { linkState = g_receiverLinkState; });
            ::PostMessageW(dlg.m_hWnd, WM_CLOSE, 0, 0);
        },
        60000);
    EXPECT_TRUE(run.ended);
    EXPECT_GE(ticksOverCable, 2);
    EXPECT_EQ(pollsOverCable, 0);
    EXPECT_GE(ticksOverReceiver, 2);
    EXPECT_EQ(pollsOverReceiver, ticksOverReceiver) << "one poll each time the status timer ticks";
    EXPECT_EQ(linkState, 1) << "the linked receiver's state";
}

}  // namespace

namespace {

TEST_F(MainWindowConnectionTest, BatteryLevelMessagesReachTheBarInBothLanguages) {
    struct Case {
        const char* name;
        Bytes marker;
        uint32_t language;
        const wchar_t* screenshot;
    };
    const Case cases[] = {
        {"English", Bytes{'1'}, 2, L"main_window_battery_en"},
        {"Russian", Bytes{'0'}, 1, L"main_window_battery_ru"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        UseRig(MakeDemoMouseRig());
        WriteFileBytes(Path(L"config\\test.ini"), c.marker);
        Bytes value(4);
        std::memcpy(value.data(), &c.language, 4);
        PutRegistryValue(L"Language", value);
        std::vector<std::wstring> texts;
        std::vector<int> levels, looks;
        Run run = RunMainWindow([&](CQuorvelDlg& dlg, UiInvoker& ui) {
            ASSERT_TRUE(WaitForMainWindow(dlg));
            auto look = [&] {
                ui.Call([&] {
                    texts.push_back(dlg.m_batteryText.GetWindowText());
                    levels.push_back(dlg.m_batteryBar.m_pos);
                    looks.push_back(dlg.m_batteryBar.m_altLook);
                });
            };
            look();
            // The level alone until ten are stored, then the average of the last ten.
            for (int i = 1; i <= 10; ++i) ::SendMessageW(dlg.m_hWnd, UWM_BATTERY_LEVEL, 9 * i, 1);
            look();
            ::SendMessageW(dlg.m_hWnd, UWM_BATTERY_LEVEL, 0, 0);  // no level: nothing moves
            look();
            ::SendMessageW(dlg.m_hWnd, UWM_BATTERY_LEVEL, 100, 0);
            look();
            ui.Call([&] { SaveScreenshot(*RenderWindow(dlg.m_hWnd), c.screenshot); });
            // A report without the marker is not a status report.
            ::SendMessageW(dlg.m_hWnd, UWM_DEVICE_EVENT, 20, 0x5B);
            look();
            ::PostMessageW(dlg.m_hWnd, WM_CLOSE, 0, 0);
        });
        EXPECT_TRUE(run.ended);
        EXPECT_EQ(texts, (std::vector<std::wstring>{L"", L"90%", L"90%", L"58%", L"58%"}));
        // (18 + 27 + ... + 90 + 100) / 10 = 58.
        EXPECT_EQ(levels, (std::vector<int>{0, 90, 90, 58, 58}));
        EXPECT_EQ(looks, (std::vector<int>{1, 1, 1, 0, 0}));
    }
}

}  // namespace
