#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "text/code_pages.h"
#include "text_test_files.h"

using namespace std::string_view_literals;

namespace {

struct PageCase {
    uint32_t codePage;
    std::string_view bytes;
    const char* utf8;  // the same text as UTF-8
};

// Round trips through the system converters, and the pages we decode ourselves.
const PageCase kPageCases[] = {
    {CODE_PAGE_UTF8, "A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80"sv, "A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80"},
    {1251, "\xCF\xF0\xE8"sv, "\xD0\x9F\xD1\x80\xD0\xB8"},
    {20866, "\xF0\xD2\xC9"sv, "\xD0\x9F\xD1\x80\xD0\xB8"},
    {437, "\x82\x9C"sv, "\xC3\xA9\xC2\xA3"},
    {1252, "\xE9\x80"sv, "\xC3\xA9\xE2\x82\xAC"},
};

TEST(CodePagesTest, ConvertsBothWays) {
    for (const PageCase& c : kPageCases) {
        SCOPED_TRACE(c.codePage);
        std::u16string wide;
        ASSERT_TRUE(SystemCodePages().ToUtf16(c.codePage, c.bytes, wide));
        EXPECT_EQ(wide, U16(c.utf8));
        std::string back;
        ASSERT_TRUE(SystemCodePages().FromUtf16(c.codePage, wide, back));
        EXPECT_EQ(back, c.bytes);
    }
}

TEST(CodePagesTest, MissingCharactersAndUnknownPages) {
    std::string narrow;
    ASSERT_TRUE(SystemCodePages().FromUtf16(437, u"a\u0416b", narrow));  // no Cyrillic in 437
    EXPECT_EQ(narrow, "a?b");
    std::u16string wide = u"old";
    EXPECT_FALSE(SystemCodePages().ToUtf16(59999, "abc", wide));
    EXPECT_TRUE(wide.empty());
    EXPECT_FALSE(SystemCodePages().FromUtf16(59999, u"abc", narrow));
    EXPECT_TRUE(narrow.empty());
    EXPECT_TRUE(SystemCodePages().ToUtf16(CODE_PAGE_UTF8, "", wide));
    EXPECT_TRUE(wide.empty());
}

TEST(CodePagesTest, DecodesTheWidePagesItself) {
    struct WideCase {
        uint32_t codePage;
        std::string_view bytes;
        std::u16string text;
    };
    const WideCase cases[] = {
        {CODE_PAGE_UTF16LE, "a\0\x1F\x04z"sv, u"a\u041F"},  // a trailing odd byte is no unit
        {CODE_PAGE_UTF16BE, "\0a\x04\x1F"sv, u"a\u041F"},
        {CODE_PAGE_UTF32, "a\0\0\0\0\xF6\x01\0\xFF\xFF\xFF\x7F\x01\x02"sv, u"a\U0001F600\uFFFD"},
    };
    for (const WideCase& c : cases) {
        SCOPED_TRACE(c.codePage);
        EXPECT_EQ(DecodeCodePage(c.codePage, c.bytes), c.text);
    }
}

}  // namespace
