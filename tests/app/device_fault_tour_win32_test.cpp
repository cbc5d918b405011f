// The mouse failing the main window in the middle of an exchange, end to end
// against the simulated mouse: the cable pulled during the write of all
// settings (after an import, a reset and a profile switch), during a macro
// upload and during a firmware update, and a mouse whose replies carry the
// wrong echo, are missing or stale, or whose reports are refused. Each case
// ends with no progress box left, a window that answers, the message the user
// needs, the profile files and the macro store whole (as they were, or as the
// command meant them to be), and the mouse working again once it is back.
#include <array>
#include <atomic>
#include <cstring>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "app/file_dialogs_win32.h"
#include "app/main_window/commands.h"
#include "app/main_window/harness_win32.h"
#include "app/pages/macro_set_win32.h"
#include "firmware/fw_update_dlg_win32.h"
#include "sim/sim_topology.h"
#include "support/device_plug_win32.h"
#include "support/input_win32.h"
#include "support/top_windows_win32.h"

namespace {

using namespace e2e;

constexpr int kStoreFileCount = 5;
// The four profile files and the macro store.
constexpr const wchar_t* kStoreFiles[kStoreFileCount] = {
    L"Config\\FConfig1.ini", L"Config\\FConfig2.ini", L"Config\\FConfig3.ini",
    L"Config\\FConfig4.ini", L"MFile.ini"};
constexpr int kMacroStoreFile = 4;
using Snapshot = std::array<std::optional<Bytes>, kStoreFileCount>;

template <typename T>
Bytes BytesOf(const T& value) {
    const auto* p = reinterpret_cast<const uint8_t*>(&value);
    return Bytes(p, p + sizeof(value));
}

// For failure messages: the texts here are plain ASCII.
std::string Narrow(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text) out.push_back(c < 128 ? static_cast<char>(c) : '?');
    return out;
}

// The texts of the system message boxes that are up.
std::vector<std::wstring> MessageBoxTexts() {
    std::vector<std::wstring> texts;
    for (HWND hwnd : TopLevelWindows())
        if (HWND label = ::GetDlgItem(hwnd, 0xFFFF)) texts.push_back(WindowTitle(label));
    return texts;
}

class DeviceFaultTourTest : public MainWindowFixture {
protected:
    void SetUp() override {
        MainWindowFixture::SetUp();
        SetFileDialogHandler([this](const FileDialogRequest&) -> std::optional<std::wstring> {
            std::lock_guard<std::mutex> lock(m_fileMutex);
            return m_nextFile;
        });
    }
    void TearDown() override {
        if (m_rig) m_rig->backend.WatchReports(nullptr);
        SetFileDialogHandler(nullptr);
        MainWindowFixture::TearDown();
    }

    // Four profiles that differ, the demo macros and the English texts, stored
    // before the program starts.
    void StoreProfilesAndMacros() {
        ::CopyFileW((TestDistDir() + L"config\\test.ini").c_str(), Path(L"config\\test.ini").c_str(), FALSE);
        ::CreateDirectoryW(Path(L"Config").c_str(), nullptr);
        for (int n = 1; n <= PROFILE_FILE_COUNT; ++n) {
            SettingsImage record;
            ResetSettingsToDefaults(record);
            record.magic = SETTINGS_MAGIC;
            record.reportRateCode = uint8_t(n);
            record.debounceTime = uint8_t(10 + n);
            ApplyYTableMarkerRule(record);  // as the program completes a profile it loads
            WriteFileBytes(Path(kStoreFiles[n - 1]), BytesOf(record));
        }
        ASSERT_TRUE(StoreDemoMacros());
    }

    // The file an import offers: a profile of its own.
    std::wstring StoreImportFile(uint8_t reportRate, uint8_t debounce) {
        SettingsImage record;
        ResetSettingsToDefaults(record);
        record.magic = SETTINGS_MAGIC;
        record.reportRateCode = reportRate;
        record.debounceTime = debounce;
        const std::wstring path = Path(L"imported.ini");
        WriteFileBytes(path, BytesOf(record));
        return path;
    }

