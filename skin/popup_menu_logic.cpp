#include "skin/popup_menu_logic.h"

#include "device/function_names.h"
#include "device/settings.h"
#include "text/ui_texts.h"

namespace {

bool Contains(const SkinRect& r, SkinPoint pt) {
    return pt.x >= r.left && pt.x < r.right && pt.y >= r.top && pt.y < r.bottom;
}

}  // namespace

SkinSize PopupMenuModel::LayoutRows(int32_t wide) {
    m_wide = wide;
    const int width = wide ? kPopupWideWidth : kPopupNarrowWidth;
    int y = kPopupTopMargin;
    for (PopupMenuItem& item : m_items) {
        if (item.separator) {
            item.rect = {32, y + 2, 110, y + 3};
            y += 4;
        } else {
            item.rect = {0, y, width, y + kPopupRowHeight};
            y += kPopupRowHeight;
        }
    }
    return {width, y + kPopupBottomMargin};
}

bool PopupMenuModel::HoverAt(SkinPoint pt) {
    const auto count = static_cast<int32_t>(m_items.size());
    if (m_hoverIndex >= 0 && m_hoverIndex < count && Contains(m_items[m_hoverIndex].rect, pt)) return false;
    bool cleared = m_hoverIndex != -1;
    m_hoverIndex = -1;
    for (int32_t i = 0; i < count; ++i) {
        if (!m_items[i].separator && Contains(m_items[i].rect, pt)) {
            m_hoverIndex = i;
            return true;
        }
    }
    return cleared;
}

bool PopupMenuModel::ClickAt(SkinPoint pt, std::optional<uint32_t>* send) {
    if (send) send->reset();
    const auto count = static_cast<int32_t>(m_items.size());
    if (m_hoverIndex < 0 || m_hoverIndex >= count) return false;
    if (!Contains(m_items[m_hoverIndex].rect, pt)) {
        // Pressed on one row and released elsewhere: no choice.
        m_hoverIndex = -1;
        return true;
    }
    if (send) *send = m_items[m_hoverIndex].value;
    return false;
}

SkinRect PopupMenuModel::BarRect(const PopupMenuItem& item) const {
    return {item.rect.left + 3, item.rect.top, item.rect.left + (m_wide ? 226 : 112), item.rect.bottom};
}

SkinPoint PopupIconPosition(const SkinRect& row, int iconWidth, int iconHeight) {
    return {row.left + (row.Width() - iconWidth - 50) / 2, row.top + (row.Height() - iconHeight) / 2};
}

std::array<NineSlicePart, 9> NineSliceParts(const SkinRect& d, int w, int h) {
    const int c = kNineSliceCorner;
    const int L = d.left, T = d.top, R = d.right, B = d.bottom;
    return {{
        {{L, T, c, c}, {0, 0, c, c}},
        {{L, T + c, c, B - T - 2 * c}, {0, c, c, h - 2 * c}},
        {{L, B - c, c, c}, {0, h - c, c, c}},
        {{L + c, T, R - L - 2 * c, c}, {c, 0, w - 2 * c, c}},
        {{R - c, T, c, c}, {w - c, 0, c, c}},
        {{R - c, T + c, c, B - T - 2 * c}, {w - c, c, c, h - 2 * c}},
        {{R - c, B - c, c, c}, {w - c, h - c, c, c}},
        {{L + c, B - c, R - L - 2 * c, c}, {c, h - c, w - 2 * c, c}},
        {{L + c, T + c, R - L - 2 * c, B - T - 2 * c}, {c, c, w - 2 * c, h - 2 * c}},
    }};
}

void MaskItemLayer(uint32_t* pixels, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        uint32_t rgb = pixels[i] & 0x00FFFFFF;
        if (rgb == kPopupLayerMagenta)
            pixels[i] = 0;
        else if (rgb == 0)
            pixels[i] = 0xFF000001;
        else
            pixels[i] = 0xFF000000 | rgb;
    }
}

void KeepBlackVisible(uint32_t* pixels, size_t count) {
    // A transparent pixel stays untouched: blue above its alpha would not be a
    // valid premultiplied colour.
    for (size_t i = 0; i < count; ++i)
        if ((pixels[i] & 0x00FFFFFF) == 0 && (pixels[i] & 0xFF000000) != 0) pixels[i] |= 1;
}

