#include "app/sync_progress_win32.h"

#include "device/user_notice.h"

void ProgressDialogSyncSink::Progress(int position) {
    if (HWND box = m_box.WaitUntilReady())
        ::PostMessageW(box, UWM_PROGRESS_POS, static_cast<WPARAM>(static_cast<INT_PTR>(position)), 0);
}

void ProgressDialogSyncSink::CloseProgress() {
    // Sent, not posted: the box is gone when this returns.
    if (HWND box = m_box.WaitUntilReady()) ::SendMessageW(box, WM_CLOSE, 0, 0);
}

void ProgressDialogSyncSink::Done() {
    ::PostMessageW(m_main, UWM_SYNC_DONE, 0, 0);
}

void ProgressDialogSyncSink::Notice(std::u16string_view text) {
    ShowUserNotice(text, u"Info");
}

void RunBehindProgressBox(void (*body)(const SyncJob&), SyncJob job, HWND mainWindow) {
    CProgressDlg box;
    ProgressDialogSyncSink sink(box, mainWindow);
    job.sink = &sink;
    std::thread worker = StartSyncThread(body, job);
    box.DoModal();
    worker.join();
}
