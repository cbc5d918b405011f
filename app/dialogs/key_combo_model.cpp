#include "app/dialogs/key_combo_model.h"

#include <bit>

#include "device/key_names.h"

uint8_t ComboModifierOf(uint32_t vk) {
    switch (vk) {
    case 0x10: case 0xA0: case 0xA1: return COMBO_SHIFT;
    case 0x11: case 0xA2: case 0xA3: return COMBO_CTRL;
    case 0x12: case 0xA4: case 0xA5: return COMBO_ALT;
    case 0x5B: case 0x5C: return COMBO_WIN;
    default: return 0;
    }
}

bool KeyComboModel::OnHookKey(uint32_t vk, bool release) {
    if (uint8_t modifier = ComboModifierOf(vk)) {
        bool wasDown = m_modifierDown[vk];
        m_modifierDown[vk] = !release;
        if (release || wasDown) return false;
        m_modifiers ^= modifier;
        return true;
    }
    if (release || vk == m_lastKey) return false;
    if (++m_keyCount > COMBO_MAX_KEYS) {
        m_keyCount = 1;
        for (uint32_t& key : m_keys) key = 0;
    }
    m_keys[m_keyCount - 1] = vk;
    m_lastKey = vk;
    return true;
}

void KeyComboModel::ToggleModifier(uint8_t modifier) {
    m_modifiers ^= (modifier & (COMBO_CTRL | COMBO_SHIFT | COMBO_ALT | COMBO_WIN));
}

ComboConfirm KeyComboModel::Confirm() {
    int total = std::popcount(m_modifiers) + m_keyCount;
    if (total > COMBO_MAX_KEYS) return ComboConfirm::TooMany;
    if (total == 0) return ComboConfirm::Empty;
    m_lastKey = 0;
    return ComboConfirm::Accept;
}

uint32_t KeyComboModel::EncodeFunctionCode() const {
    uint32_t u1 = VirtualKeyToHidUsage(m_keys[0]);
    uint32_t u2 = VirtualKeyToHidUsage(m_keys[1]);
    uint32_t u3 = VirtualKeyToHidUsage(m_keys[2]);
    if (m_keyCount == 3) return 0x80u | u1 << 8 | u2 << 16 | u3 << 24;
    if (m_keyCount == 2) return uint32_t(m_modifiers) << 8 | u1 << 16 | u2 << 24;
    return uint32_t(m_modifiers) << 8 | u1 << 16;
}

std::u16string KeyComboModel::KeyText() const {
    std::u16string text;
    for (int i = 0; i < m_keyCount; ++i) {
        if (i > 0) text += u'+';
        text += VirtualKeyName(m_keys[i]);
    }
    return text;
}
