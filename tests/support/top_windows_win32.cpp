#include "support/top_windows_win32.h"

#include <algorithm>

#include "support/ui_thread_win32.h"

std::vector<HWND> TopLevelWindows() {
    std::vector<HWND> found;
    ::EnumWindows(
        [](HWND hwnd, LPARAM lp) -> BOOL {
            DWORD pid = 0;
            ::GetWindowThreadProcessId(hwnd, &pid);
            if (pid == ::GetCurrentProcessId())
                reinterpret_cast<std::vector<HWND>*>(lp)->push_back(hwnd);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

std::wstring WindowTitle(HWND hwnd) {
    int length = ::GetWindowTextLengthW(hwnd);
    if (length <= 0) return {};
    std::wstring text(size_t(length) + 1, L'\0');
    text.resize(size_t(std::max(0, ::GetWindowTextW(hwnd, text.data(), length + 1))));
    return text;
}

std::wstring WindowClassName(HWND hwnd) {
    wchar_t name[256] = {};
    ::GetClassNameW(hwnd, name, 256);
    return name;
}

HWND FindTopLevelWindow(const std::function<bool(HWND)>& match) {
    for (HWND hwnd : TopLevelWindows()) {
        if (::IsWindowVisible(hwnd) && match(hwnd)) return hwnd;
    }
    return nullptr;
}

HWND FindTopLevelWindow(const wchar_t* title, const wchar_t* className) {
    return FindTopLevelWindow([&](HWND hwnd) {
        return (!title || WindowTitle(hwnd) == title) &&
               (!className || WindowClassName(hwnd) == className);
    });
}

HWND WaitForTopLevelWindow(const wchar_t* title, const wchar_t* className, int milliseconds) {
    HWND found = nullptr;
    WaitFor([&] { return (found = FindTopLevelWindow(title, className)) != nullptr; },
            milliseconds);
    return found;
}

HWND FindMessageBox(const wchar_t* text) {
    for (HWND hwnd : TopLevelWindows()) {
        // The system's message box keeps its text in a static of id 0xFFFF.
        HWND label = ::GetDlgItem(hwnd, 0xFFFF);
        if (label && WindowTitle(label) == text) return hwnd;
    }
    return nullptr;
}

bool WaitsForPaint(HWND root) {
    if (::GetUpdateRect(root, nullptr, FALSE)) return true;
    bool waits = false;
    ::EnumChildWindows(
        root,
        [](HWND hwnd, LPARAM lp) -> BOOL {
            if (!::GetUpdateRect(hwnd, nullptr, FALSE)) return TRUE;
            *reinterpret_cast<bool*>(lp) = true;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&waits));
    return waits;
}

HWND FindControl(HWND parent, int id) {
    struct Search {
        int id;
        HWND found;
    } search{id, nullptr};
    // EnumChildWindows walks the whole tree below parent, depth first.
    ::EnumChildWindows(
        parent,
        [](HWND hwnd, LPARAM lp) -> BOOL {
            auto* s = reinterpret_cast<Search*>(lp);
            if (::GetDlgCtrlID(hwnd) != s->id) return TRUE;
            s->found = hwnd;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND FindChildWithText(HWND parent, const wchar_t* text) {
    struct Search {
        const wchar_t* text;
        HWND found;
    } search{text, nullptr};
    ::EnumChildWindows(
        parent,
        [](HWND child, LPARAM lp) -> BOOL {
            auto* s = reinterpret_cast<Search*>(lp);
            if (WindowTitle(child) != s->text) return TRUE;
            s->found = child;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}
