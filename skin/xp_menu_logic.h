// The owner-drawn context menus apart from their windows: which windows the
// menu hook takes over, how much their frame gives back, and where a row's
// parts go.
#pragma once

#include <cstddef>
#include <cstdint>

#include "skin/button_logic.h"

// The system's popup menu window class, "#32768", read from a class name of at
// most 10 characters (longer names are cut there, as the hook reads them).
bool IsMenuWindowClass(const char16_t* name, size_t length);

// Whether a proposed position change resizes a menu window whose border was
// taken away: only a change that sets a size (no SWP_NOSIZE) and is not the
// size the window already got from an earlier shrink, so a window is never
// shrunk again and again by moves that restate its size.
bool ShouldShrinkMenuWindow(bool noSize, SkinSize proposed, SkinSize current, bool shrunkBefore);
// The size a shrink gives: the frame's two borders and the raised edge less.
SkinSize ShrunkMenuWindowSize(SkinSize proposed, int cxBorder, int cyBorder);

// Colours as COLORREF (0x00BBGGRR).
constexpr uint32_t kXpMenuSelectedFill = 0x7F4622;  // (0x22, 0x46, 0x7F)
constexpr uint32_t kXpMenuFill = 0x000000;
constexpr uint32_t kXpMenuSelectedText = 0xFFFFFF;
constexpr uint32_t kXpMenuText = 0xB4B4B4;
constexpr uint32_t kXpMenuExFill = 0xD1D8DB;          // (0xDB, 0xD8, 0xD1)
constexpr uint32_t kXpMenuExSelectedFill = 0xCFB9B1;  // (0xB1, 0xB9, 0xCF)
constexpr uint32_t kXpMenuExSelectedText = 0x913C00;  // (0x00, 0x3C, 0x91)
constexpr uint32_t kXpMenuExText = 0x000000;

constexpr int kXpMenuExRowWidth = 100;
constexpr int kXpMenuExRowHeight = 22;

// Where the parts of a tray-menu row go, from the row rectangle.
struct XpMenuExRowLayout {
    SkinPoint icon;  // 16 x 16
    SkinRect text;
    SkinRect iconColumn;  // unselected: the two fills
    SkinRect textColumn;
};
XpMenuExRowLayout LayoutXpMenuExRow(const SkinRect& row, bool selected);
// The context menu's text goes right of the row's left edge by 8 pixels.
SkinRect XpMenuTextRect(const SkinRect& row);
