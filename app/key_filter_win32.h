// The key filter the main window and most pages share: Enter, Escape and Space
// would end or trigger a dialog through the dialog manager, and nothing here
// is meant to be driven that way.
#pragma once

#include <windows.h>

inline bool IsSwallowedDialogKey(const MSG* msg, bool alsoF1 = false) {
    if (msg->message != WM_KEYDOWN && msg->message != WM_KEYUP) return false;
    switch (msg->wParam) {
    case VK_RETURN:
    case VK_ESCAPE:
    case VK_SPACE:
        return true;
    case VK_F1:
        return alsoF1;
    default:
        return false;
    }
}
