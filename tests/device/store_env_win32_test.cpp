// The stores against the real registry and real files: each environment gets a
// key of its own under HKEY_LOCAL_MACHINE and a folder of its own, both removed after.
#include <gtest/gtest.h>

#include <atomic>
#include <string>

#include <windows.h>

#include "device/file_system.h"
#include "device/registry.h"
#include "support/profile_store_fixture.h"
#include "support/store_env.h"

namespace {

const wchar_t* W(const std::u16string& text) {
    return reinterpret_cast<const wchar_t*>(text.c_str());
}

std::u16string U(const wchar_t* text) {
    return std::u16string(reinterpret_cast<const char16_t*>(text));
}

std::u16string UniqueName() {
    static std::atomic<int> counter{0};
    return U(std::to_wstring(GetCurrentProcessId()).c_str()) + u"-" +
           U(std::to_wstring(counter++).c_str());
}

void RemoveTree(const std::u16string& folder) {
    WIN32_FIND_DATAW found;
    std::u16string pattern = folder + u"\\*";
    HANDLE search = FindFirstFileW(W(pattern), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::u16string name = U(found.cFileName);
            if (name == u"." || name == u"..") continue;
            std::u16string path = folder + u"\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(path);
            } else {
                SetFileAttributesW(W(path), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(W(path));
            }
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(W(folder));
}

std::u16string WithoutTrailingSlash(std::u16string path) {
    while (!path.empty() && path.back() == u'\\') path.pop_back();
    return path;
}

class Win32Env final : public StoreEnv {
public:
    Win32Env() {
        std::u16string name = UniqueName();
        m_keyPath = u"Software\\QuorvelTests\\" + name;
        wchar_t temp[MAX_PATH + 1];
        GetTempPathW(MAX_PATH, temp);
        m_folder = U(temp) + u"quorvel-store-" + name + u"\\";
        CreateDirectoryW(W(WithoutTrailingSlash(m_folder)), nullptr);
        m_registry = MakeWin32Registry(m_keyPath);
        SetRegistry(m_registry.get());
        SetFileSystem(&Win32FileSystem());
        SetProgramFolder(m_folder);
    }
    ~Win32Env() override {
        SetRegistry(nullptr);
        SetFileSystem(nullptr);
        SetProgramFolder(u"");
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, W(m_keyPath));
        RemoveTree(WithoutTrailingSlash(m_folder));
    }

    std::u16string Folder() const override { return m_folder; }

    bool KeyExists() override {
        HKEY key;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, W(m_keyPath), 0, KEY_READ, &key) != ERROR_SUCCESS)
            return false;
        RegCloseKey(key);
        return true;
    }

    void PutValue(const std::u16string& name, const Bytes& bytes, uint32_t type) override {
        HKEY key;
        ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, W(m_keyPath), 0, nullptr, 0, KEY_WRITE,
                                  nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        EXPECT_EQ(RegSetValueExW(key, W(name), 0, type, bytes.data(), DWORD(bytes.size())),
                  ERROR_SUCCESS);
        RegCloseKey(key);
    }

    std::optional<StoredValue> GetValue(const std::u16string& name) override {
        HKEY key;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, W(m_keyPath), 0, KEY_READ, &key) != ERROR_SUCCESS)
            return std::nullopt;
        DWORD type = 0;
        DWORD size = 0;
        std::optional<StoredValue> result;
        if (RegQueryValueExW(key, W(name), nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
            Bytes bytes(size);
            if (RegQueryValueExW(key, W(name), nullptr, &type, bytes.data(), &size) ==
                ERROR_SUCCESS) {
                bytes.resize(size);
                result = StoredValue{type, bytes};
            }
        }
        RegCloseKey(key);
        return result;
    }

    void AddFolder(const std::u16string& path) override {
        std::u16string folder = WithoutTrailingSlash(path);
        for (size_t at = m_folder.size(); at <= folder.size(); ++at) {
            if (at == folder.size() || folder[at] == u'\\')
                CreateDirectoryW(W(folder.substr(0, at)), nullptr);
        }
    }

    void RemoveFolder(const std::u16string& path) override {
        RemoveTree(WithoutTrailingSlash(path));
    }

    void PutFile(const std::u16string& path, const Bytes& bytes) override {
        SetFileAttributesW(W(path), FILE_ATTRIBUTE_NORMAL);
        HANDLE file = CreateFileW(W(path), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        DWORD written = 0;
        WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr);
        CloseHandle(file);
        ASSERT_EQ(written, bytes.size());
    }

    std::optional<Bytes> GetFile(const std::u16string& path) override {
        HANDLE file = CreateFileW(W(path), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) return std::nullopt;
        Bytes bytes(GetFileSize(file, nullptr));
        DWORD got = 0;
        ReadFile(file, bytes.data(), DWORD(bytes.size()), &got, nullptr);
        CloseHandle(file);
        bytes.resize(got);
        return bytes;
    }

    void RemoveFile(const std::u16string& path) override {
        SetFileAttributesW(W(path), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(W(path));
    }

    size_t FileCount(const std::u16string& folder) override {
        WIN32_FIND_DATAW found;
        std::u16string pattern = folder + u"*";
        HANDLE search = FindFirstFileW(W(pattern), &found);
        if (search == INVALID_HANDLE_VALUE) return 0;
        size_t count = 0;
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) ++count;
        } while (FindNextFileW(search, &found));
        FindClose(search);
        return count;
    }

    void SetReadOnly(const std::u16string& path, bool readOnly) override {
        SetFileAttributesW(W(path), readOnly ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL);
    }

    bool ReadOnlyRefusesWrites() override {
        static const bool refuses = [this] {
            const std::u16string path = m_folder + u"probe.ini";
            PutFile(path, Bytes(1, 0));
            SetReadOnly(path, true);
            HANDLE file = CreateFileW(W(path), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
            bool refused = file == INVALID_HANDLE_VALUE;
            if (!refused) CloseHandle(file);
            RemoveFile(path);
            return refused;
        }();
        return refuses;
    }

private:
    std::u16string m_keyPath;
    std::u16string m_folder;
    std::unique_ptr<Registry> m_registry;
};

