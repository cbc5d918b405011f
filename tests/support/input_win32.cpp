#include "support/input_win32.h"

#include <vector>

#include "support/top_windows_win32.h"
#include "support/ui_thread_win32.h"

bool ClickControl(HWND control) {
    if (!control || !::IsWindow(control)) return false;
    RECT r{};
    ::GetClientRect(control, &r);
    const LPARAM at = MAKELPARAM((r.right - r.left) / 2, (r.bottom - r.top) / 2);
    return ::PostMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, at) &&
           ::PostMessageW(control, WM_LBUTTONUP, 0, at);
}

bool ClickControlById(HWND parent, int id) { return ClickControl(FindControl(parent, id)); }

bool AnswerMessageBox(const wchar_t* text, int milliseconds) {
    HWND box = nullptr;
    if (!WaitFor([&] { return (box = FindMessageBox(text)) != nullptr; }, milliseconds)) return false;
    ClickControlById(box, IDOK);
    return WaitFor([&] { return !::IsWindow(box); }, kHangLimitMs);
}

void SendKeys(std::initializer_list<WORD> keys) {
    std::vector<INPUT> inputs;
    for (WORD vk : keys) {
        INPUT down{};
        down.type = INPUT_KEYBOARD;
        down.ki.wVk = vk;
        INPUT up = down;
        up.ki.dwFlags = KEYEVENTF_KEYUP;
        inputs.push_back(down);
        inputs.push_back(up);
    }
    ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

void SendChord(std::initializer_list<WORD> keys) {
    std::vector<INPUT> inputs;
    inputs.reserve(2 * keys.size());
    for (WORD vk : keys) {
        INPUT down{};
        down.type = INPUT_KEYBOARD;
        down.ki.wVk = vk;
        inputs.push_back(down);
    }
    for (size_t i = keys.size(); i-- > 0;) {
        INPUT up = inputs[i];
        up.ki.dwFlags = KEYEVENTF_KEYUP;
        inputs.push_back(up);
    }
    ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}
