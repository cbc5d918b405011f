// The main window's page numbers and every change of them, apart from its
// window: which page is current and which was shown before it. The
// connection, the page commands and the device picker's way back all change
// pages here, and each change ends in one place that shows the new page.
#pragma once

#include "app/pages/page_numbers.h"

class PageView {
public:
    virtual ~PageView() = default;
    // Shows the page; the page numbers are already set.
    virtual void ShowPage(int page) = 0;
};

// previous := current, current := page, unless page is current already: a
// command that arrives twice must leave the pages as once. True when it changed.
bool ChangePage(int& curPage, int& prevPage, int page);

// What RestorePreviousPage shows after exchanging the two page numbers: the
// page to show (number 1..5), or 0 when the current number is none.
int PageToRestore(int& curPage, int& prevPage);

class PageSwitch {
public:
    // The numbers are the window's own, m_curPage and m_prevPage.
    PageSwitch(PageView& view, int& curPage, int& prevPage)
        : m_view(view), m_curPage(curPage), m_prevPage(prevPage) {}

    int Current() const { return m_curPage; }

    // ChangePage, then the page is shown, changed or not.
    void GoTo(int page);
    // Back to the page shown before the current one; the two numbers change places.
    void GoBack();
    // Both numbers as given, whatever they were: a new connection starts at
    // the button page with the device picker behind it.
    void Set(int page, int previous);

private:
    // Every change ends here: the numbers set, the current page shown when it is one.
    void Show(int page, int previous);

    PageView& m_view;
    int& m_curPage;
    int& m_prevPage;
};
