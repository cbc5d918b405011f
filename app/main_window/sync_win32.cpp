// The main window's sync starters: a read-all or write-all worker runs on a
// thread of its own behind the modal progress box, which disables the main
// window while this thread keeps handling messages, so that status reports,
// device changes and painting go on.
#include "app/main_window/quorvel_dlg_win32.h"
#include "app/sync_progress_win32.h"
#include "device/sync_threads.h"

void CQuorvelDlg::RunSync(SyncKind kind) {
    if (kind == SyncKind::ReadAll) m_settingsBeforeRead = g_settings;
    m_syncKind = kind;
    SyncJob job;
    job.driver = &m_usbDriver;
    job.linkMode = m_linkMode;
    job.running = &m_syncRunning;
    m_writeAllSent = 0;
    job.allSent = &m_writeAllSent;
    NestedLoopGuard guard(*this);
    // The flags are set before the worker runs: nothing else may start a
    // command meanwhile.
    RunBehindProgressBox(kind == SyncKind::ReadAll ? &ReadAllSettingsThread : &WriteAllSettingsThread, job, m_hWnd);
    // The worker has ended: what waited for it runs from the main loop, after
    // its end message, so that the pages show what it left.
    PostMessage(UWM_RUN_HELD_PAGE_WORK);
}
