// The common open and save dialogs behind a seam: the program asks the system,
// tests put a handler in place that sees what was asked and gives the name.
#pragma once

// commdlg.h needs the types of windows.h first.
// clang-format off
#include <windows.h>
#include <commdlg.h>
// clang-format on

#include <functional>
#include <optional>
#include <string>

struct FileDialogRequest {
    bool save = false;
    HWND owner = nullptr;
    DWORD flags = 0;  // OFN_*
    const wchar_t* defaultExtension = nullptr;
    const wchar_t* filter = nullptr;  // pairs of texts, ended by an empty one
};

// The chosen file's full path, or nothing when the user cancelled.
using FileDialogHandler = std::function<std::optional<std::wstring>(const FileDialogRequest&)>;

// An empty handler restores the system's dialogs.
void SetFileDialogHandler(FileDialogHandler handler);

// The settings files: "*.ini" offered, ".ini" added to a bare name, the
// read-only box hidden, an existing file overwritten only when the user agrees.
std::optional<std::wstring> AskSettingsFileToSave(HWND owner);
// The same for opening; the current folder stays as it was.
std::optional<std::wstring> AskSettingsFileToOpen(HWND owner);
