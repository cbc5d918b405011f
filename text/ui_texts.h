// The table of user-interface texts that change with the language. Every reader
// addresses a text by its key's fixed position; the key is also the element name
// in the language file.
#pragma once

#include <string>
#include <string_view>

enum class UiText : int {
    str_program_title,
    str_company,
    str_config,
    str_about,
    str_exit,
    str_msg1,
    str_msg2,
    str_msg3,
    str_msg4,
    str_msg5,
    str_msg6,
    str_msg7,
    str_msg8,
    str_msg9,
    str_msg10,
    str_msg11,
    str_msg12,
    str_msg13,
    str_msg14,
    str_msg15,
    str_msg16,
    str_msg17,
    str_BaseSetting,
    str_Advanced,
    str_Macro,
    str_LEDSetting,
    str_import,
    str_export,
    str_reset,
    str_leftbt,
    str_midbt,
    str_rightbt,
    str_backward,
    str_forward,
    str_dpiadd,
    str_dpisub,
    str_dpiset,
    str_dpiloop,
    str_dbclick,
    str_disable,
    str_customisze,
    str_dbtime,
    str_firespeed,
    str_usbreport,
    str_updatemsg,
    str_singlecomb,
    str_macroset,
    str_disablekey,
    str_showdesktop,
    str_player,
    str_media,
    str_ok,
    str_cancel,
    str_apply,
    str_help,
    str_combo_tips,
    str_macro_msg1,
    str_macro_msg2,
    str_macro_msg4,
    str_macro_msg6,
    str_macro_msg7,
    str_macro_msg8,
    str_msg18,
    str_msg19,
    str_msg20,
    str_msg21,
    str_msg22,
    str_msg23,
    str_msg24,
    str_msg25,
    str_ok1,
    str_macro_end,
    str_macro_start,
    str_new_macro,
    str_del_macro,
    str_macro_cu,
    str_macro_ru,
    str_macro_loop,
    str_macro_modify,
    str_macro_list,
    str_macro_del,
    str_macro_event,
    str_macro_save,
    str_macro_kb_key,
    str_macro_delay,
    str_macro_wheel,
    str_macro_move,
    str_PL,
    str_stop,
    str_pre_media,
    str_next_media,
    str_vol_up,
    str_vol_dw,
    str_mute,
    str_close,
    str_lock,
    str_fire,
    str_mail,
    str_cal,
    str_computer,
    str_search,
    str_home,
    str_mback,
    str_mforward,
    str_mstop,
    str_refresh,
    str_favourites,
    str_led_off,
    str_led_neon,
    str_led_breathing,
    str_led_flicker,
    str_led_flowwater,
    str_led_ambilight,
    str_profile1,
    str_profile2,
    str_profile3,
    str_profile4,
    str_profile5,
    str_dpi_led_dx_text,
    str_dpi_led_dx1,
    str_dpi_led_dx2,
    str_dpi_led_dx3,
    str_RippleCtrn,
    str_AngleSnap,
    str_MotionSync,
    str_DPINum,
    str_LiftDetectionoptions,
    str_SensorMode,
    str_PowerDownTime,
    str_SelBtn,
    str_AutoInsetDelay,
    str_SensorLP,
    str_SensorHP,
    str_SensorCorded,
    str_changle_profile,
    Count
};

constexpr int UI_TEXT_COUNT = static_cast<int>(UiText::Count);
static_assert(UI_TEXT_COUNT == 135);

// The element name of each text in the language file, in table order.
extern const char16_t* const kUiTextKeys[UI_TEXT_COUNT];

struct UiTextTable {
    std::u16string texts[UI_TEXT_COUNT];  // empty until a language file is loaded

    const std::u16string& operator[](UiText id) const { return texts[static_cast<int>(id)]; }
    std::u16string& operator[](UiText id) { return texts[static_cast<int>(id)]; }
    // A message the user must see even when no language file gave its text.
    std::u16string_view Or(UiText id, std::u16string_view fallback) const {
        const std::u16string& text = (*this)[id];
        return text.empty() ? fallback : std::u16string_view(text);
    }
};

extern UiTextTable g_uiTexts;

// Reads and parses the language file at path into g_languageDoc and sets every
// text from it: a key the file lacks, or a file that cannot be read, gives an
// empty text, whatever an earlier file had set.
void LoadLanguageFile(std::u16string_view path);

// The text of one key in g_languageDoc: the key's element in the first config
// element under the root, else in the first config element inside that one,
// and so on down; empty when absent.
std::u16string ReadLanguageText(std::u16string_view key);