    Snapshot TakeSnapshot() const {
        Snapshot files;
        for (int i = 0; i < kStoreFileCount; ++i) files[i] = ReadFileBytes(Path(kStoreFiles[i]));
        return files;
    }

    std::vector<std::u16string> CablePaths() const {
        std::vector<std::u16string> paths;
        for (const auto& iface : CableDevice(*m_rig).interfaces) paths.push_back(iface->Description().path);
        return paths;
    }
    std::u16string CommandPath() const { return m_rig->cable.command->Description().path; }

    // The cable comes out the moment the count-th report of kind has passed on
    // the mouse's command interface, wherever the program is then.
    void PullCableAt(SimReport::Kind kind, int count) {
        m_pulled = false;
        auto seen = std::make_shared<std::atomic<int>>(0);
        const std::vector<std::u16string> paths = CablePaths();
        const std::u16string command = CommandPath();
        m_rig->backend.WatchReports([this, seen, paths, command, kind, count](const SimReport& r) {
            if (r.kind != kind || r.path != command || ++*seen != count) return;
            for (const std::u16string& path : paths) m_rig->backend.Unplug(path);
            m_pulled = true;
        });
    }
    // Then the system's notices of it reach the window.
    bool NoticeThePull(CQuorvelDlg& dlg) {
        const bool pulled = WaitFor([&] { return m_pulled.load(); }, kHangLimitMs);
        m_rig->backend.WatchReports(nullptr);
        UnplugDevice(m_rig->backend, CableDevice(*m_rig), dlg.m_hWnd);
        return pulled;
    }

    // The exchange is over: the sync has ended, no progress box is left, the
    // window answers at once and shows the device picker with nothing connected.
    void ExpectDroppedAndCalm(CQuorvelDlg& dlg, UiInvoker& ui) {
        EXPECT_TRUE(WaitForSyncEnd(dlg)) << "the exchange never ended";
        EXPECT_TRUE(WaitFor([] { return FindTopLevelWindow(L"QuorvelProcessDlg") == nullptr; }, kHangLimitMs))
            << "a progress box was left open";
        EXPECT_TRUE(WaitFor([&] { return dlg.m_curPage == PAGE_DEVICE_PICKER; }, kHangLimitMs));
        ExpectAnswers(dlg);
        uint8_t connected = 9;
        ui.Call([&] { connected = g_isConnected; });
        EXPECT_EQ(connected, 0);
    }
    static void ExpectAnswers(CQuorvelDlg& dlg) {
        DWORD_PTR result = 0;
        EXPECT_NE(::SendMessageTimeoutW(dlg.m_hWnd, WM_NULL, 0, 0, SMTO_NORMAL, 2000, &result), 0)
            << "the window does not answer";
        EXPECT_TRUE(::IsWindowEnabled(dlg.m_hWnd));
    }

    // The message box the user must see, answered.
    static void ExpectMessage(const std::wstring& text) {
        ASSERT_FALSE(text.empty()) << "a message without a text";
        EXPECT_TRUE(AnswerMessageBox(text.c_str(), kHangLimitMs))
            << "no message \"" << Narrow(text) << "\"; boxes up: " << MessageBoxTexts().size();
    }
    // What the window had posted has run: a message box it opened would be up.
    static void ExpectNoMessage(UiInvoker& ui) {
        std::vector<std::wstring> texts;
        ui.CallWhenIdle([&] { texts = MessageBoxTexts(); });
        EXPECT_EQ(texts, std::vector<std::wstring>{}) << "an unexpected message";
    }

