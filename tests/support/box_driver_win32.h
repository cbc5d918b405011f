// Skinned boxes under test: the box runs modally on the test's thread while a
// driver thread acts on it as a user or a sync worker would. Every wait is
// bounded, and a box still open when its driver is done is ended with
// kBoxNotEnded, so that a fault fails the test instead of hanging it.
#pragma once

#include <windows.h>

#include <functional>
#include <thread>

#include "skin/skinned_dialog_win32.h"
#include "support/message_spy_win32.h"
#include "support/ui_thread_win32.h"

constexpr DWORD kBoxWaitMs = kHangLimitMs;
constexpr UINT kEndBoxForTest = WM_APP + 0x3F0;
constexpr UINT kBoxMarkerForTest = WM_APP + 0x3F1;  // no box handles it
constexpr INT_PTR kBoxNotEnded = -2;

// Waits until the box's thread has handled everything posted to the box so
// far: a marker posted behind it has come out of the queue. True as well when
// the box has gone meanwhile. Only a hang reaches the limit.
inline bool WaitUntilBoxHandled(HWND box, int milliseconds = kHangLimitMs) {
    MessageSpy spy(box, [](UINT msg) { return msg == kBoxMarkerForTest; });
    if (!spy.ok() || !::PostMessageW(box, kBoxMarkerForTest, 0, 0)) return !::IsWindow(box);
    return WaitFor([&] { return spy.Count(kBoxMarkerForTest) > 0 || !::IsWindow(box); }, milliseconds);
}

// A box that a test can end from outside (kEndBoxForTest).
template <typename Box>
class EndableBox : public Box {
public:
    using Box::Box;

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg == kEndBoxForTest) {
            this->EndDialog(kBoxNotEnded);
            return 0;
        }
        return Box::WindowProc(msg, wp, lp);
    }
};

// Runs box modally; `act` runs on a driver thread with the box's window once
// the box is ready (it is not called when the box never came up).
inline INT_PTR RunBoxDriven(CSkinnedDialog& box, const std::function<void(HWND)>& act) {
    std::thread driver([&] {
        HWND hwnd = box.WaitUntilReady(kBoxWaitMs);
        if (!hwnd) return;
        act(hwnd);
        // What act posted has been handled: a box still up did not end (an
        // act that ends a box from another thread waits for that itself).
        WaitUntilBoxHandled(hwnd);
        if (box.WaitUntilReady(0)) ::PostMessageW(hwnd, kEndBoxForTest, 0, 0);
    });
    INT_PTR result = box.DoModal();
    driver.join();
    return result;
}

// A click on the box's control under a client point, as the mouse gives it.
inline void ClickBoxAt(HWND box, int x, int y) {
    HWND control = ::ChildWindowFromPoint(box, POINT{x, y});
    POINT local{x, y};
    ::MapWindowPoints(box, control, &local, 1);
    ::PostMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(local.x, local.y));
    ::PostMessageW(control, WM_LBUTTONUP, 0, MAKELPARAM(local.x, local.y));
    WaitUntilBoxHandled(box);
}
