#include "app/main_window/commands.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "app/language_choice.h"
#include "device/button_macro_ids.h"
#include "device/device_state.h"
#include "device/file_system.h"
#include "device/profiles.h"
#include "device/user_notice.h"
#include "text/one_string_format.h"
#include "text/ui_texts.h"

namespace {

bool NamesTerminated(const SettingsImage& record) {
    for (const ButtonAssignment& button : record.buttons) {
        const char16_t* name = button.displayName;
        if (std::char_traits<char16_t>::find(name, DISPLAY_NAME_LENGTH, u'\0') == nullptr)
            return false;
    }
    return true;
}

// The size of the file at path when it can be read, whatever it holds.
std::optional<size_t> FileSize(const std::u16string& path) {
    std::unique_ptr<File> file = GetFileSystem().Open(path, FileOpenMode::Read, nullptr);
    if (!file) return std::nullopt;
    size_t total = 0;
    uint8_t chunk[1024];
    for (;;) {
        size_t got = file->Read(chunk, sizeof(chunk));
        total += got;
        if (got < sizeof(chunk)) return total;
    }
}

}  // namespace

ImportCheck CheckImportedSettings(const uint8_t* bytes, size_t size, SettingsImage* record) {
    SettingsImage image;
    std::memset(&image, 0, sizeof(image));
    if (size > 0) std::memcpy(&image, bytes, std::min(size, kSettingsFileSize));
    if (image.magic != SETTINGS_MAGIC) return ImportCheck::WrongMagic;
    if (!NamesTerminated(image)) return ImportCheck::UnterminatedText;
    *record = image;
    return ImportCheck::Accepted;
}

ImportCheck ReadImportFile(const std::u16string& path, SettingsImage* record) {
    std::unique_ptr<File> file = GetFileSystem().Open(path, FileOpenMode::Read, nullptr);
    if (!file) return ImportCheck::Unreadable;
    std::vector<uint8_t> bytes(kSettingsFileSize);
    const size_t size = file->Read(bytes.data(), bytes.size());
    file.reset();
    return CheckImportedSettings(bytes.data(), size, record);
}

bool ExportSettings(const std::u16string& path, const SettingsImage& settings) {
    if (WriteWholeFile(path, &settings, kSettingsFileSize) == FileError::None) return true;
    // A write that stopped half-way may have left a piece of the record, which
    // an import would take with zeros behind it; a whole file (the one that
    // was there before) stays.
    std::optional<size_t> size = FileSize(path);
    if (size && *size != kSettingsFileSize) GetFileSystem().Remove(path);
    return false;
}

std::u16string ExportSucceededText(const std::u16string& path) {
    return FormatOneString(u"%s export success!", path);
}

std::u16string ExportFailedText(const std::u16string& path) {
    return FormatOneString(u"%s export failed!", path);
}

std::u16string InvalidProfileText(const std::u16string& path) {
    return FormatOneString(u"%s is an invaild Profile!", path);
}

std::u16string ImportSucceededText(const std::u16string& path) {
    return FormatOneString(u"%s import success!", path);
}

std::u16string ImportNotWrittenText() {
    return std::u16string(g_uiTexts.Or(UiText::str_msg13, u"Please connect the mouse."));
}

void RunExport(const std::u16string& path, UserNoticeSink& notices) {
    const bool written = ExportSettings(path, g_settings);
    notices.Show(written ? ExportSucceededText(path) : ExportFailedText(path), kInfoCaption);
}

void RunImport(const std::u16string& path, ProfileCommandView& view, UserNoticeSink& notices) {
    SettingsImage record;
    if (ReadImportFile(path, &record) != ImportCheck::Accepted) {
        notices.Show(InvalidProfileText(path), kInfoCaption);
        return;
    }
    if (view.SyncRunning()) return;
    g_settings = record;
    ClearButtonMacroIds();
    view.RefreshPages();
    switch (view.RunWriteAll()) {
    case WriteAllOutcome::NotStarted:
        return;
    case WriteAllOutcome::Written:
        notices.Show(ImportSucceededText(path), kInfoCaption);
        return;
    case WriteAllOutcome::NotWritten:
        // A success here would be undone by the next connection, which reads
        // back whatever part of the write the mouse holds.
        notices.Show(ImportNotWrittenText(), kInfoCaption);
        return;
    }
}

bool ResetToDefaults(ProfileCommandView& view) {
    if (view.SyncRunning()) return false;
    ResetSettingsToDefaults(g_settings);  // forgets the page's macro assignments too
    if (g_activeProfile)
        std::memset(g_activeProfile->appliedMacroIds, 0, sizeof(g_activeProfile->appliedMacroIds));
    view.RefreshPages();
    ResetProfileSwitchButtonsInFiles();
    view.RunWriteAll();
    return true;
}

std::optional<LanguageMenuChoice> LanguageMenuChoiceFor(uint32_t value,
                                                        const std::u16string& folder) {
    if (value == 0) return std::nullopt;
    return LanguageMenuChoice{value, LanguageFilePath(folder, value)};
}

std::optional<int> ProfileMenuChoiceFor(uint32_t value) {
    if (value < 1 || value > PROFILE_FILE_COUNT) return std::nullopt;
    return int(value);
}
