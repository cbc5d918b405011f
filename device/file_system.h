// Files as the stores use them: whole fixed-size records read and written at
// once. Callers branch on why an open failed, so the reasons the system gives
// are kept apart.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

enum class FileError {
    None,
    NotFound,      // the file does not exist (ERROR_FILE_NOT_FOUND, 2)
    PathNotFound,  // a folder of the path does not exist (ERROR_PATH_NOT_FOUND, 3)
    AccessDenied,  // ERROR_ACCESS_DENIED, 5
    Exists,        // a file of the name is there already (ERROR_FILE_EXISTS, 80)
    Other,
};

enum class FileOpenMode {
    Read,               // an existing file, read only
    CreateWrite,        // created, or truncated when it exists; write only
    ReadWriteExisting,  // an existing file, read and write, not truncated
    CreateReadWrite,    // created, or truncated when it exists; read and write
    CreateNewWrite,     // created only where no file of the name exists; write only
};

class File {
public:
    virtual ~File() = default;  // closes the file
    // Reads up to size bytes; a short count at the end of the file is no error.
    virtual size_t Read(void* data, size_t size) = 0;
    // True only when every byte was written.
    virtual bool Write(const void* data, size_t size) = 0;
    virtual bool SeekToStart() = 0;
    // Puts what was written on the disk before the file takes the place of another.
    virtual bool Flush() = 0;
};

class FileSystem {
public:
    virtual ~FileSystem() = default;
    // Null on failure, with the reason in error (which may be null).
    virtual std::unique_ptr<File> Open(const std::u16string& path, FileOpenMode mode,
                                       FileError* error) = 0;
    // A folder that already exists is no error; its parent must exist.
    virtual bool CreateFolder(const std::u16string& path) = 0;
    // Moves from onto to, replacing to when it exists.
    virtual FileError Replace(const std::u16string& from, const std::u16string& to) = 0;
    virtual bool Remove(const std::u16string& path) = 0;
};

// The file system in use. Until one is installed every open fails with Other.
FileSystem& GetFileSystem();
void SetFileSystem(FileSystem* files);

// Windows build only: the real file system.
FileSystem& Win32FileSystem();

// Writes a whole file so that a crash or a full disk half-way leaves the old
// file as it was: the bytes go to a file beside it, which then replaces it.
// That file is made new, under a name no file in the folder has, and is gone
// again whatever happens, so that no other file of the folder is touched.
// When that road is closed (a folder the program may not create files in, a
// target that cannot be replaced) the file itself is created or truncated and
// written, and the result is the error of opening it, as a plain write gives.
FileError WriteWholeFile(const std::u16string& path, const void* data, size_t size);

// The program's folder, ending with a backslash: the base of every path the
// stores use. The application sets it at start-up.
const std::u16string& ProgramFolder();
void SetProgramFolder(std::u16string folder);
