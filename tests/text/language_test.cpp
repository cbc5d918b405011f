#include <gtest/gtest.h>

#include <string>

#include "text/ui_texts.h"
#include "text/xml_document.h"
#include "text_test_files.h"

namespace {

// A language file that sets every key to "<key>=text", except the keys listed.
std::string LanguageFile(std::initializer_list<const char*> leaveOut = {}) {
    std::string xml = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<language>\r\n<config>\r\n";
    for (const char16_t* key : kUiTextKeys) {
        std::string name = Narrow(key);
        bool skip = false;
        for (const char* left : leaveOut) skip = skip || name == left;
        if (!skip) xml += "<" + name + ">" + name + "=text</" + name + ">\r\n";
    }
    return xml + "</config>\r\n</language>\r\n";
}

std::u16string Expected(UiText id) {
    return kUiTextKeys[int(id)] + std::u16string(u"=text");
}

TEST(LanguageTest, NoFileLoadedLeavesEveryTextEmpty) {
    for (const std::u16string& text : g_uiTexts.texts) EXPECT_TRUE(text.empty());
}

TEST(LanguageTest, LoadingSetsEveryTextAndClearsWhatTheNewFileLacks) {
    TempFolder folder;
    std::u16string full = folder.Write("full.xml", LanguageFile());
    std::u16string noOk = folder.Write("no_ok.xml", LanguageFile({"str_ok"}));

    LoadLanguageFile(full);
    for (int i = 0; i < UI_TEXT_COUNT; ++i) EXPECT_EQ(g_uiTexts.texts[i], Expected(UiText(i))) << i;
    EXPECT_EQ(g_uiTexts[UiText::str_ok], u"str_ok=text");

    // A key present only in the first file becomes empty.
    LoadLanguageFile(noOk);
    EXPECT_EQ(g_uiTexts[UiText::str_ok], u"");
    EXPECT_EQ(g_uiTexts[UiText::str_cancel], u"str_cancel=text");
    EXPECT_EQ(g_uiTexts[UiText::str_msg1], u"str_msg1=text");  // never the text of str_msg10
    EXPECT_EQ(g_uiTexts[UiText::str_msg10], u"str_msg10=text");

    // A missing file, a folder (what the start-up passes when no language is
    // chosen) and a file cut off in the middle all leave every text empty.
    std::string cut = LanguageFile();
    std::u16string truncated = folder.Write("cut.xml", cut.substr(0, cut.size() / 2));
    for (const std::u16string& path : {folder.Path("missing.xml"), folder.Folder(), truncated}) {
        LoadLanguageFile(full);
        LoadLanguageFile(path);
        for (int i = 0; i < UI_TEXT_COUNT; ++i) EXPECT_EQ(g_uiTexts.texts[i], u"") << Narrow(path) << " " << i;
    }
}

struct StructureCase {
    const char* what;
    const char* xml;
    const char16_t* ok;  // the text of str_ok
};

const StructureCase kStructureCases[] = {
    {"nested config", "<r><config><x/><config><str_ok>inner</str_ok></config></config></r>", u"inner"},
    {"outer config first", "<r><config><str_ok>outer</str_ok><config><str_ok>inner</str_ok></config></config></r>",
     u"outer"},
    {"only the first of two configs", "<r><config><a/></config><config><str_ok>second</str_ok></config></r>", u""},
    {"a root named config is only the root", "<config><str_ok>x</str_ok></config>", u""},
    {"references decoded", "<r><config><str_ok>&lt;b&gt; &amp; <![CDATA[<i>]]></str_ok></config></r>",
     u"<b> & <i>"},
    {"an element with children has no text", "<r><config><str_ok><b>x</b></str_ok></config></r>", u""},
    {"other elements ignored, any order", "<r><other/><config><zzz>1</zzz><str_ok> spaced </str_ok></config></r>",
     u" spaced "},
    {"case matters", "<r><config><STR_OK>x</STR_OK></config></r>", u""},
};

TEST(LanguageTest, FileStructure) {
    TempFolder folder;
    for (const StructureCase& c : kStructureCases) {
        SCOPED_TRACE(c.what);
        LoadLanguageFile(folder.Write("s.xml", c.xml));
        EXPECT_EQ(g_uiTexts[UiText::str_ok], c.ok);
    }
}

TEST(LanguageTest, Windows1251FileIsDecoded) {
    TempFolder folder;
    LoadLanguageFile(folder.Write(
        "w.xml", "<?xml version=\"1.0\" encoding=\"windows-1251\"?><r><config><str_ok>\xCE\xCA</str_ok></config></r>"));
    EXPECT_EQ(g_uiTexts[UiText::str_ok], U16("\xD0\x9E\xD0\x9A"));
}

// The language files we ship, as the build copies them beside the program.
class ShippedLanguageTest : public testing::TestWithParam<const char*> {};

TEST_P(ShippedLanguageTest, ParsesAndSetsEveryText) {
    std::u16string path = U16(QUORVEL_TEST_DIST_DIR) + u"/language/" + U16(GetParam());
    XmlDocument doc;
    std::u16string diagnostics;
    uint32_t flags = 0;
    ASSERT_TRUE(doc.ReadFileText(path, diagnostics, flags)) << Narrow(diagnostics);
    EXPECT_TRUE(doc.Parse()) << Narrow(doc.resultText);

    LoadLanguageFile(path);
    for (int i = 0; i < UI_TEXT_COUNT; ++i) {
        const std::u16string& text = g_uiTexts.texts[i];
        std::string key = Narrow(kUiTextKeys[i]);
        EXPECT_FALSE(text.empty()) << key;
        EXPECT_EQ(text.find_first_of(u"\r\n\t"), std::u16string::npos) << key;
        if (!text.empty()) {
            EXPECT_TRUE(text.front() != u' ' && text.back() != u' ') << key;
        }
        // str_msg2 is a format with the path as its one %s; no other text is a format.
        size_t percent = text.find(u'%');
        if (i == int(UiText::str_msg2)) {
            ASSERT_NE(percent, std::u16string::npos) << key;
            EXPECT_EQ(text.substr(percent, 2), u"%s");
            EXPECT_EQ(text.find(u'%', percent + 1), std::u16string::npos) << key;
        } else {
            EXPECT_EQ(percent, std::u16string::npos) << key;
        }
    }
    // The profile store compares the first slot's name with this text.
    EXPECT_EQ(g_uiTexts[UiText::str_profile1], u"FConfig1");
}

INSTANTIATE_TEST_SUITE_P(Files, ShippedLanguageTest, testing::Values("enr.xml", "rus.xml"));

}  // namespace