StoreEnvKind Win32StoreEnv() {
    return {"Win32", [] { return std::unique_ptr<StoreEnv>(new Win32Env()); }};
}

// What the stores branch on comes from the system itself.
TEST(Win32FilesTest, OpenReportsWhyItFailed) {
    Win32Env env;
    FileSystem& files = Win32FileSystem();
    const std::u16string folder = env.Folder();
    FileError error = FileError::None;

    EXPECT_FALSE(files.Open(folder + u"absent.ini", FileOpenMode::Read, &error));
    EXPECT_EQ(error, FileError::NotFound);
    EXPECT_FALSE(files.Open(folder + u"absent.ini", FileOpenMode::ReadWriteExisting, &error));
    EXPECT_EQ(error, FileError::NotFound);
    EXPECT_FALSE(files.Open(folder + u"Config\\absent.ini", FileOpenMode::Read, &error));
    EXPECT_EQ(error, FileError::PathNotFound);
    EXPECT_FALSE(files.Open(folder + u"Config\\new.ini", FileOpenMode::CreateWrite, &error));
    EXPECT_EQ(error, FileError::PathNotFound) << "a missing folder is never 'file not found'";

    // A folder in the file's place: refused for writing whoever runs the test.
    env.AddFolder(folder + u"taken.ini");
    EXPECT_FALSE(files.Open(folder + u"taken.ini", FileOpenMode::CreateWrite, &error));
    EXPECT_EQ(error, FileError::AccessDenied);

    EXPECT_TRUE(files.CreateFolder(folder + u"Config"));
    EXPECT_TRUE(files.CreateFolder(folder + u"Config")) << "an existing folder is no error";
    env.PutFile(folder + u"plain.ini", Bytes(8, 1));
    EXPECT_FALSE(files.CreateFolder(folder + u"plain.ini"));
}

