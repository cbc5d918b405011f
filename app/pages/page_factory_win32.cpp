#include "app/pages/page_factory_win32.h"

#include "app/pages/adv_set_win32.h"
#include "app/pages/button_page_win32.h"
#include "app/pages/host_page_win32.h"
#include "app/pages/led_set_win32.h"
#include "app/pages/macro_set_win32.h"
#include "res/resource.h"

std::unique_ptr<CMainPage> NewMainPage(int k, const CBitmap* mainBackground) {
    // One line per page: each becomes its own class as it is built.
    switch (k) {
    case kButtonsPage: return std::make_unique<CBaseSetDlg>(mainBackground);
    case kAdvancedPage: return std::make_unique<CAdvSetDlg>(mainBackground);
    case kLedPage: return std::make_unique<CLedSetDlg>(mainBackground);
    case kMacroPage: return std::make_unique<CMacroSetDlg>(mainBackground);
    case kDevicePickerPage: return std::make_unique<CHostDlg>(mainBackground);
    default: return nullptr;
    }
}

std::unique_ptr<CMainPage> CreateMainPage(int k, CWnd& parent, const CBitmap* mainBackground) {
    std::unique_ptr<CMainPage> page = NewMainPage(k, mainBackground);
    if (!page || !page->CreateModeless(&parent)) return nullptr;
    page->MoveWindow(kPageRect);
    page->ShowWindow(SW_HIDE);
    return page;
}
