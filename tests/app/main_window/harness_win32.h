// The end-to-end harness of the application windows: the real CQuorvelDlg
// runs modally on the test's thread against the simulated mouse, with the real
// registry (a key of the test's own) and real files (a program folder of its
// own), while a driver thread finds its windows, sends it messages and reads
// its state. Every wait is bounded; a window that does not end in time is told
// to quit.
#pragma once

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
#include "app/app_state.h"
#include "app/dialogs/key_combo_dlg_win32.h"
#include "app/main_window/quorvel_dlg_win32.h"
#include "device/button_macro_ids.h"
#include "device/device_state.h"
#include "device/device_tables.h"
#include "device/file_system.h"
#include "device/key_names.h"
#include "device/macro_store.h"
#include "device/profiles.h"
#include "device/registry.h"
#include "device/settings.h"
#include "firmware/ota_protocol.h"
#include "framework/app.h"
#include "framework/strings.h"
#include "sim/sim_demo_mouse.h"
#include "skin/popup_menu_win32.h"
#include "skin/popup_opener_win32.h"
#include "skin/value_entry_logic.h"
#include "support/input_win32.h"
#include "support/main_window_access_win32.h"
#include "support/top_windows_win32.h"
#include "support/ui_thread_win32.h"
#include "support/window_harness_win32.h"
#include "text/u16_buffer.h"
#include "text/ui_texts.h"

