#include "device/button_codes.h"

#include <iterator>

namespace {

struct FixedCode {
    FunctionId functionId;
    uint32_t code;
};

// Functions with one fixed code; the same table answers both directions. The
// consumer and special codes carry their usage in bytes 2 and 3 as they stand.
constexpr FixedCode kFixedCodes[] = {
    {FUNC_LEFT_BUTTON, 0x00F00001},     {FUNC_RIGHT_BUTTON, 0x00F10001},
    {FUNC_MIDDLE_BUTTON, 0x00F20001},   {FUNC_BACKWARD, 0x00F30001},
    {FUNC_FORWARD, 0x00F40001},         {FUNC_DISABLED, 0x00000000},
    {FUNC_MEDIA_PLAYER, 0x01830003},    {FUNC_PLAY_PAUSE, 0x00CD0003},
    {FUNC_NEXT_TRACK, 0x00B50003},      {FUNC_PREVIOUS_TRACK, 0x00B60003},
    {FUNC_STOP, 0x00B70003},            {FUNC_MUTE, 0x00E20003},
    {FUNC_VOLUME_UP, 0x00E90003},       {FUNC_VOLUME_DOWN, 0x00EA0003},
    {FUNC_MAIL, 0x018A0003},            {FUNC_CALCULATOR, 0x01920003},
    {FUNC_MY_COMPUTER, 0x01940003},     {FUNC_SEARCH, 0x02210003},
    {FUNC_BROWSER_HOME, 0x02230003},    {FUNC_BROWSER_FORWARD, 0x02250003},
    {FUNC_BROWSER_BACK, 0x02240003},    {FUNC_BROWSER_STOP, 0x02260003},
    {FUNC_BROWSER_REFRESH, 0x02270003}, {FUNC_FAVOURITES, 0x022A0003},
    {FUNC_SPECIAL_1, 0x01C90006},       {FUNC_SPECIAL_2, 0x01CA0006},
    {FUNC_SPECIAL_3, 0x01CB0006},       {FUNC_DPI_UP, 0x00010007},
    {FUNC_DPI_DOWN, 0x00020007},        {FUNC_DPI_LOOP, 0x00030007},
    {FUNC_DPI_142, 0x05040007},         {FUNC_DOUBLE_CLICK, 0x0218F00A},
};

// The kinds whose codes are read back through the fixed table. Keyboard codes
// other than 0 are free-form, macro codes name a slot, and the three-key kind is
// not read back at all.
bool IsFixedCodeKind(uint8_t kind) {
    switch (kind) {
    case CODE_KIND_MOUSE:
    case CODE_KIND_CONSUMER:
    case CODE_KIND_SPECIAL:
    case CODE_KIND_DPI:
    case CODE_KIND_FIRE:
        return true;
    default:
        return false;
    }
}

}  // namespace

std::optional<uint32_t> FixedButtonCode(FunctionId functionId) {
    for (const FixedCode& entry : kFixedCodes) {
        if (entry.functionId == functionId) return entry.code;
    }
    return std::nullopt;
}

std::optional<uint32_t> ButtonCodeForRecord(const ButtonAssignment& record, uint8_t deviceButton) {
    switch (record.functionId) {
    case FUNC_SINGLE_KEY:
        return record.deviceCode;
    case FUNC_RAW_CODE:
        return record.rawCode;
    case FUNC_MACRO:
        return MacroButtonCode(deviceButton);
    default:
        break;
    }
    return FixedButtonCode(record.functionId);
}

std::optional<FunctionId> FunctionForButtonCode(uint32_t code) {
    const uint8_t kind = uint8_t(code);
    if (kind == CODE_KIND_KEYBOARD) return code == 0 ? FUNC_DISABLED : FUNC_SINGLE_KEY;
    if (kind == CODE_KIND_MACRO) return FUNC_MACRO;
    if (!IsFixedCodeKind(kind)) return std::nullopt;
    for (const FixedCode& entry : kFixedCodes) {
        if (entry.code == code) return entry.functionId;
    }
    return std::nullopt;
}