    // Every store file as expected, the macro store as the program holds it; but
    // when the command stored a profile (saved given), the active profile file
    // holds the program's settings, and saved accepts them.
    using SavedCheck = std::function<bool(const SettingsImage&)>;
    void ExpectFiles(const Snapshot& before, UiInvoker& ui, CQuorvelDlg& dlg, const SavedCheck& saved = {}) {
        int activeIndex = -1;
        Bytes store;
        SettingsImage settings{};
        ui.Call([&] {
            activeIndex = dlg.m_activeProfileIndex;
            store = BytesOf(g_macroStore);
            settings = g_settings;
        });
        const Snapshot now = TakeSnapshot();
        for (int i = 0; i < kStoreFileCount; ++i) {
            SCOPED_TRACE(Narrow(kStoreFiles[i]));
            ASSERT_TRUE(now[i]) << "the file is gone";
            if (i == activeIndex && saved) {
                EXPECT_TRUE(*now[i] == BytesOf(settings)) << "the profile does not hold the program's settings";
                EXPECT_TRUE(saved(settings)) << "the settings are not what the command stored";
            } else if (i == kMacroStoreFile) {
                EXPECT_TRUE(*now[i] == store) << "the macro store file is not the store";
                EXPECT_TRUE(SameMacros(*before[i], *now[i])) << "macros changed";
            } else {
                EXPECT_TRUE(*now[i] == *before[i]) << "the file changed";
            }
        }
    }
    // The same macros with the same events and names; how often one repeats may change.
    static bool SameMacros(const Bytes& a, const Bytes& b) {
        if (a.size() != sizeof(MacroStore) || b.size() != sizeof(MacroStore)) return false;
        auto first = std::make_unique<MacroStore>();
        auto second = std::make_unique<MacroStore>();
        std::memcpy(first.get(), a.data(), a.size());
        std::memcpy(second.get(), b.data(), b.size());
        for (int i = 0; i < MACRO_STORE_SIZE; ++i) {
            second->records[i].repeatMode = first->records[i].repeatMode;
            second->records[i].repeatCount = first->records[i].repeatCount;
        }
        return std::memcmp(first.get(), second.get(), sizeof(MacroStore)) == 0;
    }

    // A click on the cable's tile, as the device picker makes it; on the UI thread.
    static void ConnectNow() {
        const DeviceEntry& entry = g_deviceTable[0];
        g_currentDevicePath = std::u16string(BufferText(entry.paths[0]));
        SwitchConnection(entry.reportId, entry.reportLength, 0, entry.sensorType);
    }
    int CountSent(uint8_t command) const {
        int n = 0;
        for (const SimReport& r : m_rig->backend.Log())
            n += r.kind == SimReport::Kind::SetFeature && r.path == CommandPath() && r.bytes.size() > 1 &&
                 r.bytes[1] == command;
        return n;
    }
    // The cable back in: the picker lists it, a click connects, and the read
    // brings the mouse's settings to the window.
    bool ReplugAndReconnect(CQuorvelDlg& dlg, UiInvoker& ui) {
        PlugDevice(m_rig->backend, CableDevice(*m_rig), dlg.m_hWnd);
        return Reconnect(dlg, ui);
    }
    bool Reconnect(CQuorvelDlg& dlg, UiInvoker& ui) {
        if (!WaitFor([] { return (g_deviceTable[0].pathMask & 1) != 0; }, kHangLimitMs)) return false;
        if (!ConnectMouse(dlg, ui, 0)) return false;
        const SimMouseSettings mouse = m_rig->mouse->Settings();
        bool works = false;
        ui.Call([&] {
            works = g_isConnected == 1 && dlg.m_curPage == PAGE_BUTTONS &&
                    g_settings.reportRateCode == mouse.reportRate && g_settings.debounceTime == mouse.debounce &&
                    g_settings.dpiCount == mouse.dpiCount;
        });
        return works;
    }

    static void Click(CQuorvelDlg& dlg, const CWnd& button) {
        ::PostMessageW(dlg.m_hWnd, WM_COMMAND, BN_CLICKED << 16, reinterpret_cast<LPARAM>(button.m_hWnd));
    }
    void NextFile(std::wstring path) {
        std::lock_guard<std::mutex> lock(m_fileMutex);
        m_nextFile = std::move(path);
    }

    std::atomic<bool> m_pulled{false};
    std::mutex m_fileMutex;
    std::optional<std::wstring> m_nextFile;
};

CMacroSetDlg* MacroPage(CQuorvelDlg& dlg) {
    return dlg.m_pages.Macro();
}

