// Key vocabularies: Windows virtual-key codes, HID keyboard usages (usage page 7)
// and the names shown for keys. Two layouts exist, the default (US) and AZERTY,
// which g_languageIndex 3 selects.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

constexpr uint32_t LANGUAGE_INDEX_AZERTY = 3;

// One pair of HID keyboard usage and virtual-key code, used in both directions.
struct HidUsageVkPair {
    uint8_t usage;
    uint8_t vk;
};

// One pair of the macro encoder's table: searched by the virtual-key code.
struct VkHidUsagePair {
    uint32_t usage;
    uint32_t vk;
};

constexpr size_t HID_USAGE_VK_PAIR_COUNT = 107;
constexpr size_t VK_HID_USAGE_COUNT_DEFAULT = 113;
constexpr size_t VK_HID_USAGE_COUNT_AZERTY = 115;

// HidUsageVkPairs and VkToHidUsageTable, default and AZERTY.
extern const std::array<HidUsageVkPair, HID_USAGE_VK_PAIR_COUNT> kHidUsageVkPairsDefault;
extern const std::array<HidUsageVkPair, HID_USAGE_VK_PAIR_COUNT> kHidUsageVkPairsAzerty;
extern const std::array<VkHidUsagePair, VK_HID_USAGE_COUNT_DEFAULT> kVkToHidUsageDefault;
extern const std::array<VkHidUsagePair, VK_HID_USAGE_COUNT_AZERTY> kVkToHidUsageAzerty;

struct KeyNameRow {
    int32_t vk;
    std::u16string name;
};

// Virtual-key code to display name; searched front to back, the first match wins.
class KeyNameTable {
public:
    using Builder = void (*)(KeyNameTable&);
    KeyNameTable(Builder init, Builder destroy) : m_destroy(destroy) { init(*this); }
    ~KeyNameTable() { m_destroy(*this); }
    KeyNameTable(const KeyNameTable&) = delete;
    KeyNameTable& operator=(const KeyNameTable&) = delete;

    // The name of the key whose code equals the low byte of vk; null when none.
    const std::u16string* Find(uint32_t vk) const;

    std::vector<KeyNameRow> rows;

private:
    Builder m_destroy;
};

void InitQwertyKeyNames(KeyNameTable& table);
void InitAzertyKeyNames(KeyNameTable& table);
void DestroyQwertyKeyNames(KeyNameTable& table);
void DestroyAzertyKeyNames(KeyNameTable& table);

// Built before the program starts, released at exit.
extern KeyNameTable g_qwertyKeyNames;
extern KeyNameTable g_azertyKeyNames;

// Key name for key-combination texts; keys without a fixed name take the
// character the current layout gives them, upper-cased; empty when it gives none.
std::u16string VirtualKeyName(uint32_t vk);
// Key name of the value-entry dialog's key mode.
std::u16string NumPadKeyName(uint32_t vk);

// Over HidUsageVkPairs of the current layout; 0 when the value is not there.
uint8_t HidUsageToVirtualKey(uint32_t usage);
uint8_t VirtualKeyToHidUsage(uint32_t vk);

// The text of a keyboard ButtonFunctionCode: bytes kind, modifiers, key, key.
std::u16string KeyComboText(uint32_t code);

// Name from KeyNameTable of the current layout; empty when absent.
std::u16string VkToKeyName(uint32_t vk);

// Through VkToHidUsageTable of the current layout, for the macro encoder; 0 when absent.
uint32_t VkToHidUsage(uint32_t vk);
