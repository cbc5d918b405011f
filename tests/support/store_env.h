// Where the store tests run: the in-memory registry and files, or (Windows
// build) the real registry and a folder of real files. Each environment installs
// itself as the registry, the file system and the program folder while it lives.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

class MemoryRegistry;
class MemoryFileSystem;

using Bytes = std::vector<uint8_t>;

constexpr uint32_t kRegBinary = 3;  // REG_BINARY
constexpr uint32_t kRegDword = 4;   // REG_DWORD

struct StoredValue {
    uint32_t type;
    Bytes bytes;
};

class StoreEnv {
public:
    virtual ~StoreEnv() = default;

    virtual std::u16string Folder() const = 0;  // the program folder, ending with a backslash

    virtual bool KeyExists() = 0;
    virtual void PutValue(const std::u16string& name, const Bytes& bytes, uint32_t type) = 0;
    virtual std::optional<StoredValue> GetValue(const std::u16string& name) = 0;

    virtual void AddFolder(const std::u16string& path) = 0;
    virtual void RemoveFolder(const std::u16string& path) = 0;  // with its files
    virtual void PutFile(const std::u16string& path, const Bytes& bytes) = 0;
    virtual std::optional<Bytes> GetFile(const std::u16string& path) = 0;
    virtual void RemoveFile(const std::u16string& path) = 0;
    // The files directly in the folder (path ending with a backslash).
    virtual size_t FileCount(const std::u16string& folder) = 0;
    virtual void SetReadOnly(const std::u16string& path, bool readOnly) = 0;
    // Wine run as root writes read-only files all the same.
    virtual bool ReadOnlyRefusesWrites() { return true; }

    // Only the in-memory environment can make the system fail at will.
    virtual MemoryRegistry* FakeRegistry() { return nullptr; }
    virtual MemoryFileSystem* FakeFiles() { return nullptr; }
};

struct StoreEnvKind {
    const char* name;
    std::function<std::unique_ptr<StoreEnv>()> make;
};

inline void PrintTo(const StoreEnvKind& kind, std::ostream* out) {
    *out << kind.name;
}

StoreEnvKind MemoryStoreEnv();
