// The main window's profile commands apart from its window: export and import
// of the settings record as a file, the reset to the defaults, and what the
// language and profile menus' choices do.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "device/settings.h"

class UserNoticeSink;

// An export file is the settings record as it stands.
inline constexpr size_t kSettingsFileSize = sizeof(SettingsImage);

enum class ImportCheck {
    Accepted,
    Unreadable,        // the file could not be opened
    WrongMagic,        // not a settings record
    UnterminatedText,  // a button name runs to the end of its buffer
};

// Checks the bytes of a file offered for import: its first record's worth.
// A file shorter than the record is taken with the rest zero, as a file of an
// older export; what lies beyond the record is not looked at. On acceptance
// *record holds it.
ImportCheck CheckImportedSettings(const uint8_t* bytes, size_t size, SettingsImage* record);
// Reads the first record's worth of the file at path and checks it.
ImportCheck ReadImportFile(const std::u16string& path, SettingsImage* record);

// Writes the record to path. True only when the whole record is there; a
// failed export leaves no partial file behind.
bool ExportSettings(const std::u16string& path, const SettingsImage& settings);

enum class WriteAllOutcome {
    NotStarted,  // a sync was running
    Written,     // the mouse took every command
    NotWritten,  // the pass ran, but the mouse refused a command or went away
};

class ProfileCommandView {
public:
    virtual ~ProfileCommandView() = default;
    virtual void RefreshPages() = 0;
    virtual bool SyncRunning() = 0;
    // Writes every setting to the mouse behind the progress view and returns
    // when it has ended.
    virtual WriteAllOutcome RunWriteAll() = 0;
};

// The messages of the commands, as the user sees them ("%s" the full path).
std::u16string ExportSucceededText(const std::u16string& path);
std::u16string ExportFailedText(const std::u16string& path);
std::u16string InvalidProfileText(const std::u16string& path);
std::u16string ImportSucceededText(const std::u16string& path);
// The import's settings are the program's, but the mouse did not get them all.
std::u16string ImportNotWrittenText();
inline constexpr char16_t kInfoCaption[] = u"Info";

// Export of g_settings to path, with its message.
void RunExport(const std::u16string& path, UserNoticeSink& notices);
// Import from path: a file refused changes nothing; an accepted one replaces
// g_settings, fills the pages and is written to the mouse. Success is reported
// only when the mouse took the whole write; when it did not, the user is asked
// to connect the mouse. Nothing is replaced while a sync runs.
void RunImport(const std::u16string& path, ProfileCommandView& view, UserNoticeSink& notices);

// The reset button: the defaults into g_settings and the active profile's
// applied macros forgotten, the pages filled, the profile-switch buttons of
// the profile files reset, and the defaults written to the mouse. While a
// sync runs nothing may touch g_settings: the reset waits for the user's
// next press. True when the reset ran.
bool ResetToDefaults(ProfileCommandView& view);

// What a choice in the language menu does: the language value it stores and
// the language file to load (empty: none to load).
struct LanguageMenuChoice {
    uint32_t language = 0;
    std::u16string file;
};
// Nothing for 0, the menu closing without a choice.
std::optional<LanguageMenuChoice> LanguageMenuChoiceFor(uint32_t value,
                                                        const std::u16string& folder);

// The profile number 1..4 a choice in the profile menu stands for, or nothing.
std::optional<int> ProfileMenuChoiceFor(uint32_t value);

// The language and profile menus act on the result of the popup the window
// opened, and on a result that comes with this wParam whatever is open.
inline constexpr uintptr_t kMenuResultAlways = 0x110;
