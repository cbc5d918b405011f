#include "app/main_window/sync.h"

bool SyncHold::PutOff(HeldWork work, bool syncBusy) {
    if (!syncBusy) return false;
    m_waiting |= uint8_t(work);
    return true;
}

HeldRun SyncHold::Take(bool syncBusy) {
    HeldRun run;
    if (syncBusy) return run;
    auto waited = [this](HeldWork work) { return (m_waiting & uint8_t(work)) != 0; };
    run.pageTexts = waited(HeldWork::PageTexts);
    run.allPages = waited(HeldWork::AllPages);
    run.statusRefresh = waited(HeldWork::StatusRefresh) && !run.allPages;
    m_waiting = 0;
    return run;
}
