// The value-entry dialog's modes, its name editor and what OK makes of a
// typed number.
#include <gtest/gtest.h>

#include <map>

#include "device/keyboard_layout.h"
#include "skin/value_entry_logic.h"

namespace {

TEST(ValueEntryLogicTest, ModeTable) {
    struct Case {
        int mode;
        uint8_t sensor;
        std::optional<UiText> titleKey;
        const char16_t* fixedTitle;
        int titleHeight;
        bool numeric, setsLimits;
        uint32_t maxValue;
        bool captures;
        uint32_t cap;
    };
    const Case cases[] = {
        {0, 0, UiText::str_macro_msg1, u"", 18, false, false, 0, true, 0},
        {1, 0, UiText::str_macro_msg2, u"", 18, true, true, 0xFFFF, false, 0xFFFFFF},
        {2, 0xF1, std::nullopt, u"DPI (50 ~ 30000)", 20, true, true, 30000, false, 0xFFFF},
        {2, 0xF0, std::nullopt, u"DPI (50 ~ 26000)", 20, true, true, 26000, false, 0xFFFF},
        {2, 0xE1, std::nullopt, u"DPI (200 ~ 16000)", 20, true, true, 16000, false, 0xFFFF},
        {2, 0xE2, std::nullopt, u"DPI (50 ~ 24000)", 20, true, true, 24000, false, 0xFFFF},
        {2, 0x00, std::nullopt, u"DPI (50 ~ 6400)", 20, true, true, 6400, false, 0xFFFF},
        {2, 0xE0, std::nullopt, u"DPI (50 ~ 6400)", 20, true, true, 6400, false, 0xFFFF},
        {3, 0, UiText::str_msg17, u"", 16, false, false, 0, true, 0},
        // A mode the dialog does not know neither captures nor limits.
        {7, 0, std::nullopt, u"", 18, false, false, 0, false, 0},
        {-1, 0, std::nullopt, u"", 18, false, false, 0, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "mode " << c.mode << " sensor " << int(c.sensor));
        ValueEntryMode m = ValueEntryModeFor(c.mode, c.sensor);
        EXPECT_EQ(m.titleKey, c.titleKey);
        EXPECT_EQ(m.fixedTitle, c.fixedTitle);
        EXPECT_EQ(m.titleFontHeight, c.titleHeight);
        EXPECT_EQ(m.numeric, c.numeric);
        EXPECT_EQ(m.setsLimits, c.setsLimits);
        EXPECT_EQ(m.minValue, 0u);
        EXPECT_EQ(m.maxValue, c.maxValue);
        EXPECT_EQ(m.capturesKeys, c.captures);
        EXPECT_EQ(m.resultCap, c.cap);
    }
    EXPECT_EQ(SensorDpiMaximum(0xE1), 16000u);
}

TEST(ValueEntryLogicTest, KeyModeTakesEveryKeyButEnter) {
    EXPECT_FALSE(KeyModeTakes(0x0D));
    for (uint32_t vk : {0xA0u, 0x41u, 0x1Bu, 0x20u, 0x08u}) EXPECT_TRUE(KeyModeTakes(vk)) << vk;
}

class FakeLayout : public KeyboardLayout {
public:
    bool CharacterOf(uint32_t vk, uint8_t& character) override {
        auto it = characters.find(vk);
        if (it == characters.end()) return false;
        character = it->second;
        return true;
    }
    std::map<uint32_t, uint8_t> characters{{0x41, 'a'}, {0x42, 'b'}, {0x43, 'c'}, {0x31, '1'}};
};

class NameEditTest : public testing::Test {
protected:
    void SetUp() override { SetKeyboardLayout(&layout); }
    void TearDown() override { SetKeyboardLayout(nullptr); }
    FakeLayout layout;
};

constexpr uint32_t kBack = 0x08;
constexpr bool kRelease = true;

TEST_F(NameEditTest, KeysEditTheTextAroundTheSelection) {
    struct Case {
        const char* what;
        const char16_t* text;
        int selStart, selEnd;
        uint32_t vk;
        const char16_t* result;
    };
    const Case cases[] = {
        {"letter at the end", u"ab", 2, 2, 0x43, u"abc"},
        {"letter replaces the selection", u"abcd", 1, 3, 0x41, u"aad"},
        {"letter into an empty text", u"", 0, 0, 0x42, u"b"},
        {"numeric pad 1", u"x", 1, 1, 0x61, u"x(1)"},
        {"numeric pad *", u"", 0, 0, 0x6A, u"(*)"},
        {"backspace at the end", u"abc", 3, 3, kBack, u"ab"},
        {"backspace in the middle", u"abc", 1, 1, kBack, u"bc"},
        {"backspace at the start", u"abc", 0, 0, kBack, u"abc"},
        {"backspace on an empty text", u"", 0, 0, kBack, u""},
        {"backspace removes the selection only", u"abcd", 1, 3, kBack, u"ad"},
        {"backspace with everything selected", u"abcd", 0, 4, kBack, u""},
        {"selection given backwards", u"abcd", 3, 1, kBack, u"ad"},
        {"selection past the end", u"abcd", 2, 99, kBack, u"ab"},
        {"14 characters take one more", u"aaaaaaaaaaaaaa", 14, 14, 0x42, u"aaaaaaaaaaaaaab"},
        {"the 16th character is refused", u"aaaaaaaaaaaaaaa", 15, 15, 0x42, u"aaaaaaaaaaaaaaa"},
        {"a name may pass 15", u"aaaaaaaaaaaaaa", 14, 14, 0x61, u"aaaaaaaaaaaaaa(1)"},
        {"the limit counts what stays", u"aaaaaaaaaaaaaaa", 0, 1, 0x42, u"baaaaaaaaaaaaaa"},
        // Keys that type nothing: no space, no Shift, no function key.
        {"space types nothing", u"ab", 2, 2, 0x20, u"ab"},
        {"shift keeps the selection's text", u"abcd", 1, 3, 0xA0, u"abcd"},
        {"F5 types nothing", u"ab", 2, 2, 0x74, u"ab"},
        {"a key the layout has no character for", u"ab", 2, 2, 0x5A, u"ab"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::optional<NameEdit> edit = ApplyNameKey(c.text, c.selStart, c.selEnd, c.vk, kRelease);
        ASSERT_TRUE(edit);
        std::u16string result = c.result;
        int end = static_cast<int>(result.size());
        EXPECT_EQ(*edit, (NameEdit{result, end, end}));
    }
}

TEST_F(NameEditTest, TypingABCThenBackspaceAndIgnoredKeys) {
    std::u16string text;
    for (uint32_t vk : {0x41u, 0x42u, 0x43u, kBack}) {
        // A press is ignored; only the release types.
        EXPECT_FALSE(ApplyNameKey(text, 0, 0, vk, false));
        int end = static_cast<int>(text.size());
        std::optional<NameEdit> edit = ApplyNameKey(text, end, end, vk, kRelease);
        ASSERT_TRUE(edit);
        text = edit->text;
    }
    EXPECT_EQ(text, u"ab");
    EXPECT_FALSE(ApplyNameKey(u"ab", 2, 2, 0x0D, kRelease)) << "Enter";
}

TEST(ValueEntryLogicTest, TypedNumberIsReadFrom19CharactersAndCapped) {
    ValueEntryMode delay = ValueEntryModeFor(VALUE_ENTRY_DELAY, 0);
    ValueEntryMode dpi = ValueEntryModeFor(VALUE_ENTRY_DPI, 0xE1);
    struct Case {
        const ValueEntryMode* mode;
        const char16_t* text;
        uint32_t value;
    };
    const Case cases[] = {
        {&delay, u"", 0},
        {&delay, u"250", 250},
        {&delay, u"65535", 65535},
        {&delay, u"20000000", 0xFFFFFF},
        {&delay, u"99999999999999999999999", 0xFFFFFF},  // saturates, never wraps
        {&delay, u"-5", 0},
        {&delay, u"0000000000000000000123", 0},  // only the first 19 characters count
        {&delay, u"0000000000000000001", 1},
        {&dpi, u"16000", 16000},
        {&dpi, u"70000", 0xFFFF},
        {&dpi, u"x", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::u16string(c.text).size());
        EXPECT_EQ(TypedEntryValue(*c.mode, c.text), c.value);
    }
}

}  // namespace
