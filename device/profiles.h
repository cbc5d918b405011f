// The four profiles: each a file beside the program holding one raw settings
// record, and the slot table in the registry that says which file belongs to
// which profile and which profile is active. The main window decides when to
// load, save and switch; this is the storage.
#pragma once

#include <cstddef>
#include <cstdint>

#include "device/settings.h"

class UserNoticeSink;

constexpr uint32_t PROFILE_SLOT_MAGIC = 0xBEBE;
constexpr int PROFILE_SLOT_COUNT = 5;
constexpr int PROFILE_FILE_COUNT = 4;  // the fifth slot has no name and no file of its own
constexpr int PROFILE_TEXT_LENGTH = 260;

// One slot of the table kept in the registry value ConfigInfo; the layout is fixed to the byte.
struct ProfileSlot {
    uint32_t magic;     // PROFILE_SLOT_MAGIC when the slot is in use
    uint32_t isActive;  // exactly one slot is active after loading
    uint32_t reserved008;
    char16_t name[PROFILE_TEXT_LENGTH];      // "FConfig1".."FConfig4", NUL-terminated
    char16_t filePath[PROFILE_TEXT_LENGTH];  // program folder + "Config\FConfigN.ini"
    uint8_t reserved41C[520];
    // Per UI button: the macro id the last write of all settings put there, 0 for none.
    int32_t appliedMacroIds[BUTTON_COUNT];
};

static_assert(sizeof(ProfileSlot) == 1592);
static_assert(offsetof(ProfileSlot, name) == 12);
static_assert(offsetof(ProfileSlot, filePath) == 532);
static_assert(offsetof(ProfileSlot, reserved41C) == 1052);
static_assert(offsetof(ProfileSlot, appliedMacroIds) == 1572);

extern ProfileSlot g_profileSlots[PROFILE_SLOT_COUNT];
static_assert(sizeof(g_profileSlots) == 7960);

// Points into g_profileSlots once LoadProfileTable has run; null before.
extern ProfileSlot* g_activeProfile;

// Set once a save of the first profile was refused and its settings went to
// the registry value DefaultSetting instead; that copy is read back from then on.
extern uint32_t g_defaultSettingInRegistry;

// Builds the slot table, sets g_activeProfile and leaves the active profile's
// settings in g_settings. Called once at start-up.
void LoadProfileTable();

// Loads one profile file into g_settings: 1 when settings were loaded, 0
// otherwise. A missing file is created from the new-profile defaults when
// createIfMissing is set (g_settings then holds those defaults), and gives 0.
int LoadProfileFile(const char16_t* path, int createIfMissing);

// Creates the Config folder and a new profile file from the new-profile
// defaults applied to g_settings: 1 on success. An empty path (a slot no path
// fitted) still applies the defaults, and gives 0.
int CreateDefaultProfileFile(const char16_t* path);

// Writes g_settings to the active profile's file. Failures are shown through
// owner (the main window), or through the process's notice sink when it is null;
// only a refused first profile that the registry keeps instead is not shown.
void SaveCurrentProfile(UserNoticeSink* owner);

// The end of a sync: the slot table goes to the registry when the key exists.
// The main window then saves the current profile.
void WriteProfileTableToRegistry();

// The storage side of a profile switch: saves the current profile, loads the
// slot's file and makes the slot the only active one. A missing file is created
// from the defaults and the switch goes on with it. False (nothing changed but
// the save) when the file exists but cannot be read, or the index is out of range.
bool SwitchActiveProfile(int slotIndex, UserNoticeSink* owner);

// After a reset to defaults: in every profile file, a button set to switch
// profiles gets the function the same button has in g_settings.
void ResetProfileSwitchButtonsInFiles();

// Marks in the registry that the program has run (the value is never read back).
void EnsureRunMarker();

// The language choice in the registry value Language; 0 when it cannot be read.
uint32_t ReadLanguageSetting();
void WriteLanguageSetting(uint32_t value);
