#include "device/file_system.h"

namespace {

class NoFileSystem final : public FileSystem {
public:
    std::unique_ptr<File> Open(const std::u16string&, FileOpenMode, FileError* error) override {
        if (error) *error = FileError::Other;
        return nullptr;
    }
    bool CreateFolder(const std::u16string&) override { return false; }
    FileError Replace(const std::u16string&, const std::u16string&) override {
        return FileError::Other;
    }
    bool Remove(const std::u16string&) override { return false; }
};

NoFileSystem g_noFileSystem;
FileSystem* g_fileSystem = &g_noFileSystem;
std::u16string g_programFolder;

// How many names beside a file are tried for its new version; when every one
// is taken the file is written in place.
constexpr int kSideNameCount = 100;

// The index-th name beside path that a new version may be written to. It
// keeps the length of the path where it can, so that a path that fits still fits.
std::u16string SideFileName(const std::u16string& path, int index) {
    const char16_t tag[] = {u'~', char16_t(u'0' + index / 10), char16_t(u'0' + index % 10), u'\0'};
    size_t slash = path.find_last_of(u"\\/");
    size_t dot = path.find_last_of(u'.');
    if (dot != std::u16string::npos && (slash == std::u16string::npos || dot > slash) &&
        path.size() - dot == 4)
        return path.substr(0, dot + 1) + tag;
    return path + u'.' + tag;
}

// Creates the file beside path that a new version is written to first. It is
// made only under a name no file has, so that it is never one of the user's;
// null when none could be made.
std::unique_ptr<File> CreateSideFile(FileSystem& files, const std::u16string& path,
                                     std::u16string* side) {
    for (int index = 0; index < kSideNameCount; ++index) {
        *side = SideFileName(path, index);
        if (*side == path) continue;
        FileError error = FileError::None;
        if (std::unique_ptr<File> file = files.Open(*side, FileOpenMode::CreateNewWrite, &error))
            return file;
        if (error != FileError::Exists) return nullptr;
    }
    return nullptr;
}

bool WriteAndFlush(File& file, const void* data, size_t size) {
    return file.Write(data, size) && file.Flush();
}

}  // namespace

FileSystem& GetFileSystem() {
    return *g_fileSystem;
}

void SetFileSystem(FileSystem* files) {
    g_fileSystem = files ? files : &g_noFileSystem;
}

FileError WriteWholeFile(const std::u16string& path, const void* data, size_t size) {
    FileSystem& files = GetFileSystem();
    std::u16string side;
    if (std::unique_ptr<File> file = CreateSideFile(files, path, &side)) {
        bool written = WriteAndFlush(*file, data, size);
        file.reset();
        if (!written) {
            // Most likely a full disk: the old file stays as it was.
            files.Remove(side);
            return FileError::Other;
        }
        if (files.Replace(side, path) == FileError::None) return FileError::None;
        files.Remove(side);
    }

    FileError error = FileError::None;
    std::unique_ptr<File> file = files.Open(path, FileOpenMode::CreateWrite, &error);
    if (!file) return error == FileError::None ? FileError::Other : error;
    return WriteAndFlush(*file, data, size) ? FileError::None : FileError::Other;
}

const std::u16string& ProgramFolder() {
    return g_programFolder;
}

void SetProgramFolder(std::u16string folder) {
    g_programFolder = std::move(folder);
}
