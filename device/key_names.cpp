#include "device/key_names.h"

#include <array>

#include "device/device_state.h"
#include "device/keyboard_layout.h"

namespace {

// Keyboard usages in table order: Esc, F1..F12, A..Z, 1..9, 0, editing keys,
// punctuation, navigation, arrows, keypad, modifiers, App, and the program's own
// usages 0xF0..0xF2 for the left, right and middle mouse button. Enter (0x28)
// comes before keypad Enter (0x58), so virtual key 0x0D maps back to 0x28.
constexpr std::array<HidUsageVkPair, HID_USAGE_VK_PAIR_COUNT> kDefaultPairs = {{
    {0x29, 0x1B},
    {0x3A, 0x70}, {0x3B, 0x71}, {0x3C, 0x72}, {0x3D, 0x73}, {0x3E, 0x74}, {0x3F, 0x75},
    {0x40, 0x76}, {0x41, 0x77}, {0x42, 0x78}, {0x43, 0x79}, {0x44, 0x7A}, {0x45, 0x7B},
    {0x04, 0x41}, {0x05, 0x42}, {0x06, 0x43}, {0x07, 0x44}, {0x08, 0x45}, {0x09, 0x46},
    {0x0A, 0x47}, {0x0B, 0x48}, {0x0C, 0x49}, {0x0D, 0x4A}, {0x0E, 0x4B}, {0x0F, 0x4C},
    {0x10, 0x4D}, {0x11, 0x4E}, {0x12, 0x4F}, {0x13, 0x50}, {0x14, 0x51}, {0x15, 0x52},
    {0x16, 0x53}, {0x17, 0x54}, {0x18, 0x55}, {0x19, 0x56}, {0x1A, 0x57}, {0x1B, 0x58},
    {0x1C, 0x59}, {0x1D, 0x5A},
    {0x1E, 0x31}, {0x1F, 0x32}, {0x20, 0x33}, {0x21, 0x34}, {0x22, 0x35}, {0x23, 0x36},
    {0x24, 0x37}, {0x25, 0x38}, {0x26, 0x39}, {0x27, 0x30},
    {0x2B, 0x09}, {0x39, 0x14}, {0x28, 0x0D}, {0x2A, 0x08}, {0x2C, 0x20},
    {0x2F, 0xDB}, {0x30, 0xDD}, {0x31, 0xDC}, {0x33, 0xBA}, {0x34, 0xDE}, {0x36, 0xBC},
    {0x37, 0xBE}, {0x38, 0xBF}, {0x35, 0xC0}, {0x2E, 0xBB}, {0x2D, 0xBD},
    {0x46, 0x2C}, {0x47, 0x91}, {0x48, 0x13}, {0x49, 0x2D}, {0x4A, 0x24}, {0x4B, 0x21},
    {0x4C, 0x2E}, {0x4D, 0x23}, {0x4E, 0x22},
    {0x52, 0x26}, {0x51, 0x28}, {0x50, 0x25}, {0x4F, 0x27},
    {0x59, 0x61}, {0x5A, 0x62}, {0x5B, 0x63}, {0x5C, 0x64}, {0x5D, 0x65}, {0x5E, 0x66},
    {0x5F, 0x67}, {0x60, 0x68}, {0x61, 0x69}, {0x62, 0x60},
    {0x57, 0x6B}, {0x56, 0x6D}, {0x55, 0x6A}, {0x54, 0x6F}, {0x53, 0x90}, {0x58, 0x0D},
    {0x63, 0x6E},
    {0xE0, 0xA2}, {0xE1, 0xA0}, {0xE2, 0xA4}, {0xE3, 0x5B}, {0xE4, 0xA3}, {0xE5, 0xA1},
    {0xE6, 0xA5}, {0xE7, 0x5C},
    {0x65, 0x5D},
    {0xF0, 0x01}, {0xF1, 0x02}, {0xF2, 0x04},
}};

constexpr HidUsageVkPair kAzertyPairChanges[] = {
    {0x04, 0x51}, {0x10, 0xBA}, {0x14, 0x41}, {0x1A, 0x5A}, {0x1D, 0x57}, {0x33, 0x4D},
};

// The encoder's AZERTY differences, virtual key to usage.
constexpr VkHidUsagePair kAzertyEncoderChanges[] = {
    {0x14, 0x41}, {0x04, 0x51}, {0x1D, 0x57}, {0x1A, 0x5A}, {0x33, 0x4D}, {0x30, 0xBA}, {0x10, 0xBC},
    {0x36, 0xBE}, {0x37, 0xBF}, {0x34, 0xC0}, {0x2D, 0xDB}, {0x2F, 0xDD}, {0x35, 0xDE},
};

constexpr std::array<HidUsageVkPair, HID_USAGE_VK_PAIR_COUNT> MakeAzertyPairs() {
    std::array<HidUsageVkPair, HID_USAGE_VK_PAIR_COUNT> table = kDefaultPairs;
    for (const HidUsageVkPair& change : kAzertyPairChanges) {
        for (HidUsageVkPair& pair : table) {
            if (pair.usage == change.usage) pair.vk = change.vk;
        }
    }
    return table;
}

// The reverse of the default pairs, and rows of virtual key 0 that give usage 0.
constexpr std::array<VkHidUsagePair, VK_HID_USAGE_COUNT_DEFAULT> MakeDefaultEncoderTable() {
    std::array<VkHidUsagePair, VK_HID_USAGE_COUNT_DEFAULT> table{};
    for (size_t i = 0; i < HID_USAGE_VK_PAIR_COUNT; ++i)
        table[i] = {kDefaultPairs[i].usage, kDefaultPairs[i].vk};
    return table;
}

constexpr std::array<VkHidUsagePair, VK_HID_USAGE_COUNT_AZERTY> MakeAzertyEncoderTable() {
    std::array<VkHidUsagePair, VK_HID_USAGE_COUNT_AZERTY> table{};
    auto base = MakeDefaultEncoderTable();
    for (size_t i = 0; i < base.size(); ++i) table[i] = base[i];
    for (const VkHidUsagePair& change : kAzertyEncoderChanges) {
        for (VkHidUsagePair& pair : table) {
            if (pair.vk == change.vk) {
                pair.usage = change.usage;
                break;
            }
        }
    }
    table[VK_HID_USAGE_COUNT_DEFAULT] = {0x38, 0xDF};
    return table;
}

bool AzertySelected() {
    return g_languageIndex == LANGUAGE_INDEX_AZERTY;
}

const std::array<HidUsageVkPair, HID_USAGE_VK_PAIR_COUNT>& CurrentPairs() {
    return AzertySelected() ? kHidUsageVkPairsAzerty : kHidUsageVkPairsDefault;
}

void AddRow(KeyNameTable& table, int32_t vk, std::u16string name) {
    table.rows.push_back({vk, std::move(name)});
}

void SetName(KeyNameTable& table, int32_t vk, const char16_t* name) {
    for (KeyNameRow& row : table.rows) {
        if (row.vk == vk) {
            row.name = name;
            return;
        }
    }
    AddRow(table, vk, name);
}

void AddQwertyRows(KeyNameTable& table) {
    table.rows.clear();
    AddRow(table, 0x01, u"Left Button");
    AddRow(table, 0x02, u"Right Button");
    AddRow(table, 0x04, u"Middle Button");
    AddRow(table, 0x08, u"Backspace");
    AddRow(table, 0x09, u"Tab");
    AddRow(table, 0x0D, u"Enter");
    AddRow(table, 0x13, u"Pause");
    AddRow(table, 0x14, u"Cap");
    AddRow(table, 0x1B, u"ESC");
    AddRow(table, 0x20, u"Space");
    AddRow(table, 0x21, u"Page Up");
    AddRow(table, 0x22, u"Page Down");
    AddRow(table, 0x23, u"End");
    AddRow(table, 0x24, u"Home");
    AddRow(table, 0x25, u"LEFT");
    AddRow(table, 0x26, u"UP");
    AddRow(table, 0x27, u"RIGHT");
    AddRow(table, 0x28, u"DOWN");
    AddRow(table, 0x2A, u"Print");
    AddRow(table, 0x2D, u"Insert");
    AddRow(table, 0x2E, u"Delete");
    for (char16_t digit = u'0'; digit <= u'9'; ++digit) AddRow(table, digit, std::u16string(1, digit));
    for (char16_t letter = u'A'; letter <= u'Z'; ++letter) AddRow(table, letter, std::u16string(1, letter));
    AddRow(table, 0x5B, u"L_Win");
    AddRow(table, 0x5C, u"R_Win");
    for (char16_t digit = u'0'; digit <= u'9'; ++digit) {
        std::u16string name = u"NUM ";
        name.push_back(digit);
        AddRow(table, 0x60 + (digit - u'0'), name);
    }
    AddRow(table, 0x6A, u"NUM *");
    AddRow(table, 0x6B, u"NUM +");
    AddRow(table, 0x6C, u"NUM Enter");
    AddRow(table, 0x6D, u"NUM -");
    AddRow(table, 0x6E, u"NUM Del");
    AddRow(table, 0x6F, u"NUM /");
    static const char16_t* const kFunctionKeys[] = {u"F1", u"F2", u"F3", u"F4",  u"F5",  u"F6",
                                                    u"F7", u"F8", u"F9", u"F10", u"F11", u"F12"};
    for (int f = 0; f < 12; ++f) AddRow(table, 0x70 + f, kFunctionKeys[f]);
    AddRow(table, 0x90, u"NUM Lock");
    AddRow(table, 0x91, u"Scroll");
    AddRow(table, 0xA0, u"L_Shift");
    AddRow(table, 0xA1, u"R_Shift");
    AddRow(table, 0xA2, u"L_Ctrl");
    AddRow(table, 0xA3, u"R_Ctrl");
    AddRow(table, 0xA4, u"L_Alt");
    AddRow(table, 0xA5, u"R_Alt");
    AddRow(table, 0xBA, u";");
    AddRow(table, 0xBB, u"=");
    AddRow(table, 0xBC, u"<");
    AddRow(table, 0xBD, u"-");
    AddRow(table, 0xBE, u">");
    AddRow(table, 0xBF, u"?");
    AddRow(table, 0xC0, u"~");
    AddRow(table, 0xDB, u"[");
    AddRow(table, 0xDC, u"|");
    AddRow(table, 0xDD, u"]");
    AddRow(table, 0xDE, u"'");
}

// The fixed names of VirtualKeyName; null for keys that take the layout's character.
const char16_t* FixedKeyName(uint32_t vk) {
    static const char16_t* const kNumPad[] = {u"(0)", u"(1)", u"(2)", u"(3)", u"(4)", u"(5)",
                                              u"(6)", u"(7)", u"(8)", u"(9)", u"(*)", u"(+)",
                                              u"\\",  u"(-)", u"(.)", u"(/)"};
    static const char16_t* const kFunction[] = {u"F1", u"F2", u"F3", u"F4",  u"F5",  u"F6",
                                                u"F7", u"F8", u"F9", u"F10", u"F11", u"F12"};
    if (vk >= 0x60 && vk <= 0x6F) return kNumPad[vk - 0x60];
    if (vk >= 0x70 && vk <= 0x7B) return kFunction[vk - 0x70];
    switch (vk) {
    case 0x00: case 0xFF: return u"";
    case 0x08: return u"Backspace";
    case 0x09: return u"Tab";
    case 0x0C: return u"Clr";
    case 0x0D: case 0x2B: return u"Enter";
    case 0x10: return u"Shift";
    case 0x11: return u"Ctrl";
    case 0x12: return u"Alt";
    case 0x13: return u"Pause";
    case 0x14: return u"CapsLock";
    case 0x1B: return u"Esc";
    case 0x20: return u"Space";
    case 0x21: return u"PageUp";
    case 0x22: return u"PageDown";
    case 0x23: return u"End";
    case 0x24: return u"Home";
    case 0x25: return u"Left";
    case 0x26: return u"Up";
    case 0x27: return u"Right";
    case 0x28: return u"Down";
    case 0x29: return u"Select";
    case 0x2A: return u"Print";
    case 0x2C: return u"PrtSc SysRq";
    case 0x2D: return u"Insert";
    case 0x2E: return u"Delete";
    case 0x2F: return u"Help";
    case 0x5B: return u"LWin";
    case 0x5C: return u"RWin";
    case 0x5D: return u"App";
    case 0x90: return u"Numlock";
    case 0x91: return u"Scroll Lock";
    case 0xA0: return u"LShift";
    case 0xA1: return u"RShift";
    case 0xA2: return u"LCtrl";
    case 0xA3: return u"RCtrl";
    case 0xA4: return u"LAlt";
    case 0xA5: return u"RAlt";
    case 0xC1: return u"LButton";
    case 0xC2: return u"RButton";
    case 0xC3: return u"MButton";
    default: return nullptr;
    }
}

// Keys the value-entry dialog shows no name for.
bool NumPadNameless(uint32_t vk) {
    return vk == 0x00 || vk == 0x08 || vk == 0x09 || vk == 0x0C || vk == 0x0D || (vk >= 0x10 && vk <= 0x14) ||
           vk == 0x1B || (vk >= 0x20 && vk <= 0x2F) || (vk >= 0x5B && vk <= 0x5D) || (vk >= 0x70 && vk <= 0x7B) ||
           vk == 0x90 || vk == 0x91 || (vk >= 0xA0 && vk <= 0xA5) || (vk >= 0xC1 && vk <= 0xC3) || vk == 0xFF;
}

// The character the layout gives the key, as the "%c" of one byte; empty when none.
std::u16string LayoutName(uint32_t vk, bool upperCase) {
    uint8_t character = 0;
    if (!GetKeyboardLayout().CharacterOf(vk, character)) return std::u16string();
    if (upperCase && character >= 'a' && character <= 'z') character = uint8_t(character - 'a' + 'A');
    return std::u16string(1, char16_t(character));
}

std::u16string ComboKeyName(uint8_t usage) {
    return VirtualKeyName(HidUsageToVirtualKey(usage));
}

}  // namespace