// One window serves every exchange in turn; after each the cable goes back in
// and the mouse is connected again for the next.
TEST_F(DeviceFaultTourTest, TheCablePulledInTheMiddleOfEachExchange) {
    UseRig(MakeDemoMouseRig());
    StoreProfilesAndMacros();
    const std::wstring importFile = StoreImportFile(5, 20);
    constexpr int kMacroButton = 2;
    constexpr uint32_t kMacroId = 0x15000002;

    struct Case {
        const char* name;
        SimReport::Kind pullAt;  // the cable goes after this many reports of this kind
        int count;
        std::function<void(CQuorvelDlg&, UiInvoker&)> start;
        // The profile the switch leaves is saved with the settings the program held.
        bool savesLeftProfile;
        std::function<std::wstring()> message;  // what the user is told; empty: nothing
        SavedCheck saved;  // the active profile's new content; null: every file as before
    };
    const auto none = [] { return std::wstring(); };
    const SavedCheck unchanged;
    SettingsImage defaults;
    ResetSettingsToDefaults(defaults);
    const Case cases[] = {
        {"the write after an import", SimReport::Kind::SetFeature, 10,
         [&](CQuorvelDlg& dlg, UiInvoker&) {
             NextFile(importFile);
             Click(dlg, dlg.m_btnImport);
         },
         false, [] { return W(ImportNotWrittenText()); },
         [](const SettingsImage& s) { return s.reportRateCode == 5 && s.debounceTime == 20; }},
        {"the write after a reset", SimReport::Kind::SetFeature, 10,
         [](CQuorvelDlg& dlg, UiInvoker&) { Click(dlg, dlg.m_btnReset); }, false, none,
         [&](const SettingsImage& s) {
             return s.reportRateCode == defaults.reportRateCode && s.debounceTime == defaults.debounceTime &&
                    s.dpiCount == defaults.dpiCount;
         }},
        {"the write after a profile switch", SimReport::Kind::SetFeature, 10,
         [](CQuorvelDlg& dlg, UiInvoker& ui) {
             int next = 0;
             ui.Call([&] { next = (dlg.m_activeProfileIndex + 1) % PROFILE_FILE_COUNT + 1; });
             ::PostMessageW(dlg.m_hWnd, UWM_SWITCH_PROFILE, 0, next);
         },
         true, none, unchanged},
        {"a macro upload", SimReport::Kind::Output, 3,
         [&](CQuorvelDlg& dlg, UiInvoker& ui) {
             HWND apply = nullptr;
             ui.Call([&] {
                 dlg.ShowPage(PAGE_MACRO);
                 CMacroSetDlg* page = MacroPage(dlg);
                 if (!page) return;
                 for (int row = 0; row < page->m_macroList.GetCount(); ++row)
                     if (uint32_t(page->m_macroList.GetItemData(row)) == kMacroId) page->m_macroList.SetCurSel(row);
                 // The button page assigned it so.
                 g_settings.buttons[kMacroButton].functionId = FUNC_MACRO;
                 g_settings.buttons[kMacroButton].macroId = int32_t(kMacroId);
                 apply = page->m_applyButton.m_hWnd;
             });
             ClickControl(apply);
         },
         false, none, unchanged},
    };

    Run run = RunMainWindow(
        [&](CQuorvelDlg& dlg, UiInvoker& ui) {
            ASSERT_TRUE(WaitForMainWindow(dlg));
            ASSERT_TRUE(ConnectMouse(dlg, ui, 0));
            for (const Case& c : cases) {
                SCOPED_TRACE(c.name);
                Snapshot expected = TakeSnapshot();
                if (c.savesLeftProfile)
                    ui.Call([&] { expected[size_t(dlg.m_activeProfileIndex)] = BytesOf(g_settings); });
                const uint32_t buttonBefore = m_rig->mouse->Settings().buttons[DeviceButtonNumber(kMacroButton)];
                PullCableAt(c.pullAt, c.count);
                c.start(dlg, ui);
                EXPECT_TRUE(NoticeThePull(dlg)) << "the exchange never reached the mouse";
                // A box of the command holds the window until it is answered.
                const std::wstring message = c.message();
                if (!message.empty()) ExpectMessage(message);
                ExpectDroppedAndCalm(dlg, ui);
                if (message.empty()) ExpectNoMessage(ui);
                ExpectFiles(expected, ui, dlg, c.saved);
                EXPECT_EQ(m_rig->mouse->Settings().buttons[DeviceButtonNumber(kMacroButton)], buttonBefore)
                    << "the button points at a slot the upload left half written";
                EXPECT_TRUE(ReplugAndReconnect(dlg, ui)) << "the mouse does not work again";
            }
            ::PostMessageW(dlg.m_hWnd, WM_CLOSE, 0, 0);
        },
        110000);
    EXPECT_TRUE(run.ended);
}