unsigned PopupResultMessage(PopupKind kind) {
    switch (kind) {
    case PopupKind::Language: return UWM_LANGUAGE_MENU_RESULT;
    case PopupKind::Profile: return UWM_PROFILE_MENU_RESULT;
    case PopupKind::DpiCount: return UWM_DPI_COUNT_MENU_RESULT;
    case PopupKind::DpiFunction: return UWM_DPI_FUNCTION_MENU_RESULT;
    case PopupKind::Multimedia: return UWM_MULTIMEDIA_MENU_RESULT;
    case PopupKind::DpiLed: return UWM_DPI_LED_MENU_RESULT;
    }
    return 0;
}

namespace {

// Row number (value) - 1 to the function it stands for.
constexpr FunctionId kMultimediaFunctions[18] = {
    FUNC_MEDIA_PLAYER, FUNC_PLAY_PAUSE, FUNC_NEXT_TRACK,  FUNC_PREVIOUS_TRACK, FUNC_STOP,
    FUNC_MUTE,         FUNC_VOLUME_UP,  FUNC_VOLUME_DOWN, FUNC_MAIL,           FUNC_CALCULATOR,
    FUNC_MY_COMPUTER,  FUNC_SEARCH,     FUNC_BROWSER_HOME, FUNC_BROWSER_FORWARD, FUNC_BROWSER_BACK,
    FUNC_BROWSER_STOP, FUNC_BROWSER_REFRESH, FUNC_FAVOURITES,
};

PopupRowSpec Row(std::u16string text, uint32_t value, unsigned pngId = 0) {
    return PopupRowSpec{std::move(text), pngId, value};
}

}  // namespace

int32_t MultimediaFunctionForValue(uint32_t value) {
    if (value < 1 || value > 18) return 0;
    return kMultimediaFunctions[value - 1];
}

PopupMenuSpec PopupMenuRows(PopupKind kind) {
    PopupMenuSpec spec;
    spec.skinFile = u"Language_back.png";
    switch (kind) {
    case PopupKind::Language:
        spec.rows = {Row(u"Русский", 1), Row(u"English", 2)};
        break;
    case PopupKind::Profile:
        for (uint32_t v = 1; v <= 4; ++v)
            spec.rows.push_back(Row(std::u16string(1, static_cast<char16_t>(u'0' + v)), v, IDB_PROFILE_POPUP_ICON));
        break;
    case PopupKind::DpiCount:
        for (uint32_t v = 1; v <= 6; ++v) spec.rows.push_back(Row(std::u16string(1, static_cast<char16_t>(u'0' + v)), v));
        break;
    case PopupKind::DpiFunction:
        spec.rows = {Row(g_uiTexts[UiText::str_dpiloop], 1), Row(g_uiTexts[UiText::str_dpiadd], 2),
                     Row(g_uiTexts[UiText::str_dpisub], 3)};
        break;
    case PopupKind::Multimedia:
        spec.wide = 1;
        spec.skinFile = u"Language_back-2.png";
        for (uint32_t v = 1; v <= 18; ++v) spec.rows.push_back(Row(FunctionCodeName(kMultimediaFunctions[v - 1]), v));
        break;
    case PopupKind::DpiLed:
        spec.wide = 1;
        spec.rows = {Row(FunctionCodeName(FUNC_DPI_LED_1), 1), Row(FunctionCodeName(FUNC_DPI_LED_2), 2),
                     Row(FunctionCodeName(FUNC_DPI_LED_3), 3)};
        break;
    }
    return spec;
}

SkinPoint PopupOpenerOffset(PopupKind kind, const SkinRect& r) {
    switch (kind) {
    case PopupKind::Language: return {r.left - 18, r.bottom - 85};
    case PopupKind::Profile: return {r.left - 18, r.bottom - 130};
    case PopupKind::DpiCount:
    case PopupKind::DpiLed: return {r.left - 18, r.top + 26};
    case PopupKind::DpiFunction: return {r.right + 10, r.top - 40};
    case PopupKind::Multimedia: return {r.right + 10, r.top - 260};
    }
    return {r.left, r.top};
}
