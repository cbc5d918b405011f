// The LED page's decisions against the simulated mouse: the checked button,
// what a choice stores and sends, and the captions.
#include "app/pages/led_set_model.h"

#include <gtest/gtest.h>

#include <vector>

#include "device/settings.h"
#include "support/connected_sim_mouse.h"

namespace {

using Bytes = std::vector<uint8_t>;

TEST(LedSetModelTest, CheckedButtonFollowsTheStoredEffect) {
    const struct {
        uint8_t effect;
        int checked;
    } cases[] = {{0, 0}, {1, 1}, {2, 2}, {3, -1}, {5, -1}, {0xFF, -1}};
    for (const auto& c : cases) EXPECT_EQ(CheckedLedButton(c.effect), c.checked) << int(c.effect);
}

TEST(LedSetModelTest, EachChoiceIsStoredAndSentAlsoWhenUnchanged) {
    ConnectedSimMouse sim;
    ASSERT_TRUE(sim.opened);
    sim.backend.ClearLog();
    g_settings = SettingsImage{};
    g_settings.ledEffect = 5;  // a record from elsewhere: no button checked
    LedSetModel model([&] { return &sim.driver; });

    model.ChooseEffect(1);
    EXPECT_EQ(g_settings.ledEffect, 1);
    EXPECT_EQ(sim.mouse->Settings().ledEffect, 1);
    model.ChooseEffect(1);
    model.ChooseEffect(0);
    model.ChooseEffect(3);   // no such button
    model.ChooseEffect(-1);
    EXPECT_EQ(g_settings.ledEffect, 0);
    const std::vector<Bytes> want = {
        {CMD_SET_LED_EFFECT, 1, 0, 0, 0, 0, 0, 0},
        {CMD_SET_LED_EFFECT, 1, 0, 0, 0, 0, 0, 0},
        {CMD_SET_LED_EFFECT, 0, 0, 0, 0, 0, 0, 0},
    };
    EXPECT_EQ(sim.SetCommands(), want);
}

TEST(LedSetModelTest, WithoutATransportOnlyTheSettingsChange) {
    g_settings = SettingsImage{};
    LedSetModel model([] { return nullptr; });
    model.ChooseEffect(2);
    EXPECT_EQ(g_settings.ledEffect, 2);
}

TEST(LedSetModelTest, NamesFollowTheLanguageButTheLastSlotIsFixed) {
    g_uiTexts = UiTextTable{};
    g_uiTexts[UiText::str_led_flicker] = u"Flicker";
    g_uiTexts[UiText::str_led_breathing] = u"Breathing";
    g_uiTexts[UiText::str_led_neon] = u"Neon";
    g_uiTexts[UiText::str_led_off] = u"Off";
    LedSetModel model(nullptr);
    g_uiTexts[UiText::str_led_breathing] = u"Дыхание";
    EXPECT_EQ(model.Name(1), u"Breathing");
    model.ReloadNames();
    const std::u16string want[] = {u"Flicker", u"Дыхание", u"Neon", u"Off", u"Off", u"Off", u"Stars twinkle"};
    for (int slot = 0; slot < LED_EFFECT_NAME_COUNT; ++slot) EXPECT_EQ(model.Name(slot), want[slot]) << slot;
    g_uiTexts = UiTextTable{};
}

}  // namespace
