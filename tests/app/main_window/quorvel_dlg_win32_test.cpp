// The main window end to end: start-up with and without the mouse, the
// language it loads, closing and the tray's exit, and an exit that has to wait.
#include <gtest/gtest.h>

#include "app/main_window/harness_win32.h"
#include "support/input_win32.h"
#include "support/message_spy_win32.h"

namespace {

using namespace e2e;

class MainWindowTest : public MainWindowFixture {};

TEST_F(MainWindowTest, StartWithoutMouseShowsNotFoundAfterTheWaitsThenTheDevicePicker) {
    UseRig(MakeUnpluggedRig());
    Clock::time_point started;
    Clock::duration untilBox{};
    bool boxSeen = false;
    std::wstring boxCaption;
    int page = 0, linkMode = 0;
    bool visible = false;
    std::wstring title;
    bool boxShot = false;

    Run run = RunMainWindow([&](CQuorvelDlg& dlg, UiInvoker& ui) {
        started = Clock::now();
        // The system's modal box, found by its title and class like any other.
        HWND box = WaitForTopLevelWindow(L"Brantis Driver", L"#32770", kHangLimitMs);
        untilBox = Clock::now() - started;
        boxSeen = box && box == FindMessageBox(kMouseNotFoundText);
        if (!boxSeen) return;
        boxCaption = WindowTitle(box);
        boxShot = SaveWindowScreenshot(box, L"main_window_mouse_not_found");
        ClickControlById(box, IDOK);
        ASSERT_TRUE(WaitForMainWindow(dlg));
        ui.Call([&] {
            page = dlg.m_curPage;
            linkMode = dlg.m_linkMode;
            visible = ::IsWindowVisible(dlg.m_hWnd) != FALSE;
            title = WindowTitle(dlg.m_hWnd);
        });
        ::PostMessageW(dlg.m_hWnd, WM_CLOSE, 0, 0);
    });

    EXPECT_TRUE(run.ended);
    ASSERT_TRUE(boxSeen) << "no not-found message";
    EXPECT_EQ(boxCaption, L"Brantis Driver");
    EXPECT_TRUE(boxShot);
    // Two attempts, each followed by 500 ms.
    EXPECT_GE(std::chrono::duration_cast<std::chrono::milliseconds>(untilBox).count(), 950);
    EXPECT_EQ(linkMode, -1);
    EXPECT_EQ(page, 5) << "the device picker is the page to show";
    EXPECT_TRUE(visible);
    EXPECT_EQ(title, L"Brantis Driver");
    EXPECT_EQ(run.result, IDCANCEL);
}

TEST_F(MainWindowTest, StartWithTheMouseOpensWithoutMessageAndReadsNothingYet) {
    UseRig(MakeDemoMouseRig());
    std::memset(g_fwVersion, 0, sizeof(g_fwVersion));
    g_fwIdWord = 0;
    bool up = false;
    bool boxSeen = true;
    int linkMode = -2;
    int devices = 0;
    uint8_t pathMask = 0;
    SIZE client{};
    SIZE skin{};
    Run run = RunMainWindow([&](CQuorvelDlg& dlg, UiInvoker& ui) {
        up = WaitForMainWindow(dlg);
        if (!up) return;
        // What the start-up posted has run: a box it opened would be up now.
        ui.CallWhenIdle([&] {
            boxSeen = FindMessageBox(kMouseNotFoundText) != nullptr;
            linkMode = dlg.m_linkMode;
            devices = g_deviceCount;
            pathMask = g_deviceTable[0].pathMask;
            RECT r = dlg.GetClientRect();
            client = {r.right - r.left, r.bottom - r.top};
            skin = dlg.m_bmpBackground.GetSize();
            SaveScreenshot(*RenderWindow(dlg.m_hWnd), L"main_window_startup");
        });
        ::PostMessageW(dlg.m_hWnd, WM_CLOSE, 0, 0);
    });

    EXPECT_TRUE(run.ended);
    ASSERT_TRUE(up);
    EXPECT_FALSE(boxSeen);
    EXPECT_EQ(linkMode, 0) << "the cable's id is present";
    EXPECT_EQ(devices, 1) << "one mouse, reached by cable and receiver";
    EXPECT_EQ(pathMask, 0x05) << "the cable and the 8 kHz receiver's path";
    EXPECT_EQ(client.cx, skin.cx);
    EXPECT_EQ(client.cy, skin.cy);
    EXPECT_GT(skin.cx, 0);
    // The version query ran against the update interface at start-up.
    EXPECT_EQ(g_fwVersion[0], 1);
    EXPECT_EQ(g_fwVersion[1], 2);
    EXPECT_EQ(g_fwVersion[2], 3);
    // Start-up only asks: no setting is written to the mouse before the user connects.
    int updateReports = 0;
    for (const SimReport& report : m_rig->backend.Log()) {
        if (report.kind != SimReport::Kind::SetFeature || report.bytes.size() < 2) continue;
        if (report.bytes[0] == 3) ++updateReports;
        if (report.bytes[0] == 9) {
            EXPECT_GE(report.bytes[1], 0x80) << "a set command at start-up";
        }
    }
    EXPECT_GE(updateReports, 3);
}

TEST_F(MainWindowTest, StartUpLoadsProfileMacrosAndLanguageAndCloseSavesTheProfile) {
    UseRig(MakeUnpluggedRig());
    WriteFileBytes(Path(L"config\\test.ini"), Bytes{'0'});
    // Macros stored before: the store is loaded whether or not a mouse is there.
    ASSERT_TRUE(StoreDemoMacros());
    std::memset(&g_macroStore, 0, sizeof(g_macroStore));

    bool macroLoaded = false;
    std::u16string okText;
    bool closed = false;
    Run run = RunMainWindow([&](CQuorvelDlg& dlg, UiInvoker& ui) {
        AnswerMessageBox(kMouseNotFoundText);
        ASSERT_TRUE(WaitForMainWindow(dlg));
        ui.Call([&] {
            macroLoaded = FindMacroRecord(0x15000002) != nullptr;
            okText = g_uiTexts[UiText::str_ok];
            g_settings.debounceTime = 17;  // a change the user made meanwhile
        });
        ::PostMessageW(dlg.m_hWnd, WM_CLOSE, 0, 0);
        closed = WaitFor([&] { return !::IsWindow(dlg.m_hWnd) || !::IsWindowVisible(dlg.m_hWnd); }, kHangLimitMs);
    });

    EXPECT_TRUE(run.ended);
    EXPECT_TRUE(closed);
    EXPECT_TRUE(macroLoaded);
    EXPECT_FALSE(okText.empty()) << "the Russian texts are loaded";
    EXPECT_EQ(ReadFileBytes(Path(L"config\\test.ini")), Bytes{'1'});
    EXPECT_EQ(RegistryValue(L"Language"), (Bytes{1, 0, 0, 0}));
    EXPECT_TRUE(RegistryValue(L"ConfigInfo").has_value());
    auto profile = ReadFileBytes(Path(L"Config\\FConfig1.ini"));
    ASSERT_TRUE(profile.has_value());
    ASSERT_EQ(profile->size(), sizeof(SettingsImage));
    SettingsImage saved;
    std::memcpy(&saved, profile->data(), sizeof(saved));
    EXPECT_EQ(saved.debounceTime, 17) << "closing saves the profile";
}

TEST_F(MainWindowTest, LanguageChosenAtStartUp) {
    struct Case {
        const char* name;
        std::optional<Bytes> marker;
        std::optional<uint32_t> registry;
        const char16_t* exitText;  // str_exit once started
        uint32_t index;
        std::optional<Bytes> markerAfter;
    };
    const Case cases[] = {
        {"first start", Bytes{'0'}, 2u, u"\u0412\u044b\u0445\u043e\u0434", 1, Bytes{'1'}},
        {"English from the registry", Bytes{'1'}, 2u, u"Exit", 2, Bytes{'1'}},
        {"AZERTY loads no file", Bytes{'1'}, 3u, u"", 3, Bytes{'1'}},
        {"no marker", std::nullopt, 2u, u"", 0, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        UseRig(MakeDemoMouseRig());
        if (c.marker) WriteFileBytes(Path(L"config\\test.ini"), *c.marker);
        if (c.registry) {
            Bytes value(4);
            std::memcpy(value.data(), &*c.registry, 4);
            PutRegistryValue(L"Language", value);
        }
        std::u16string exitText = u"?";
        uint32_t index = 99;
        Run run = RunMainWindow([&](CQuorvelDlg& dlg, UiInvoker& ui) {
            if (!WaitForMainWindow(dlg)) return;
            ui.Call([&] {
                exitText = g_uiTexts[UiText::str_exit];
                index = g_languageIndex;
            });
            ::PostMessageW(dlg.m_hWnd, WM_CLOSE, 0, 0);
        });
        EXPECT_TRUE(run.ended);
        EXPECT_EQ(exitText, c.exitText);
        EXPECT_EQ(index, c.index);
        EXPECT_EQ(ReadFileBytes(Path(L"config\\test.ini")), c.markerAfter);
    }
}

TEST_F(MainWindowTest, TrayExitSavesReleasesOnceAndEnds) {
    UseRig(MakeUnpluggedRig());
    HWND driverWindow = nullptr;
    Run run = RunMainWindow([&](CQuorvelDlg& dlg, UiInvoker& ui) {
        AnswerMessageBox(kMouseNotFoundText);
        ASSERT_TRUE(WaitForMainWindow(dlg));
        ui.Call([&] {
            driverWindow = dlg.m_driverWnd.m_hWnd;
            g_settings.powerDownTime = 1234;
        });
        ::PostMessageW(dlg.m_hWnd, WM_COMMAND, ID_TRAY_EXIT, 0);
    });

    EXPECT_TRUE(run.ended);
    EXPECT_TRUE(driverWindow != nullptr);
    EXPECT_FALSE(::IsWindow(driverWindow)) << "the driver window is gone";
    auto profile = ReadFileBytes(Path(L"Config\\FConfig1.ini"));
    ASSERT_TRUE(profile.has_value());
    SettingsImage saved;
    std::memcpy(&saved, profile->data(), sizeof(saved));
    EXPECT_EQ(saved.powerDownTime, 1234u);
}

TEST_F(MainWindowTest, ExitDuringNestedDialogWaitsForItThenCloses) {
    UseRig(MakeUnpluggedRig());
    std::atomic<bool> nestedOpen{false};
    std::atomic<bool> mainAliveAfterNested{false};
    bool savedWhileNested = true;
    bool closedWhileNested = true;
    HWND nestedWindow = nullptr;

    Run run = RunMainWindow([&](CQuorvelDlg& dlg, UiInvoker& ui) {
        AnswerMessageBox(kMouseNotFoundText);
        ASSERT_TRUE(WaitForMainWindow(dlg));
        ::DeleteFileW(Path(L"Config\\FConfig1.ini").c_str());

        // A page's handler opens a modal dialog owned by the main window.
        ui.Post([&] {
            CDialog nested(BuildDialogTemplate(WS_POPUP | WS_CAPTION | DS_SETFONT, 0, 120, 60), &dlg);
            nestedOpen = true;
            nested.DoModal();
            nestedOpen = false;
            mainAliveAfterNested = ::IsWindow(dlg.m_hWnd) && g_pMainDlg == &dlg;
        });
        ASSERT_TRUE(WaitFor([&] { return nestedOpen && !::IsWindowEnabled(dlg.m_hWnd); }, kHangLimitMs));
        ASSERT_TRUE(WaitFor([&] { return (nestedWindow = ::GetLastActivePopup(dlg.m_hWnd)) != dlg.m_hWnd; }, kHangLimitMs));

        MessageSpy ticks(dlg.m_hWnd, MessageSpy::KeepTimers);
        ::PostMessageW(dlg.m_hWnd, WM_COMMAND, ID_TRAY_EXIT, 0);
        ::PostMessageW(dlg.m_hWnd, WM_CLOSE, 0, 0);
        // The pending exit's timer has looked twice under the nested dialog.
        EXPECT_TRUE(ticks.WaitForTicks(dlg.m_hWnd, TIMER_PENDING_EXIT, 2, kHangLimitMs));
        ui.CallWhenIdle([&] {
            savedWhileNested = ::GetFileAttributesW(Path(L"Config\\FConfig1.ini").c_str()) !=
                               INVALID_FILE_ATTRIBUTES;
            closedWhileNested = !::IsWindowVisible(dlg.m_hWnd);
        });

        // The user ends the nested dialog; the remembered exit follows.
        ::PostMessageW(nestedWindow, WM_CLOSE, 0, 0);
        WaitFor([&] { return !::IsWindow(dlg.m_hWnd) || !::IsWindowVisible(dlg.m_hWnd); }, kHangLimitMs);
    }, 8000);

    EXPECT_TRUE(run.ended) << "the remembered exit ended the window";
    EXPECT_FALSE(savedWhileNested) << "nothing saved under the nested dialog";
    EXPECT_FALSE(closedWhileNested);
    EXPECT_TRUE(mainAliveAfterNested) << "the main window outlived the nested dialog's caller";
    EXPECT_TRUE(::GetFileAttributesW(Path(L"Config\\FConfig1.ini").c_str()) != INVALID_FILE_ATTRIBUTES)
        << "the exit saved the profile once it ran";
}

TEST_F(MainWindowTest, ExitDuringSyncWaitsUntilTheSyncEnds) {
    UseRig(MakeUnpluggedRig());
    bool openDuringSync = false;
    Run run = RunMainWindow([&](CQuorvelDlg& dlg, UiInvoker& ui) {
        AnswerMessageBox(kMouseNotFoundText);
        ASSERT_TRUE(WaitForMainWindow(dlg));
        ui.Call([&] {
            dlg.m_syncRunning = 1;
            StoreSyncBusy(1);
        });
        MessageSpy ticks(dlg.m_hWnd, MessageSpy::KeepTimers);
        ::PostMessageW(dlg.m_hWnd, UWM_QUIT_REQUEST, 0, 0);
        // The pending exit's timer has looked twice while the sync ran.
        EXPECT_TRUE(ticks.WaitForTicks(dlg.m_hWnd, TIMER_PENDING_EXIT, 2, kHangLimitMs));
        ui.CallWhenIdle([&] { openDuringSync = ::IsWindowVisible(dlg.m_hWnd) != FALSE; });
        ui.Call([&] {
            dlg.m_syncRunning = 0;
            StoreSyncBusy(0);
        });
        WaitFor([&] { return !::IsWindow(dlg.m_hWnd) || !::IsWindowVisible(dlg.m_hWnd); }, kHangLimitMs);
    }, 8000);
    EXPECT_TRUE(openDuringSync);
    EXPECT_TRUE(run.ended) << "the exit ran once the sync had ended";
}

}  // namespace
