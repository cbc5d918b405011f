// The main window's pages by number, the numbers m_curPage and m_prevPage
// hold: the one numbering that the window, its connection, its icons and its
// page table share.
#pragma once

enum MainPageNumber : int {
    PAGE_BUTTONS = 1,
    PAGE_LED = 2,
    PAGE_ADVANCED = 3,
    PAGE_MACRO = 4,
    PAGE_DEVICE_PICKER = 5,
};
inline constexpr int kPageCount = 5;

// Every page, in page order.
inline constexpr MainPageNumber kPageNumbers[kPageCount] = {
    PAGE_BUTTONS, PAGE_LED, PAGE_ADVANCED, PAGE_MACRO, PAGE_DEVICE_PICKER,
};

constexpr bool IsPageNumber(int page) { return page >= PAGE_BUTTONS && page <= PAGE_DEVICE_PICKER; }

// One item per page, looked up by the page's number and kept in page order.
// Only a page number may index it.
template <class T>
struct PerPage {
    T items[kPageCount];

    constexpr T& operator[](int page) { return items[page - PAGE_BUTTONS]; }
    constexpr const T& operator[](int page) const { return items[page - PAGE_BUTTONS]; }
    T* begin() { return items; }
    T* end() { return items + kPageCount; }
    const T* begin() const { return items; }
    const T* end() const { return items + kPageCount; }
};
