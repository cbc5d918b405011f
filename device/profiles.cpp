#include "device/profiles.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>

#include "device/button_macro_ids.h"
#include "device/file_system.h"
#include "device/registry.h"
#include "device/user_notice.h"
#include "text/ascii_case.h"
#include "text/one_string_format.h"
#include "text/u16_buffer.h"
#include "text/ui_texts.h"

ProfileSlot g_profileSlots[PROFILE_SLOT_COUNT]{};
ProfileSlot* g_activeProfile = nullptr;
uint32_t g_defaultSettingInRegistry = 0;

namespace {

constexpr char16_t kConfigInfo[] = u"ConfigInfo";
constexpr char16_t kDefaultSetting[] = u"DefaultSetting";
constexpr char16_t kRunMarker[] = u"OstrelRun";
constexpr char16_t kLanguage[] = u"Language";
constexpr char16_t kConfigFolder[] = u"Config";
constexpr char16_t kNoticeCaption[] = u"Info";
constexpr char16_t kFirstProfileFile[] = u"FConfig1.ini";
// Without a language file every text is empty, but a save that failed must
// still say so.
constexpr char16_t kNotSavedFallback[] = u"The profile could not be saved to %s.";
constexpr char16_t kNotKeptFallback[] = u"The profile could not be saved.";

constexpr uint32_t kTableSize = sizeof(g_profileSlots);
constexpr uint32_t kSettingsSize = sizeof(SettingsImage);

enum class LoadResult { Loaded, Missing, Failed };

std::u16string ProfileFileName(int index) {
    return u"FConfig" + std::u16string(1, char16_t(u'1' + index)) + u".ini";
}

std::u16string ProfileName(int index) {
    return u"FConfig" + std::u16string(1, char16_t(u'1' + index));
}

bool IsEmpty(const char16_t* path) {
    return path == nullptr || path[0] == u'\0';
}

void Notify(UserNoticeSink* owner, std::u16string_view text) {
    if (owner)
        owner->Show(text, kNoticeCaption);
    else
        ShowUserNotice(text, kNoticeCaption);
}

void NotifyNotSaved(UserNoticeSink* owner, const std::u16string& path) {
    Notify(owner, FormatOneString(g_uiTexts.Or(UiText::str_msg2, kNotSavedFallback), path));
}

void StoreU32(uint8_t (&bytes)[4], uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[i] = uint8_t(value >> (8 * i));
}

uint32_t LoadU32(const uint8_t (&bytes)[4]) {
    return uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 |
           uint32_t(bytes[3]) << 24;
}

// The size to write back over a value that could not be read as binary: what the
// query reported, at most the variable's size; all of it when the value is missing.
uint32_t RewriteSize(const RegistryQuery& query, uint32_t capacity) {
    if (query.status == RegistryStatus::Missing) return capacity;
    return std::min(query.size, capacity);
}

void ReadSlotTableFromRegistry() {
    Registry& registry = GetRegistry();
    if (std::unique_ptr<RegistryKey> key = registry.Open()) {
        RegistryQuery query = key->Query(kConfigInfo, g_profileSlots, kTableSize);
        if (!query.IsBinaryValue()) {
            // An oversized value leaves the buffer undefined and a value of another
            // type leaves its own bytes there: neither is a slot table.
            std::memset(g_profileSlots, 0, kTableSize);
            key->SetBinary(kConfigInfo, g_profileSlots, RewriteSize(query, kTableSize));
        }
    } else if (std::unique_ptr<RegistryKey> created = registry.Create()) {
        created->SetBinary(kConfigInfo, g_profileSlots, kTableSize);
    }
}

// The registry's bytes need not hold a terminator, and the fifth slot's path is
// used as it stands.
void TerminateSlotTexts() {
    for (ProfileSlot& slot : g_profileSlots) {
        slot.name[PROFILE_TEXT_LENGTH - 1] = u'\0';
        slot.filePath[PROFILE_TEXT_LENGTH - 1] = u'\0';
    }
}

// A program folder too long for the slot leaves the slot without a path, so it
// fails to load instead of naming a different file.
void BuildProfilePaths() {
    for (int i = 0; i < PROFILE_FILE_COUNT; ++i) {
        std::u16string path = ProgramFolder() + kConfigFolder + u"\\" + ProfileFileName(i);
        ProfileSlot& slot = g_profileSlots[i];
        std::memset(slot.filePath, 0, sizeof(slot.filePath));
        if (path.size() < PROFILE_TEXT_LENGTH) CopyToBuffer(slot.filePath, path);
    }
}

// A record from a file or the registry need not hold a terminator in its names.
void TerminateButtonNames(SettingsImage& record) {
    for (ButtonAssignment& button : record.buttons)
        button.displayName[DISPLAY_NAME_LENGTH - 1] = u'\0';
}

bool LoadDefaultSettingFromRegistry() {
    std::unique_ptr<RegistryKey> key = GetRegistry().Open();
    if (!key) return false;
    uint8_t buffer[kSettingsSize];
    RegistryQuery query = key->Query(kDefaultSetting, buffer, kSettingsSize);
    if (!query.IsBinaryValue()) return false;
    std::memcpy(&g_settings, buffer, std::min(query.size, kSettingsSize));
    TerminateButtonNames(g_settings);
    return true;
}

LoadResult LoadProfile(const char16_t* path, bool createIfMissing) {
    if (IsEmpty(path)) return LoadResult::Failed;
    std::u16string filePath(BufferText(path, PROFILE_TEXT_LENGTH));

    // Windows paths ignore case, so "fconfig1.ini" is the first profile's file too.
    if (g_defaultSettingInRegistry && ContainsIgnoringAsciiCase(filePath, kFirstProfileFile) &&
        LoadDefaultSettingFromRegistry()) {
        ClearButtonMacroIds();
        return LoadResult::Loaded;
    }

    FileError error = FileError::None;
    std::unique_ptr<File> file = GetFileSystem().Open(filePath, FileOpenMode::Read, &error);
    if (!file) {
        // A missing Config folder is reported as a missing path, not a missing file.
        if (error == FileError::NotFound || error == FileError::PathNotFound) {
            if (createIfMissing) CreateDefaultProfileFile(filePath.c_str());
            return LoadResult::Missing;
        }
        return LoadResult::Failed;
    }
    // Only now are the settings replaced: a load that fails keeps them, and with
    // them the page's last assignments.
    ClearButtonMacroIds();
    std::memset(&g_settings, 0, kSettingsSize);
    file->Read(&g_settings, kSettingsSize);
    file.reset();

    ApplyYTableMarkerRule(g_settings);
    TerminateButtonNames(g_settings);
    g_settings.magic = SETTINGS_MAGIC;
    return LoadResult::Loaded;
}

}  // namespace

