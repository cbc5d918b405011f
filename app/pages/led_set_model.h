// The LED page's decisions, apart from its window: which effect button is
// checked for the stored effect, the buttons' captions, and what choosing an
// effect stores and sends.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "text/ui_texts.h"

class CUSBDriver;

// Button k stands for effect k: 0 flicker, 1 breathing, 2 neon.
constexpr int LED_EFFECT_BUTTON_COUNT = 3;
// The page keeps seven effect names; only the first three are ever shown.
constexpr int LED_EFFECT_NAME_COUNT = 7;

// The button checked for a stored effect; -1 (none) for a value outside 0..2.
int CheckedLedButton(uint8_t ledEffect);

class LedSetModel {
public:
    // driver gives the connected mouse's transport at the moment of a send,
    // or null while there is none: then only g_settings changes.
    using DriverSource = std::function<CUSBDriver*()>;
    explicit LedSetModel(DriverSource driver);

    // Effect button k (0..2) was clicked: stored and sent, also when it is
    // the effect already chosen. Other k change nothing.
    void ChooseEffect(int k);

    // Slots 0..5 from the language now loaded; slot 6 keeps its fixed text.
    void ReloadNames();
    const std::u16string& Name(int slot) const { return m_names[slot]; }

private:
    DriverSource m_driver;
    std::array<std::u16string, LED_EFFECT_NAME_COUNT> m_names;
};
