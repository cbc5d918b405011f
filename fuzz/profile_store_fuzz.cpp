// The profile store fed what a user's machine may hold: a ConfigInfo slot
// table and a DefaultSetting copy of any size and type in the registry, and
// profile files of any length (the four of the table and an imported one).
// Start-up loads the table; a switch, a save, the reset of the switch buttons
// and the end of a sync follow.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "device/button_macro_ids.h"
#include "device/device_state.h"
#include "device/file_system.h"
#include "device/profiles.h"
#include "device/registry.h"
#include "device/settings.h"
#include "device/user_notice.h"
#include "fuzz/fuzz_input.h"
#include "sim/memory_file_system.h"
#include "sim/memory_registry.h"
#include "sim/sim_clock.h"
#include "text/ui_texts.h"

namespace {

const std::u16string kFolder = u"C:\\Quorvel\\";
const std::u16string kImported = u"C:\\Users\\Me\\exported.ini";
constexpr size_t kMaxValue = 2 * sizeof(g_profileSlots);  // larger than the table, too
constexpr size_t kMaxFile = 2 * sizeof(SettingsImage);

class QuietNotices final : public UserNoticeSink {
public:
    void Show(std::u16string_view, std::u16string_view) override {}
};

std::u16string ProfilePath(int index) {
    return kFolder + u"Config\\FConfig" + std::u16string(1, char16_t(u'1' + index)) + u".ini";
}

void ResetGlobals() {
    std::memset(&g_settings, 0, sizeof(g_settings));
    std::memset(g_profileSlots, 0, sizeof(g_profileSlots));
    g_activeProfile = nullptr;
    g_defaultSettingInRegistry = 0;
    g_sensorType = 0;
    ClearButtonMacroIds();
}

// After every step: exactly one slot active, the one g_activeProfile names,
// and the table's texts terminated.
void CheckTable() {
    FUZZ_CHECK(g_activeProfile >= g_profileSlots &&
               g_activeProfile < g_profileSlots + PROFILE_SLOT_COUNT);
    int active = 0;
    for (const ProfileSlot& slot : g_profileSlots) {
        FUZZ_CHECK(IsTerminated(slot.name) && IsTerminated(slot.filePath));
        if (slot.isActive) ++active;
    }
    FUZZ_CHECK(active == 1 && g_activeProfile->isActive == 1);
}

// Whatever was loaded, the settings' texts end within their buffers.
void CheckSettings() {
    for (const ButtonAssignment& button : g_settings.buttons)
        FUZZ_CHECK(IsTerminated(button.displayName));
}

uint32_t ValueType(uint8_t bits) {
    return bits & 1 ? MemoryRegistry::kDword : MemoryRegistry::kBinary;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static ScopedSimClock clock;
    FuzzInput input(data, size);
    MemoryFileSystem files;
    MemoryRegistry registry;
    QuietNotices notices;
    files.AddFolder(kFolder);
    files.AddFolder(u"C:\\Users\\Me");
    SetFileSystem(&files);
    SetRegistry(&registry);
    SetProgramFolder(kFolder);
    SetUserNoticeSink(&notices);
    ResetGlobals();
    g_uiTexts = UiTextTable{};

    const uint8_t flags = input.Byte();
    const uint8_t fileBits = input.Byte();
    const uint8_t more = input.Byte();
    const bool keyExists = flags & 1;
    if (flags & 2) files.AddFolder(kFolder + u"Config");
    g_defaultSettingInRegistry = (flags & 4) ? 1 : 0;
    if (flags & 8) g_uiTexts[UiText::str_profile1] = u"FConfig1";
    if (keyExists) {
        registry.SetKeyExists(true);
        if (flags & 16)
            registry.Put(u"ConfigInfo", input.LargeBlob(kMaxValue), ValueType(flags >> 5));
        if (flags & 64)
            registry.Put(u"DefaultSetting", input.LargeBlob(kMaxFile), ValueType(flags >> 7));
        if (more & 4)
            registry.Put(u"Language", input.Bytes(input.Byte() % 8), ValueType(more >> 3));
    }
    registry.FailWrites(more & 1);
    for (int i = 0; i < PROFILE_FILE_COUNT; ++i) {
        if (!(fileBits & (1 << i)) || !(flags & 2)) continue;
        files.PutFile(ProfilePath(i), input.LargeBlob(kMaxFile));
        if (fileBits & (16 << i)) files.SetReadOnly(ProfilePath(i), true);
    }
    if ((more & 2) && (flags & 2)) files.SetFolderReadOnly(kFolder + u"Config", true);
    const uint8_t switchTo = input.Byte();
    files.PutFile(kImported, input.LargeBlob(kMaxFile));

    LoadProfileTable();
    CheckTable();
    CheckSettings();

    // Switching to any slot, or to none that exists, keeps the table whole.
    SwitchActiveProfile(int(switchTo % (PROFILE_SLOT_COUNT + 2)) - 1, nullptr);
    CheckTable();
    CheckSettings();

    // An imported file comes in as a settings record the rest of the program can use.
    if (LoadProfileFile(kImported.c_str(), 0) == 1) {
        FUZZ_CHECK(g_settings.magic == SETTINGS_MAGIC && g_settings.yTableMarker == Y_TABLE_MARKER);
        CheckSettings();
    }
    SaveCurrentProfile(nullptr);
    ResetProfileSwitchButtonsInFiles();
    WriteProfileTableToRegistry();
    CheckTable();
    if (registry.KeyExists() && !(more & 1)) {
        const auto table = registry.Get(u"ConfigInfo");
        FUZZ_CHECK(table && table->bytes.size() == sizeof(g_profileSlots));
    }
    ReadLanguageSetting();
    EnsureRunMarker();

    SetUserNoticeSink(nullptr);
    SetProgramFolder(u"");
    SetRegistry(nullptr);
    SetFileSystem(nullptr);
    ResetGlobals();
    return 0;
}
