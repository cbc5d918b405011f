#include "app/main_window/quorvel_dlg_win32.h"

#include <dbt.h>

#include "app/key_filter_win32.h"
#include "app/language_choice.h"
#include "app/pages/macro_set_win32.h"
#include "app/quorvel_app_win32.h"
#include "app/startup.h"
#include "device/device_state.h"
#include "device/discovery.h"
#include "device/file_system.h"
#include "device/macro_store.h"
#include "device/profiles.h"
#include "device/sync_threads.h"
#include "device/user_notice_win32.h"
#include "firmware/fw_update_dlg_win32.h"
#include "firmware/ota_device.h"
#include "framework/strings.h"
#include "res/resource.h"
#include "skin/skin_messages.h"
#include "text/ui_texts.h"

CQuorvelDlg* g_pMainDlg = nullptr;

namespace {

// GUID_DEVINTERFACE_USB_DEVICE.
constexpr GUID kUsbDeviceInterface = {
    0xA5DCBF10, 0x6530, 0x11D2, {0x90, 0x1F, 0x00, 0xC0, 0x4F, 0xB9, 0x51, 0xED}};

// Kept for the life of the process: arrivals and removals are wanted until the end.
HDEVNOTIFY g_deviceNotification = nullptr;

// A menu tracked on this thread runs its own loop below whatever handler opened it.
bool InMenuLoop() {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    if (!::GetGUIThreadInfo(::GetCurrentThreadId(), &info)) return false;
    return (info.flags & (GUI_INMENUMODE | GUI_POPUPMENUMODE | GUI_SYSTEMMENUMODE)) != 0;
}

}  // namespace

CQuorvelDlg::NestedLoopGuard::NestedLoopGuard(CQuorvelDlg& dlg) : m_dlg(dlg) {
    ++m_dlg.m_nestedLoops;
}

CQuorvelDlg::NestedLoopGuard::~NestedLoopGuard() {
    if (--m_dlg.m_nestedLoops == 0 && m_dlg.m_life.ExitPending() && m_dlg.m_hWnd)
        m_dlg.PostMessage(UWM_RESUME_EXIT);
}

CQuorvelDlg::CQuorvelDlg() : CDialogEx(IDD_MAIN_DIALOG) {
    m_hIcon = ::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_MAIN_ICON));
    ListCommands();
}

CQuorvelDlg::~CQuorvelDlg() {
    if (g_pMainDlg == this) g_pMainDlg = nullptr;
    m_driverWnd.DestroyWindow();
}

BOOL CQuorvelDlg::OnInitDialog() {
    CDialogEx::OnInitDialog();
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));

    EnumerateHidInterfaces();
    QueryFirmwareVersion();
    m_linkMode = WaitForMouseUsbIds(
        [](std::u16string_view id) { return IsUsbIdPresent(std::u16string(id)); });

    SetWindowText(kMainWindowTitle);
    CreateDriverWindow();
    // Only the table: no connection is opened before the user picks a mouse.
    ScanDevices();

    // The start-up stops here when the program's path cannot be read again.
    wchar_t modulePath[kModuleDirLength];
    if (::GetModuleFileNameW(nullptr, modulePath, kModuleDirLength) == 0) return FALSE;

    // The stores' folder is the one the application took from the same path.
    LanguageChoice language = ChooseLanguage(ProgramFolder());
    // Without a chosen file every text stays empty, as a failed load leaves them.
    if (language.fileChosen) LoadLanguageFile(language.path);

    LoadProfileTable();
    BuildSkin();
    LoadMacroStore();
    // The macro page lists what the store holds now.
    if (CMacroSetDlg* macros = m_pages.Macro()) macros->ReloadMacroList();
    AddTrayIcon();
    EnsureRunMarker();
    RegisterDeviceNotifications();

    int activeSlot = LastActiveProfileSlot();
    if (activeSlot >= 0) {
        m_activeProfileIndex = activeSlot;
        m_connectionSide.ShowProfileNumber(activeSlot + 1);
    }

    g_pMainDlg = this;
    // The pages show the saved profile until a mouse is read.
    RefreshAllPages();
    SetTimer(TIMER_STATUS_POLL, STATUS_POLL_INTERVAL_MS);

    if (m_linkMode != -1) {
        ShowWindow(SW_SHOW);
        ::BringWindowToTop(m_hWnd);
        // Painted now: left to the message loop, the shown window would stay an
        // empty rectangle behind everything posted to it until then.
        UpdateWindow();
        if (CMainPage* buttons = m_pages.Page(PAGE_BUTTONS)) buttons->RefreshFromSettings();
        return TRUE;
    }
    ::MessageBoxW(m_hWnd, kMouseNotFoundText, kMainWindowTitle, MB_OK);
    return FALSE;
}

bool CQuorvelDlg::CreateDriverWindow() {
    const wchar_t* cls = CWnd::RegisterWndClass(0);
    return m_driverWnd.CreateEx(0, cls, L"", WS_POPUP, RECT{1, 1, 2, 2}, nullptr, 0);
}

