#include "sim/memory_file_system.h"

#include <algorithm>
#include <cstring>

class MemoryFileSystem::Handle final : public File {
public:
    Handle(MemoryFileSystem& owner, std::shared_ptr<Entry> entry, bool canRead, bool canWrite)
        : m_owner(owner), m_entry(std::move(entry)), m_canRead(canRead), m_canWrite(canWrite) {
        ++m_owner.m_openFiles;
    }
    ~Handle() override { --m_owner.m_openFiles; }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;

    size_t Read(void* data, size_t size) override {
        if (!m_canRead) return 0;
        const std::vector<uint8_t>& bytes = m_entry->bytes;
        if (m_position >= bytes.size()) return 0;
        size_t count = std::min(size, bytes.size() - m_position);
        std::memcpy(data, bytes.data() + m_position, count);
        m_position += count;
        return count;
    }

    bool Write(const void* data, size_t size) override {
        if (!m_canWrite) return false;
        size_t count = size;
        if (m_owner.m_freeSpace) {
            count = std::min(count, *m_owner.m_freeSpace);
            *m_owner.m_freeSpace -= count;
        }
        std::vector<uint8_t>& bytes = m_entry->bytes;
        if (bytes.size() < m_position + count) bytes.resize(m_position + count);
        if (count) std::memcpy(bytes.data() + m_position, data, count);
        m_position += count;
        return count == size;
    }

    bool SeekToStart() override {
        m_position = 0;
        return true;
    }

    bool Flush() override { return true; }

private:
    MemoryFileSystem& m_owner;
    std::shared_ptr<Entry> m_entry;
    bool m_canRead;
    bool m_canWrite;
    size_t m_position = 0;
};

std::u16string MemoryFileSystem::Normalise(const std::u16string& path) {
    std::u16string result;
    result.reserve(path.size());
    for (char16_t c : path) {
        if (c == u'/') c = u'\\';
        if (c >= u'A' && c <= u'Z') c = char16_t(c - u'A' + u'a');
        result += c;
    }
    while (!result.empty() && result.back() == u'\\') result.pop_back();
    return result;
}

std::u16string MemoryFileSystem::ParentOf(const std::u16string& normalised) {
    size_t slash = normalised.find_last_of(u'\\');
    return slash == std::u16string::npos ? std::u16string() : normalised.substr(0, slash);
}

bool MemoryFileSystem::FolderOk(const std::u16string& normalised) const {
    return m_folders.count(normalised) != 0;
}

bool MemoryFileSystem::FolderWritable(const std::u16string& normalised) const {
    return m_readOnlyFolders.count(normalised) == 0;
}

void MemoryFileSystem::AddFolder(const std::u16string& path) {
    for (std::u16string folder = Normalise(path); !folder.empty(); folder = ParentOf(folder))
        m_folders.insert(folder);
}

bool MemoryFileSystem::FolderExists(const std::u16string& path) const {
    return FolderOk(Normalise(path));
}

void MemoryFileSystem::RemoveFolder(const std::u16string& path) {
    std::u16string folder = Normalise(path);
    std::u16string prefix = folder + u'\\';
    auto below = [&](const std::u16string& name) {
        return name == folder || name.compare(0, prefix.size(), prefix) == 0;
    };
    std::erase_if(m_folders, below);
    std::erase_if(m_files, [&](const auto& item) { return below(item.first); });
}

void MemoryFileSystem::SetFolderReadOnly(const std::u16string& path, bool readOnly) {
    if (readOnly)
        m_readOnlyFolders.insert(Normalise(path));
    else
        m_readOnlyFolders.erase(Normalise(path));
}

void MemoryFileSystem::PutFile(const std::u16string& path, std::vector<uint8_t> bytes) {
    auto entry = std::make_shared<Entry>();
    entry->bytes = std::move(bytes);
    m_files[Normalise(path)] = std::move(entry);
}

std::optional<std::vector<uint8_t>> MemoryFileSystem::GetFile(const std::u16string& path) const {
    if (const std::vector<uint8_t>* bytes = FileBytes(path)) return *bytes;
    return std::nullopt;
}

const std::vector<uint8_t>* MemoryFileSystem::FileBytes(const std::u16string& path) const {
    auto it = m_files.find(Normalise(path));
    return it == m_files.end() ? nullptr : &it->second->bytes;
}

void MemoryFileSystem::SetReadOnly(const std::u16string& path, bool readOnly) {
    auto it = m_files.find(Normalise(path));
    if (it != m_files.end()) it->second->readOnly = readOnly;
}

std::vector<std::u16string> MemoryFileSystem::FileNames() const {
    std::vector<std::u16string> names;
    for (const auto& item : m_files) names.push_back(item.first);
    return names;
}

