// The end of the main window's life, apart from its window: the close sequence,
// whose release steps each run once however often closing is asked for, and the
// exit request that has to wait while a nested modal loop or a sync runs.
#pragma once

#include <cstdint>

// What the main window releases when it closes, in the order they are called.
class MainWindowTeardown {
public:
    virtual ~MainWindowTeardown() = default;
    virtual void StopStatusTimer() = 0;
    virtual void SaveProfile() = 0;
    virtual void RemoveTrayIcon() = 0;
    virtual void DestroyPages() = 0;
    virtual void StopReader() = 0;
    virtual void DestroyDriverWindow() = 0;
};

class MainWindowLife {
public:
    explicit MainWindowLife(MainWindowTeardown& teardown) : m_teardown(teardown) {}

    // Closing, the tray menu's exit or a quit request. busy: a nested modal
    // loop or a sync is running, so that pages and settings are in use under
    // the caller. Returns true when the close sequence has run and the window
    // may end its modal loop; false when the request is remembered instead.
    bool RequestExit(bool busy);

    // Something that made an exit wait may have ended. True when a remembered
    // exit has now run its close sequence (and the window should end).
    bool ResumeExit(bool busy);

    bool ExitPending() const { return m_exitPending; }
    bool Closed() const { return m_done == kAllSteps; }

    // The close sequence: the steps not done yet, in order. The profile is
    // saved by the first run only; a second run finds nothing left to do.
    void RunCloseSequence();

private:
    enum Step : uint32_t {
        kTimer = 1 << 0,
        kSave = 1 << 1,
        kTray = 1 << 2,
        kPages = 1 << 3,
        kReader = 1 << 4,
        kDriverWindow = 1 << 5,
    };
    static constexpr uint32_t kAllSteps = (1 << 6) - 1;

    bool Once(Step step);

    MainWindowTeardown& m_teardown;
    uint32_t m_done = 0;
    bool m_exitPending = false;
};
