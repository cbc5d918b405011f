// The main window's handle and g_pMainDlg as the UI thread sees them, read
// from a test's driver thread: both are plain members and globals written on
// the UI thread, so the driver reads them there instead of racing the writes.
#pragma once

#include <windows.h>

#include <optional>

#include "app/main_window/quorvel_dlg_win32.h"
#include "support/ui_thread_win32.h"

struct MainWindowState {
    HWND hwnd = nullptr;             // dlg's window, null before it is made and after it went
    CQuorvelDlg* mainDlg = nullptr;  // g_pMainDlg: set at the end of the start-up
    bool visible = false;
    bool enabled = false;
};

// Nothing when the UI thread did not get to it in time.
inline std::optional<MainWindowState> ReadMainWindow(UiInvoker& ui, const CQuorvelDlg& dlg,
                                                     int milliseconds = kHangLimitMs) {
    MainWindowState state;
    if (!ui.Call(
            [&] {
                state.hwnd = dlg.m_hWnd;
                state.mainDlg = g_pMainDlg;
                state.visible = state.hwnd && ::IsWindowVisible(state.hwnd);
                state.enabled = state.hwnd && ::IsWindowEnabled(state.hwnd);
            },
            milliseconds))
        return std::nullopt;
    return state;
}
