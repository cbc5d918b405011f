// The five pages of the main window, in the order the main window creates them.
#pragma once

#include <memory>

#include "app/page_numbers.h"
#include "app/pages/main_page_win32.h"
#include "framework/gdi.h"
#include "framework/wnd.h"


// The object of the page numbered page, not yet a window; null for any other number.
std::unique_ptr<CMainPage> NewMainPage(int page, const CBitmap* mainBackground);

// The page numbered page made a hidden modeless child of parent at kPageRect; null when
// the window could not be created.
std::unique_ptr<CMainPage> CreateMainPage(int page, CWnd& parent, const CBitmap* mainBackground);
