// The settings record: everything the tool knows about one mouse's configuration.
// The same bytes are the profile file format, so the layout is fixed to the byte.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr uint32_t SETTINGS_MAGIC = 0x80800210;
constexpr uint8_t Y_TABLE_MARKER = 0x5A;  // 'Z': dpiStepsY holds valid values
constexpr int BUTTON_COUNT = 5;
constexpr int DPI_LEVEL_COUNT = 6;
constexpr int DISPLAY_NAME_LENGTH = 260;

// The program's number of a button function; also the index of its display text.
using FunctionId = int32_t;

constexpr FunctionId FUNC_LEFT_BUTTON = 1;
constexpr FunctionId FUNC_RIGHT_BUTTON = 2;
constexpr FunctionId FUNC_MIDDLE_BUTTON = 4;
constexpr FunctionId FUNC_SINGLE_KEY = 5;
constexpr FunctionId FUNC_MACRO = 6;
constexpr FunctionId FUNC_FORWARD = 8;
constexpr FunctionId FUNC_SCROLL_UP = 11;
constexpr FunctionId FUNC_BACKWARD = 16;
constexpr FunctionId FUNC_RAW_CODE = 19;
constexpr FunctionId FUNC_MEDIA_MENU = 21;
constexpr FunctionId FUNC_SCROLL_DOWN = 22;
constexpr FunctionId FUNC_PROFILE_SWITCH = 23;
constexpr FunctionId FUNC_PLAY_PAUSE = 32;
constexpr FunctionId FUNC_STOP = 33;
constexpr FunctionId FUNC_PREVIOUS_TRACK = 34;
constexpr FunctionId FUNC_NEXT_TRACK = 35;
constexpr FunctionId FUNC_VOLUME_UP = 37;
constexpr FunctionId FUNC_VOLUME_DOWN = 38;
constexpr FunctionId FUNC_MUTE = 39;
constexpr FunctionId FUNC_MEDIA_PLAYER = 40;
constexpr FunctionId FUNC_MY_COMPUTER = 80;
constexpr FunctionId FUNC_CLOSE_WINDOW = 81;
constexpr FunctionId FUNC_LOCK = 82;
constexpr FunctionId FUNC_RUN = 84;
constexpr FunctionId FUNC_SHOW_DESKTOP = 85;
constexpr FunctionId FUNC_ZOOM_IN = 86;
constexpr FunctionId FUNC_ZOOM_OUT = 87;
constexpr FunctionId FUNC_BROWSER_BACK = 96;
constexpr FunctionId FUNC_BROWSER_FORWARD = 97;
constexpr FunctionId FUNC_BROWSER_STOP = 98;
constexpr FunctionId FUNC_BROWSER_REFRESH = 99;
constexpr FunctionId FUNC_FAVOURITES = 100;
constexpr FunctionId FUNC_SEARCH = 101;
constexpr FunctionId FUNC_MAIL = 102;
constexpr FunctionId FUNC_BROWSER_HOME = 103;
constexpr FunctionId FUNC_CALCULATOR = 109;
constexpr FunctionId FUNC_SPECIAL_1 = 116;
constexpr FunctionId FUNC_SPECIAL_2 = 117;
constexpr FunctionId FUNC_SPECIAL_3 = 118;
constexpr FunctionId FUNC_DISABLED = 121;
constexpr FunctionId FUNC_DOUBLE_CLICK = 133;
constexpr FunctionId FUNC_DPI_DOWN = 138;
constexpr FunctionId FUNC_DPI_LOOP = 139;
constexpr FunctionId FUNC_DPI_MENU = 140;
constexpr FunctionId FUNC_DPI_UP = 141;
constexpr FunctionId FUNC_DPI_142 = 142;
constexpr FunctionId FUNC_FIRE = 143;
// Texts of the DPI LED menu; never a button function on the mouse.
constexpr FunctionId FUNC_DPI_LED_TEXT = 144;
constexpr FunctionId FUNC_DPI_LED_1 = 145;
constexpr FunctionId FUNC_DPI_LED_2 = 146;
constexpr FunctionId FUNC_DPI_LED_3 = 147;
constexpr FunctionId FUNC_LAST = 147;

// Kinds of a ButtonFunctionCode: the low byte of the 32-bit code the mouse stores per button.
constexpr uint8_t CODE_KIND_KEYBOARD = 0x00;
constexpr uint8_t CODE_KIND_KEY_TRIPLE = 0x80;
constexpr uint8_t CODE_KIND_MOUSE = 0x01;
constexpr uint8_t CODE_KIND_CONSUMER = 0x03;
constexpr uint8_t CODE_KIND_SPECIAL = 0x06;
constexpr uint8_t CODE_KIND_DPI = 0x07;
constexpr uint8_t CODE_KIND_MACRO = 0x09;
constexpr uint8_t CODE_KIND_FIRE = 0x0A;

