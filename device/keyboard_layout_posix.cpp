// The native build's stand-in for the system's layout: a US keyboard.
#include "device/keyboard_layout.h"

namespace {

class UsKeyboardLayout final : public KeyboardLayout {
public:
    bool CharacterOf(uint32_t vk, uint8_t& character) override {
        if ((vk >= '0' && vk <= '9') || vk == ' ') {
            character = uint8_t(vk);
        } else if (vk >= 'A' && vk <= 'Z') {
            character = uint8_t(vk - 'A' + 'a');
        } else if (vk >= 0x60 && vk <= 0x69) {
            character = uint8_t('0' + vk - 0x60);
        } else {
            switch (vk) {
            case 0x08: character = 0x08; break;
            case 0x09: character = '\t'; break;
            case 0x0D: character = '\r'; break;
            case 0x1B: character = 0x1B; break;
            case 0x6A: character = '*'; break;
            case 0x6B: character = '+'; break;
            case 0x6D: character = '-'; break;
            case 0x6E: character = '.'; break;
            case 0x6F: character = '/'; break;
            case 0xBA: character = ';'; break;
            case 0xBB: character = '='; break;
            case 0xBC: character = ','; break;
            case 0xBD: character = '-'; break;
            case 0xBE: character = '.'; break;
            case 0xBF: character = '/'; break;
            case 0xC0: character = '`'; break;
            case 0xDB: character = '['; break;
            case 0xDC: character = '\\'; break;
            case 0xDD: character = ']'; break;
            case 0xDE: character = '\''; break;
            default: return false;
            }
        }
        return true;
    }
};

UsKeyboardLayout g_usLayout;

}  // namespace

KeyboardLayout& SystemKeyboardLayout() {
    return g_usLayout;
}
