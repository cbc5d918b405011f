// The program's registry key: binary values under one key of the machine hive.
// Every access opens the key, does its work and closes it again; the key object
// closes itself when it goes out of scope.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

// Under HKEY_LOCAL_MACHINE.
inline constexpr char16_t kProgramRegistryKey[] = u"Software\\Ostrel";

enum class RegistryStatus {
    Ok,
    Missing,   // the value does not exist
    MoreData,  // the value is larger than the buffer; the buffer's bytes are undefined
    Failed,
};

struct RegistryQuery {
    RegistryStatus status = RegistryStatus::Failed;
    bool isBinary = false;  // the value's type is REG_BINARY
    // The size the system reported: the bytes read on success, the value's whole
    // size on MoreData and for a value of another type.
    uint32_t size = 0;

    bool IsBinaryValue() const { return status == RegistryStatus::Ok && isBinary; }
};

class RegistryKey {
public:
    virtual ~RegistryKey() = default;  // closes the key
    // Reads at most capacity bytes into buffer.
    virtual RegistryQuery Query(std::u16string_view name, void* buffer, uint32_t capacity) = 0;
    // Writes a REG_BINARY value.
    virtual bool SetBinary(std::u16string_view name, const void* data, uint32_t size) = 0;
};

class Registry {
public:
    virtual ~Registry() = default;
    // Both open with read and write access; null when that fails.
    virtual std::unique_ptr<RegistryKey> Open() = 0;
    virtual std::unique_ptr<RegistryKey> Create() = 0;  // opens the key when it exists
};

// The registry in use. Until one is installed every open fails.
Registry& GetRegistry();
void SetRegistry(Registry* registry);

// Windows build only: the real registry, keyPath under HKEY_LOCAL_MACHINE.
std::unique_ptr<Registry> MakeWin32Registry(std::u16string keyPath = kProgramRegistryKey);
