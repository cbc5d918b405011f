#include "device/function_names.h"

#include "text/ui_texts.h"

namespace {

// A function's text: a key of the text table, or a fixed English literal.
struct FunctionText {
    FunctionId id;
    UiText key;
    const char16_t* literal;  // non-null for the texts that never change with the language
};

constexpr FunctionText kFunctionTexts[] = {
    {FUNC_LEFT_BUTTON, UiText::str_leftbt, nullptr},
    {FUNC_RIGHT_BUTTON, UiText::str_rightbt, nullptr},
    {FUNC_MIDDLE_BUTTON, UiText::str_midbt, nullptr},
    {FUNC_SINGLE_KEY, UiText::str_singlecomb, nullptr},
    {FUNC_MACRO, UiText::str_macroset, nullptr},
    {FUNC_FORWARD, UiText::str_forward, nullptr},
    {FUNC_SCROLL_UP, UiText::Count, u"Scroll up"},
    {FUNC_BACKWARD, UiText::str_backward, nullptr},
    {FUNC_MEDIA_MENU, UiText::str_media, nullptr},
    {FUNC_SCROLL_DOWN, UiText::Count, u"Scroll down"},
    {FUNC_PROFILE_SWITCH, UiText::str_changle_profile, nullptr},
    {FUNC_PLAY_PAUSE, UiText::str_PL, nullptr},
    {FUNC_STOP, UiText::str_stop, nullptr},
    {FUNC_PREVIOUS_TRACK, UiText::str_pre_media, nullptr},
    {FUNC_NEXT_TRACK, UiText::str_next_media, nullptr},
    {FUNC_VOLUME_UP, UiText::str_vol_up, nullptr},
    {FUNC_VOLUME_DOWN, UiText::str_vol_dw, nullptr},
    {FUNC_MUTE, UiText::str_mute, nullptr},
    {FUNC_MEDIA_PLAYER, UiText::str_player, nullptr},
    {FUNC_MY_COMPUTER, UiText::str_computer, nullptr},
    {FUNC_CLOSE_WINDOW, UiText::str_close, nullptr},
    {FUNC_LOCK, UiText::str_lock, nullptr},
    {FUNC_RUN, UiText::Count, u"Run"},
    {FUNC_SHOW_DESKTOP, UiText::str_showdesktop, nullptr},
    {FUNC_ZOOM_IN, UiText::Count, u"Sreen zoom in"},
    {FUNC_ZOOM_OUT, UiText::Count, u"Sreen zoom out"},
    {FUNC_BROWSER_BACK, UiText::str_mback, nullptr},
    {FUNC_BROWSER_FORWARD, UiText::str_mforward, nullptr},
    {FUNC_BROWSER_STOP, UiText::str_mstop, nullptr},
    {FUNC_BROWSER_REFRESH, UiText::str_refresh, nullptr},
    {FUNC_FAVOURITES, UiText::str_favourites, nullptr},
    {FUNC_SEARCH, UiText::str_search, nullptr},
    {FUNC_MAIL, UiText::str_mail, nullptr},
    {FUNC_BROWSER_HOME, UiText::str_home, nullptr},
    {FUNC_CALCULATOR, UiText::str_cal, nullptr},
    {FUNC_DISABLED, UiText::str_disable, nullptr},
    {FUNC_DOUBLE_CLICK, UiText::str_dbclick, nullptr},
    {FUNC_DPI_DOWN, UiText::str_dpisub, nullptr},
    {FUNC_DPI_LOOP, UiText::str_dpiloop, nullptr},
    {FUNC_DPI_MENU, UiText::str_dpiset, nullptr},
    {FUNC_DPI_UP, UiText::str_dpiadd, nullptr},
    {FUNC_FIRE, UiText::str_fire, nullptr},
    {FUNC_DPI_LED_TEXT, UiText::str_dpi_led_dx_text, nullptr},
    {FUNC_DPI_LED_1, UiText::str_dpi_led_dx1, nullptr},
    {FUNC_DPI_LED_2, UiText::str_dpi_led_dx2, nullptr},
    {FUNC_DPI_LED_3, UiText::str_dpi_led_dx3, nullptr},
};
static_assert(sizeof kFunctionTexts / sizeof kFunctionTexts[0] == 46);

}  // namespace

// Read at the time of the call, so the text follows the loaded language.
std::u16string FunctionCodeName(FunctionId functionId) {
    for (const FunctionText& entry : kFunctionTexts) {
        if (entry.id != functionId) continue;
        if (entry.literal) return entry.literal;
        return g_uiTexts[entry.key];
    }
    return std::u16string();
}
