// The main window: a skinned pop-up dialog that runs modally for the whole
// life of the process. This file holds its members, its start-up sequence and
// its close sequence.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string>

#include "app/main_window_life.h"
#include "device/usb_driver.h"
#include "framework/dialog.h"
#include "framework/gdi.h"

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

inline constexpr wchar_t kMouseNotFoundText[] = L"The Brantis mouse cannot be found";

class CQuorvelDlg : public CDialogEx {
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
    CWnd* m_pPopup = nullptr;
    HICON m_hIcon = nullptr;

    // The five pages; the skin builder creates them, the close sequence destroys them.
    CDialog* m_pBaseDlg = nullptr;
    CDialog* m_pAdvDlg = nullptr;
    CDialog* m_pLedDlg = nullptr;
    CDialog* m_pMacroDlg = nullptr;
    CDialog* m_pHostDlg = nullptr;

    CBitmap m_bmpBackground;

    int m_activeProfileIndex = 0;
    int m_syncRunning = 0;
    int m_linkMode = -1;  // -1 none; 0 cable; 1 receiver (at start-up); later the path index
    int m_prevPage = 5;
    int m_curPage = 5;

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
    // The skin's background: the window takes its size and is centred.
    void LoadSkinBackground();
    void PaintBackground(HDC dc);

    Teardown m_teardown{*this};
    MainWindowLife m_life{m_teardown};
    int m_nestedLoops = 0;
};

// The main window, through which pages and threads reach the device link; set
// at the end of the start-up.
extern CQuorvelDlg* g_pMainDlg;
