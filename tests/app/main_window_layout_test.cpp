#include "app/main_window_layout.h"

#include <gtest/gtest.h>

#include "app/connection.h"

namespace {

TEST(MainWindowLayoutModelTest, PageIconPlacesWithAndWithoutTheLedIcon) {
    struct Case {
        int icon;
        SkinRect withLed;
        SkinRect withoutLed;
    };
    const Case cases[] = {
        {PAGE_DEVICE_PICKER, {359, 34, 389, 60}, {384, 34, 414, 60}},
        {PAGE_BUTTONS, {429, 34, 447, 62}, {454, 34, 472, 62}},
        {PAGE_ADVANCED, {487, 34, 515, 62}, {512, 34, 540, 62}},
        {PAGE_MACRO, {560, 34, 584, 62}, {585, 34, 609, 62}},
        {PAGE_LED, {617, 34, 639, 63}, {617, 34, 639, 63}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.icon);
        EXPECT_EQ(PageIconPlace(c.icon, true), c.withLed);
        EXPECT_EQ(PageIconPlace(c.icon, false), c.withoutLed);
    }
    // The macro icon is created 5 pixels left of where the first layout puts it.
    EXPECT_EQ(PageIconCreateRect(PAGE_MACRO), (SkinRect{555, 34, 579, 62}));
    EXPECT_EQ(PageIconCreateRect(PAGE_BUTTONS), PageIconPlace(PAGE_BUTTONS, true));
    EXPECT_EQ(PageIconPlace(PAGE_DEVICE_PICKER + 1, true), SkinRect{});
    EXPECT_EQ(PageIconPlace(0, true), SkinRect{});
}

TEST(MainWindowLayoutModelTest, WhatEachPageShows) {
    for (MainPageNumber page : kPageNumbers) {
        SCOPED_TRACE(page);
        PageShown shown = PageShownFor(page);
        EXPECT_EQ(shown.page, page);
        EXPECT_EQ(shown.selectedIcon, page);
        EXPECT_EQ(shown.pageButtons, page != PAGE_DEVICE_PICKER)
            << "the device picker hides the page icons";
    }
    for (int notAPage : {0, PAGE_DEVICE_PICKER + 1, -1}) EXPECT_EQ(PageShownFor(notAPage).page, 0);

    struct Led {
        bool buttons;
        uint8_t linkType;
        uint8_t model;
        bool shown;
    };
    const Led leds[] = {
        {true, 2, 0xF0, true},   {true, 2, 0xF1, false}, {true, 1, 0xF0, false},
        {false, 2, 0xF0, false}, {true, 0xFF, 0, false},
    };
    for (const Led& l : leds)
        EXPECT_EQ(LedIconShown(l.buttons, l.linkType, l.model), l.shown)
            << l.buttons << " " << int(l.linkType) << " " << int(l.model);
}

TEST(MainWindowLayoutModelTest, APageCommandTwiceCountsOnce) {
    int cur = PAGE_BUTTONS, prev = PAGE_DEVICE_PICKER;
    EXPECT_TRUE(ChangePage(cur, prev, PAGE_DEVICE_PICKER));
    EXPECT_FALSE(ChangePage(cur, prev, PAGE_DEVICE_PICKER)) << "the icon's second command";
    EXPECT_EQ(cur, PAGE_DEVICE_PICKER);
    EXPECT_EQ(prev, PAGE_BUTTONS);
    // The picker's connected tile goes back to the page the user came from.
    EXPECT_EQ(PageToRestore(cur, prev), PAGE_BUTTONS);
    EXPECT_EQ(cur, PAGE_BUTTONS);
    EXPECT_EQ(prev, PAGE_DEVICE_PICKER);

    cur = 7;
    prev = 0;
    EXPECT_EQ(PageToRestore(cur, prev), 0) << "no page number: nothing to show";
    EXPECT_EQ(cur, 0);
    EXPECT_EQ(prev, 7);
}

}  // namespace
