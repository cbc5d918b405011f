// Every text the main window, its popups and its boxes draw shows its glyphs,
// in English and in Russian: the picture tour runs with each text caught as
// it is drawn and checked in the font it was drawn in. A font that lacks a
// character draws its missing-glyph shape instead (an empty box), which is
// what a Wine that resolves the program's font requests to the wrong font
// shows. The pictures go to the screenshots folder, to be looked at.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "pictures/picture_tour_win32.h"
#include "support/text_spy_win32.h"

namespace {

using namespace e2e;

std::string Utf8(const std::wstring& text) {
    if (text.empty()) return {};
    int size = ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                     nullptr);
    std::string out(static_cast<size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), out.data(), size, nullptr,
                          nullptr);
    return out;
}

bool StartsWith(const std::wstring& text, const wchar_t* prefix) {
    return text.compare(0, std::wcslen(prefix), prefix) == 0;
}

class GlyphCheck : public PictureTour {
protected:
    bool Keep(const Dib32& picture, const std::wstring& name) override {
        const std::vector<SpiedText> texts = m_spy.Take();
        // The system's own menus draw nothing through the program.
        if (StartsWith(name, L"popup_") || StartsWith(name, L"box_")) {
            EXPECT_FALSE(texts.empty()) << Narrow(name) << ": no text was drawn";
        }
        std::set<std::wstring> seen;
        for (const SpiedText& drawn : texts) {
            // The same text in the same font, drawn at each paint, is checked once.
            std::wstring key = drawn.text;
            key.append(reinterpret_cast<const wchar_t*>(&drawn.font), sizeof(drawn.font) / sizeof(wchar_t));
            if (!seen.insert(key).second) continue;
            const std::wstring missing = MissingGlyphs(drawn.text, drawn.font);
            EXPECT_TRUE(missing.empty()) << Narrow(name) << ": \"" << Utf8(drawn.text) << "\" in \""
                                         << Utf8(drawn.font.lfFaceName) << "\" (character set "
                                         << int(drawn.font.lfCharSet) << ", weight " << drawn.font.lfWeight
                                         << ") draws \"" << Utf8(missing) << "\" as missing-glyph boxes";
        }
        m_texts += static_cast<int>(seen.size());
        return SaveScreenshot(picture, L"glyphs_" + name);
    }

    TextSpy m_spy;
    int m_texts = 0;
};

TEST_F(GlyphCheck, English) {
    ASSERT_TRUE(m_spy.ok());
    TakeAll(2, L"en");
    EXPECT_EQ(m_saved, 22);
    EXPECT_GT(m_texts, 100);
}

TEST_F(GlyphCheck, Russian) {
    ASSERT_TRUE(m_spy.ok());
    TakeAll(1, L"ru");
    EXPECT_EQ(m_saved, 22);
    EXPECT_GT(m_texts, 100);
}

}  // namespace
