// The key-combination dialog's decisions, apart from its window: which keys a
// press adds, how the modifier boxes follow the keyboard, whether OK may end
// the dialog, and the keyboard code the choice comes to.
#pragma once

#include <bitset>
#include <cstdint>
#include <string>

// The modifier boxes, as the bits of the code's modifier byte.
enum ComboModifier : uint8_t {
    COMBO_CTRL = 0x01,
    COMBO_SHIFT = 0x02,
    COMBO_ALT = 0x04,
    COMBO_WIN = 0x08,
};

// The modifier box a virtual key stands for (left, right and either), or 0.
uint8_t ComboModifierOf(uint32_t vk);

// The mouse holds at most three keys, modifiers included.
constexpr int COMBO_MAX_KEYS = 3;

// What OK comes to.
enum class ComboConfirm {
    Accept,   // one to three keys in all: the dialog ends with IDOK
    Empty,    // nothing chosen: the dialog ends as cancelled
    TooMany,  // more than the mouse holds: the user is told, the dialog stays
};

class KeyComboModel {
public:
    // lastKey is the process-wide "last ordinary key taken", so that a held
    // key's repeats add nothing; the model clears it when it starts, so that
    // a dialog cancelled earlier does not swallow the first press of its key.
    explicit KeyComboModel(uint32_t& lastKey) : m_lastKey(lastKey) { m_lastKey = 0; }

    // One key from the hook. A modifier toggles its box on a press that
    // follows its release (the hook reports a held key's auto-repeat as more
    // presses, and holding Ctrl while pressing C must leave CTRL ticked); an
    // ordinary key is added on its press unless it repeats the last one, and a
    // fourth starts the list over. True when the shown state changed.
    bool OnHookKey(uint32_t vk, bool release);
    // A click on a modifier box.
    void ToggleModifier(uint8_t modifier);

    ComboConfirm Confirm();

    uint8_t Modifiers() const { return m_modifiers; }
    bool IsChecked(uint8_t modifier) const { return (m_modifiers & modifier) != 0; }
    int KeyCount() const { return m_keyCount; }
    uint32_t Key(int index) const { return index >= 0 && index < COMBO_MAX_KEYS ? m_keys[index] : 0; }

    // The keyboard ButtonFunctionCode of the choice (byte 0 the lowest): three
    // keys 80 u1 u2 u3; two keys 00 mods u1 u2; one or none 00 mods u1 00, the
    // usages of the current layout.
    uint32_t EncodeFunctionCode() const;
    // The names of the keys taken, joined by "+"; empty when none.
    std::u16string KeyText() const;

private:
    uint32_t& m_lastKey;
    uint8_t m_modifiers = 0;
    uint32_t m_keys[COMBO_MAX_KEYS] = {};
    int m_keyCount = 0;
    std::bitset<256> m_modifierDown;  // by virtual key, so left and right are told apart
};
