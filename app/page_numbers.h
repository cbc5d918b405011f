// The main window's pages by number: the one numbering that the window, its
// connection, its icons and the page factory share.
#pragma once

enum MainPageNumber : int {
    PAGE_BUTTONS = 1,
    PAGE_LED = 2,
    PAGE_ADVANCED = 3,
    PAGE_MACRO = 4,
    PAGE_DEVICE_PICKER = 5,
};
inline constexpr int kPageCount = 5;

constexpr bool IsPageNumber(int page) { return page >= PAGE_BUTTONS && page <= PAGE_DEVICE_PICKER; }

// Where page p sits in an array kept in page order.
constexpr int PageSlot(int page) { return page - PAGE_BUTTONS; }