// The mouse's replies go wrong, first when it is asked who it is, then through
// a whole read once it has said so; then it refuses every setting an import
// writes. One window serves the table.
TEST_F(DeviceFaultTourTest, AMouseWhoseRepliesAreWrongMissingOrRefused) {
    UseRig(MakeDemoMouseRig());
    StoreProfilesAndMacros();
    const std::wstring importFile = StoreImportFile(4, 20);
    SimMouseInterface& cable = *m_rig->cable.command;
    struct Fault {
        const char* name;
        SimFault fault;
    };
    const Fault atConnect[] = {{"a wrong command echo", SimFault::WrongCommandEcho},
                               {"no reply", SimFault::NoReply},
                               {"a failed get", SimFault::FailGet}};
    // A stale reply echoes the command before it; the connection above met the others.
    const Fault inRead[] = {{"a stale reply", SimFault::StaleReply}};

    Run run = RunMainWindow(
        [&](CQuorvelDlg& dlg, UiInvoker& ui) {
            ASSERT_TRUE(WaitForMainWindow(dlg));
            ASSERT_TRUE(ConnectMouse(dlg, ui, 0));
            for (const Fault& f : atConnect) {
                SCOPED_TRACE(std::string("when connecting: ") + f.name);
                const Snapshot before = TakeSnapshot();
                cable.SetFault(f.fault, true);
                const int readsBefore = CountSent(CMD_GET_REPORT_RATE);
                // The tile's click, waited for: a read it began would run inside it.
                int page = 0;
                uint8_t connected = 9;
                EXPECT_TRUE(ui.Call(
                    [&] {
                        ConnectNow();
                        page = dlg.m_curPage;
                        connected = g_isConnected;
                    },
                    kHangLimitMs));
                cable.SetFault(f.fault, false);
                // The mouse is not taken: no read began and the picker stays.
                EXPECT_EQ(CountSent(CMD_GET_REPORT_RATE), readsBefore);
                EXPECT_EQ(page, PAGE_DEVICE_PICKER);
                EXPECT_EQ(connected, 0);
                ExpectAnswers(dlg);
                ExpectNoMessage(ui);
                ExpectFiles(before, ui, dlg);
            }

            // The mouse is taken again once it answers; then its replies go wrong.
            for (const Fault& f : inRead) {
                SCOPED_TRACE(std::string("in the read: ") + f.name);
                const Snapshot before = TakeSnapshot();
                SettingsImage settingsBefore{}, settingsAfter{};
                ui.Call([&] { settingsBefore = g_settings; });
                const std::u16string command = CommandPath();
                m_rig->backend.WatchReports([&cable, command, f](const SimReport& r) {
                    if (r.kind == SimReport::Kind::GetFeature && r.path == command && r.bytes[1] == CMD_GET_DEVICE_INFO)
                        cable.SetFault(f.fault, true);
                });
                EXPECT_TRUE(ConnectMouse(dlg, ui, 0)) << "the read ran and ended";
                m_rig->backend.WatchReports(nullptr);
                cable.SetFault(f.fault, false);
                ui.Call([&] { settingsAfter = g_settings; });
                EXPECT_TRUE(FindTopLevelWindow(L"QuorvelProcessDlg") == nullptr);
                // Nothing the mouse did not say reached the settings, and so the
                // profile the read's end saves.
                EXPECT_EQ(std::memcmp(&settingsAfter, &settingsBefore, sizeof(SettingsImage)), 0);
                ExpectAnswers(dlg);
                ExpectNoMessage(ui);
                ExpectFiles(before, ui, dlg, [&](const SettingsImage& s) {
                    return std::memcmp(&s, &settingsBefore, sizeof(SettingsImage)) == 0;
                });
            }

            {
                SCOPED_TRACE("every setting of an import refused");
                const Snapshot before = TakeSnapshot();
                const SimMouseSettings mouseBefore = m_rig->mouse->Settings();
                cable.SetFault(SimFault::FailSet, true);
                NextFile(importFile);
                Click(dlg, dlg.m_btnImport);
                ExpectMessage(W(ImportNotWrittenText()));
                EXPECT_TRUE(WaitForSyncEnd(dlg));
                cable.SetFault(SimFault::FailSet, false);
                EXPECT_EQ(m_rig->mouse->Settings().reportRate, mouseBefore.reportRate);
                // The import is the program's profile all the same.
                ExpectFiles(before, ui, dlg, [](const SettingsImage& s) { return s.reportRateCode == 4; });
            }
            EXPECT_TRUE(Reconnect(dlg, ui)) << "the mouse does not work again";
            ::PostMessageW(dlg.m_hWnd, WM_CLOSE, 0, 0);
        },
        60000);
    EXPECT_TRUE(run.ended);
}

