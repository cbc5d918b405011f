// The main window's layout decisions, apart from its window: where the page
// icons go, what each page shows, and what the window's controls command.
#pragma once

#include <cstdint>

#include "app/pages/page_numbers.h"
#include "skin/button_logic.h"


// An icon's place at creation, before the first layout.
SkinRect PageIconCreateRect(int page);
// Where LayoutPageButtons puts an icon: hiding the LED icon moves the other
// four 25 pixels to the right.
SkinRect PageIconPlace(int page, bool ledShown);

// What ShowPage(page) shows: the page with its icon selected, the page icons
// and buttons for every page but the device picker. Nothing for a number that
// is no page.
struct PageShown {
    int page = 0;  // the page shown, 0 for none
    int selectedIcon = 0;
    bool pageButtons = false;
};
PageShown PageShownFor(int page);

// Whether the LED page icon shows with the page buttons.
bool LedIconShown(bool pageButtonsShown, uint8_t linkType, uint8_t deviceModel);

// The command a click on a main window control stands for.
enum class MainCommand {
    None,
    Exit,
    DevicePicker,
    Minimise,
    ButtonsPage,
    LedPage,
    AdvancedPage,
    MacroPage,
    ProfileMenu,
    Import,
    Export,
    Reset,
    LanguageMenu,
};
// Page commands and the menus, import, export and reset need a connected mouse.
bool NeedsConnection(MainCommand command);
// The page number a page command goes to, 0 for other commands.
int PageOfCommand(MainCommand command);
// Page commands other than the macro page's end a macro recording first.
bool StopsRecording(MainCommand command);
