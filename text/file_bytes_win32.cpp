#include <windows.h>

#include "text/file_bytes.h"

namespace {

struct FileHandle {
    HANDLE handle;
    ~FileHandle() {
        if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
    }
};

// The system's text for an error code, cut before its first line break.
std::u16string SystemErrorText(DWORD code) {
    wchar_t* buffer = nullptr;
    DWORD length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                      FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::u16string text;
    if (length != 0 && buffer) text.assign(reinterpret_cast<const char16_t*>(buffer), length);
    if (buffer) LocalFree(buffer);
    size_t end = text.find_first_of(u"\r\n");
    if (end != std::u16string::npos) text.resize(end);
    if (text.empty()) {
        std::string number = "Error " + std::to_string(code);
        text.assign(number.begin(), number.end());
    }
    return text;
}

}  // namespace

bool ReadFileBytes(std::u16string_view path, std::string& bytes, std::u16string& error) {
    bytes.clear();
    error.clear();
    std::wstring widePath(path.begin(), path.end());
    // A folder cannot be opened this way (no backup semantics): it fails with
    // access denied, as the C runtime's open does.
    FileHandle file{CreateFileW(widePath.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)};
    if (file.handle == INVALID_HANDLE_VALUE) {
        error = SystemErrorText(GetLastError());
        return false;
    }
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.handle, &size) || size.QuadPart > 0x7FFFFFFF) {
        error = SystemErrorText(size.QuadPart > 0x7FFFFFFF ? ERROR_FILE_TOO_LARGE : GetLastError());
        return false;
    }
    bytes.resize(size_t(size.QuadPart));
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD read = 0;
        if (!ReadFile(file.handle, bytes.data() + done, DWORD(bytes.size() - done), &read, nullptr)) {
            error = SystemErrorText(GetLastError());
            bytes.clear();
            return false;
        }
        if (read == 0) break;  // the file shrank while we read it
        done += read;
    }
    bytes.resize(done);
    return true;
}
