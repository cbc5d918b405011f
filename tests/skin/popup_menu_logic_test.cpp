// The popup menus' rows, layout, hover and click, nine-slice frame, pixel
// rules and opener corners, apart from their windows.
#include <gtest/gtest.h>

#include <vector>

#include "device/settings.h"
#include "skin/popup_menu_logic.h"
#include "text/ui_texts.h"

namespace {

PopupMenuModel ModelOf(PopupKind kind) {
    PopupMenuModel model;
    PopupMenuSpec spec = PopupMenuRows(kind);
    for (const PopupRowSpec& row : spec.rows) {
        PopupMenuItem item;
        item.value = row.value;
        item.text = row.text;
        model.m_items.push_back(item);
    }
    model.LayoutRows(spec.wide);
    return model;
}

TEST(PopupMenuLayoutTest, EachMenuSizesItselfToItsRows) {
    struct Case {
        PopupKind kind;
        int rows;
        SkinSize size;
        unsigned message;
    };
    const Case cases[] = {
        {PopupKind::Language, 2, {116, 53}, 0x401},   {PopupKind::Profile, 4, {116, 97}, 0x402},
        {PopupKind::DpiCount, 6, {116, 141}, 0x403},  {PopupKind::DpiFunction, 3, {116, 75}, 0x404},
        {PopupKind::Multimedia, 18, {230, 405}, 0x405}, {PopupKind::DpiLed, 3, {230, 75}, 0x406},
    };
    for (const Case& c : cases) {
        PopupMenuModel model = ModelOf(c.kind);
        SCOPED_TRACE(static_cast<int>(c.kind));
        ASSERT_EQ(static_cast<int>(model.m_items.size()), c.rows);
        EXPECT_EQ(model.LayoutRows(model.m_wide), c.size);
        EXPECT_EQ(PopupResultMessage(c.kind), c.message);
        EXPECT_EQ(model.m_items.front().rect, (SkinRect{0, 6, c.size.cx, 28}));
        EXPECT_EQ(model.m_items.back().rect.bottom, c.size.cy - 3);
    }
}

TEST(PopupMenuLayoutTest, SeparatorsTakeFourPixelsAndAThinLine) {
    PopupMenuModel model;
    model.m_items.resize(3);
    model.m_items[1].separator = 1;
    EXPECT_EQ(model.LayoutRows(0), (SkinSize{116, 6 + 22 + 4 + 22 + 3}));
    EXPECT_EQ(model.m_items[1].rect, (SkinRect{32, 30, 110, 31}));
    EXPECT_EQ(model.m_items[2].rect, (SkinRect{0, 32, 116, 54}));
    // The bar of a row: narrow and wide.
    EXPECT_EQ(model.BarRect(model.m_items[2]), (SkinRect{3, 32, 112, 54}));
    model.LayoutRows(1);
    EXPECT_EQ(model.BarRect(model.m_items[2]), (SkinRect{3, 32, 226, 54}));
}

TEST(PopupMenuRowsTest, FixedAndLanguageTexts) {
    g_uiTexts = UiTextTable{};
    g_uiTexts[UiText::str_dpiloop] = u"Loop";
    g_uiTexts[UiText::str_dpiadd] = u"Up";
    g_uiTexts[UiText::str_dpisub] = u"Down";
    g_uiTexts[UiText::str_player] = u"Player";
    g_uiTexts[UiText::str_favourites] = u"Favourites";
    g_uiTexts[UiText::str_dpi_led_dx2] = u"LED 2";

    PopupMenuSpec a = PopupMenuRows(PopupKind::Language);
    EXPECT_EQ(a.rows[0].text, u"Русский");
    EXPECT_EQ(a.rows[1].text, u"English");
    EXPECT_EQ(a.rows[1].value, 2u);
    EXPECT_EQ(std::u16string(a.skinFile), u"Language_back.png");

    PopupMenuSpec b = PopupMenuRows(PopupKind::Profile);
    for (uint32_t v = 1; v <= 4; ++v) {
        EXPECT_EQ(b.rows[v - 1].value, v);
        EXPECT_EQ(b.rows[v - 1].pngId, 149u);
        EXPECT_EQ(b.rows[v - 1].text, std::u16string(1, static_cast<char16_t>(u'0' + v)));
    }
    EXPECT_EQ(PopupMenuRows(PopupKind::DpiCount).rows[5].text, u"6");
    EXPECT_EQ(PopupMenuRows(PopupKind::DpiCount).rows[5].pngId, 0u);

    PopupMenuSpec e = PopupMenuRows(PopupKind::DpiFunction);
    EXPECT_EQ(e.rows[0].text, u"Loop");
    EXPECT_EQ(e.rows[1].text, u"Up");
    EXPECT_EQ(e.rows[2].text, u"Down");

    PopupMenuSpec f = PopupMenuRows(PopupKind::Multimedia);
    EXPECT_EQ(f.wide, 1);
    EXPECT_EQ(std::u16string(f.skinFile), u"Language_back-2.png");
    EXPECT_EQ(f.rows[0].text, u"Player");
    EXPECT_EQ(f.rows[17].text, u"Favourites");
    EXPECT_EQ(f.rows[1].text, u"");  // no text loaded: an empty row, same value
    EXPECT_EQ(f.rows[1].value, 2u);

    PopupMenuSpec g = PopupMenuRows(PopupKind::DpiLed);
    EXPECT_EQ(g.wide, 1);
    EXPECT_EQ(g.rows[1].text, u"LED 2");
    g_uiTexts = UiTextTable{};
}

TEST(PopupMenuRowsTest, MultimediaValuesStandForTheirFunctions) {
    const int32_t expected[19] = {0,  40, 32, 35, 34,  33,  39, 37, 38, 102,
                                  109, 80, 101, 103, 97, 96, 98, 99, 100};
    for (uint32_t v = 0; v <= 18; ++v) EXPECT_EQ(MultimediaFunctionForValue(v), expected[v]) << v;
    EXPECT_EQ(MultimediaFunctionForValue(19), 0);
}

// Three rows of the narrow menu: y 6-28, 28-50, 50-72; window 116 x 75.
TEST(PopupMenuMouseTest, HoverFollowsTheRowsAndTheMarginsClearIt) {
    PopupMenuModel model = ModelOf(PopupKind::DpiFunction);
    struct Step {
        SkinPoint pt;
        bool redraw;
        int hover;
    };
    const Step steps[] = {
        {{50, 2}, false, -1},    // top margin, nothing to clear
        {{50, 10}, true, 0},     // first row
        {{90, 27}, false, 0},    // still the first row
        {{90, 28}, true, 1},     // the next row starts at its top edge
        {{50, 73}, true, -1},    // bottom margin clears the hover
        {{50, 73}, false, -1},
        {{115, 60}, true, 2},    // the row is the full width, bar or not
        {{116, 60}, true, -1},   // right edge is outside
        {{50, 3}, false, -1},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(testing::Message() << s.pt.x << "," << s.pt.y);
        EXPECT_EQ(model.HoverAt(s.pt), s.redraw);
        EXPECT_EQ(model.m_hoverIndex, s.hover);
    }
}

TEST(PopupMenuMouseTest, AClickSendsTheHoverRowsValueOnlyWhenReleasedOnIt) {
    PopupMenuModel model = ModelOf(PopupKind::DpiFunction);
    std::optional<uint32_t> send;
    // No hover row: nothing.
    EXPECT_FALSE(model.ClickAt({50, 10}, &send));
    EXPECT_FALSE(send);
    // Press and release on row 2.
    model.HoverAt({50, 40});
    EXPECT_FALSE(model.ClickAt({60, 45}, &send));
    EXPECT_EQ(send, 2u);
    EXPECT_EQ(model.m_hoverIndex, 1);
    // Pressed on row 2 (hover frozen while pressed), released on row 3.
    EXPECT_TRUE(model.ClickAt({60, 60}, &send));
    EXPECT_FALSE(send);
    EXPECT_EQ(model.m_hoverIndex, -1);
    // A separator is never hovered.
    PopupMenuModel sep;
    sep.m_items.resize(2);
    sep.m_items[0].separator = 1;
    sep.m_items[1].value = 7;
    sep.LayoutRows(0);
    EXPECT_FALSE(sep.HoverAt({50, 8}));
    EXPECT_TRUE(sep.HoverAt({50, 12}));
    EXPECT_EQ(sep.m_hoverIndex, 1);
}

TEST(PopupMenuGeometryTest, IconSitsLeftOfTheRowsMiddle) {
    EXPECT_EQ(PopupIconPosition({0, 6, 116, 28}, 16, 16), (SkinPoint{25, 9}));
    EXPECT_EQ(PopupIconPosition({0, 28, 230, 50}, 21, 15), (SkinPoint{79, 31}));
}

TEST(PopupMenuGeometryTest, NineSliceKeepsCornersAndStretchesTheRest) {
    auto parts = NineSliceParts({0, 0, 116, 97}, 128, 128);
    const NineSlicePart expected[9] = {
        {{0, 0, 32, 32}, {0, 0, 32, 32}},      {{0, 32, 32, 33}, {0, 32, 32, 64}},
        {{0, 65, 32, 32}, {0, 96, 32, 32}},    {{32, 0, 52, 32}, {32, 0, 64, 32}},
        {{84, 0, 32, 32}, {96, 0, 32, 32}},    {{84, 32, 32, 33}, {96, 32, 32, 64}},
        {{84, 65, 32, 32}, {96, 96, 32, 32}},  {{32, 65, 52, 32}, {32, 96, 64, 32}},
        {{32, 32, 52, 33}, {32, 32, 64, 64}},
    };
    for (int i = 0; i < 9; ++i) EXPECT_EQ(parts[i], expected[i]) << i;
    // An offset rectangle moves every destination, never a source.
    auto moved = NineSliceParts({10, 20, 126, 117}, 128, 128);
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(moved[i].source, expected[i].source);
        EXPECT_EQ(moved[i].dest.x, expected[i].dest.x + 10);
        EXPECT_EQ(moved[i].dest.y, expected[i].dest.y + 20);
    }
}

