// The arithmetic of the skinned push buttons, apart from their windows: which
// image and caption colour a state shows, where the caption goes, and what the
// value box makes of an entered value.
#pragma once

#include <cstdint>
#include <optional>

struct SkinRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool operator==(const SkinRect&) const = default;
};

struct SkinPoint {
    int x = 0, y = 0;
    bool operator==(const SkinPoint&) const = default;
};

struct SkinSize {
    int cx = 0, cy = 0;
    bool operator==(const SkinSize&) const = default;
};

// Colours as Win32 COLORREF values (0x00BBGGRR).
constexpr uint32_t kDefaultHoverColor = 0xDCC8C8;
constexpr uint32_t kDefaultNormalColor = 0xC8B4B4;
constexpr uint32_t kDefaultPressedColor = 0xFFFFFF;
constexpr uint32_t kDisabledCaptionColor = 0x272A26;

enum class StateImage { None, Normal, Hover, Pressed };

struct ButtonLookInput {
    bool checkMode = false;
    bool checked = false;
    bool selected = false;  // ODS_SELECTED: the button is held down
    bool disabled = false;  // ODS_DISABLED
    bool hovered = false;
    bool hoverEnabled = true;
    uint32_t normalColor = kDefaultNormalColor;
    uint32_t hoverColor = kDefaultHoverColor;
    uint32_t pressedColor = kDefaultPressedColor;
};

struct ButtonLook {
    StateImage image;
    uint32_t color;
    bool operator==(const ButtonLook&) const = default;
};

// First match wins: pressed look, hover, disabled (no image), normal. In check
// mode the pressed look follows the checked flag instead of the real press.
ButtonLook ChooseButtonLook(const ButtonLookInput& in);

// The caption's DrawText rectangle in a client of the given size.
SkinRect CaptionRect(int clientWidth, int clientHeight, int textHeight, int textOffsetX);
// The same with an explicit caption rectangle; it moves one pixel right and
// down when the caption shows the pressed colour.
SkinRect CaptionRectIn(const SkinRect& textRect, bool pressedColour);

// TextOut origin that centres a caption of extent (cx, cy) in a client (w, h):
// orientation 2 is rotated 90 degrees, 3 is 270 degrees, others horizontal.
SkinPoint CaptionOrigin(int w, int h, int cx, int cy, int orientation, int offsetX, int offsetY);
// Escapement of that caption's font, in tenths of a degree.
int CaptionEscapement(int orientation);

// The device tile's picture: 0.8 of its own size, truncated.
SkinSize DevicePictureSize(int width, int height);

// The value box: an entry of 0 (or a cancelled entry) changes nothing; any
// other entry is rounded to a multiple of 50, 25 down and 26 up, so 1..25 give 0.
std::optional<int> RoundedDpiEntry(uint32_t entered);

// Whether a left press or release gets through: never with the mouse turned
// off; the path-loading buttons also drop it while hover is off.
bool PressAllowed(bool mouseEnabled, bool hoverEnabled, bool gatesOnHover);

// The page button (hover button with a selected state).
enum class IrrImage { None, Normal, Hover, Selected };
struct IrrLook {
    IrrImage image;
    uint32_t color;
    bool operator==(const IrrLook&) const = default;
};
struct IrrLookInput {
    bool useSelectedLook = false;
    bool selected = false;     // the owner's selection
    bool hovered = false;
    bool odsSelected = false;  // held down
    bool disabled = false;
    uint32_t normalColor = kDefaultNormalColor;
    uint32_t hoverColor = kDefaultHoverColor;
    uint32_t selectedColor = kDefaultPressedColor;
};
IrrLook ChooseIrrLook(const IrrLookInput& in);

// The caption is placed by its character count, not its measured width.
SkinPoint IrrCaptionOrigin(int centreX, int centreY, int characters);
