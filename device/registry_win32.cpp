#include "device/registry.h"

#include <windows.h>

namespace {

const wchar_t* Wide(const std::u16string& text) {
    return reinterpret_cast<const wchar_t*>(text.c_str());
}

class Win32RegistryKey final : public RegistryKey {
public:
    explicit Win32RegistryKey(HKEY key) : m_key(key) {}
    ~Win32RegistryKey() override { RegCloseKey(m_key); }
    Win32RegistryKey(const Win32RegistryKey&) = delete;
    Win32RegistryKey& operator=(const Win32RegistryKey&) = delete;

    RegistryQuery Query(std::u16string_view name, void* buffer, uint32_t capacity) override {
        std::u16string valueName(name);
        DWORD type = REG_NONE;
        DWORD size = capacity;
        LONG rc = RegQueryValueExW(m_key, Wide(valueName), nullptr, &type,
                                   static_cast<BYTE*>(buffer), &size);
        RegistryQuery result;
        result.isBinary = type == REG_BINARY;
        result.size = size;
        switch (rc) {
        case ERROR_SUCCESS: result.status = RegistryStatus::Ok; break;
        case ERROR_FILE_NOT_FOUND:
            result.status = RegistryStatus::Missing;
            result.isBinary = false;
            result.size = 0;
            break;
        case ERROR_MORE_DATA: result.status = RegistryStatus::MoreData; break;
        default: result.status = RegistryStatus::Failed; break;
        }
        return result;
    }

    bool SetBinary(std::u16string_view name, const void* data, uint32_t size) override {
        std::u16string valueName(name);
        return RegSetValueExW(m_key, Wide(valueName), 0, REG_BINARY,
                              static_cast<const BYTE*>(data), size) == ERROR_SUCCESS;
    }

private:
    HKEY m_key;
};

class Win32Registry final : public Registry {
public:
    explicit Win32Registry(std::u16string keyPath) : m_keyPath(std::move(keyPath)) {}

    std::unique_ptr<RegistryKey> Open() override {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, Wide(m_keyPath), 0, KEY_READ | KEY_WRITE, &key) !=
            ERROR_SUCCESS)
            return nullptr;
        return std::make_unique<Win32RegistryKey>(key);
    }

    std::unique_ptr<RegistryKey> Create() override {
        HKEY key = nullptr;
        if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, Wide(m_keyPath), 0, nullptr, REG_OPTION_NON_VOLATILE,
                            KEY_READ | KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS)
            return nullptr;
        return std::make_unique<Win32RegistryKey>(key);
    }

private:
    std::u16string m_keyPath;
};

}  // namespace

std::unique_ptr<Registry> MakeWin32Registry(std::u16string keyPath) {
    return std::make_unique<Win32Registry>(std::move(keyPath));
}