TEST(PopupMenuPixelsTest, ItemLayerAndFinishedPictureRules) {
    struct Case {
        uint32_t in, layer, finished;
    };
    const Case cases[] = {
        {0x00FF00FF, 0x00000000, 0x00FF00FF},  // magenta: transparent (as a picture: not black, kept)
        {0x12FF00FF, 0x00000000, 0x12FF00FF},  // magenta whatever its alpha
        {0x00000000, 0xFF000001, 0x00000000},  // drawn black: opaque blue 1; transparent black stays
        {0x00201F23, 0xFF201F23, 0x00201F23},  // a bar: opaque
        {0x00FE00FF, 0xFFFE00FF, 0x00FE00FF},  // nearly magenta is drawn colour
        {0xFF000000, 0xFF000001, 0xFF000001},  // opaque black in the picture gets blue 1
        {0x80000000, 0xFF000001, 0x80000001},
    };
    std::vector<uint32_t> layer, finished;
    for (const Case& c : cases) {
        layer.push_back(c.in);
        finished.push_back(c.in);
    }
    MaskItemLayer(layer.data(), layer.size());
    KeepBlackVisible(finished.data(), finished.size());
    for (size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(layer[i], cases[i].layer) << i;
        EXPECT_EQ(finished[i], cases[i].finished) << i;
    }
}

TEST(PopupMenuGeometryTest, OpenersPutTheCornerBesideTheirButton) {
    const SkinRect button{300, 200, 380, 228};
    EXPECT_EQ(PopupOpenerOffset(PopupKind::Language, button), (SkinPoint{282, 143}));
    EXPECT_EQ(PopupOpenerOffset(PopupKind::Profile, button), (SkinPoint{282, 98}));
    EXPECT_EQ(PopupOpenerOffset(PopupKind::DpiCount, button), (SkinPoint{282, 226}));
    EXPECT_EQ(PopupOpenerOffset(PopupKind::DpiLed, button), (SkinPoint{282, 226}));
    EXPECT_EQ(PopupOpenerOffset(PopupKind::DpiFunction, button), (SkinPoint{390, 160}));
    EXPECT_EQ(PopupOpenerOffset(PopupKind::Multimedia, button), (SkinPoint{390, -60}));
}

}  // namespace