TEST(Win32FilesTest, WholeFileReplacesTheOldOne) {
    Win32Env env;
    const std::u16string path = env.Folder() + u"record.ini";
    env.PutFile(path, Bytes(100, 7));
    // Files beside it whose names a new version could have had.
    const Bytes mine(40, 0x6D);
    const std::u16string neighbours[] = {env.Folder() + u"record.new", env.Folder() + u"record.~00"};
    for (const std::u16string& name : neighbours) env.PutFile(name, mine);
    const Bytes record(5464, 3);
    EXPECT_EQ(WriteWholeFile(path, record.data(), record.size()), FileError::None);
    EXPECT_EQ(*env.GetFile(path), record);
    for (const std::u16string& name : neighbours) EXPECT_EQ(env.GetFile(name), mine);
    EXPECT_EQ(env.FileCount(env.Folder()), 3u) << "nothing is left beside it";

    const std::u16string taken = env.Folder() + u"taken.ini";
    env.AddFolder(taken);
    EXPECT_EQ(WriteWholeFile(taken, record.data(), record.size()), FileError::AccessDenied);
    EXPECT_EQ(env.FileCount(env.Folder()), 3u) << "the file written for it went again";

    EXPECT_EQ(WriteWholeFile(env.Folder() + u"Config\\x.ini", record.data(), record.size()),
              FileError::PathNotFound);
}

TEST(Win32RegistryTest, QueryReportsStatusTypeAndSize) {
    Win32Env env;
    const std::u16string keyPath = u"Software\\QuorvelTests\\" + UniqueName();
    std::unique_ptr<Registry> registry = MakeWin32Registry(keyPath);
    EXPECT_FALSE(registry->Open());
    {
        std::unique_ptr<RegistryKey> key = registry->Create();
        ASSERT_TRUE(key);
        const uint8_t six[6] = {1, 2, 3, 4, 5, 6};
        EXPECT_TRUE(key->SetBinary(u"Six", six, sizeof(six)));
    }
    std::unique_ptr<RegistryKey> key = registry->Open();
    ASSERT_TRUE(key);
    uint8_t buffer[8] = {};
    RegistryQuery query = key->Query(u"Six", buffer, 4);
    EXPECT_EQ(query.status, RegistryStatus::MoreData);
    EXPECT_EQ(query.size, 6u);
    query = key->Query(u"Six", buffer, sizeof(buffer));
    EXPECT_TRUE(query.IsBinaryValue());
    EXPECT_EQ(query.size, 6u);
    EXPECT_EQ(buffer[5], 6);
    EXPECT_EQ(key->Query(u"None", buffer, sizeof(buffer)).status, RegistryStatus::Missing);
    key.reset();
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, W(keyPath));
}

}  // namespace

INSTANTIATE_TEST_SUITE_P(Win32Store, ProfileStoreTest, ::testing::Values(Win32StoreEnv()),
                         StoreEnvName);

class Win32ProfileStoreTest : public ProfileStoreTest {};

// The system's own "access denied", from a folder standing where the first
// profile's file should be, takes the first profile into the registry.
TEST_P(Win32ProfileStoreTest, AccessDeniedRoadWithTheRealRegistry) {
    LoadProfileTable();
    g_uiTexts[UiText::str_profile1] = u"FConfig1";
    env->RemoveFile(ProfilePath(0));
    env->AddFolder(ProfilePath(0));
    g_settings.reportRateCode = 6;
    SaveCurrentProfile(nullptr);
    EXPECT_TRUE(notices.shown.empty());
    EXPECT_EQ(g_defaultSettingInRegistry, 1u);
    auto copy = env->GetValue(u"DefaultSetting");
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->type, kRegBinary);
    EXPECT_EQ(copy->bytes, BytesOf(g_settings));

    std::memset(&g_settings, 0, sizeof(g_settings));
    EXPECT_EQ(LoadProfileFile(g_profileSlots[0].filePath, 0), 1);
    EXPECT_EQ(g_settings.reportRateCode, 6);
}

INSTANTIATE_TEST_SUITE_P(Win32Store, Win32ProfileStoreTest, ::testing::Values(Win32StoreEnv()),
                         StoreEnvName);
