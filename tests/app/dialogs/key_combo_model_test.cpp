// The key-combination dialog's state machine and the code it encodes.
#include <gtest/gtest.h>

#include <vector>

#include "app/dialogs/key_combo_model.h"

namespace {

constexpr uint32_t kShift = 0x10, kLShift = 0xA0, kRShift = 0xA1, kCtrl = 0x11, kLCtrl = 0xA2, kLAlt = 0xA4,
                   kLWin = 0x5B;
// HID keyboard usages of A..D.
constexpr uint32_t kUsageA = 0x04, kUsageB = 0x05, kUsageC = 0x06, kUsageD = 0x07;

struct Key {
    uint32_t vk;
    bool release;
};
Key Down(uint32_t vk) { return {vk, false}; }
Key Up(uint32_t vk) { return {vk, true}; }
// A press and its release.
std::vector<Key> Tap(uint32_t vk) { return {Down(vk), Up(vk)}; }

std::vector<Key> Join(std::initializer_list<std::vector<Key>> parts) {
    std::vector<Key> all;
    for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

TEST(KeyComboModelTest, Sequences) {
    struct Case {
        const char* name;
        std::vector<Key> keys;
        uint8_t modifiers;
        std::vector<uint32_t> taken;
        const char16_t* text;
        ComboConfirm confirm;
        uint32_t code;  // when accepted
    };
    const Case cases[] = {
        {"Ctrl then C, Ctrl held and repeating meanwhile",
         {Down(kLCtrl), Down(kLCtrl), Down(kLCtrl), Down('C'), Down('C'), Up('C'), Up(kLCtrl)},
         COMBO_CTRL, {'C'}, u"C", ComboConfirm::Accept, 0x00u | COMBO_CTRL << 8 | kUsageC << 16},
        {"A B C", Join({Tap('A'), Tap('B'), Tap('C')}), 0, {'A', 'B', 'C'}, u"A+B+C", ComboConfirm::Accept,
         0x80u | kUsageA << 8 | kUsageB << 16 | kUsageC << 24},
        {"A B C D starts over with D", Join({Tap('A'), Tap('B'), Tap('C'), Tap('D')}), 0, {'D'}, u"D",
         ComboConfirm::Accept, kUsageD << 16},
        {"Shift and A B", Join({Tap(kShift), Tap('A'), Tap('B')}), COMBO_SHIFT, {'A', 'B'}, u"A+B",
         ComboConfirm::Accept, COMBO_SHIFT << 8 | kUsageA << 16 | kUsageB << 24},
        {"Ctrl Alt A B is one too many", Join({Tap(kLCtrl), Tap(kLAlt), Tap('A'), Tap('B')}),
         COMBO_CTRL | COMBO_ALT, {'A', 'B'}, u"A+B", ComboConfirm::TooMany, 0},
        {"A A records A once", Join({Tap('A'), Tap('A')}), 0, {'A'}, u"A", ComboConfirm::Accept, kUsageA << 16},
        {"A B A records all three", Join({Tap('A'), Tap('B'), Tap('A')}), 0, {'A', 'B', 'A'}, u"A+B+A",
         ComboConfirm::Accept, 0x80u | kUsageA << 8 | kUsageB << 16 | kUsageA << 24},
        {"Shift twice", Join({Tap(kLShift), Tap(kLShift)}), 0, {}, u"", ComboConfirm::Empty, 0},
        {"left and right Shift are two presses", {Down(kLShift), Down(kRShift)}, 0, {}, u"", ComboConfirm::Empty, 0},
        {"Win alone", Tap(kLWin), COMBO_WIN, {}, u"", ComboConfirm::Accept, COMBO_WIN << 8},
        {"nothing", {}, 0, {}, u"", ComboConfirm::Empty, 0},
        {"releases alone add nothing", {Up('A'), Up(kCtrl)}, 0, {}, u"", ComboConfirm::Empty, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        uint32_t lastKey = 0;
        KeyComboModel model(lastKey);
        for (const Key& k : c.keys) model.OnHookKey(k.vk, k.release);
        EXPECT_EQ(model.Modifiers(), c.modifiers);
        ASSERT_EQ(model.KeyCount(), static_cast<int>(c.taken.size()));
        for (size_t i = 0; i < c.taken.size(); ++i) EXPECT_EQ(model.Key(int(i)), c.taken[i]) << i;
        EXPECT_EQ(model.KeyText(), c.text);
        EXPECT_EQ(model.Confirm(), c.confirm);
        if (c.confirm == ComboConfirm::Accept) {
            EXPECT_EQ(model.EncodeFunctionCode(), c.code);
        }
    }
}

TEST(KeyComboModelTest, ModifierTogglesOnlyOnAPressAfterItsRelease) {
    uint32_t lastKey = 0;
    KeyComboModel model(lastKey);
    EXPECT_TRUE(model.OnHookKey(kLCtrl, false));
    EXPECT_FALSE(model.OnHookKey(kLCtrl, false));  // auto-repeat
    EXPECT_TRUE(model.IsChecked(COMBO_CTRL));
    EXPECT_FALSE(model.OnHookKey(kLCtrl, true));
    EXPECT_TRUE(model.OnHookKey(kLCtrl, false));
    EXPECT_FALSE(model.IsChecked(COMBO_CTRL));
    // A click on the box while the key is held toggles; the held key's
    // repeats do not undo it.
    model.ToggleModifier(COMBO_CTRL);
    EXPECT_FALSE(model.OnHookKey(kLCtrl, false));
    EXPECT_TRUE(model.IsChecked(COMBO_CTRL));
}

TEST(KeyComboModelTest, LastKeyIsClearedOnOpenAndOnAcceptOnly) {
    uint32_t lastKey = 'A';  // left behind by a dialog that was cancelled
    {
        KeyComboModel model(lastKey);
        EXPECT_EQ(lastKey, 0u);
        EXPECT_TRUE(model.OnHookKey('A', false));
        EXPECT_EQ(lastKey, uint32_t('A'));
        model.OnHookKey(kLCtrl, false);
        model.OnHookKey(kLAlt, false);
        model.OnHookKey('B', false);
        EXPECT_EQ(model.Confirm(), ComboConfirm::TooMany);
        EXPECT_EQ(lastKey, uint32_t('B'));  // refused: the dialog goes on as it was
        model.ToggleModifier(COMBO_ALT);
        EXPECT_EQ(model.Confirm(), ComboConfirm::Accept);
        EXPECT_EQ(lastKey, 0u);
        EXPECT_EQ(model.EncodeFunctionCode(), COMBO_CTRL << 8 | kUsageA << 16 | kUsageB << 24);
    }
}

TEST(KeyComboModelTest, ModifierKeys) {
    const struct {
        uint32_t vk;
        uint8_t modifier;
    } cases[] = {{0x10, COMBO_SHIFT}, {0xA0, COMBO_SHIFT}, {0xA1, COMBO_SHIFT}, {0x11, COMBO_CTRL},
                 {0xA2, COMBO_CTRL},  {0xA3, COMBO_CTRL},  {0x12, COMBO_ALT},   {0xA4, COMBO_ALT},
                 {0xA5, COMBO_ALT},   {0x5B, COMBO_WIN},   {0x5C, COMBO_WIN},   {0x5D, 0},
                 {0x41, 0},           {0x14, 0}};
    for (const auto& c : cases) EXPECT_EQ(ComboModifierOf(c.vk), c.modifier) << std::hex << c.vk;
}

}  // namespace