// Record index 0..4 is left, right, middle, forward, back; the mouse numbers
// forward and back the other way round. Every command and macro slot that
// names a button uses the device number.
constexpr uint8_t DeviceButtonNumber(int recordIndex) {
    constexpr uint8_t kDeviceButton[BUTTON_COUNT] = {0, 1, 2, 4, 3};
    return kDeviceButton[recordIndex];
}

struct ButtonAssignment {
    FunctionId functionId;
    int32_t macroId;       // store id of the macro when functionId is FUNC_MACRO
    uint8_t reserved008[4];
    uint32_t deviceCode;   // the code of a FUNC_SINGLE_KEY assignment
    uint32_t rawCode;      // the code sent for FUNC_RAW_CODE
    uint8_t reserved014[524];
    char16_t displayName[DISPLAY_NAME_LENGTH];  // NUL-terminated
};

struct SettingsImage {
    uint32_t magic;
    ButtonAssignment buttons[BUTTON_COUNT];
    uint8_t reportRateCode;  // 0 1000 Hz, 1 500, 2 250, 3 125, 4 8000, 5 4000, 6 2000
    uint8_t liftOffCode;     // 0 1 mm, 1 2 mm, 2 0.7 mm
    uint8_t reserved14CE[14];
    uint8_t reserved14DC;
    uint8_t fireCount;
    uint8_t reserved14DE[2];
    uint32_t fireInterval;
    uint8_t debounceTime;
    uint8_t reserved14E5[3];
    uint32_t reserved14E8;
    uint8_t reserved14EC[16];
    int32_t dpiStepsX[DPI_LEVEL_COUNT];  // slider steps, not DPI values
    uint8_t dpiColours[DPI_LEVEL_COUNT][4];
    uint8_t dpiCount;
    uint8_t dpiCurrent;
    uint8_t dpiLedMode;
    uint8_t dpiConfigByte6;  // byte 6 of the DPI configuration command (note the order)
    uint8_t dpiConfigByte5;  // byte 5 of the DPI configuration command
    uint8_t sensorMode;      // 0 LP, 1 HP, 2 Corded
    uint8_t rippleControl;
    uint8_t angleSnap;
    uint8_t motionSync;
    uint8_t reserved1535[3];
    uint32_t powerDownTime;  // seconds
    uint8_t ledEffect;       // 0 flicker, 1 breathing, 2 neon
    uint8_t yTableMarker;
    uint8_t reserved153E[2];
    int32_t dpiStepsY[DPI_LEVEL_COUNT];
};

static_assert(sizeof(ButtonAssignment) == 1064);
static_assert(offsetof(ButtonAssignment, macroId) == 0x004);
static_assert(offsetof(ButtonAssignment, deviceCode) == 0x00C);
static_assert(offsetof(ButtonAssignment, rawCode) == 0x010);
static_assert(offsetof(ButtonAssignment, displayName) == 0x220);

static_assert(sizeof(SettingsImage) == 5464);
static_assert(offsetof(SettingsImage, buttons) == 0x0004);
static_assert(offsetof(SettingsImage, reportRateCode) == 0x14CC);
static_assert(offsetof(SettingsImage, fireCount) == 0x14DD);
static_assert(offsetof(SettingsImage, fireInterval) == 0x14E0);
static_assert(offsetof(SettingsImage, debounceTime) == 0x14E4);
static_assert(offsetof(SettingsImage, reserved14E8) == 0x14E8);
static_assert(offsetof(SettingsImage, dpiStepsX) == 0x14FC);
static_assert(offsetof(SettingsImage, dpiColours) == 0x1514);
static_assert(offsetof(SettingsImage, dpiCount) == 0x152C);
static_assert(offsetof(SettingsImage, dpiConfigByte6) == 0x152F);
static_assert(offsetof(SettingsImage, motionSync) == 0x1534);
static_assert(offsetof(SettingsImage, powerDownTime) == 0x1538);
static_assert(offsetof(SettingsImage, yTableMarker) == 0x153D);
static_assert(offsetof(SettingsImage, dpiStepsY) == 0x1540);

// The working copy: filled by read-all, edited by the pages, saved as the profile.
extern SettingsImage g_settings;

// Factory defaults; the reset command then writes the record to the mouse.
void ResetSettingsToDefaults(SettingsImage& record);

// Defaults for a profile file about to be created from g_settings. Nothing is
// cleared first: fields it does not name (colours, macro ids, codes) keep their values.
void ApplyNewProfileDefaults();

// A record loaded from a profile without a valid Y table gets the X table as its Y table.
void ApplyYTableMarkerRule(SettingsImage& record);
