// The main window end to end: the real CQuorvelDlg runs modally on this
// thread against the simulated mouse, with the real registry (a key of the
// test's own) and real files (a program folder of its own), while a driver
// thread finds its windows, sends it messages and reads its state. Every wait
// is bounded; a window that does not end in time is told to quit.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <functional>
#include <optional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/quorvel_dlg_win32.h"
#include "device/device_state.h"
#include "device/device_tables.h"
#include "firmware/ota_protocol.h"
#include "device/file_system.h"
#include "device/macro_store.h"
#include "device/profiles.h"
#include "device/registry.h"
#include "device/settings.h"
#include "framework/strings.h"
#include "sim/sim_demo_mouse.h"
#include "support/window_harness_win32.h"
#include "text/ui_texts.h"

namespace {

using Clock = std::chrono::steady_clock;
using Bytes = std::vector<uint8_t>;

std::wstring W(const std::u16string& text) {
    return ToWide(text);
}

void RemoveTree(const std::wstring& folder) {
    WIN32_FIND_DATAW found;
    HANDLE search = ::FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") continue;
            std::wstring path = folder + L"\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(path);
            } else {
                ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                ::DeleteFileW(path.c_str());
            }
        } while (::FindNextFileW(search, &found));
        ::FindClose(search);
    }
    ::RemoveDirectoryW(folder.c_str());
}

