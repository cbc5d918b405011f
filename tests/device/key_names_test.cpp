#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "device/device_state.h"
#include "device/function_names.h"
#include "device/key_names.h"
#include "device/keyboard_layout.h"
#include "text/ui_texts.h"

namespace {

// A layout that types what the test says, and nothing for other keys.
class FakeLayout final : public KeyboardLayout {
public:
    std::map<uint32_t, uint8_t> characters;
    bool CharacterOf(uint32_t vk, uint8_t& character) override {
        auto found = characters.find(vk);
        if (found == characters.end()) return false;
        character = found->second;
        return true;
    }
};

class KeyNamesTest : public testing::Test {
protected:
    void SetUp() override { SetKeyboardLayout(&layout); }
    void TearDown() override {
        SetKeyboardLayout(nullptr);
        g_languageIndex = 0;
    }
    void UseAzerty(bool azerty) { g_languageIndex = azerty ? LANGUAGE_INDEX_AZERTY : 0; }

    FakeLayout layout;
};

struct PairCase {
    uint8_t usage;
    uint8_t vkDefault;
    uint8_t vkAzerty;
};

// Usage to virtual key in both layouts: the six AZERTY changes, the mouse's own
// usages and a few of every group.
const PairCase kPairCases[] = {
    {0x04, 0x41, 0x51}, {0x10, 0x4D, 0xBA}, {0x14, 0x51, 0x41}, {0x1A, 0x57, 0x5A}, {0x1D, 0x5A, 0x57},
    {0x33, 0xBA, 0x4D}, {0x05, 0x42, 0x42}, {0x29, 0x1B, 0x1B}, {0x3A, 0x70, 0x70}, {0x45, 0x7B, 0x7B},
    {0x27, 0x30, 0x30}, {0x28, 0x0D, 0x0D}, {0x58, 0x0D, 0x0D}, {0x62, 0x60, 0x60}, {0x63, 0x6E, 0x6E},
    {0x65, 0x5D, 0x5D}, {0xE7, 0x5C, 0x5C}, {0xF0, 0x01, 0x01}, {0xF1, 0x02, 0x02}, {0xF2, 0x04, 0x04},
    {0x00, 0x00, 0x00}, {0x32, 0x00, 0x00}, {0x64, 0x00, 0x00}, {0xFF, 0x00, 0x00},
};

TEST_F(KeyNamesTest, HidUsagesAndVirtualKeysBothWaysInBothLayouts) {
    for (bool azerty : {false, true}) {
        UseAzerty(azerty);
        for (const PairCase& c : kPairCases) {
            uint8_t vk = azerty ? c.vkAzerty : c.vkDefault;
            SCOPED_TRACE(testing::Message() << "azerty " << azerty << " usage " << int(c.usage));
            EXPECT_EQ(HidUsageToVirtualKey(c.usage), vk);
            // Back again: the first pair of that key, so Enter is 0x28, never keypad Enter.
            if (vk != 0) {
                EXPECT_EQ(VirtualKeyToHidUsage(vk), c.usage == 0x58 ? 0x28 : c.usage);
            }
        }
        EXPECT_EQ(VirtualKeyToHidUsage(0x0D), 0x28);
        EXPECT_EQ(VirtualKeyToHidUsage(0xFE), 0x00);
    }
    // No usage has two pairs in either table.
    for (const auto* table : {&kHidUsageVkPairsDefault, &kHidUsageVkPairsAzerty}) {
        std::set<uint8_t> usages;
        for (const HidUsageVkPair& pair : *table) EXPECT_TRUE(usages.insert(pair.usage).second) << int(pair.usage);
    }
}

TEST_F(KeyNamesTest, EncoderTableInBothLayouts) {
    struct EncoderCase {
        uint32_t vk;
        uint32_t usageDefault;
        uint32_t usageAzerty;
    };
    const EncoderCase cases[] = {
        {0x41, 0x04, 0x14}, {0x51, 0x14, 0x04}, {0x57, 0x1A, 0x1D}, {0x5A, 0x1D, 0x1A}, {0x4D, 0x10, 0x33},
        {0xBA, 0x33, 0x30}, {0xBC, 0x36, 0x10}, {0xBE, 0x37, 0x36}, {0xBF, 0x38, 0x37}, {0xC0, 0x35, 0x34},
        {0xDB, 0x2F, 0x2D}, {0xDD, 0x30, 0x2F}, {0xDE, 0x34, 0x35}, {0xDF, 0x00, 0x38}, {0x0D, 0x28, 0x28},
        {0x42, 0x05, 0x05}, {0x01, 0xF0, 0xF0}, {0x00, 0x00, 0x00}, {0xFE, 0x00, 0x00},
    };
    for (bool azerty : {false, true}) {
        UseAzerty(azerty);
        for (const EncoderCase& c : cases) {
            EXPECT_EQ(VkToHidUsage(c.vk), azerty ? c.usageAzerty : c.usageDefault)
                << "azerty " << azerty << " vk " << c.vk;
        }
    }
    // The two AZERTY tables disagree on punctuation; each function keeps its own.
    UseAzerty(true);
    EXPECT_EQ(VkToHidUsage(0xBA), 0x30u);
    EXPECT_EQ(VirtualKeyToHidUsage(0xBA), 0x10);
}

TEST_F(KeyNamesTest, KeyNameTablesInBothLayouts) {
    struct NameCase {
        uint32_t vk;
        const char16_t* qwerty;
        const char16_t* azerty;
    };
    const NameCase cases[] = {
        {0x01, u"Left Button", u"Left Button"}, {0x14, u"Cap", u"Cap"}, {0x30, u"0", u"\u00E0"},
        {0x31, u"1", u"&&"}, {0x33, u"3", u"\""}, {0x39, u"9", u"\u00E7"}, {0x3F, u"", u"?"},
        {0x41, u"A", u"A"}, {0x4D, u"M", u"m"}, {0x60, u"NUM 0", u"NUM 0"}, {0x6C, u"NUM Enter", u"NUM Enter"},
        {0x7B, u"F12", u"F12"}, {0xA5, u"R_Alt", u"R_Alt"}, {0xBA, u";", u"$"}, {0xBD, u"-", u")"},
        {0xC0, u"~", u"\u00F9"}, {0xDB, u"[", u")"}, {0xDE, u"'", u"\u00B2"}, {0xDF, u"", u"!"},
        {0x2C, u"", u""}, {0x5D, u"", u""}, {0x00, u"", u""},
        {0x131, u"1", u"&&"},  // only the low byte counts
    };
    for (bool azerty : {false, true}) {
        UseAzerty(azerty);
        for (const NameCase& c : cases) EXPECT_EQ(VkToKeyName(c.vk), azerty ? c.azerty : c.qwerty) << c.vk;
    }
    EXPECT_EQ(g_qwertyKeyNames.rows.size(), 106u);
    EXPECT_EQ(g_azertyKeyNames.rows.size(), 108u);
}

TEST_F(KeyNamesTest, VirtualKeyNamesFixedAndFromTheLayout) {
    layout.characters = {{0x41, 'q'}, {0xBA, 0xF9}, {0xDE, 0xB2}, {0x31, '&'}};
    struct NameCase {
        uint32_t vk;
        const char16_t* name;
        const char16_t* numPad;
    };
    const NameCase cases[] = {
        {0x00, u"", u""}, {0xFF, u"", u""}, {0x08, u"Backspace", u""}, {0x0D, u"Enter", u""},
        {0x2B, u"Enter", u""}, {0x10, u"Shift", u""}, {0x14, u"CapsLock", u""}, {0x2C, u"PrtSc SysRq", u""},
        {0x5D, u"App", u""}, {0x60, u"(0)", u"(0)"}, {0x69, u"(9)", u"(9)"}, {0x6C, u"\\", u"\\"},
        {0x6F, u"(/)", u"(/)"}, {0x7B, u"F12", u""}, {0x91, u"Scroll Lock", u""}, {0xA5, u"RAlt", u""},
        {0xC3, u"MButton", u""},
        // From the layout: upper-cased for combinations, as typed for the key mode.
        {0x41, u"Q", u"q"}, {0xBA, u"\u00F9", u"\u00F9"}, {0xDE, u"\u00B2", u"\u00B2"}, {0x31, u"&", u"&"},
        // A key the layout gives no character has an empty name.
        {0x42, u"", u""}, {0x01, u"", u""}, {0x100, u"", u""},
    };
    for (const NameCase& c : cases) {
        EXPECT_EQ(VirtualKeyName(c.vk), c.name) << c.vk;
        EXPECT_EQ(NumPadKeyName(c.vk), c.numPad) << c.vk;
    }
}

TEST_F(KeyNamesTest, KeyCombinationTexts) {
    layout.characters = {{0x41, 'a'}, {0x42, 'b'}, {0x43, 'c'}};
    auto code = [](uint8_t kind, uint8_t modifiers, uint8_t key1, uint8_t key2) {
        return uint32_t(kind) | uint32_t(modifiers) << 8 | uint32_t(key1) << 16 | uint32_t(key2) << 24;
    };
    struct ComboCase {
        uint32_t code;
        const char16_t* text;
    };
    const ComboCase cases[] = {
        {code(0x00, 0x03, 0x04, 0x00), u"Shift + Ctrl + A"},
        {code(0x80, 0x04, 0x05, 0x06), u"A+B+C"},
        {code(0x80, 0x04, 0x00, 0x06), u"A++C"},  // a zero byte of three keys still takes its place
        {code(0x00, 0x00, 0x04, 0x00), u"A"},
        {code(0x00, 0x00, 0x04, 0x05), u"A+B"},
        {code(0x00, 0x0F, 0x04, 0x05), u"Shift + Ctrl + Alt + Win + A+B"},
        {code(0x00, 0x08, 0x29, 0x00), u"Win + Esc"},
        {code(0x00, 0x03, 0x00, 0x05), u"Shift + Ctrl+B"},
        // A byte with none of the four bits: its right-hand modifiers (the high
        // half of the HID modifier byte) read as their left twins.
        {code(0x00, 0x10, 0x04, 0x00), u"Ctrl + A"},
        {code(0x00, 0xA0, 0x04, 0x00), u"Shift + Win + A"},
        // With any of the four bits set, only those name modifiers.
        {code(0x00, 0x21, 0x04, 0x00), u"Ctrl + A"},
        {code(0x00, 0x00, 0x00, 0x00), u""},
    };
    for (const ComboCase& c : cases) EXPECT_EQ(KeyComboText(c.code), c.text) << std::hex << c.code;
}

TEST_F(KeyNamesTest, FunctionTextsFollowTheLoadedLanguage) {
    UiTextTable saved = g_uiTexts;
    for (std::u16string& text : g_uiTexts.texts) text.clear();
    EXPECT_EQ(FunctionCodeName(FUNC_PROFILE_SWITCH), u"");  // no language loaded
    EXPECT_EQ(FunctionCodeName(FUNC_ZOOM_IN), u"Sreen zoom in");

    for (int i = 0; i < UI_TEXT_COUNT; ++i) g_uiTexts.texts[i] = kUiTextKeys[i];
    const std::map<FunctionId, std::u16string> expected = {
        {1, u"str_leftbt"}, {2, u"str_rightbt"}, {4, u"str_midbt"}, {5, u"str_singlecomb"},
        {6, u"str_macroset"}, {8, u"str_forward"}, {11, u"Scroll up"}, {16, u"str_backward"},
        {21, u"str_media"}, {22, u"Scroll down"}, {23, u"str_changle_profile"}, {32, u"str_PL"},
        {33, u"str_stop"}, {34, u"str_pre_media"}, {35, u"str_next_media"}, {37, u"str_vol_up"},
        {38, u"str_vol_dw"}, {39, u"str_mute"}, {40, u"str_player"}, {80, u"str_computer"},
        {81, u"str_close"}, {82, u"str_lock"}, {84, u"Run"}, {85, u"str_showdesktop"},
        {86, u"Sreen zoom in"}, {87, u"Sreen zoom out"}, {96, u"str_mback"}, {97, u"str_mforward"},
        {98, u"str_mstop"}, {99, u"str_refresh"}, {100, u"str_favourites"}, {101, u"str_search"},
        {102, u"str_mail"}, {103, u"str_home"}, {109, u"str_cal"}, {121, u"str_disable"},
        {133, u"str_dbclick"}, {138, u"str_dpisub"}, {139, u"str_dpiloop"}, {140, u"str_dpiset"},
        {141, u"str_dpiadd"}, {143, u"str_fire"}, {144, u"str_dpi_led_dx_text"}, {145, u"str_dpi_led_dx1"},
        {146, u"str_dpi_led_dx2"}, {147, u"str_dpi_led_dx3"},
    };
    for (FunctionId id = -1; id <= 150; ++id) {
        auto found = expected.find(id);
        EXPECT_EQ(FunctionCodeName(id), found == expected.end() ? u"" : found->second) << id;
    }
    g_uiTexts = saved;
}

}  // namespace
