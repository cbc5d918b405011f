// Which language file the program loads at start: the marker file
// "config\test.ini" beside the program decides whether a language is chosen at
// all, and the registry value Language which one.
#pragma once

#include <string>

struct LanguageChoice {
    bool fileChosen = false;
    std::u16string path;  // the language file; empty when none was chosen
};

// folder is the program folder, ending with a backslash. Sets g_languageIndex,
// and on a first start (marker "0") stores the choice in the registry and turns
// the marker into "1".
LanguageChoice ChooseLanguage(const std::u16string& folder);
