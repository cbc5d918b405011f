#include "app/language_choice.h"

#include <cstdint>
#include <memory>

#include "device/device_state.h"
#include "device/file_system.h"
#include "device/profiles.h"

namespace {

constexpr char16_t kMarkerFile[] = u"config\\test.ini";
constexpr char16_t kRussianFile[] = u"language\\rus.xml";
constexpr char16_t kEnglishFile[] = u"language\\enr.xml";

// Language values of the registry: 0 (never written) and 1 both mean Russian.
constexpr uint32_t kLanguageRussian = 1;
constexpr uint32_t kLanguageEnglish = 2;

LanguageChoice Chosen(const std::u16string& folder, const char16_t* file) {
    return LanguageChoice{true, folder + file};
}

}  // namespace

std::u16string LanguageFilePath(const std::u16string& folder, uint32_t language) {
    switch (language) {
    case kLanguageRussian:
        return folder + kRussianFile;
    case kLanguageEnglish:
        return folder + kEnglishFile;
    default:
        return {};
    }
}

LanguageChoice ChooseLanguage(const std::u16string& folder) {
    char marker = 0;
    {
        // Never created: without the marker no language file is loaded.
        std::unique_ptr<File> file =
            GetFileSystem().Open(folder + kMarkerFile, FileOpenMode::ReadWriteExisting, nullptr);
        if (!file) return {};
        if (file->Read(&marker, 1) != 1) return {};
        if (marker == '0') {
            // The first start picks Russian and leaves the choice to the registry from now on.
            g_languageIndex = kLanguageRussian;
            WriteLanguageSetting(kLanguageRussian);
            const char one = '1';
            if (file->SeekToStart()) file->Write(&one, 1);
            return Chosen(folder, kRussianFile);
        }
    }
    if (marker != '1') return {};

    g_languageIndex = ReadLanguageSetting();
    switch (g_languageIndex) {
    case 0:
        // The registry keeps its 0; the program runs as if Russian had been stored.
        g_languageIndex = kLanguageRussian;
        return Chosen(folder, kRussianFile);
    case kLanguageRussian:
    case kLanguageEnglish:
        return LanguageChoice{true, LanguageFilePath(folder, g_languageIndex)};
    default:
        // 3 and the rest load no file; 3 still selects the AZERTY key tables.
        return {};
    }
}
