// The main window's five pages, owned in one table by page number: the
// factory that makes them, each page by its own type for what only it does,
// and what the window asks of every page at once.
#pragma once

#include <memory>

#include "app/pages/main_page_win32.h"
#include "app/pages/page_host.h"
#include "app/pages/page_numbers.h"
#include "framework/gdi.h"
#include "framework/wnd.h"

class CAdvSetDlg;
class CBaseSetDlg;
class CHostDlg;
class CLedSetDlg;
class CMacroSetDlg;

class MainPages {
public:
    MainPages() = default;
    ~MainPages();
    MainPages(const MainPages&) = delete;
    MainPages& operator=(const MainPages&) = delete;

    // Makes every page a hidden modeless child of parent at kPageRect, in the
    // order the window has always made them: button, advanced, LED, macro,
    // device picker. A page whose window could not be made stays null. The
    // pages reach the window through host, which outlives them.
    void Create(CWnd& parent, const CBitmap* mainBackground, PageHost& host);
    // Each page's own close handling runs before its window goes: the device
    // picker's stops its scan and closes an open firmware update.
    void Destroy();

    // Null for a number that is no page, and for a page not made.
    CMainPage* Page(int page) const;
    CBaseSetDlg* Buttons() const { return m_buttons; }
    CLedSetDlg* Led() const { return m_led; }
    CAdvSetDlg* Advanced() const { return m_advanced; }
    CMacroSetDlg* Macro() const { return m_macro; }
    CHostDlg* DevicePicker() const { return m_devicePicker; }

    // Shows the page and hides the others.
    void ShowOnly(int page) const;
    // CMainPage::Refresh on every page.
    void Refresh() const;
    void UpdateTexts() const;

private:
    template <class PageType>
    PageType* Place(int page, std::unique_ptr<PageType> made, CWnd& parent);

    PerPage<std::unique_ptr<CMainPage>> m_pages;
    CBaseSetDlg* m_buttons = nullptr;
    CLedSetDlg* m_led = nullptr;
    CAdvSetDlg* m_advanced = nullptr;
    CMacroSetDlg* m_macro = nullptr;
    CHostDlg* m_devicePicker = nullptr;
};