constexpr std::array<HidUsageVkPair, HID_USAGE_VK_PAIR_COUNT> kHidUsageVkPairsDefault = kDefaultPairs;
constexpr std::array<HidUsageVkPair, HID_USAGE_VK_PAIR_COUNT> kHidUsageVkPairsAzerty = MakeAzertyPairs();
constexpr std::array<VkHidUsagePair, VK_HID_USAGE_COUNT_DEFAULT> kVkToHidUsageDefault = MakeDefaultEncoderTable();
constexpr std::array<VkHidUsagePair, VK_HID_USAGE_COUNT_AZERTY> kVkToHidUsageAzerty = MakeAzertyEncoderTable();

KeyNameTable g_qwertyKeyNames(InitQwertyKeyNames, DestroyQwertyKeyNames);
KeyNameTable g_azertyKeyNames(InitAzertyKeyNames, DestroyAzertyKeyNames);

const std::u16string* KeyNameTable::Find(uint32_t vk) const {
    for (const KeyNameRow& row : rows) {
        if (row.vk == int32_t(vk & 0xFF)) return &row.name;
    }
    return nullptr;
}

void InitQwertyKeyNames(KeyNameTable& table) {
    AddQwertyRows(table);
}

void InitAzertyKeyNames(KeyNameTable& table) {
    AddQwertyRows(table);
    SetName(table, 0x30, u"\u00E0");
    SetName(table, 0x31, u"&&");  // drawn with prefix processing, where "&&" shows one "&"
    SetName(table, 0x32, u"\u00E9");
    SetName(table, 0x33, u"\"");
    SetName(table, 0x34, u"'");
    SetName(table, 0x35, u"(");
    SetName(table, 0x36, u"-");
    SetName(table, 0x37, u"\u00E8");
    SetName(table, 0x38, u"_");
    SetName(table, 0x39, u"\u00E7");
    SetName(table, 0x3F, u"?");
    SetName(table, 0x4D, u"m");
    SetName(table, 0xBA, u"$");
    SetName(table, 0xBC, u",");
    SetName(table, 0xBD, u")");
    SetName(table, 0xBE, u";");
    SetName(table, 0xBF, u":");
    SetName(table, 0xC0, u"\u00F9");
    SetName(table, 0xDB, u")");
    SetName(table, 0xDC, u"*");
    SetName(table, 0xDD, u"^");
    SetName(table, 0xDE, u"\u00B2");
    SetName(table, 0xDF, u"!");
}

