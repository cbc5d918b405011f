// The main window's tray icon end to end, through the tray seam: the icon it
// adds, show after a minimise, the menu and its exit, and the icon's removal
// on every way out.
#include <gtest/gtest.h>

#include <mutex>

#include "app/main_window/harness_win32.h"
#include "app/tray_icon_win32.h"
#include "support/input_win32.h"

namespace {

using namespace e2e;

struct TrayCall {
    DWORD message;
    NOTIFYICONDATAW data;
};

class MainWindowTrayTest : public MainWindowFixture {
protected:
    void SetUp() override {
        MainWindowFixture::SetUp();
        SetTrayNotifyHandler([this](DWORD message, const NOTIFYICONDATAW& data) {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_calls.push_back({message, data});
            return TRUE;
        });
    }
    void TearDown() override {
        SetTrayNotifyHandler(nullptr);
        MainWindowFixture::TearDown();
    }
    std::vector<TrayCall> Calls() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_calls;
    }
    int Count(DWORD message) {
        int n = 0;
        for (const TrayCall& call : Calls()) n += call.message == message;
        return n;
    }
    static void DismissNotFound(CQuorvelDlg& dlg) {
        AnswerMessageBox(kMouseNotFoundText);
        WaitForMainWindow(dlg);
    }

    std::mutex m_mutex;
    std::vector<TrayCall> m_calls;
};

// The tracked menu of this process, or null.
HWND FindTrackedMenu() {
    HWND found = nullptr;
    ::EnumWindows(
        [](HWND hwnd, LPARAM lp) -> BOOL {
            DWORD pid = 0;
            ::GetWindowThreadProcessId(hwnd, &pid);
            wchar_t cls[16] = {};
            ::GetClassNameW(hwnd, cls, 16);
            if (pid == ::GetCurrentProcessId() && std::wcscmp(cls, L"#32768") == 0 &&
                ::IsWindowVisible(hwnd)) {
                *reinterpret_cast<HWND*>(lp) = hwnd;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

TEST_F(MainWindowTrayTest, TheIconComesWithTheWindowAndShowBringsBackAMinimisedWindow) {
    UseRig(MakeUnpluggedRig());
    HWND main = nullptr;
    bool iconic = false, restored = false, visible = false;
    Run run = RunMainWindow([&](CQuorvelDlg& dlg, UiInvoker& ui) {
        DismissNotFound(dlg);
        main = dlg.m_hWnd;
        // Minimised by the window's own button: the window stays on the task bar.
        ::PostMessageW(dlg.m_hWnd, WM_COMMAND, BN_CLICKED << 16,
                       reinterpret_cast<LPARAM>(dlg.m_btnMinimise.m_hWnd));
        iconic = WaitFor([&] { return ::IsIconic(dlg.m_hWnd) != FALSE; }, kHangLimitMs);
        ::PostMessageW(dlg.m_hWnd, UWM_TRAY_NOTIFY, 0, WM_LBUTTONDBLCLK);
        restored = WaitFor([&] { return !::IsIconic(dlg.m_hWnd); }, kHangLimitMs);
        ui.Call([&] { visible = dlg.IsWindowVisible() != FALSE; });
        ::PostMessageW(dlg.m_hWnd, WM_CLOSE, 0, 0);
    });
    EXPECT_TRUE(run.ended);
    EXPECT_TRUE(iconic);
    EXPECT_TRUE(restored) << "show brings a minimised window back";
    EXPECT_TRUE(visible);

    std::vector<TrayCall> calls = Calls();
    ASSERT_GE(calls.size(), 1u);
    const NOTIFYICONDATAW& added = calls[0].data;
    EXPECT_EQ(calls[0].message, DWORD(NIM_ADD));
    EXPECT_EQ(added.cbSize, sizeof(NOTIFYICONDATAW));
    EXPECT_EQ(added.hWnd, main);
    EXPECT_EQ(added.uID, 0u);
    EXPECT_EQ(added.uFlags, UINT(NIF_MESSAGE | NIF_ICON | NIF_TIP)) << "no balloon";
    EXPECT_EQ(added.uCallbackMessage, 0x46Cu);
    EXPECT_NE(added.hIcon, nullptr);
    EXPECT_STREQ(added.szTip, L"Brantis Driver");
    EXPECT_STREQ(added.szInfoTitle, L"Running");
    EXPECT_EQ(Count(NIM_DELETE), 1) << "the close removes the icon once";
    EXPECT_EQ(calls.back().message, DWORD(NIM_DELETE));
    EXPECT_EQ(calls.back().data.hWnd, main);
}

TEST_F(MainWindowTrayTest, TheMenuOffersShowAndExitAndExitEndsTheProgram) {
    UseRig(MakeUnpluggedRig());
    int items = 0;
    bool menuSeen = false, endedByMenu = false;
    Run run = RunMainWindow([&](CQuorvelDlg& dlg, UiInvoker& ui) {
        DismissNotFound(dlg);
        ui.Call([&] { g_settings.powerDownTime = 4321; });
        ::PostMessageW(dlg.m_hWnd, UWM_TRAY_NOTIFY, 0, WM_RBUTTONUP);
        HWND menu = nullptr;
        menuSeen = WaitFor([&] { return (menu = FindTrackedMenu()) != nullptr; }, kHangLimitMs);
        if (!menuSeen) return;
        HMENU handle = reinterpret_cast<HMENU>(::SendMessageW(menu, MN_GETHMENU, 0, 0));
        items = ::GetMenuItemCount(handle);
        // Down to the second row, exit, and take it.
        for (UINT key : {UINT(VK_DOWN), UINT(VK_DOWN), UINT(VK_RETURN)}) {
            ::PostMessageW(menu, WM_KEYDOWN, key, 1);
            ::PostMessageW(menu, WM_KEYUP, key, 0xC0000001);
        }
        endedByMenu = WaitFor(
            [&] { return !::IsWindow(dlg.m_hWnd) || !::IsWindowVisible(dlg.m_hWnd); }, kHangLimitMs);
    });
    EXPECT_TRUE(run.ended);
    ASSERT_TRUE(menuSeen);
    EXPECT_EQ(items, 2);
    EXPECT_TRUE(endedByMenu);
    EXPECT_EQ(Count(NIM_DELETE), 1);
    auto profile = ReadFileBytes(Path(L"Config\\FConfig1.ini"));
    ASSERT_TRUE(profile && profile->size() == sizeof(SettingsImage));
    SettingsImage saved;
    std::memcpy(&saved, profile->data(), sizeof(saved));
    EXPECT_EQ(saved.powerDownTime, 4321u) << "the exit saved the profile";
}

TEST_F(MainWindowTrayTest, AnEndWithoutTheCloseSequenceStillRemovesTheIcon) {
    UseRig(MakeUnpluggedRig());
    DWORD uiThread = ::GetCurrentThreadId();
    Run run = RunMainWindow([&](CQuorvelDlg& dlg, UiInvoker&) {
        DismissNotFound(dlg);
        // The session ends the thread's loops without a WM_CLOSE.
        ::PostThreadMessageW(uiThread, WM_QUIT, 0, 0);
        WaitFor([&] { return !::IsWindow(dlg.m_hWnd); }, kHangLimitMs);
    });
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
    EXPECT_EQ(run.result, -1) << "the loop ended on the quit";
    EXPECT_EQ(Count(NIM_ADD), 1);
    EXPECT_EQ(Count(NIM_DELETE), 1);
}

}  // namespace