void LoadProfileTable() {
    std::memset(g_profileSlots, 0, kTableSize);
    ReadSlotTableFromRegistry();
    TerminateSlotTexts();
    BuildProfilePaths();
    for (ProfileSlot& slot : g_profileSlots) slot.magic = PROFILE_SLOT_MAGIC;

    ProfileSlot* active = nullptr;
    for (ProfileSlot& slot : g_profileSlots) {
        if (slot.magic != PROFILE_SLOT_MAGIC || slot.isActive == 0) continue;
        LoadResult loaded = LoadProfile(slot.filePath, true);
        if (loaded == LoadResult::Loaded) {
            active = &slot;
            break;
        }
        slot.isActive = 0;
        // A file that is there but cannot be read now (another program holds it)
        // is still the user's profile: only a missing one is made anew.
        if (loaded == LoadResult::Missing) CreateDefaultProfileFile(slot.filePath);
    }

    for (int i = 0; i < PROFILE_FILE_COUNT; ++i)
        CopyToBuffer(g_profileSlots[i].name, ProfileName(i));

    if (!active) {
        ProfileSlot& first = g_profileSlots[0];
        if (LoadProfileFile(first.filePath, 0) != 1) CreateDefaultProfileFile(first.filePath);
        active = &first;
    }
    // A table from the registry may mark several slots active; the walk stops at
    // the first that loads, and the others must not claim to be active too.
    for (ProfileSlot& slot : g_profileSlots) slot.isActive = &slot == active ? 1 : 0;
    g_activeProfile = active;
}

int LoadProfileFile(const char16_t* path, int createIfMissing) {
    return LoadProfile(path, createIfMissing != 0) == LoadResult::Loaded ? 1 : 0;
}

int CreateDefaultProfileFile(const char16_t* path) {
    if (!path) return 0;
    std::u16string filePath(BufferText(path, PROFILE_TEXT_LENGTH));
    ClearButtonMacroIds();
    ApplyNewProfileDefaults();
    // The defaults leave the magic alone, and on a first run the record is all
    // zero: without this the new file would be refused by an import.
    g_settings.magic = SETTINGS_MAGIC;
    // A slot left without a path (no path fitted) gets no file, but the settings
    // in use are the defaults all the same, never a zero record.
    if (filePath.empty()) return 0;
    GetFileSystem().CreateFolder(ProgramFolder() + kConfigFolder);
    return WriteWholeFile(filePath, &g_settings, kSettingsSize) == FileError::None ? 1 : 0;
}

