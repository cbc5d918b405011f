// The arithmetic of the skinned push buttons.
#include <gtest/gtest.h>

#include "skin/button_logic.h"
#include "skin/skin_path.h"

namespace {

TEST(SkinPathTest, FolderSkinsAndName) {
    EXPECT_EQ(SkinImagePath(u"C:\\Quorvel\\", u"main_nr.png"), u"C:\\Quorvel\\skins\\main_nr.png");
    EXPECT_EQ(SkinStateFileName(u"keymenu", SkinState::Normal), u"keymenu_nr.png");
    EXPECT_EQ(SkinStateFileName(u"keymenu", SkinState::Hover), u"keymenu_ov.png");
    EXPECT_EQ(SkinStateFileName(u"keymenu", SkinState::Pressed), u"keymenu_dn.png");
}

TEST(ButtonLookTest, StateChoiceTable) {
    struct Case {
        bool checkMode, checked, selected, disabled, hovered, hoverEnabled;
        StateImage image;
        uint32_t color;
    };
    const Case cases[] = {
        // checkMode checked selected disabled hovered hoverEnabled
        {false, false, false, false, false, true, StateImage::Normal, kDefaultNormalColor},
        {false, false, true, false, false, true, StateImage::Pressed, kDefaultPressedColor},
        {false, true, false, false, false, true, StateImage::Normal, kDefaultNormalColor},  // checked without check mode: no effect
        {true, false, true, false, false, true, StateImage::Normal, kDefaultNormalColor},   // held in check mode: not pressed
        {true, false, true, false, true, true, StateImage::Hover, kDefaultHoverColor},
        {true, true, false, false, false, true, StateImage::Pressed, kDefaultPressedColor},
        {false, false, false, false, true, true, StateImage::Hover, kDefaultHoverColor},
        {false, false, false, false, true, false, StateImage::Normal, kDefaultNormalColor},  // hover turned off
        {false, false, false, true, false, true, StateImage::None, kDisabledCaptionColor},
        {false, false, false, true, true, true, StateImage::Hover, kDefaultHoverColor},     // hover wins over disabled
        {true, true, false, true, false, true, StateImage::Pressed, kDefaultPressedColor},  // disabled, checked: pressed look
        {false, false, true, true, false, true, StateImage::Pressed, kDefaultPressedColor},
    };
    for (const Case& c : cases) {
        ButtonLookInput in;
        in.checkMode = c.checkMode;
        in.checked = c.checked;
        in.selected = c.selected;
        in.disabled = c.disabled;
        in.hovered = c.hovered;
        in.hoverEnabled = c.hoverEnabled;
        ButtonLook look = ChooseButtonLook(in);
        SCOPED_TRACE(testing::Message() << c.checkMode << c.checked << c.selected << c.disabled << c.hovered
                                        << c.hoverEnabled);
        EXPECT_EQ(look.image, c.image);
        EXPECT_EQ(look.color, c.color);
    }
}

TEST(ButtonLookTest, OwnColoursAreUsed) {
    ButtonLookInput in;
    in.normalColor = 0x010203;
    in.hoverColor = 0x040506;
    in.pressedColor = 0x070809;
    EXPECT_EQ(ChooseButtonLook(in).color, 0x010203u);
    in.hovered = true;
    EXPECT_EQ(ChooseButtonLook(in).color, 0x040506u);
    in.selected = true;
    EXPECT_EQ(ChooseButtonLook(in).color, 0x070809u);
}

TEST(CaptionLayoutTest, RectangleInTheClientAndInTheTextRect) {
    EXPECT_EQ(CaptionRect(142, 20, 15, 0), (SkinRect{5, 3, 137, 20}));
    EXPECT_EQ(CaptionRect(142, 20, 15, 20), (SkinRect{25, 3, 137, 20}));
    EXPECT_EQ(CaptionRect(106, 26, 18, 3), (SkinRect{8, 4, 101, 26}));
    EXPECT_EQ(CaptionRectIn(SkinRect{0, 2, 100, 22}, false), (SkinRect{5, 2, 95, 22}));
    EXPECT_EQ(CaptionRectIn(SkinRect{0, 2, 100, 22}, true), (SkinRect{6, 3, 96, 23}));
}

TEST(CaptionLayoutTest, OrientedOriginCentresTheExtent) {
    struct Case {
        int orientation;
        SkinPoint origin;
        int escapement;
    };
    // Client 46 x 46, extent 20 x 10, offsets (1, 2).
    const Case cases[] = {{0, {14, 20}, 0}, {1, {14, 20}, 0}, {2, {19, 35}, 900}, {3, {29, 15}, 2700}};
    for (const Case& c : cases) {
        EXPECT_EQ(CaptionOrigin(46, 46, 20, 10, c.orientation, 1, 2), c.origin) << c.orientation;
        EXPECT_EQ(CaptionEscapement(c.orientation), c.escapement);
    }
}

TEST(DevicePictureTest, EightTenthsTruncated) {
    EXPECT_EQ(DevicePictureSize(204, 399), (SkinSize{163, 319}));
    EXPECT_EQ(DevicePictureSize(5, 4), (SkinSize{4, 3}));
    EXPECT_EQ(DevicePictureSize(0, 0), (SkinSize{0, 0}));
}

TEST(DpiEntryTest, RoundsToFiftiesAndZeroPostsNothing) {
    struct Case {
        uint32_t entered;
        std::optional<int> posted;
    };
    const Case cases[] = {{76, 100}, {75, 50}, {26, 50}, {25, 0}, {1, 0}, {0, std::nullopt},
                          {50, 50}, {1234, 1250}, {1225, 1200}, {65535, 65550}};
    for (const Case& c : cases) EXPECT_EQ(RoundedDpiEntry(c.entered), c.posted) << c.entered;
}

TEST(PressGateTest, MouseOffAlwaysSwallowsHoverOffOnlyForPathButtons) {
    EXPECT_TRUE(PressAllowed(true, true, false));
    EXPECT_TRUE(PressAllowed(true, false, false));
    EXPECT_FALSE(PressAllowed(true, false, true));
    EXPECT_FALSE(PressAllowed(false, true, false));
    EXPECT_FALSE(PressAllowed(false, true, true));
}

}  // namespace