void CQuorvelDlg::RegisterDeviceNotifications() {
    DEV_BROADCAST_DEVICEINTERFACE_W filter{};
    filter.dbcc_size = sizeof(filter);
    filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    filter.dbcc_classguid = kUsbDeviceInterface;
    HDEVNOTIFY handle = ::RegisterDeviceNotificationW(m_hWnd, &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
    if (handle) g_deviceNotification = handle;
}

BOOL CQuorvelDlg::PreTranslateMessage(MSG* msg) {
    if (IsSwallowedDialogKey(msg)) return TRUE;
    return CDialogEx::PreTranslateMessage(msg);
}

bool CQuorvelDlg::IsBusy() const {
    // A modal dialog owned by the main window disables it for as long as it runs.
    return !::IsWindowEnabled(m_hWnd) || SyncBusy() || m_nestedLoops > 0 || InMenuLoop();
}

bool CQuorvelDlg::RequestExit() {
    // An update dialog would hold the exit off for as long as the update runs:
    // it ends the update in order and closes, and the exit follows.
    CloseFirmwareUpdateDialog();
    if (m_life.RequestExit(IsBusy())) return true;
    WatchPendingExit();
    return false;
}

void CQuorvelDlg::WatchPendingExit() {
    // The re-enabling of the window usually says when; the timer catches the
    // end of a sync and loops that never disabled the window.
    SetTimer(TIMER_PENDING_EXIT, PENDING_EXIT_INTERVAL_MS);
}

void CQuorvelDlg::OnClose() {
    if (RequestExit()) CDialogEx::OnCancel();  // ends the modal loop
}

void CQuorvelDlg::OnCancel() {
    OnClose();
}

void CQuorvelDlg::OnTrayExit() {
    // The close sequence saves the profile; the WM_CLOSE then finds it all done.
    if (RequestExit()) SendMessage(WM_CLOSE);
}

LRESULT CQuorvelDlg::OnQuitRequest() {
    OnTrayExit();
    return 1;
}

void CQuorvelDlg::OnResumeExit() {
    if (!m_life.ResumeExit(IsBusy())) return;
    KillTimer(TIMER_PENDING_EXIT);
    CDialogEx::OnCancel();
}

LRESULT CQuorvelDlg::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (HandlePaintMessage(m_hWnd, msg, wp, [this](HDC dc) { PaintBackground(dc); })) return 0;
    switch (msg) {
    case WM_ERASEBKGND:
        return TRUE;  // the paint covers the whole window
    case WM_HELP:
        return TRUE;
    case WM_CLOSE:
        OnClose();
        return 0;
    case WM_DESTROY:
        // Whatever ended the window (even a WM_QUIT that skipped the close
        // sequence), no icon of a program that is gone stays in the tray.
        RemoveTrayIcon();
        break;
    case WM_SYSCOMMAND:
        return OnSysCommand(wp);
    case WM_QUERYDRAGICON:
        return reinterpret_cast<LRESULT>(m_hIcon);
    case WM_LBUTTONDOWN:
        OnLButtonDown(lp);
        break;
    case WM_MOUSEMOVE:
        OnMouseMove(lp);
        break;
    case WM_ENABLE:
        // The nested modal dialog has ended, but its caller is still on the
        // stack: the exit runs once the message comes back through the loop.
        if (wp && m_life.ExitPending()) PostMessage(UWM_RESUME_EXIT);
        break;
    case WM_TIMER:
        // Every timer also gets the default handling.
        if (wp == TIMER_STATUS_POLL) PollLinkState();
        if (wp == TIMER_DEVICE_RESCAN) StepRescans();
        if (wp == TIMER_PENDING_EXIT) {
            if (!m_life.ExitPending()) {
                KillTimer(TIMER_PENDING_EXIT);
            } else if (!IsBusy()) {
                PostMessage(UWM_RESUME_EXIT);
            }
            return 0;
        }
        break;
    case UWM_RESUME_EXIT:
        OnResumeExit();
        return 0;
    case UWM_RUN_HELD_PAGE_WORK:
        RunHeldPageWork();
        return 0;
    case UWM_QUIT_REQUEST:
        return OnQuitRequest();
    case UWM_TRAY_NOTIFY:
        return OnTrayNotify(lp);
    case UWM_HOVER_TIP:
        return OnHoverTip();
    case UWM_REFRESH_PAGES:
        return OnRefreshPages();
    case UWM_RESET_DEFAULTS:
        ResetToDefaults();
        return 1;
    case UWM_LANGUAGE_MENU_RESULT:
        return OnLanguageMenuResult(wp, lp);
    case UWM_PROFILE_MENU_RESULT:
        return OnProfileMenuResult(wp, lp);
    case WM_DEVICECHANGE:
        return OnDeviceChange(wp, lp);
    case UWM_SWITCH_PROFILE:
        return OnProfileChosen(lp);
    case UWM_BATTERY_LEVEL:
        return OnBatteryLevel(wp, lp);
    case UWM_SYNC_DONE:
        return OnSyncDone();
    case UWM_NO_OP:
        return 0;
    case UWM_SLIDER_MOVING:
        return 1;  // the main window has no slider of its own
    case UWM_DEVICE_EVENT:
        return OnDeviceEvent(wp, lp);
    default:
        break;
    }
    return CDialogEx::WindowProc(msg, wp, lp);
}

void CQuorvelDlg::Teardown::StopStatusTimer() {
    m_dlg.KillTimer(TIMER_STATUS_POLL);
}

void CQuorvelDlg::Teardown::SaveProfile() {
    MessageBoxNotice notices(m_dlg.m_hWnd);
    SaveCurrentProfile(&notices);
}

void CQuorvelDlg::Teardown::RemoveTrayIcon() {
    m_dlg.RemoveTrayIcon();
}

void CQuorvelDlg::Teardown::DestroyPages() {
    m_dlg.m_pages.Destroy();
}

void CQuorvelDlg::Teardown::StopReader() {
    m_dlg.m_usbDriver.StopReader();
}

void CQuorvelDlg::Teardown::DestroyDriverWindow() {
    m_dlg.m_driverWnd.DestroyWindow();
}
