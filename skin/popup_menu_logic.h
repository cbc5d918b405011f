// The skinned popup menus apart from their windows: the rows and their layout,
// hover and click, the nine-slice frame, the pixel rules of the composition,
// the rows of each menu and where its opener puts it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "skin/button_logic.h"

// A row's picture; only the window code knows what is inside.
struct PopupIcon;

// One row of a popup menu.
struct PopupMenuItem {
    uint32_t separator = 0;  // 0: a normal row
    uint32_t value = 0;      // sent to the owner when the row is clicked
    std::shared_ptr<const PopupIcon> icon;
    uint32_t iconWidth = 0;
    uint32_t iconHeight = 0;
    std::u16string text;
    SkinRect rect;  // client coordinates, set by the layout
};

constexpr int kPopupNarrowWidth = 116;
constexpr int kPopupWideWidth = 230;
constexpr int kPopupRowHeight = 22;
constexpr int kPopupTopMargin = 6;
constexpr int kPopupBottomMargin = 3;

// Colours as COLORREF (0x00BBGGRR).
constexpr uint32_t kPopupTextColor = 0xF5F5F5;
constexpr uint32_t kPopupSeparatorColor = 0xF5F5F5;
constexpr uint32_t kPopupBarColor = 0x201F23;       // (0x23, 0x1F, 0x20)
constexpr uint32_t kPopupHoverBarColor = 0x7F4622;  // (0x22, 0x46, 0x7F)
constexpr uint32_t kPopupFallbackFrameColor = 0xD19300;  // (0x00, 0x93, 0xD1)

// The rows, the hover row and the width of a menu, and what the mouse does to
// them. Points are in client coordinates.
class PopupMenuModel {
public:
    std::vector<PopupMenuItem> m_items;
    int32_t m_hoverIndex = -1;
    int32_t m_wide = 0;

    // Places every row from the top margin down and returns the window size.
    SkinSize LayoutRows(int32_t wide);
    // The hover row after a move to pt; true when the picture must change.
    bool HoverAt(SkinPoint pt);
    // A release at pt. True when the picture must change; sets *send to the
    // value to report when the release completes a click on the hover row.
    bool ClickAt(SkinPoint pt, std::optional<uint32_t>* send);

    // The dark bar of a normal row, where its text goes.
    SkinRect BarRect(const PopupMenuItem& item) const;
};

// Where a row's icon goes: left of the row's middle, centred vertically.
SkinPoint PopupIconPosition(const SkinRect& row, int iconWidth, int iconHeight);

// The nine parts of a skin stretched over a rectangle: corners of 32 pixels
// kept as they are, edges and centre stretched. Rectangles as x, y, w, h.
struct SlicePart {
    int x, y, w, h;
    bool operator==(const SlicePart&) const = default;
};
struct NineSlicePart {
    SlicePart dest;
    SlicePart source;
    bool operator==(const NineSlicePart&) const = default;
};
constexpr int kNineSliceCorner = 32;
std::array<NineSlicePart, 9> NineSliceParts(const SkinRect& dest, int skinWidth, int skinHeight);

// Pixel rules of the composition, on 32-bit pixels 0xAARRGGBB. The item layer
// starts magenta: magenta becomes fully transparent, everything drawn becomes
// opaque, and drawn black becomes blue 1 so that a black colour key cannot
// punch holes in it.
constexpr uint32_t kPopupLayerMagenta = 0x00FF00FF;
void MaskItemLayer(uint32_t* pixels, size_t count);
// The finished picture: black that shows (any alpha but 0) becomes blue 1.
void KeepBlackVisible(uint32_t* pixels, size_t count);

// The six menus.
enum class PopupKind { Language, Profile, DpiCount, DpiFunction, Multimedia, DpiLed };

// Result messages to the owner: wParam 0, lParam the clicked row's value, or
// 0 when the popup closes.
constexpr unsigned UWM_LANGUAGE_MENU_RESULT = 0x401;
constexpr unsigned UWM_PROFILE_MENU_RESULT = 0x402;
constexpr unsigned UWM_DPI_COUNT_MENU_RESULT = 0x403;
constexpr unsigned UWM_DPI_FUNCTION_MENU_RESULT = 0x404;
constexpr unsigned UWM_MULTIMEDIA_MENU_RESULT = 0x405;
constexpr unsigned UWM_DPI_LED_MENU_RESULT = 0x406;

unsigned PopupResultMessage(PopupKind kind);

// What a menu's rows are: the text in the loaded language, the embedded PNG of
// its icon (0 for none) and the value.
struct PopupRowSpec {
    std::u16string text;
    unsigned pngId = 0;
    uint32_t value = 0;
};
constexpr unsigned IDB_PROFILE_POPUP_ICON = 149;
struct PopupMenuSpec {
    std::vector<PopupRowSpec> rows;
    int32_t wide = 0;
    const char16_t* skinFile = nullptr;  // under the skin folder
};
PopupMenuSpec PopupMenuRows(PopupKind kind);

// The multimedia menu's values and the button functions they stand for.
int32_t MultimediaFunctionForValue(uint32_t value);  // 0 for a value not in the menu

// The popup's top-left corner from its opener button's screen rectangle.
SkinPoint PopupOpenerOffset(PopupKind kind, const SkinRect& openerScreenRect);
