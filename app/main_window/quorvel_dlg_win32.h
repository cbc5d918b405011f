// The main window: a skinned pop-up dialog that runs modally for the whole
// life of the process. This file holds its members, its start-up sequence and
// its close sequence.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "app/main_window/commands.h"
#include "app/main_window/connection.h"
#include "app/main_window/device_change.h"
#include "app/main_window/layout.h"
#include "app/main_window/life.h"
#include "app/main_window/page_switch.h"
#include "app/main_window/profile_switch.h"
#include "app/main_window/sync.h"
#include "app/pages/page_factory_win32.h"
#include "app/pages/page_host.h"
#include "device/message_sink_win32.h"
#include "device/settings.h"
#include "device/usb_driver.h"
#include "framework/dialog.h"
#include "framework/gdi.h"
#include "framework/gdiplus_helpers.h"
#include "skin/bars_win32.h"
#include "skin/control_handlers_win32.h"
#include "skin/irr_button_win32.h"
#include "skin/popup_opener_win32.h"
#include "skin/push_buttons_win32.h"

constexpr UINT_PTR TIMER_STATUS_POLL = 3;
constexpr UINT STATUS_POLL_INTERVAL_MS = 1000;
// While an exit waits for a nested loop or a sync: how often it looks again.
constexpr UINT_PTR TIMER_PENDING_EXIT = 0x7E1;
constexpr UINT PENDING_EXIT_INTERVAL_MS = 200;

constexpr UINT ID_TRAY_SHOW = 0x6000;
constexpr UINT ID_TRAY_EXIT = 0x6001;
constexpr UINT UWM_QUIT_REQUEST = 0x70C;
// Ours: carries out a remembered exit from the main loop, never from below a handler.
constexpr UINT UWM_RESUME_EXIT = 0x7E2;

constexpr UINT UWM_TRAY_NOTIFY = 0x46C;     // lParam: the mouse message over the tray icon
constexpr UINT UWM_HOVER_TIP = 0x805;       // lParam: the tip's number
constexpr UINT UWM_RESET_DEFAULTS = 0x806;
constexpr UINT UWM_REFRESH_PAGES = 0x807;
constexpr UINT UWM_SWITCH_PROFILE = 0x407;  // lParam: profile number 1..4
constexpr UINT UWM_BATTERY_LEVEL = 0x52C;   // wParam: level, lParam: image set
constexpr UINT UWM_NO_OP = 0x704;
// Ours: steps the rescans that a device change asked for.
constexpr UINT_PTR TIMER_DEVICE_RESCAN = 0x7E3;
// Ours: runs the page refreshes a sync held off, once it has ended.
constexpr UINT UWM_RUN_HELD_PAGE_WORK = 0x7E4;

// Connects the main window to g_currentDevicePath over path index 0..2 (the
// device picker's tile click). False when the path could not be opened.
bool SwitchConnection(int32_t reportId, int32_t reportLength, uint8_t pathIndex,
                      uint8_t sensorType);

// Normal, hover and pressed images of a control that paints from its owner's images.
struct SkinStateImages {
    GdipImage normal, hover, pressed;
};

inline constexpr wchar_t kMouseNotFoundText[] = L"The Brantis mouse cannot be found";
// A format: the image's full path.
inline constexpr wchar_t kSkinMissingText[] = L"The skin image %s cannot be loaded.";

class CQuorvelDlg : public CDialogEx {
    // What the pages may ask of the window. Declared first: the pages hold it,
    // and it must outlive them.
    class PageSide final : public PageHost {
    public:
        explicit PageSide(CQuorvelDlg& dlg) : m_dlg(dlg) {}
        CUSBDriver* Driver() override;
        bool LinkOpen() override;
        void Connect(const DeviceEntry& entry, uint8_t connection) override;
        void ShowPreviousPage() override;
        void ShowHoverTip(int tip) override;

    private:
        // The start-up has ended: only then is the window whole.
        bool Up() const;

        CQuorvelDlg& m_dlg;
    };
    PageSide m_pageSide{*this};

public:
    CQuorvelDlg();
    ~CQuorvelDlg() override;

    BOOL OnInitDialog() override;
    BOOL PreTranslateMessage(MSG* msg) override;

    // Holds off an exit for as long as it lives: wraps nested message loops that
    // do not disable the main window (a modal dialog owned by it does).
    class NestedLoopGuard {
    public:
        explicit NestedLoopGuard(CQuorvelDlg& dlg);
        ~NestedLoopGuard();
        NestedLoopGuard(const NestedLoopGuard&) = delete;
        NestedLoopGuard& operator=(const NestedLoopGuard&) = delete;

