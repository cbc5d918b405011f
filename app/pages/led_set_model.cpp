#include "app/pages/led_set_model.h"

#include <utility>

#include "device/settings.h"
#include "device/usb_driver.h"

namespace {

constexpr UiText kNameTexts[LED_EFFECT_NAME_COUNT - 1] = {
    UiText::str_led_flicker, UiText::str_led_breathing, UiText::str_led_neon,
    UiText::str_led_off,     UiText::str_led_off,       UiText::str_led_off,
};

}  // namespace

int CheckedLedButton(uint8_t ledEffect) {
    return ledEffect < LED_EFFECT_BUTTON_COUNT ? ledEffect : -1;
}

LedSetModel::LedSetModel(DriverSource driver) : m_driver(std::move(driver)) {
    ReloadNames();
    m_names[LED_EFFECT_NAME_COUNT - 1] = u"Stars twinkle";
}

void LedSetModel::ChooseEffect(int k) {
    if (k < 0 || k >= LED_EFFECT_BUTTON_COUNT) return;
    g_settings.ledEffect = static_cast<uint8_t>(k);
    // The result is not looked at: the choice stays stored either way.
    if (CUSBDriver* driver = m_driver ? m_driver() : nullptr) driver->SetLedEffect(static_cast<uint8_t>(k));
}

void LedSetModel::ReloadNames() {
    for (int slot = 0; slot < LED_EFFECT_NAME_COUNT - 1; ++slot) m_names[slot] = g_uiTexts[kNameTexts[slot]];
}