void CopyTree(const std::wstring& from, const std::wstring& to) {
    ::CreateDirectoryW(to.c_str(), nullptr);
    WIN32_FIND_DATAW found;
    HANDLE search = ::FindFirstFileW((from + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            CopyTree(from + L"\\" + name, to + L"\\" + name);
        else
            ::CopyFileW((from + L"\\" + name).c_str(), (to + L"\\" + name).c_str(), FALSE);
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
}

std::optional<Bytes> ReadFileBytes(const std::wstring& path) {
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    Bytes bytes(::GetFileSize(file, nullptr));
    DWORD read = 0;
    if (!bytes.empty()) ::ReadFile(file, bytes.data(), DWORD(bytes.size()), &read, nullptr);
    ::CloseHandle(file);
    bytes.resize(read);
    return bytes;
}

void WriteFileBytes(const std::wstring& path, const Bytes& bytes) {
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << "cannot write the fixture file";
    DWORD written = 0;
    ::WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr);
    ::CloseHandle(file);
}

// Waits for a condition, checking every 20 ms; false when time ran out.
bool WaitFor(const std::function<bool()>& condition, int milliseconds) {
    auto end = Clock::now() + std::chrono::milliseconds(milliseconds);
    for (;;) {
        if (condition()) return true;
        if (Clock::now() >= end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

// Runs functions on the UI thread from the driver thread: a message-only
// window of the UI thread's that every message loop there dispatches to.
class UiInvoker final : public CWnd {
public:
    static constexpr UINT kRun = WM_APP + 1;

    bool Create() {
        return CreateEx(0, nullptr, L"", 0, RECT{0, 0, 0, 0}, HWND_MESSAGE, 0);
    }
    // Waits until fn has run (bounded); false when the UI thread did not get to it.
    bool Call(std::function<void()> fn, int milliseconds = 5000) {
        DWORD_PTR result = 0;
        return ::SendMessageTimeoutW(m_hWnd, kRun, 0, reinterpret_cast<LPARAM>(&fn), SMTO_NORMAL,
                                     UINT(milliseconds), &result) != 0;
    }
    // Runs fn later, from whatever loop runs then; fn may open a nested loop.
    void Post(std::function<void()> fn) {
        ::PostMessageW(m_hWnd, kRun, 1, reinterpret_cast<LPARAM>(new std::function<void()>(std::move(fn))));
    }

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg == kRun) {
            auto* fn = reinterpret_cast<std::function<void()>*>(lp);
            CallGuarded([&] { (*fn)(); });
            if (wp == 1) delete fn;
            return 0;
        }
        return CWnd::WindowProc(msg, wp, lp);
    }
};

// A top-level window of this process whose message-box text is `text`.
HWND FindMessageBox(const wchar_t* text) {
    struct Search {
        const wchar_t* text;
        HWND found;
    } search{text, nullptr};
    ::EnumWindows(
        [](HWND hwnd, LPARAM lp) -> BOOL {
            auto* s = reinterpret_cast<Search*>(lp);
            DWORD pid = 0;
            ::GetWindowThreadProcessId(hwnd, &pid);
            if (pid != ::GetCurrentProcessId()) return TRUE;
            HWND label = ::GetDlgItem(hwnd, 0xFFFF);
            wchar_t buffer[256] = {};
            if (label && ::GetWindowTextW(label, buffer, 256) && std::wcscmp(buffer, s->text) == 0) {
                s->found = hwnd;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::wstring WindowTitle(HWND hwnd) {
    wchar_t buffer[256] = {};
    ::GetWindowTextW(hwnd, buffer, 256);
    return buffer;
}

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureGdiplus();
        static std::atomic<int> counter{0};
        std::wstring name = FormatW(L"%lu-%d", ::GetCurrentProcessId(), counter++);
        m_keyPath = u"Software\\QuorvelTests\\app-" + ToU16(name);
        m_folder = TestTempDir() + L"app-" + name + L"\\";
        ::CreateDirectoryW(m_folder.c_str(), nullptr);
        ::CreateDirectoryW((m_folder + L"config").c_str(), nullptr);
        CopyTree(TestDistDir() + L"skins", m_folder + L"skins");
        CopyTree(TestDistDir() + L"language", m_folder + L"language");

        m_registry = MakeWin32Registry(m_keyPath);
        SetRegistry(m_registry.get());
        SetFileSystem(&Win32FileSystem());
        SetProgramFolder(ToU16(m_folder));

        std::memset(&g_settings, 0, sizeof(g_settings));
        std::memset(g_profileSlots, 0, sizeof(g_profileSlots));
        std::memset(&g_macroStore, 0, sizeof(g_macroStore));
        g_activeProfile = nullptr;
        g_defaultSettingInRegistry = 0;
        g_languageIndex = 0;
        g_syncBusy = 0;
        g_uiTexts = UiTextTable{};
    }

    void TearDown() override {
        SetHidBackend(nullptr);
        SetRegistry(nullptr);
        SetFileSystem(nullptr);
        SetProgramFolder(u"");
        m_registry.reset();
        ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, W(m_keyPath).c_str());
        std::wstring folder = m_folder;
        folder.pop_back();
        RemoveTree(folder);
        g_uiTexts = UiTextTable{};
    }

    void UseRig(std::unique_ptr<SimMouseRig> rig) {
        m_rig = std::move(rig);
        SetHidBackend(&m_rig->backend);
    }

    // A value of the test's registry key, or nothing.
    std::optional<Bytes> RegistryValue(const wchar_t* name) {
        HKEY key;
        if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, W(m_keyPath).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
            return std::nullopt;
        DWORD size = 0;
        DWORD type = 0;
        std::optional<Bytes> result;
        if (::RegQueryValueExW(key, name, nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
            Bytes bytes(size);
            if (::RegQueryValueExW(key, name, nullptr, &type, bytes.data(), &size) == ERROR_SUCCESS)
                result = bytes;
        }
        ::RegCloseKey(key);
        return result;
    }

    void PutRegistryValue(const wchar_t* name, const Bytes& bytes) {
        HKEY key;
        ASSERT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, W(m_keyPath).c_str(), 0, nullptr, 0,
                                    KEY_READ | KEY_WRITE, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        ::RegSetValueExW(key, name, 0, REG_BINARY, bytes.data(), DWORD(bytes.size()));
        ::RegCloseKey(key);
    }

    std::wstring Path(const wchar_t* relative) const { return m_folder + relative; }

    struct Run {
        INT_PTR result = 0;
        bool ended = true;      // the modal loop ended without being told to quit
        bool scriptDone = false;
    };

    // Runs the main window modally here while script drives it from another
    // thread. When the script is done (or time is up) the window is closed;
    // should it not end, its thread is told to quit.
    Run RunMainWindow(const std::function<void(CQuorvelDlg&, UiInvoker&)>& script,
                      int limitMs = 30000) {
        Run run;
        UiInvoker invoker;
        EXPECT_TRUE(invoker.Create());
        CQuorvelDlg dlg;
        DWORD uiThread = ::GetCurrentThreadId();
        std::atomic<bool> modalEnded{false};
        std::atomic<bool> quitSent{false};
        std::thread driver([&] {
            script(dlg, invoker);
            run.scriptDone = true;
            // The script normally ends the window itself; make sure it ends.
            auto deadline = Clock::now() + std::chrono::milliseconds(limitMs);
            while (!modalEnded && Clock::now() < deadline) {
                if (dlg.m_hWnd) ::PostMessageW(dlg.m_hWnd, WM_CLOSE, 0, 0);
                if (WaitFor([&] { return modalEnded.load(); }, 2000)) break;
                // A message box nobody answered holds the start-up.
                if (HWND box = FindMessageBox(kMouseNotFoundText)) ::PostMessageW(box, WM_COMMAND, IDOK, 0);
            }
            if (!modalEnded) {
                quitSent = true;
                ::PostThreadMessageW(uiThread, WM_QUIT, 0, 0);
            }
        });
        run.result = dlg.DoModal();
        modalEnded = true;
        driver.join();
        run.ended = !quitSent;
        if (quitSent) {
            // Take the WM_QUIT the modal loop posted again out of this thread's queue.
            MSG msg;
            while (::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
            }
        }
        invoker.DestroyWindow();
        return run;
    }

    std::u16string m_keyPath;
    std::wstring m_folder;
    std::unique_ptr<Registry> m_registry;
    std::unique_ptr<SimMouseRig> m_rig;
};

// The main window once it is up: visible and past its start-up.
bool WaitForMainWindow(CQuorvelDlg& dlg, int milliseconds = 10000) {
    return WaitFor([&] { return dlg.m_hWnd && g_pMainDlg == &dlg && ::IsWindowVisible(dlg.m_hWnd); },
                   milliseconds);
}

TEST_F(MainWindowTest, StartWithoutMouseShowsNotFoundAfterTheWaitsThenTheDevicePicker) {
    UseRig(MakeUnpluggedRig());
    Clock::time_point started;
    Clock::duration untilBox{};
    bool boxSeen = false;
    std::wstring boxCaption;
    int page = 0, linkMode = 0;
    bool visible = false;
    std::wstring title;

    Run run = RunMainWindow([&](CQuorvelDlg& dlg, UiInvoker& ui) {
        started = Clock::now();
        HWND box = nullptr;
        boxSeen = WaitFor([&] { return (box = FindMessageBox(kMouseNotFoundText)) != nullptr; }, 10000);
        untilBox = Clock::now() - started;
        if (!boxSeen) return;
        boxCaption = WindowTitle(box);
        ::PostMessageW(box, WM_COMMAND, IDOK, 0);
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
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        boxSeen = FindMessageBox(kMouseNotFoundText) != nullptr;
        ui.Call([&] {
            linkMode = dlg.m_linkMode;
            devices = g_deviceCount;
            pathMask = g_deviceTable[0].pathMask;
            RECT r = dlg.GetClientRect();
            client = {r.right - r.left, r.bottom - r.top};
            skin = dlg.m_bmpBackground.GetSize();
            SaveScreenshot(*CaptureFromScreen(dlg.m_hWnd), L"main_window_startup");
        });
        ::PostMessageW(dlg.m_hWnd, WM_CLOSE, 0, 0);
    });

    EXPECT_TRUE(run.ended);
    ASSERT_TRUE(up);
    EXPECT_FALSE(boxSeen);
    EXPECT_EQ(linkMode, 0) << "the cable's id is present";
    EXPECT_EQ(devices, 1) << "one mouse, reached by cable and receiver";
    EXPECT_EQ(pathMask, 0x03);
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
        WaitFor([] { return FindMessageBox(kMouseNotFoundText) != nullptr; }, 10000);
        if (HWND box = FindMessageBox(kMouseNotFoundText)) ::PostMessageW(box, WM_COMMAND, IDOK, 0);
        ASSERT_TRUE(WaitForMainWindow(dlg));
        ui.Call([&] {
            macroLoaded = FindMacroRecord(0x15000002) != nullptr;
            okText = g_uiTexts[UiText::str_ok];
            g_settings.debounceTime = 17;  // a change the user made meanwhile
        });
        ::PostMessageW(dlg.m_hWnd, WM_CLOSE, 0, 0);
        closed = WaitFor([&] { return !::IsWindow(dlg.m_hWnd) || !::IsWindowVisible(dlg.m_hWnd); }, 5000);
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
        WaitFor([] { return FindMessageBox(kMouseNotFoundText) != nullptr; }, 10000);
        if (HWND box = FindMessageBox(kMouseNotFoundText)) ::PostMessageW(box, WM_COMMAND, IDOK, 0);
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
        WaitFor([] { return FindMessageBox(kMouseNotFoundText) != nullptr; }, 10000);
        if (HWND box = FindMessageBox(kMouseNotFoundText)) ::PostMessageW(box, WM_COMMAND, IDOK, 0);
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
        ASSERT_TRUE(WaitFor([&] { return nestedOpen && !::IsWindowEnabled(dlg.m_hWnd); }, 5000));
        ASSERT_TRUE(WaitFor([&] { return (nestedWindow = ::GetLastActivePopup(dlg.m_hWnd)) != dlg.m_hWnd; }, 5000));

        ::PostMessageW(dlg.m_hWnd, WM_COMMAND, ID_TRAY_EXIT, 0);
        ::PostMessageW(dlg.m_hWnd, WM_CLOSE, 0, 0);
        std::this_thread::sleep_for(std::chrono::milliseconds(600));
        ui.Call([&] {
            savedWhileNested = ::GetFileAttributesW(Path(L"Config\\FConfig1.ini").c_str()) !=
                               INVALID_FILE_ATTRIBUTES;
            closedWhileNested = !::IsWindowVisible(dlg.m_hWnd);
        });

        // The user ends the nested dialog; the remembered exit follows.
        ::PostMessageW(nestedWindow, WM_CLOSE, 0, 0);
        WaitFor([&] { return !::IsWindow(dlg.m_hWnd) || !::IsWindowVisible(dlg.m_hWnd); }, 5000);
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
        WaitFor([] { return FindMessageBox(kMouseNotFoundText) != nullptr; }, 10000);
        if (HWND box = FindMessageBox(kMouseNotFoundText)) ::PostMessageW(box, WM_COMMAND, IDOK, 0);
        ASSERT_TRUE(WaitForMainWindow(dlg));
        ui.Call([&] {
            dlg.m_syncRunning = 1;
            g_syncBusy = 1;
        });
        ::PostMessageW(dlg.m_hWnd, UWM_QUIT_REQUEST, 0, 0);
        std::this_thread::sleep_for(std::chrono::milliseconds(600));
        ui.Call([&] { openDuringSync = ::IsWindowVisible(dlg.m_hWnd) != FALSE; });
        ui.Call([&] {
            dlg.m_syncRunning = 0;
            g_syncBusy = 0;
        });
        WaitFor([&] { return !::IsWindow(dlg.m_hWnd) || !::IsWindowVisible(dlg.m_hWnd); }, 5000);
    }, 8000);
    EXPECT_TRUE(openDuringSync);
    EXPECT_TRUE(run.ended) << "the exit ran once the sync had ended";
}

}  // namespace
