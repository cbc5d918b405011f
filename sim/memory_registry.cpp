#include "sim/memory_registry.h"

#include <cstring>

class MemoryRegistry::Key final : public RegistryKey {
public:
    explicit Key(MemoryRegistry& owner) : m_owner(owner) { ++m_owner.m_openKeys; }
    ~Key() override { --m_owner.m_openKeys; }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;

    RegistryQuery Query(std::u16string_view name, void* buffer, uint32_t capacity) override {
        RegistryQuery result;
        auto it = m_owner.m_values.find(std::u16string(name));
        if (!m_owner.m_keyExists || it == m_owner.m_values.end()) {
            result.status = RegistryStatus::Missing;
            return result;
        }
        const Value& value = it->second;
        result.isBinary = value.type == kBinary;
        result.size = uint32_t(value.bytes.size());
        if (value.bytes.size() > capacity) {
            // The system leaves the buffer in no defined state; make that visible.
            std::memset(buffer, 0xEE, capacity);
            result.status = RegistryStatus::MoreData;
            return result;
        }
        if (!value.bytes.empty()) std::memcpy(buffer, value.bytes.data(), value.bytes.size());
        result.status = RegistryStatus::Ok;
        return result;
    }

    bool SetBinary(std::u16string_view name, const void* data, uint32_t size) override {
        if (m_owner.m_failWrites || !m_owner.m_keyExists) return false;
        const auto* bytes = static_cast<const uint8_t*>(data);
        m_owner.m_values[std::u16string(name)] = Value{kBinary, std::vector<uint8_t>(bytes, bytes + size)};
        ++m_owner.m_writes;
        return true;
    }

private:
    MemoryRegistry& m_owner;
};

void MemoryRegistry::SetKeyExists(bool exists) {
    m_keyExists = exists;
    if (!exists) m_values.clear();
}

void MemoryRegistry::Put(const std::u16string& name, std::vector<uint8_t> bytes, uint32_t type) {
    m_keyExists = true;
    m_values[name] = Value{type, std::move(bytes)};
}

std::optional<MemoryRegistry::Value> MemoryRegistry::Get(const std::u16string& name) const {
    auto it = m_values.find(name);
    if (!m_keyExists || it == m_values.end()) return std::nullopt;
    return it->second;
}

std::unique_ptr<RegistryKey> MemoryRegistry::Open() {
    if (m_failOpen || !m_keyExists) return nullptr;
    return std::make_unique<Key>(*this);
}

std::unique_ptr<RegistryKey> MemoryRegistry::Create() {
    if (m_failCreate) return nullptr;
    m_keyExists = true;
    return std::make_unique<Key>(*this);
}
