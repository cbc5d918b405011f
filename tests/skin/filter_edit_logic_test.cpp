// The numeric edit's number: parse, saturation and the range it rewrites to.
#include <gtest/gtest.h>

#include "skin/filter_edit_logic.h"

namespace {

TEST(FilterEditLogicTest, ParseTakesLeadingDigitsAndSaturates) {
    struct Case {
        const char16_t* text;
        uint32_t value;
    };
    const Case cases[] = {
        {u"", 0},
        {u"abc", 0},
        {u"45", 45},
        {u"0045", 45},
        {u"12ab34", 12},
        {u"  7", 7},
        {u"+9", 9},
        {u"-5", 0},  // pasted: a sign never turns into a huge unsigned number
        {u"-", 0},
        {u"4294967295", 0xFFFFFFFFu},
        {u"4294967296", 0xFFFFFFFFu},
        {u"99999999999999999999999999999999999999999999", 0xFFFFFFFFu},
    };
    for (const Case& c : cases) EXPECT_EQ(ParseFieldNumber(c.text), c.value) << std::u16string(c.text).size();

    // The field holds up to 256 digits: they must not wrap round to a small
    // number that passes the range check.
    std::u16string many(256, u'9');
    EXPECT_EQ(ParseFieldNumber(many), 0xFFFFFFFFu);
    EXPECT_EQ(FilterFieldNumber(many, 0, 30), (FieldNumber{30, u"30"}));
}

TEST(FilterEditLogicTest, RangeRewritesTheTextToTheNearestEnd) {
    struct Case {
        const char16_t* text;
        uint32_t minValue, maxValue;
        FieldNumber expected;
    };
    const Case cases[] = {
        // The fire-key field's range: typing 4, 45, then clearing it.
        {u"4", 1, 30, {4, std::nullopt}},
        {u"45", 1, 30, {30, u"30"}},
        {u"30", 1, 30, {30, std::nullopt}},  // the rewritten text, seen again, is in range
        {u"", 1, 30, {1, u"1"}},
        {u"-5", 0, 0xFFFF, {0, std::nullopt}},
        {u"70000", 0, 0xFFFF, {0xFFFF, u"65535"}},
        {u"16001", 0, 16000, {16000, u"16000"}},
        // No upper limit by default: the comparison is unsigned.
        {u"4000000000", 0, 0xFFFFFFFFu, {4000000000u, std::nullopt}},
        {u"99999999999", 0, 0xFFFFFFFFu, {0xFFFFFFFFu, std::nullopt}},
        {u"3000000000", 3000000001u, 0xFFFFFFFFu, {3000000001u, u"3000000001"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.minValue << ".." << c.maxValue << " " << std::u16string(c.text).size());
        EXPECT_EQ(FilterFieldNumber(c.text, c.minValue, c.maxValue), c.expected);
    }
}

TEST(FilterEditLogicTest, OnlyTheTwelveFunctionKeysHaveNames) {
    EXPECT_EQ(FunctionKeyName(0x70), u"F1");
    EXPECT_EQ(FunctionKeyName(0x74), u"F5");
    EXPECT_EQ(FunctionKeyName(0x7B), u"F12");
    for (uint32_t vk : {0x6Fu, 0x7Cu, 0x41u, 0u, 0x170u}) EXPECT_EQ(FunctionKeyName(vk), u"") << vk;
}

}  // namespace