// The firmware update dialog that start-up opens, with the cable pulled while
// the image streams: the dialog says the update failed and offers it again,
// closes, and leaves the window, the stores and the marker as they were.
TEST_F(DeviceFaultTourTest, TheCablePulledDuringAFirmwareUpdate) {
    // A mouse that takes the image.
    SimMouseIdentity identity;
    identity.linkType = 2;
    identity.modelByte = 0xF1;
    auto rig = std::make_unique<SimMouseRig>();
    {
        SimTopology topology(rig->backend);
        rig->cable = topology.PlugCableMouse(identity);
    }
    rig->mouse = rig->cable.mouse;
    std::shared_ptr<SimOtaInterface> ota = rig->cable.ota;
    UseRig(std::move(rig));
    StoreProfilesAndMacros();
    WriteFileBytes(Path(L"config\\ota.ini"), Bytes{0});

    Run run = RunMainWindow(
        [&](CQuorvelDlg& dlg, UiInvoker& ui) {
            HWND update = nullptr;
            ASSERT_TRUE(WaitFor(
                [&] {
                    update = FindTopLevelWindow(L"CFWUpdateDlg");
                    return update && ::IsWindowVisible(update) && g_fwUpdateDlg;
                },
                kHangLimitMs));
            const Snapshot before = TakeSnapshot();
            CFWUpdateDlg* dialog = g_fwUpdateDlg;
            const HWND start = dialog->m_startButton.m_hWnd, exit = dialog->m_exitButton.m_hWnd,
                       status = dialog->m_statusLine.m_hWnd;
            const std::vector<std::u16string> paths = CablePaths();
            ota->FaultUnplugAfterDataPackets(200, [this, paths] {
                for (const std::u16string& path : paths) m_rig->backend.Unplug(path);
                m_pulled = true;
            });
            ::SendMessageW(update, WM_COMMAND, MAKEWPARAM(0, BN_CLICKED), reinterpret_cast<LPARAM>(start));
            EXPECT_TRUE(NoticeThePull(dlg));
            const std::wstring failed = W(g_uiTexts[UiText::str_msg23]);
            EXPECT_FALSE(failed.empty()) << "no language was loaded";
            EXPECT_TRUE(WaitFor([&] { return ::IsWindowVisible(start) && WindowTitle(status) == failed; }, kHangLimitMs))
                << "the dialog does not say that the update failed";
            ::SendMessageW(update, WM_COMMAND, MAKEWPARAM(0, BN_CLICKED), reinterpret_cast<LPARAM>(exit));
            EXPECT_TRUE(WaitFor([&] { return !::IsWindow(update); }, kHangLimitMs));
            ExpectAnswers(dlg);
            ExpectNoMessage(ui);
            ExpectFiles(before, ui, dlg);
            EXPECT_EQ(ReadFileBytes(Path(L"config\\ota.ini")), Bytes{0}) << "the update is still to be done";
            EXPECT_TRUE(ReplugAndReconnect(dlg, ui)) << "the mouse does not work again";
            ::PostMessageW(dlg.m_hWnd, WM_CLOSE, 0, 0);
        },
        40000);
    EXPECT_TRUE(run.ended);
}

}  // namespace
