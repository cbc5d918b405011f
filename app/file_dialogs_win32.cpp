#include "app/file_dialogs_win32.h"

#include <utility>
#include <vector>

namespace {

// "ini Files(*.ini)|*.ini||" in the system's form.
constexpr wchar_t kSettingsFilter[] = L"ini Files(*.ini)\0*.ini\0";
constexpr wchar_t kSettingsExtension[] = L"ini";
// Long enough for any path the system hands back.
constexpr DWORD kPathCapacity = 32768;

FileDialogHandler& Handler() {
    static FileDialogHandler handler;
    return handler;
}

std::optional<std::wstring> RunSystemDialog(const FileDialogRequest& request) {
    std::vector<wchar_t> path(kPathCapacity, L'\0');
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = request.owner;
    ofn.lpstrFilter = request.filter;
    ofn.lpstrFile = path.data();
    ofn.nMaxFile = kPathCapacity;
    ofn.lpstrDefExt = request.defaultExtension;
    ofn.Flags = request.flags | OFN_EXPLORER;
    const BOOL chosen = request.save ? ::GetSaveFileNameW(&ofn) : ::GetOpenFileNameW(&ofn);
    if (!chosen) return std::nullopt;
    return std::wstring(path.data());
}

std::optional<std::wstring> Ask(bool save, HWND owner, DWORD flags) {
    FileDialogRequest request;
    request.save = save;
    request.owner = owner;
    request.flags = flags;
    request.defaultExtension = kSettingsExtension;
    request.filter = kSettingsFilter;
    if (const FileDialogHandler& handler = Handler()) return handler(request);
    return RunSystemDialog(request);
}

}  // namespace

void SetFileDialogHandler(FileDialogHandler handler) { Handler() = std::move(handler); }

std::optional<std::wstring> AskSettingsFileToSave(HWND owner) {
    return Ask(true, owner, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT);
}

std::optional<std::wstring> AskSettingsFileToOpen(HWND owner) {
    return Ask(false, owner, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_NOCHANGEDIR);
}
