// Which language file the program loads at start: the marker file
// "config\test.ini" beside the program decides whether a language is chosen at
// all, and the registry value Language which one.
#pragma once

#include <cstdint>
#include <string>

struct LanguageChoice {
    bool fileChosen = false;
    std::u16string path;  // the language file; empty when none was chosen
};

// folder is the program folder, ending with a backslash. Sets g_languageIndex,
// and on a first start (marker "0") stores the choice in the registry and turns
// the marker into "1".
LanguageChoice ChooseLanguage(const std::u16string& folder);

// The language file of a Language value: folder + "language\\rus.xml" for 1,
// + "language\\enr.xml" for 2, empty for every other value.
std::u16string LanguageFilePath(const std::u16string& folder, uint32_t language);
