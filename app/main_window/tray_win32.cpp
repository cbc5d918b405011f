// The main window's icon in the notification area and its menu.
#include <cwchar>

#include "app/main_window/quorvel_dlg_win32.h"
#include "app/tray_icon_win32.h"
#include "framework/strings.h"
#include "res/resource.h"
#include "skin/xp_menu_win32.h"
#include "text/ui_texts.h"

namespace {

constexpr wchar_t kTrayTip[] = L"Brantis Driver";
constexpr wchar_t kBalloonTitle[] = L"Running";
constexpr UINT kBalloonTimeoutMs = 5000;

template <size_t N>
void CopyText(wchar_t (&buffer)[N], const wchar_t* text) {
    std::wcsncpy(buffer, text, N - 1);
    buffer[N - 1] = L'\0';
}

}  // namespace

void CQuorvelDlg::AddTrayIcon() {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof(data);
    data.hWnd = m_hWnd;
    data.uID = 0;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = UWM_TRAY_NOTIFY;
    data.hIcon = m_hIcon;
    CopyText(data.szTip, kTrayTip);
    // Filled as the record always was, but without NIF_INFO no balloon shows.
    CopyText(data.szInfo, kTrayTip);
    CopyText(data.szInfoTitle, kBalloonTitle);
    data.uTimeout = kBalloonTimeoutMs;
    data.dwInfoFlags = NIIF_INFO;
    // Only an icon the shell took is removed later.
    if (TrayNotify(NIM_ADD, data)) m_trayIcon = data;
}

void CQuorvelDlg::RemoveTrayIcon() {
    if (m_trayIcon.cbSize == 0) return;
    TrayNotify(NIM_DELETE, m_trayIcon);
    m_trayIcon = NOTIFYICONDATAW{};
}

LRESULT CQuorvelDlg::OnTrayNotify(LPARAM lp) {
    switch (lp) {
        case WM_LBUTTONDBLCLK:
            OnTrayShow();
            break;
        case WM_RBUTTONUP:
            ShowTrayMenu();
            break;
        default:
            break;
    }
    return 1;
}

void CQuorvelDlg::OnTrayShow() {
    RefreshAllPages();
    // A window minimised by its own button stays an icon under SW_SHOW.
    if (::IsIconic(m_hWnd)) ShowWindow(SW_RESTORE);
    ShowWindow(SW_SHOW);
    ShowWindow(SW_SHOW);
}

void CQuorvelDlg::ShowTrayMenu() {
    CXPMenuEx menu;
    if (!menu.CreatePopupMenu()) return;
    const XPMenuExItem show{IDI_TRAY_SHOW, IDI_TRAY_SHOW, ToWide(g_uiTexts[UiText::str_config])};
    const XPMenuExItem exit{IDI_TRAY_EXIT, IDI_TRAY_EXIT, ToWide(g_uiTexts[UiText::str_exit])};
    menu.AppendRow(ID_TRAY_SHOW, &show);
    menu.AppendRow(ID_TRAY_EXIT, &exit);
    POINT cursor{};
    ::GetCursorPos(&cursor);
    // Without the foreground the menu would not close on a click elsewhere.
    ::SetForegroundWindow(m_hWnd);
    NestedLoopGuard guard(*this);
    menu.TrackPopupMenu(TPM_RIGHTBUTTON, cursor.x, cursor.y, m_hWnd);
    // The system documents that a menu tracked for a tray icon while its window
    // is in the foreground shows the next time only for an instant, unless a
    // message follows the tracking and switches the system back to this thread.
    PostMessage(WM_NULL);
}
