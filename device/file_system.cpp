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

// The file beside path that a new version is written to first. It keeps the
// length of the path where it can, so that a path that fits still fits.
std::u16string SideFileName(const std::u16string& path) {
    size_t slash = path.find_last_of(u"\\/");
    size_t dot = path.find_last_of(u'.');
    if (dot != std::u16string::npos && (slash == std::u16string::npos || dot > slash) &&
        path.size() - dot == 4)
        return path.substr(0, dot) + u".new";
    return path + u".new";
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
    std::u16string side = SideFileName(path);
    if (side != path) {
        FileError error = FileError::None;
        if (std::unique_ptr<File> file = files.Open(side, FileOpenMode::CreateWrite, &error)) {
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
