// The window side of the sync workers: a worker runs on a thread of its own
// behind a modal progress box that it moves and, on every path, closes.
#pragma once

#include <windows.h>

#include "device/sync_threads.h"
#include "skin/progress_dlg_win32.h"

// What a worker tells the windows: positions to the progress box, its close
// (WM_CLOSE), the pass's end to the main window (UWM_SYNC_DONE), and notices
// as message boxes. Nothing reaches the box before it is set up, so its
// closing message can never be lost.
class ProgressDialogSyncSink final : public SyncSink {
public:
    ProgressDialogSyncSink(CProgressDlg& box, HWND mainWindow) : m_box(box), m_main(mainWindow) {}

    void Progress(int position) override;
    void CloseProgress() override;
    void Done() override;
    void Notice(std::u16string_view text) override;

private:
    CProgressDlg& m_box;
    HWND m_main;
};

// Runs body with job on a worker thread behind a modal CProgressDlg and
// returns once the box has closed and the worker has ended: the box object is
// there for every message the worker sends. job.sink is set here.
void RunBehindProgressBox(void (*body)(const SyncJob&), SyncJob job, HWND mainWindow);