namespace e2e {

using Clock = std::chrono::steady_clock;
using Bytes = std::vector<uint8_t>;

inline std::wstring W(const std::u16string& text) {
    return ToWide(text);
}

inline void RemoveTree(const std::wstring& folder) {
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

inline void CopyTree(const std::wstring& from, const std::wstring& to) {
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

inline std::optional<Bytes> ReadFileBytes(const std::wstring& path) {
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

inline void WriteFileBytes(const std::wstring& path, const Bytes& bytes) {
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << "cannot write the fixture file";
    DWORD written = 0;
    ::WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr);
    ::CloseHandle(file);
}

// The harness pieces every window test shares, under the names these tests use.
using ::FindMessageBox;
using ::UiInvoker;
using ::WaitFor;
using ::WindowTitle;

// The invoker of the main window that runs now, for reads from the driver thread.
inline std::atomic<UiInvoker*>& ActiveInvoker() {
    static std::atomic<UiInvoker*> invoker{nullptr};
    return invoker;
}

class MainWindowFixture : public ::testing::Test {
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
        StartAfresh();
    }

    // The process-wide state as a fresh start of the program finds it, for a
    // second run of the main window on the same folder, registry and mouse.
    void StartAfresh() {
        std::memset(&g_settings, 0, sizeof(g_settings));
        std::memset(g_profileSlots, 0, sizeof(g_profileSlots));
        std::memset(&g_macroStore, 0, sizeof(g_macroStore));
        g_activeProfile = nullptr;
        g_defaultSettingInRegistry = 0;
        g_languageIndex = 0;
        StoreSyncBusy(0);
        g_isConnected = 0;  // a start-up always finds nothing connected yet
        g_currentDevicePath.clear();
        g_sensorType = 0;
        g_linkType = 0;
        ClearButtonMacroIds();
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

    // Picks the table's first mouse over connection `index`, as the device
    // picker's tile does; waits until the read of all settings has ended.
    bool ConnectMouse(CQuorvelDlg& dlg, UiInvoker& ui, int index) {
        ui.Post([index] {
            const DeviceEntry& entry = g_deviceTable[0];
            g_currentDevicePath = std::u16string(BufferText(entry.paths[index]));
            SwitchConnection(entry.reportId, entry.reportLength, uint8_t(index), entry.sensorType);
        });
        if (!WaitFor([&] { return LoadSyncBusy() != 0; }, kHangLimitMs)) return false;
        return WaitForSyncEnd(dlg);
    }

    // The sync that runs has ended and the window takes input again.
    static bool WaitForSyncEnd(CQuorvelDlg& dlg, int milliseconds = kHangLimitMs) {
        return WaitFor(
            [&] {
                return LoadSyncBusy() == 0 && dlg.m_syncRunning == 0 && ::IsWindowEnabled(dlg.m_hWnd);
            },
            milliseconds);
    }

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
        ActiveInvoker() = &invoker;
        CQuorvelDlg dlg;
        // As the program has it: the dialogs opened without a parent (the
        // progress box, the value entry) are owned by the main window.
        CWinApp app;
        app.m_pMainWnd = &dlg;
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
        app.m_pMainWnd = nullptr;
        modalEnded = true;
        driver.join();
        run.ended = !quitSent;
        if (quitSent) {
            // Take the WM_QUIT the modal loop posted again out of this thread's queue.
            MSG msg;
            while (::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
            }
        }
        ActiveInvoker() = nullptr;
        invoker.DestroyWindow();
        return run;
    }

    std::u16string m_keyPath;
    std::wstring m_folder;
    std::unique_ptr<Registry> m_registry;
    std::unique_ptr<SimMouseRig> m_rig;
};

// The main window once it is up: visible and past its start-up, as read on
// the UI thread.
inline bool WaitForMainWindow(CQuorvelDlg& dlg, int milliseconds = kHangLimitMs) {
    UiInvoker* ui = ActiveInvoker();
    if (!ui) return false;
    return WaitFor(
        [&] {
            std::optional<MainWindowState> state = ReadMainWindow(*ui, dlg, milliseconds);
            return state && state->hwnd && state->mainDlg == &dlg && state->visible;
        },
        milliseconds);
}

// On the UI thread: the key-combination box behind window box holds Ctrl and the key vk.
inline bool ComboHoldsCtrlAnd(HWND box, uint32_t vk) {
    auto* combo = dynamic_cast<CDlgSingleCombo*>(CWnd::FromHandlePermanent(box));
    return combo && combo->Model().IsChecked(COMBO_CTRL) && combo->Model().KeyText() == VirtualKeyName(vk);
}

// Waits (bounded) until check, run on the UI thread where the windows live, holds.
inline bool WaitOnUi(UiInvoker& ui, const std::function<bool()>& check, int milliseconds = kHangLimitMs) {
    return WaitFor(
        [&] {
            bool held = false;
            ui.Call([&] { held = check(); });
            return held;
        },
        milliseconds);
}

// The row of this value in the popup open in slot, clicked as the user clicks
// it; true when the popup closed on it.
inline bool ChoosePopupRow(PopupMenuSlot& slot, UiInvoker& ui, uint32_t value) {
    HWND popup = nullptr;
    POINT at{};
    ui.Call([&] {
        CMenuEx* menu = slot.Get();
        if (!menu) return;
        for (const PopupMenuItem& item : menu->m_items) {
            if (item.value != value) continue;
            popup = menu->m_hWnd;
            at = {(item.rect.left + item.rect.right) / 2, (item.rect.top + item.rect.bottom) / 2};
        }
    });
    if (!popup) return false;
    ::PostMessageW(popup, WM_MOUSEMOVE, 0, MAKELPARAM(at.x, at.y));
    ::PostMessageW(popup, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
    ::PostMessageW(popup, WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
    return WaitFor([&] { return !::IsWindow(popup); }, kHangLimitMs);
}

// The value-entry box (a DPI value, a macro's name) answered with text and
// OK; true when it came and went.
inline bool AnswerValueEntry(const wchar_t* text, int milliseconds = kHangLimitMs) {
    HWND entry = WaitForTopLevelWindow(L"QuorvelMacroModifyDlg", nullptr, milliseconds);
    if (!entry) return false;
    ::SendMessageW(::GetDlgItem(entry, VALUE_ENTRY_EDIT_ID), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
    ClickControl(::ChildWindowFromPoint(entry, POINT{40, 170}));
    return WaitFor([&] { return !::IsWindow(entry); }, kHangLimitMs);
}

}  // namespace e2e