    private:
        CQuorvelDlg& m_dlg;
    };

    CUSBDriver m_usbDriver;  // the one transport of the process
    // The transport's window: hidden, 1 x 1, without parent.
    CWnd m_driverWnd;
    NOTIFYICONDATAW m_trayIcon{};  // cbSize is set once the tray icon was added
    std::wstring m_hoverText;
    // The open language or profile popup: at most one at a time.
    PopupMenuSlot m_popup;
    HICON m_hIcon = nullptr;

    // The five pages; the skin builder creates them, the close sequence destroys them.
    MainPages m_pages;

    CBitmap m_bmpBackground;

    int m_activeProfileIndex = 0;
    // Set on this thread before a sync worker starts; the worker clears it.
    std::atomic<int32_t> m_syncRunning{0};
    // The last write of all settings reached the mouse whole.
    std::atomic<int32_t> m_writeAllSent{0};
    int m_linkMode = -1;  // -1 none; 0 cable; 1 receiver (at start-up); later the path index
    int m_prevPage = 5;
    int m_curPage = 5;

    // ---- Connection, status and profile switching (connection_win32.cpp) ----
    CGDIBitmapBtnEx m_btnProfile;
    CGDIBitmapBtnEx m_btnLink;
    CBatProgressBar m_batteryBar;
    CGDIBitmapBtnEx m_batteryText;

    void QueryLinkState();
    void ResetStatusDisplay();
    // Run a sync worker behind the modal progress view; they return when it
    // has closed. The write is not started while a sync runs: false then.
    void StartReadAllWithProgress();
    bool StartWriteAllWithProgress();
    // Makes slot 0..3 (profile 1..4) the active profile.
    void SwitchProfile(int slotIndex);
    // ---- Layout and pages (layout_win32.cpp) ----
    // The title-bar buttons, the page icons and the profile commands'
    // buttons; every skinned control has id 0.
    CGDIBitmapBtn m_btnMinimise;
    CGDIBitmapBtn m_btnExit;
    CGDIBitmapBtnEx m_btnLanguage;
    PerPage<CIrrButton> m_pageButtons;
    CGDIBitmapBtnEx m_btnImport;
    CGDIBitmapBtnEx m_btnExport;
    CGDIBitmapBtnEx m_btnReset;

    // Shows the page and hides the others; the page numbers are set already.
    void ShowPage(int page);
    // SW_SHOW or SW_HIDE: the page icons and the buttons that go with them.
    void ShowPageButtons(int show);
    void LayoutPageButtons(bool ledShown);
    // Back to the page shown before the current one (the picker's connected tile).
    void RestorePreviousPage();
    void RefreshAllPages();

    // ---- Profile commands and menus (commands_win32.cpp) ----
    void ResetToDefaults();

    // ---- Tray (tray_win32.cpp) ----
    void AddTrayIcon();

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    BOOL OnCommand(WPARAM wp, LPARAM lp) override;
    void OnOK() override {}
    void OnCancel() override;

private:
    class Teardown final : public MainWindowTeardown {
    public:
        explicit Teardown(CQuorvelDlg& dlg) : m_dlg(dlg) {}
        void StopStatusTimer() override;
        void SaveProfile() override;
        void RemoveTrayIcon() override;
        void DestroyPages() override;
        void StopReader() override;
        void DestroyDriverWindow() override;

    private:
        CQuorvelDlg& m_dlg;
    };

    void OnClose();
    void OnTrayExit();
    LRESULT OnQuitRequest();
    void OnResumeExit();
    // Asks for the exit; true when the close sequence has run.
    bool RequestExit();
    // A nested modal loop, a menu loop or a sync runs: the exit has to wait.
    bool IsBusy() const;
    void WatchPendingExit();

    bool CreateDriverWindow();
    void RegisterDeviceNotifications();
    // ---- Layout ----
    // The skin, the controls, the five pages and the first page.
    void BuildSkin();
    // The skin's background: the window takes its size and is centred.
    void LoadSkinBackground();
    void CreateLayoutControls();
    void CreateCommandButtons();
    void CreatePages();
    void PaintBackground(HDC dc);
    LRESULT OnRefreshPages();
    void OnLButtonDown(LPARAM lp);
    void OnMouseMove(LPARAM lp);
    LRESULT OnHoverTip();
    LRESULT OnSysCommand(WPARAM id);
    // A macro recording ends when the user leaves the macro page.
    void StopMacroRecording();

