// The program's registry key held in memory, with the system's behaviour where
// callers depend on it (an oversized value leaves the buffer undefined) and
// switchable failures.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "device/registry.h"

class MemoryRegistry final : public Registry {
public:
    static constexpr uint32_t kBinary = 3;  // REG_BINARY
    static constexpr uint32_t kDword = 4;   // REG_DWORD

    struct Value {
        uint32_t type = kBinary;
        std::vector<uint8_t> bytes;
    };

    bool KeyExists() const { return m_keyExists; }
    void SetKeyExists(bool exists);  // false also drops every value
    void Put(const std::u16string& name, std::vector<uint8_t> bytes, uint32_t type = kBinary);
    std::optional<Value> Get(const std::u16string& name) const;

    void FailOpen(bool fail) { m_failOpen = fail; }
    void FailCreate(bool fail) { m_failCreate = fail; }
    void FailWrites(bool fail) { m_failWrites = fail; }

    int OpenKeyCount() const { return m_openKeys; }
    int WriteCount() const { return m_writes; }

    std::unique_ptr<RegistryKey> Open() override;
    std::unique_ptr<RegistryKey> Create() override;

private:
    class Key;
    friend class Key;

    bool m_keyExists = false;
    std::map<std::u16string, Value> m_values;
    bool m_failOpen = false;
    bool m_failCreate = false;
    bool m_failWrites = false;
    int m_openKeys = 0;
    int m_writes = 0;
};
