#include "app/pages/page_factory_win32.h"

#include "app/pages/adv_set_win32.h"
#include "app/pages/button_page_win32.h"
#include "app/pages/host_page_win32.h"
#include "app/pages/led_set_win32.h"
#include "app/pages/macro_set_win32.h"
#include "res/resource.h"

std::unique_ptr<CMainPage> NewMainPage(int page, const CBitmap* mainBackground) {
    // One line per page: each becomes its own class as it is built.
    switch (page) {
    case PAGE_BUTTONS: return std::make_unique<CBaseSetDlg>(mainBackground);
    case PAGE_ADVANCED: return std::make_unique<CAdvSetDlg>(mainBackground);
    case PAGE_LED: return std::make_unique<CLedSetDlg>(mainBackground);
    case PAGE_MACRO: return std::make_unique<CMacroSetDlg>(mainBackground);
    case PAGE_DEVICE_PICKER: return std::make_unique<CHostDlg>(mainBackground);
    default: return nullptr;
    }
}

std::unique_ptr<CMainPage> CreateMainPage(int page, CWnd& parent, const CBitmap* mainBackground) {
    std::unique_ptr<CMainPage> made = NewMainPage(page, mainBackground);
    if (!made || !made->CreateModeless(&parent)) return nullptr;
    made->MoveWindow(kPageRect);
    made->ShowWindow(SW_HIDE);
    return made;
}
