// The main window's sync starters: a read-all or write-all worker runs on a
// thread of its own while the main window is disabled and this thread keeps
// handling messages, so that status reports, device changes and painting go on.
#include <atomic>
#include <thread>

#include "app/quorvel_dlg_win32.h"
#include "device/sync_threads.h"
#include "device/user_notice.h"

namespace {

// What the worker tells the main window. Its last call wakes the loop below.
class MainWindowSyncSink final : public SyncSink {
public:
    explicit MainWindowSyncSink(HWND main) : m_main(main) {}
    void Progress(int) override {}
    void CloseProgress() override {
        m_ended.store(true);
        ::PostMessageW(m_main, WM_NULL, 0, 0);
    }
    void Done() override { ::PostMessageW(m_main, UWM_SYNC_DONE, 0, 0); }
    void Notice(std::u16string_view text) override { ShowUserNotice(text, u"Info"); }

    bool Ended() const { return m_ended.load(); }

private:
    HWND m_main;
    std::atomic<bool> m_ended{false};
};

}  // namespace

void CQuorvelDlg::RunSync(SyncKind kind) {
    if (kind == SyncKind::ReadAll) m_settingsBeforeRead = g_settings;
    m_syncKind = kind;
    MainWindowSyncSink sink(m_hWnd);
    SyncJob job;
    job.driver = &m_usbDriver;
    job.sink = &sink;
    job.linkMode = m_linkMode;
    job.running = &m_syncRunning;
    NestedLoopGuard guard(*this);
    // The flags are set here, before the worker runs: nothing else may start a
    // command meanwhile.
    std::thread worker = StartSyncThread(
        kind == SyncKind::ReadAll ? &ReadAllSettingsThread : &WriteAllSettingsThread, job);
    EnableWindow(FALSE);
    bool quit = false;
    MSG msg;
    while (!sink.Ended()) {
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got <= 0) {
            quit = true;
            break;
        }
        if (CDialog::WalkPreTranslate(&msg)) continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    worker.join();
    EnableWindow(TRUE);
    // The outer loop must see the quit too.
    if (quit) ::PostQuitMessage(int(msg.wParam));
}