namespace {

TEST(IrrLookTest, StateChoiceTable) {
    struct Case {
        bool useSelectedLook, selected, hovered, odsSelected, disabled;
        IrrImage image;
        uint32_t color;
    };
    const Case cases[] = {
        {true, true, true, false, false, IrrImage::Selected, kDefaultPressedColor},
        {true, false, true, false, false, IrrImage::Hover, kDefaultHoverColor},
        {true, false, false, true, false, IrrImage::Normal, kDefaultNormalColor},  // the press does not show
        {true, false, false, false, true, IrrImage::Normal, kDefaultNormalColor},  // disabled drawn as enabled
        {true, true, false, false, true, IrrImage::Selected, kDefaultPressedColor},
        {false, true, false, false, false, IrrImage::Normal, kDefaultNormalColor},  // selection ignored
        {false, false, true, true, true, IrrImage::None, kDefaultNormalColor},      // disabled first
        {false, false, true, true, false, IrrImage::Selected, kDefaultPressedColor},
        {false, false, true, false, false, IrrImage::Hover, kDefaultHoverColor},
    };
    for (const Case& c : cases) {
        IrrLookInput in;
        in.useSelectedLook = c.useSelectedLook;
        in.selected = c.selected;
        in.hovered = c.hovered;
        in.odsSelected = c.odsSelected;
        in.disabled = c.disabled;
        EXPECT_EQ(ChooseIrrLook(in), (IrrLook{c.image, c.color}))
            << c.useSelectedLook << c.selected << c.hovered << c.odsSelected << c.disabled;
    }
}

TEST(IrrCaptionTest, PlacedByCharacterCount) {
    EXPECT_EQ(IrrCaptionOrigin(60, 14, 5), (SkinPoint{60 - 42, 8}));
    EXPECT_EQ(IrrCaptionOrigin(60, 14, 6), (SkinPoint{60 - 26, 8}));
    EXPECT_EQ(IrrCaptionOrigin(15, 3, 5), (SkinPoint{0, 0}));  // never left of or above the client
    EXPECT_EQ(IrrCaptionOrigin(15, 14, 0), (SkinPoint{13, 8}));
}

}  // namespace
