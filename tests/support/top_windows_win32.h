// The windows of the test's own process as a user sees them (the main window,
// a skinned modal box, a layered popup, a system message box), found from any
// thread: a driver thread reads only what the system keeps for every window.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// The top-level windows of this process, topmost first.
std::vector<HWND> TopLevelWindows();

// The first visible top-level window of this process with that title and that
// window class; a null title or class matches any.
HWND FindTopLevelWindow(const wchar_t* title, const wchar_t* className = nullptr);
// The first visible top-level window of this process that match accepts (a
// layered popup has neither title nor a class of its own).
HWND FindTopLevelWindow(const std::function<bool(HWND)>& match);
// The same, waiting for it (bounded); null when it did not come in time.
HWND WaitForTopLevelWindow(const wchar_t* title, const wchar_t* className, int milliseconds);
// A top-level window of this process whose message-box text is `text`.
HWND FindMessageBox(const wchar_t* text);

std::wstring WindowTitle(HWND hwnd);
std::wstring WindowClassName(HWND hwnd);

// True while root, or a window at any depth below it, still has a part to
// paint: on the window's own thread, whether the screen shows it as it is.
bool WaitsForPaint(HWND root);

// The first descendant of parent with that control id, at any depth (a page's
// controls are grandchildren of the main window).
HWND FindControl(HWND parent, int id);
// The first descendant of parent that shows text (a box's field, a label).
HWND FindChildWithText(HWND parent, const wchar_t* text);
