// The five pages of the main window, in the order the main window creates them.
#pragma once

#include <memory>

#include "app/pages/main_page_win32.h"
#include "framework/gdi.h"
#include "framework/wnd.h"

enum MainPageKind {
    kButtonsPage = 0,
    kAdvancedPage = 1,
    kLedPage = 2,
    kMacroPage = 3,
    kDevicePickerPage = 4,
};
inline constexpr int kMainPageCount = 5;

// The object of page kind k (MainPageKind), not yet a window; null for any other k.
std::unique_ptr<CMainPage> NewMainPage(int k, const CBitmap* mainBackground);

// Page kind k made a hidden modeless child of parent at kPageRect; null when
// the window could not be created.
std::unique_ptr<CMainPage> CreateMainPage(int k, CWnd& parent, const CBitmap* mainBackground);