void DestroyQwertyKeyNames(KeyNameTable& table) {
    table.rows.clear();
    table.rows.shrink_to_fit();
}

void DestroyAzertyKeyNames(KeyNameTable& table) {
    table.rows.clear();
    table.rows.shrink_to_fit();
}

std::u16string VirtualKeyName(uint32_t vk) {
    if (vk > 0xFF) return std::u16string();
    if (const char16_t* name = FixedKeyName(vk)) return name;
    return LayoutName(vk, true);
}

std::u16string NumPadKeyName(uint32_t vk) {
    if (vk > 0xFF) return std::u16string();
    if (vk >= 0x60 && vk <= 0x6F) return FixedKeyName(vk);
    if (NumPadNameless(vk)) return std::u16string();
    return LayoutName(vk, false);
}

uint8_t HidUsageToVirtualKey(uint32_t usage) {
    for (const HidUsageVkPair& pair : CurrentPairs()) {
        if (pair.usage == usage) return pair.vk;
    }
    return 0;
}

uint8_t VirtualKeyToHidUsage(uint32_t vk) {
    for (const HidUsageVkPair& pair : CurrentPairs()) {
        if (pair.vk == vk) return pair.usage;
    }
    return 0;
}

std::u16string KeyComboText(uint32_t code) {
    const uint8_t kind = uint8_t(code), modifiers = uint8_t(code >> 8), key1 = uint8_t(code >> 16),
                  key2 = uint8_t(code >> 24);
    if (kind == 0x80) return ComboKeyName(modifiers) + u"+" + ComboKeyName(key1) + u"+" + ComboKeyName(key2);
    std::u16string text;
    if (modifiers == 0) {
        text = ComboKeyName(key1);
        if (key2 != 0) text += u"+" + ComboKeyName(key2);
        return text;
    }
    // Only the four left-hand bits name modifiers. A byte with none of them can
    // only come back from the mouse, which keeps the HID modifier byte: its high
    // half holds the right-hand modifiers, shown like their left-hand twins so
    // that no code with modifiers is shown without them.
    uint8_t held = modifiers & 0x0F;
    if (held == 0) held = uint8_t(modifiers >> 4);
    static constexpr struct {
        uint8_t bit;
        const char16_t* name;
    } kModifiers[] = {{0x02, u"Shift"}, {0x01, u"Ctrl"}, {0x04, u"Alt"}, {0x08, u"Win"}};
    for (const auto& modifier : kModifiers) {
        if (!(held & modifier.bit)) continue;
        if (!text.empty()) text += u" + ";
        text += modifier.name;
    }
    if (key1 != 0) text += u" + " + ComboKeyName(key1);
    if (key2 != 0) text += u"+" + ComboKeyName(key2);
    return text;
}

std::u16string VkToKeyName(uint32_t vk) {
    const KeyNameTable& table = AzertySelected() ? g_azertyKeyNames : g_qwertyKeyNames;
    const std::u16string* name = table.Find(vk);
    return name ? *name : std::u16string();
}

uint32_t VkToHidUsage(uint32_t vk) {
    if (AzertySelected()) {
        for (const VkHidUsagePair& pair : kVkToHidUsageAzerty) {
            if (pair.vk == vk) return pair.usage;
        }
    } else {
        for (const VkHidUsagePair& pair : kVkToHidUsageDefault) {
            if (pair.vk == vk) return pair.usage;
        }
    }
    return 0;
}
