#include "app/main_window/page_switch.h"

bool ChangePage(int& curPage, int& prevPage, int page) {
    if (curPage == page) return false;
    prevPage = curPage;
    curPage = page;
    return true;
}

int PageToRestore(int& curPage, int& prevPage) {
    const int restored = prevPage;
    prevPage = curPage;
    curPage = restored;
    return IsPageNumber(restored) ? restored : 0;
}

void PageSwitch::GoTo(int page) {
    int current = m_curPage, previous = m_prevPage;
    ChangePage(current, previous, page);
    Show(current, previous);
}

void PageSwitch::GoBack() {
    int current = m_curPage, previous = m_prevPage;
    PageToRestore(current, previous);
    Show(current, previous);
}

void PageSwitch::Set(int page, int previous) {
    Show(page, previous);
}

void PageSwitch::Show(int page, int previous) {
    m_curPage = page;
    m_prevPage = previous;
    if (IsPageNumber(page)) m_view.ShowPage(page);
}
