#include "app/pages/page_factory_win32.h"

#include "app/pages/adv_set_win32.h"
#include "app/pages/button_page_win32.h"
#include "app/pages/host_page_win32.h"
#include "app/pages/led_set_win32.h"
#include "app/pages/macro_set_win32.h"

MainPages::~MainPages() = default;

template <class PageType>
PageType* MainPages::Place(int page, std::unique_ptr<PageType> made, CWnd& parent) {
    if (!made->CreateModeless(&parent)) return nullptr;
    made->MoveWindow(kPageRect);
    made->ShowWindow(SW_HIDE);
    PageType* typed = made.get();
    m_pages[page] = std::move(made);
    return typed;
}

void MainPages::Create(CWnd& parent, const CBitmap* mainBackground, PageHost& host) {
    m_buttons = Place(PAGE_BUTTONS, std::make_unique<CBaseSetDlg>(mainBackground, host), parent);
    m_advanced = Place(PAGE_ADVANCED, std::make_unique<CAdvSetDlg>(mainBackground, host), parent);
    m_led = Place(PAGE_LED, std::make_unique<CLedSetDlg>(mainBackground, host), parent);
    m_macro = Place(PAGE_MACRO, std::make_unique<CMacroSetDlg>(mainBackground, host), parent);
    m_devicePicker = Place(PAGE_DEVICE_PICKER, std::make_unique<CHostDlg>(mainBackground, host), parent);
}

void MainPages::Destroy() {
    m_buttons = nullptr;
    m_led = nullptr;
    m_advanced = nullptr;
    m_macro = nullptr;
    m_devicePicker = nullptr;
    for (std::unique_ptr<CMainPage>& page : m_pages) {
        if (!page) continue;
        if (page->m_hWnd) page->SendMessage(WM_CLOSE);
        page->DestroyWindow();
        page.reset();
    }
}

CMainPage* MainPages::Page(int page) const {
    return IsPageNumber(page) ? m_pages[page].get() : nullptr;
}

void MainPages::ShowOnly(int shown) const {
    for (MainPageNumber page : kPageNumbers) {
        CMainPage* each = m_pages[page].get();
        if (each && each->m_hWnd) each->ShowWindow(page == shown ? SW_SHOW : SW_HIDE);
    }
}

void MainPages::Refresh() const {
    for (const std::unique_ptr<CMainPage>& page : m_pages) {
        if (page) page->Refresh();
    }
}

void MainPages::UpdateTexts() const {
    for (const std::unique_ptr<CMainPage>& page : m_pages) {
        if (page) page->UpdateTexts();
    }
}
