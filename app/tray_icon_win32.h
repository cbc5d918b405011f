// The notification-area icon behind a seam: the program calls the shell, tests
// put a handler in place that sees every call (a test display may have no
// notification area at all) and send the callback message themselves.
#pragma once

// shellapi.h needs the types of windows.h first.
// clang-format off
#include <windows.h>
#include <shellapi.h>
// clang-format on

#include <functional>

using TrayNotifyHandler = std::function<BOOL(DWORD message, const NOTIFYICONDATAW& data)>;

// An empty handler restores the shell.
void SetTrayNotifyHandler(TrayNotifyHandler handler);

// NIM_ADD, NIM_MODIFY or NIM_DELETE.
BOOL TrayNotify(DWORD message, NOTIFYICONDATAW& data);