void SaveCurrentProfile(UserNoticeSink* owner) {
    // Start-up can fail before the table is loaded while the window still closes.
    if (!g_activeProfile) return;
    std::u16string path(BufferText(g_activeProfile->filePath));
    FileError error = path.empty() ? FileError::PathNotFound
                                   : WriteWholeFile(path, &g_settings, kSettingsSize);
    switch (error) {
    case FileError::None:
        return;
    case FileError::AccessDenied: {
        // The first profile has a second home in the registry.
        std::u16string_view name = BufferText(g_activeProfile->name);
        const std::u16string& firstProfile = g_uiTexts[UiText::str_profile1];
        if (!name.empty() && name == firstProfile) {
            std::unique_ptr<RegistryKey> key = GetRegistry().Open();
            if (key && key->SetBinary(kDefaultSetting, &g_settings, kSettingsSize))
                g_defaultSettingInRegistry = 1;
            else
                Notify(owner, g_uiTexts.Or(UiText::str_msg5, kNotKeptFallback));
            return;
        }
        // Another profile, a read-only file: the changes would be gone at the next start.
        NotifyNotSaved(owner, path);
        return;
    }
    case FileError::NotFound:
    case FileError::PathNotFound:
    case FileError::Exists:
    case FileError::Other:  // a full disk, a file another program holds
        NotifyNotSaved(owner, path);
        return;
    }
}

void WriteProfileTableToRegistry() {
    if (std::unique_ptr<RegistryKey> key = GetRegistry().Open())
        key->SetBinary(kConfigInfo, g_profileSlots, kTableSize);
}

bool SwitchActiveProfile(int slotIndex, UserNoticeSink* owner) {
    if (slotIndex < 0 || slotIndex >= PROFILE_SLOT_COUNT) return false;
    SaveCurrentProfile(owner);
    ProfileSlot& slot = g_profileSlots[slotIndex];
    // A missing file has just been created from the defaults, which now fill
    // g_settings: staying on the old profile would save them over its file.
    if (LoadProfile(slot.filePath, true) == LoadResult::Failed) return false;
    for (ProfileSlot& each : g_profileSlots) each.isActive = 0;
    slot.isActive = 1;
    g_activeProfile = &slot;
    return true;
}

void ResetProfileSwitchButtonsInFiles() {
    FileSystem& files = GetFileSystem();
    for (int i = 0; i < PROFILE_FILE_COUNT; ++i) {
        const ProfileSlot& slot = g_profileSlots[i];
        if (slot.magic != PROFILE_SLOT_MAGIC) continue;
        std::u16string path(BufferText(slot.filePath));
        if (path.empty()) continue;
        SettingsImage record{};
        {
            std::unique_ptr<File> file = files.Open(path, FileOpenMode::ReadWriteExisting, nullptr);
            if (!file) continue;
            file->Read(&record, kSettingsSize);
        }
        for (int b = 0; b < BUTTON_COUNT; ++b) {
            if (record.buttons[b].functionId == FUNC_PROFILE_SWITCH)
                record.buttons[b].functionId = g_settings.buttons[b].functionId;
        }
        WriteWholeFile(path, &record, kSettingsSize);
    }
}

void EnsureRunMarker() {
    Registry& registry = GetRegistry();
    uint8_t marker[4];
    StoreU32(marker, 1);
    if (std::unique_ptr<RegistryKey> key = registry.Open()) {
        RegistryQuery query = key->Query(kRunMarker, marker, sizeof(marker));
        if (!query.IsBinaryValue()) {
            // The failed query may have left anything in the variable.
            StoreU32(marker, 1);
            key->SetBinary(kRunMarker, marker, RewriteSize(query, sizeof(marker)));
        }
    } else if (std::unique_ptr<RegistryKey> created = registry.Create()) {
        created->SetBinary(kRunMarker, marker, sizeof(marker));
    }
}

uint32_t ReadLanguageSetting() {
    std::unique_ptr<RegistryKey> key = GetRegistry().Open();
    if (!key) return 0;
    // A value shorter than four bytes leaves the rest of the preset 1 in place.
    uint8_t value[4];
    StoreU32(value, 1);
    return key->Query(kLanguage, value, sizeof(value)).IsBinaryValue() ? LoadU32(value) : 0;
}

void WriteLanguageSetting(uint32_t value) {
    Registry& registry = GetRegistry();
    std::unique_ptr<RegistryKey> key = registry.Open();
    if (!key) key = registry.Create();
    if (!key) return;
    uint8_t bytes[4];
    StoreU32(bytes, value);
    key->SetBinary(kLanguage, bytes, sizeof(bytes));
}