    // The title-bar buttons and page icons paint from these.
    SkinStateImages m_exitImages;
    SkinStateImages m_minimiseImages;
    PerPage<SkinStateImages> m_pageIconImages;

    // ---- Profile commands and menus ----
    // Fills m_controls: each button's command and the tray menu's rows.
    void ListCommands();
    void RunCommand(MainCommand command);
    void GoToPageCommand(MainCommand command);
    // The settings file the user picks; nothing when the dialog was cancelled.
    std::optional<std::u16string> AskSettingsFile(bool save);
    void ExportSettings();
    void ImportSettings();
    void ShowPopup(PopupKind kind, const CWnd& opener);
    LRESULT OnLanguageMenuResult(WPARAM wp, LPARAM lp);
    LRESULT OnProfileMenuResult(WPARAM wp, LPARAM lp);
    // The popup's choice, when the result is one to act on.
    std::optional<uint32_t> TakeMenuResult(WPARAM wp, LPARAM lp);

    class CommandSide final : public ProfileCommandView {
    public:
        explicit CommandSide(CQuorvelDlg& dlg) : m_dlg(dlg) {}
        void RefreshPages() override;
        bool SyncRunning() override;
        WriteAllOutcome RunWriteAll() override;

    private:
        CQuorvelDlg& m_dlg;
    };
    CommandSide m_commandSide{*this};
    CControlHandlers m_controls;

    // ---- Tray ----
    LRESULT OnTrayNotify(LPARAM lp);
    void OnTrayShow();
    void ShowTrayMenu();
    void RemoveTrayIcon();

    Teardown m_teardown{*this};
    MainWindowLife m_life{m_teardown};
    int m_nestedLoops = 0;

    // ---- Connection, status and profile switching ----
    friend bool SwitchConnection(int32_t, int32_t, uint8_t, uint8_t);

    // The window's side of the plain page switch, connection, profile and rescan logic.
    class ConnectionSide final : public PageView,
                                 public ConnectionView,
                                 public ProfileSwitchView,
                                 public RescanTarget {
    public:
        explicit ConnectionSide(CQuorvelDlg& dlg) : m_dlg(dlg) {}
        void ShowPage(int page) override;
        void RefreshAllPages() override;
        void LayoutPageButtons(bool ledShown) override;
        void UpdateAdvancedTexts() override;
        void ResetStatusDisplay() override;
        void ShowLinkIcon(bool wireless) override;
        bool SyncRunning() override;
        void RunReadAll() override;
        void ShowProfileNumber(int number) override;
        void RunWriteAll() override;
        void FillPages() override;
        bool ScanFindsMouse() override;
        void CheckConnectedPath() override;
        void ChangeHandled() override;

        bool droppedByRemoval = false;

    private:
        CQuorvelDlg& m_dlg;
    };

    enum class SyncKind { None, ReadAll, WriteAll };

    void CreateStatusControls();
    void SetLinkIconImages(bool wireless);
    void ShowBattery(int shown, int imageSet);
    // The pages that show what a status report may have changed.
    void RefreshPagesAfterStatus();
    // The page work held off while a sync ran, when none runs any more.
    void RunHeldPageWork();
    bool SyncBusy() const;
    void RunSync(SyncKind kind);
    void PollLinkState();
    void StepRescans();
    void ArmRescanTimer();
    void RebuildDeviceTiles();

    LRESULT OnDeviceEvent(WPARAM wp, LPARAM lp);
    LRESULT OnBatteryLevel(WPARAM wp, LPARAM lp);
    LRESULT OnSyncDone();
    LRESULT OnProfileChosen(LPARAM lp);
    LRESULT OnDeviceChange(WPARAM wp, LPARAM lp);

    ConnectionSide m_connectionSide{*this};
    WindowMessageSink m_eventSink;
    // Every change of m_curPage and m_prevPage goes through here.
    PageSwitch m_pageSwitch{m_connectionSide, m_curPage, m_prevPage};
    MainConnection m_connection{m_connectionSide, m_usbDriver, m_linkMode, m_pageSwitch};
    DeviceRescan m_rescan;
    SyncKind m_syncKind = SyncKind::None;
    SyncHold m_syncHold;
    // What g_settings held when the running read-all began: a read cut short by
    // the mouse's removal must not leave half of the mouse's values behind.
    SettingsImage m_settingsBeforeRead{};
};

// The main window, through which pages and threads reach the device link; set
// at the end of the start-up.
extern CQuorvelDlg* g_pMainDlg;
