#include "app/main_window/life.h"

bool MainWindowLife::Once(Step step) {
    if (m_done & step) return false;
    m_done |= step;
    return true;
}

void MainWindowLife::RunCloseSequence() {
    // Each step is marked before it runs: a step that re-enters closing (a
    // page's own close handling, a message box during the save) finds itself done.
    if (Once(kTimer)) m_teardown.StopStatusTimer();
    if (Once(kSave)) m_teardown.SaveProfile();
    if (Once(kTray)) m_teardown.RemoveTrayIcon();
    if (Once(kPages)) m_teardown.DestroyPages();
    if (Once(kReader)) m_teardown.StopReader();
    if (Once(kDriverWindow)) m_teardown.DestroyDriverWindow();
}

bool MainWindowLife::RequestExit(bool busy) {
    if (Closed()) return true;
    if (busy) {
        // Saving now could store a half-read profile, and the pages may have
        // handlers on the stack below the nested loop.
        m_exitPending = true;
        return false;
    }
    m_exitPending = false;
    RunCloseSequence();
    return true;
}

bool MainWindowLife::ResumeExit(bool busy) {
    if (!m_exitPending || busy) return false;
    m_exitPending = false;
    RunCloseSequence();
    return true;
}
