// A test's driver thread and the UI thread it drives: bounded waits, and
// functions run on the UI thread from the driver thread, so that the driver
// reads window state where the windows live instead of racing them.
#pragma once

#include <windows.h>

#include <functional>

#include "framework/wnd.h"
#include "support/hang_limit.h"

// Waits for a condition, checking every 20 ms; false when time ran out.
bool WaitFor(const std::function<bool()>& condition, int milliseconds);

// Runs functions on the UI thread from the driver thread: a message-only
// window of the UI thread's that every message loop there dispatches to
// (the modal loops, message boxes and menus included).
class UiInvoker final : public CWnd {
public:
    static constexpr UINT kRun = WM_APP + 1;

    // On the UI thread.
    bool Create();
    // Waits until fn has run (bounded); false when the UI thread did not get to it.
    bool Call(std::function<void()> fn, int milliseconds = kHangLimitMs);
    // Runs fn later, from whatever loop runs then; fn may open a nested loop.
    void Post(std::function<void()> fn);
    // Waits until the UI thread has handled every message posted to it and
    // all the input it had before this call, and found nothing more waiting
    // (a thread handles its posted messages in order, whichever of its
    // windows they are for), then runs fn there once its windows have painted
    // what is invalid: fn sees the thread idle, with no paint half done.
    // False when the thread did not get to it (bounded).
    bool CallWhenIdle(std::function<void()> fn, int milliseconds = kHangLimitMs);

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
};