size_t MemoryFileSystem::FileCountIn(const std::u16string& folder) const {
    std::u16string name = Normalise(folder);
    size_t count = 0;
    for (const auto& item : m_files) count += ParentOf(item.first) == name ? 1 : 0;
    return count;
}

void MemoryFileSystem::FailOpen(const std::u16string& path, FileError error) {
    if (error == FileError::None)
        m_failOpen.erase(Normalise(path));
    else
        m_failOpen[Normalise(path)] = error;
}

std::unique_ptr<File> MemoryFileSystem::Open(const std::u16string& path, FileOpenMode mode,
                                             FileError* error) {
    FileError dummy;
    FileError& result = error ? *error : dummy;
    std::u16string name = Normalise(path);
    std::u16string parent = ParentOf(name);

    auto forced = m_failOpen.find(name);
    if (forced != m_failOpen.end()) {
        result = forced->second;
        return nullptr;
    }
    if (name.empty() || !FolderOk(parent)) {
        result = FileError::PathNotFound;
        return nullptr;
    }
    if (FolderOk(name)) {  // a folder is not a file
        result = FileError::AccessDenied;
        return nullptr;
    }

    auto it = m_files.find(name);
    bool createsNew = mode == FileOpenMode::CreateNewWrite;
    bool creates = createsNew || mode == FileOpenMode::CreateWrite || mode == FileOpenMode::CreateReadWrite;
    bool writes = mode != FileOpenMode::Read;
    bool reads = mode != FileOpenMode::CreateWrite && !createsNew;
    if (it != m_files.end() && createsNew) {
        result = FileError::Exists;
        return nullptr;
    }
    if (it == m_files.end()) {
        if (!creates) {
            result = FileError::NotFound;
            return nullptr;
        }
        if (!FolderWritable(parent)) {
            result = FileError::AccessDenied;
            return nullptr;
        }
        it = m_files.emplace(name, NewEntry()).first;
    } else {
        if (writes && it->second->readOnly) {
            result = FileError::AccessDenied;
            return nullptr;
        }
        if (creates) it->second->bytes.clear();
    }
    result = FileError::None;
    return std::make_unique<Handle>(*this, it->second, reads, writes);
}

bool MemoryFileSystem::CreateFolder(const std::u16string& path) {
    std::u16string name = Normalise(path);
    if (FolderOk(name)) return true;
    std::u16string parent = ParentOf(name);
    if (name.empty() || !FolderOk(parent) || !FolderWritable(parent) || m_files.count(name))
        return false;
    m_folders.insert(name);
    return true;
}

FileError MemoryFileSystem::Replace(const std::u16string& from, const std::u16string& to) {
    std::u16string source = Normalise(from);
    std::u16string target = Normalise(to);
    // A file that may not be opened (another program holds it) is not moved either.
    for (const std::u16string& name : {source, target}) {
        auto forced = m_failOpen.find(name);
        if (forced != m_failOpen.end()) return forced->second;
    }
    auto it = m_files.find(source);
    if (it == m_files.end()) return FileError::NotFound;
    if (!FolderOk(ParentOf(target))) return FileError::PathNotFound;
    if (!FolderWritable(ParentOf(target)) || !FolderWritable(ParentOf(source)))
        return FileError::AccessDenied;
    auto old = m_files.find(target);
    if (old != m_files.end() && old->second->readOnly) return FileError::AccessDenied;
    std::shared_ptr<Entry> entry = it->second;
    m_files.erase(it);
    std::shared_ptr<Entry>& slot = m_files[target];
    if (slot) Recycle(std::move(slot));
    slot = std::move(entry);
    return FileError::None;
}

bool MemoryFileSystem::Remove(const std::u16string& path) {
    auto it = m_files.find(Normalise(path));
    if (it == m_files.end() || it->second->readOnly) return false;
    Recycle(std::move(it->second));
    m_files.erase(it);
    return true;
}

std::shared_ptr<MemoryFileSystem::Entry> MemoryFileSystem::NewEntry() {
    auto entry = std::make_shared<Entry>();
    if (!m_spareBytes.empty()) {
        entry->bytes.swap(m_spareBytes.back());
        m_spareBytes.pop_back();
    }
    return entry;
}

void MemoryFileSystem::Recycle(std::shared_ptr<Entry> entry) {
    // A handle still open on the file keeps reading its bytes.
    if (entry.use_count() != 1 || entry->bytes.capacity() == 0 || m_spareBytes.size() == kSpareFiles)
        return;
    entry->bytes.clear();
    m_spareBytes.push_back(std::move(entry->bytes));
}
