// Files and folders held in memory, with Windows path rules (case does not
// matter, either slash separates) and the failures the stores must handle:
// missing folders, read-only files and folders, a forced open error, a full disk.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "device/file_system.h"

class MemoryFileSystem final : public FileSystem {
public:
    // Adds the folder and every folder above it.
    void AddFolder(const std::u16string& path);
    bool FolderExists(const std::u16string& path) const;
    // Drops the folder, everything below it and its files.
    void RemoveFolder(const std::u16string& path);
    // No file can be created in the folder, nor replaced there.
    void SetFolderReadOnly(const std::u16string& path, bool readOnly);

    // The folder must exist.
    void PutFile(const std::u16string& path, std::vector<uint8_t> bytes);
    std::optional<std::vector<uint8_t>> GetFile(const std::u16string& path) const;
    // The file's own bytes, not a copy (a two-megabyte store checked after every
    // change); null when there is no such file. Valid until the file is replaced.
    const std::vector<uint8_t>* FileBytes(const std::u16string& path) const;
    bool FileExists(const std::u16string& path) const { return FileBytes(path) != nullptr; }
    void SetReadOnly(const std::u16string& path, bool readOnly);
    std::vector<std::u16string> FileNames() const;  // normalised
    size_t FileCountIn(const std::u16string& folder) const;  // directly in it

    // Every open of path fails with error, whatever the mode.
    void FailOpen(const std::u16string& path, FileError error);
    // Only so many more bytes fit on the disk; a write beyond them stores what fits and fails.
    void SetFreeSpace(std::optional<size_t> bytes) { m_freeSpace = bytes; }
    int OpenFileCount() const { return m_openFiles; }

    std::unique_ptr<File> Open(const std::u16string& path, FileOpenMode mode,
                               FileError* error) override;
    bool CreateFolder(const std::u16string& path) override;
    FileError Replace(const std::u16string& from, const std::u16string& to) override;
    bool Remove(const std::u16string& path) override;

private:
    struct Entry {
        std::vector<uint8_t> bytes;
        bool readOnly = false;
    };
    class Handle;
    friend class Handle;

    static std::u16string Normalise(const std::u16string& path);
    static std::u16string ParentOf(const std::u16string& normalised);
    bool FolderOk(const std::u16string& normalised) const;
    bool FolderWritable(const std::u16string& normalised) const;
    // A file made takes the bytes' memory of one that went: a store saved again
    // and again (beside itself, then moved over itself) then writes into memory
    // already in use, where fresh memory for every save costs, under the
    // sanitizers, far more than the writing.
    std::shared_ptr<Entry> NewEntry();
    void Recycle(std::shared_ptr<Entry> entry);

    std::set<std::u16string> m_folders;
    std::set<std::u16string> m_readOnlyFolders;
    std::map<std::u16string, std::shared_ptr<Entry>> m_files;
    std::map<std::u16string, FileError> m_failOpen;
    std::optional<size_t> m_freeSpace;
    // Empty, each with the memory of a file that went: as many as a save keeps
    // files alive at once, the file and the one written beside it.
    static constexpr size_t kSpareFiles = 2;
    std::vector<std::vector<uint8_t>> m_spareBytes;
    int m_openFiles = 0;
};
