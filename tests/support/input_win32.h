// Input for window tests. Clicks are posted to the control, so that a test's
// driver thread never pumps messages itself: the control's own thread takes
// the click in whatever loop it runs then, a nested modal loop included.
#pragma once

#include <windows.h>

#include <initializer_list>

#include "support/hang_limit.h"

// Posts a left press and release at the centre of the control, as a click
// there; nothing is pumped. False when there is no such window.
bool ClickControl(HWND control);
bool ClickControlById(HWND parent, int id);

// Waits (bounded) for the system message box with this text and clicks its
// OK button; true when such a box came and went.
bool AnswerMessageBox(const wchar_t* text, int milliseconds = kHangLimitMs);

// Real keyboard input (SendInput): each key pressed and released in turn. It
// goes to the focused window, through the low-level hooks first.
void SendKeys(std::initializer_list<WORD> keys);
inline void SendKey(WORD vk) { SendKeys({vk}); }
// Keys held together: each pressed in order, then released in reverse.
void SendChord(std::initializer_list<WORD> keys);
