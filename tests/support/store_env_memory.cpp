#include "support/store_env.h"

#include "device/file_system.h"
#include "device/registry.h"
#include "sim/memory_file_system.h"
#include "sim/memory_registry.h"

namespace {

class MemoryEnv final : public StoreEnv {
public:
    MemoryEnv() {
        m_files.AddFolder(Folder());
        SetRegistry(&m_registry);
        SetFileSystem(&m_files);
        SetProgramFolder(Folder());
    }
    ~MemoryEnv() override {
        SetRegistry(nullptr);
        SetFileSystem(nullptr);
        SetProgramFolder(u"");
    }

    std::u16string Folder() const override { return u"C:\\Program Files\\Quorvel\\"; }

    bool KeyExists() override { return m_registry.KeyExists(); }
    void PutValue(const std::u16string& name, const Bytes& bytes, uint32_t type) override {
        m_registry.Put(name, bytes, type);
    }
    std::optional<StoredValue> GetValue(const std::u16string& name) override {
        auto value = m_registry.Get(name);
        if (!value) return std::nullopt;
        return StoredValue{value->type, value->bytes};
    }

    void AddFolder(const std::u16string& path) override { m_files.AddFolder(path); }
    void RemoveFolder(const std::u16string& path) override { m_files.RemoveFolder(path); }
    void PutFile(const std::u16string& path, const Bytes& bytes) override {
        m_files.PutFile(path, bytes);
    }
    std::optional<Bytes> GetFile(const std::u16string& path) override {
        return m_files.GetFile(path);
    }
    void RemoveFile(const std::u16string& path) override { m_files.Remove(path); }
    size_t FileCount(const std::u16string& folder) override { return m_files.FileCountIn(folder); }
    void SetReadOnly(const std::u16string& path, bool readOnly) override {
        m_files.SetReadOnly(path, readOnly);
    }

    MemoryRegistry* FakeRegistry() override { return &m_registry; }
    MemoryFileSystem* FakeFiles() override { return &m_files; }

private:
    MemoryRegistry m_registry;
    MemoryFileSystem m_files;
};

}  // namespace

StoreEnvKind MemoryStoreEnv() {
    return {"Memory", [] { return std::unique_ptr<StoreEnv>(new MemoryEnv()); }};
}
