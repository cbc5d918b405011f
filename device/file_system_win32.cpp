#include "device/file_system.h"

#include <windows.h>

namespace {

const wchar_t* Wide(const std::u16string& text) {
    return reinterpret_cast<const wchar_t*>(text.c_str());
}

FileError ErrorFromSystem(DWORD code) {
    switch (code) {
    case ERROR_FILE_NOT_FOUND: return FileError::NotFound;
    case ERROR_PATH_NOT_FOUND: return FileError::PathNotFound;
    case ERROR_ACCESS_DENIED: return FileError::AccessDenied;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS: return FileError::Exists;
    default: return FileError::Other;
    }
}

class Win32File final : public File {
public:
    explicit Win32File(HANDLE handle) : m_handle(handle) {}
    ~Win32File() override { CloseHandle(m_handle); }
    Win32File(const Win32File&) = delete;
    Win32File& operator=(const Win32File&) = delete;

    size_t Read(void* data, size_t size) override {
        size_t total = 0;
        auto* bytes = static_cast<uint8_t*>(data);
        while (total < size) {
            DWORD chunk = DWORD(size - total > 0x40000000 ? 0x40000000 : size - total);
            DWORD got = 0;
            if (!ReadFile(m_handle, bytes + total, chunk, &got, nullptr) || got == 0) break;
            total += got;
        }
        return total;
    }

    bool Write(const void* data, size_t size) override {
        size_t total = 0;
        const auto* bytes = static_cast<const uint8_t*>(data);
        while (total < size) {
            DWORD chunk = DWORD(size - total > 0x40000000 ? 0x40000000 : size - total);
            DWORD done = 0;
            if (!WriteFile(m_handle, bytes + total, chunk, &done, nullptr) || done == 0)
                return false;
            total += done;
        }
        return true;
    }

    bool SeekToStart() override {
        return SetFilePointer(m_handle, 0, nullptr, FILE_BEGIN) != INVALID_SET_FILE_POINTER;
    }

    bool Flush() override { return FlushFileBuffers(m_handle) != 0; }

private:
    HANDLE m_handle;
};

class Win32Files final : public FileSystem {
public:
    std::unique_ptr<File> Open(const std::u16string& path, FileOpenMode mode,
                               FileError* error) override {
        DWORD access = 0;
        DWORD disposition = 0;
        switch (mode) {
        case FileOpenMode::Read:
            access = GENERIC_READ;
            disposition = OPEN_EXISTING;
            break;
        case FileOpenMode::CreateWrite:
            access = GENERIC_WRITE;
            disposition = CREATE_ALWAYS;
            break;
        case FileOpenMode::ReadWriteExisting:
            access = GENERIC_READ | GENERIC_WRITE;
            disposition = OPEN_EXISTING;
            break;
        case FileOpenMode::CreateReadWrite:
            access = GENERIC_READ | GENERIC_WRITE;
            disposition = CREATE_ALWAYS;
            break;
        case FileOpenMode::CreateNewWrite:
            access = GENERIC_WRITE;
            disposition = CREATE_NEW;
            break;
        }
        // Readers share with other readers only, as the framework's file class does.
        HANDLE handle = CreateFileW(Wide(path), access, FILE_SHARE_READ, nullptr, disposition,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle == INVALID_HANDLE_VALUE) {
            if (error) *error = ErrorFromSystem(GetLastError());
            return nullptr;
        }
        if (error) *error = FileError::None;
        return std::make_unique<Win32File>(handle);
    }

    bool CreateFolder(const std::u16string& path) override {
        if (CreateDirectoryW(Wide(path), nullptr)) return true;
        if (GetLastError() != ERROR_ALREADY_EXISTS) return false;
        DWORD attributes = GetFileAttributesW(Wide(path));
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    }

    FileError Replace(const std::u16string& from, const std::u16string& to) override {
        if (MoveFileExW(Wide(from), Wide(to), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return FileError::None;
        return ErrorFromSystem(GetLastError());
    }

    bool Remove(const std::u16string& path) override { return DeleteFileW(Wide(path)) != 0; }
};

}  // namespace

FileSystem& Win32FileSystem() {
    static Win32Files files;
    return files;
}
