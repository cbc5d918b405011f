#include "app/main_window/layout.h"

#include "app/main_window/connection.h"

namespace {

// In page order.
constexpr PerPage<SkinRect> kCreateRects{{
    {429, 34, 447, 62},  // button page
    {617, 34, 639, 63},  // LED
    {487, 34, 515, 62},  // advanced
    {555, 34, 579, 62},  // macro
    {359, 34, 389, 60},  // device picker
}};

struct IconLayout {
    int xWithLed;
    int width;
    int height;
};
constexpr PerPage<IconLayout> kLayout{{
    {429, 18, 28},  // button page
    {617, 22, 29},  // LED: always in its place
    {487, 28, 28},  // advanced
    {560, 24, 28},  // macro
    {359, 30, 26},  // device picker
}};
constexpr int kIconTop = 34;
constexpr int kShiftWithoutLed = 25;

}  // namespace

SkinRect PageIconCreateRect(int page) {
    return IsPageNumber(page) ? kCreateRects[page] : SkinRect{};
}

SkinRect PageIconPlace(int page, bool ledShown) {
    if (!IsPageNumber(page)) return {};
    const IconLayout& l = kLayout[page];
    const int x = l.xWithLed + (ledShown || page == PAGE_LED ? 0 : kShiftWithoutLed);
    return {x, kIconTop, x + l.width, kIconTop + l.height};
}

PageShown PageShownFor(int page) {
    if (!IsPageNumber(page)) return {};
    return {page, page, page != PAGE_DEVICE_PICKER};
}

bool LedIconShown(bool pageButtonsShown, uint8_t linkType, uint8_t deviceModel) {
    return pageButtonsShown && LedPageAvailable(linkType, deviceModel);
}

bool NeedsConnection(MainCommand command) {
    switch (command) {
        case MainCommand::None:
        case MainCommand::Exit:
        case MainCommand::Minimise:
        case MainCommand::LanguageMenu:
            return false;
        default:
            return true;
    }
}

int PageOfCommand(MainCommand command) {
    switch (command) {
        case MainCommand::ButtonsPage:
            return PAGE_BUTTONS;
        case MainCommand::LedPage:
            return PAGE_LED;
        case MainCommand::AdvancedPage:
            return PAGE_ADVANCED;
        case MainCommand::MacroPage:
            return PAGE_MACRO;
        case MainCommand::DevicePicker:
            return PAGE_DEVICE_PICKER;
        default:
            return 0;
    }
}

bool StopsRecording(MainCommand command) {
    return PageOfCommand(command) != 0 && command != MainCommand::MacroPage;
}
