// Page work that the main window's thread puts off while a sync thread runs.
// The sync thread is then the only writer of g_settings, and refreshing a page
// writes it (the button page spells the buttons' names into it): a refresh
// asked for meanwhile, by the tray, a status report or a language change,
// waits for the sync's end and then runs once, so that the pages show what
// the sync left.
#pragma once

#include <cstdint>

enum class HeldWork : uint8_t {
    StatusRefresh = 1,  // the shown advanced or button page, after a status report
    AllPages = 2,       // every page from g_settings
    PageTexts = 4,      // every page's texts again, and the profile saved
};

// What is due once the sync has ended. Every page from g_settings covers a
// status refresh; new texts and a fill of the pages are separate steps.
struct HeldRun {
    bool pageTexts = false;
    bool allPages = false;
    bool statusRefresh = false;
};

class SyncHold {
public:
    // True when the work must wait because a sync runs; it is remembered then.
    bool PutOff(HeldWork work, bool syncBusy);
    // The work that waited, each kind once; nothing while a sync still runs.
    HeldRun Take(bool syncBusy);

private:
    uint8_t m_waiting = 0;
};
