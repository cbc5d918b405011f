#include "app/main_window/layout.h"

#include <gtest/gtest.h>

#include "app/main_window/connection.h"

namespace {

// The icons as the user meets them along the title row, left to right.
constexpr MainPageNumber kIconsLeftToRight[] = {PAGE_DEVICE_PICKER, PAGE_BUTTONS, PAGE_ADVANCED,
                                                PAGE_MACRO, PAGE_LED};

TEST(MainWindowLayoutModelTest, TheIconsStandInARowThatHidingTheLedIconClosesUpToTheRight) {
    for (bool led : {true, false}) {
        SCOPED_TRACE(led ? "with the LED icon" : "without it");
        int rightOfThePrevious = 0;
        for (MainPageNumber page : kIconsLeftToRight) {
            SCOPED_TRACE(page);
            const SkinRect place = PageIconPlace(page, led);
            EXPECT_EQ(place.top, 34) << "one row";
            EXPECT_GT(place.right - place.left, 0);
            EXPECT_GT(place.bottom - place.top, 0);
            EXPECT_GT(place.left, rightOfThePrevious) << "in order, none over another";
            rightOfThePrevious = place.right;
        }
    }
    // The LED icon keeps its place; the other four move right together and
    // still stop short of it.
    EXPECT_EQ(PageIconPlace(PAGE_LED, false), PageIconPlace(PAGE_LED, true));
    const SkinRect buttons = PageIconPlace(PAGE_BUTTONS, true);
    const int shift = PageIconPlace(PAGE_BUTTONS, false).left - buttons.left;
    EXPECT_EQ(shift, 25);
    for (MainPageNumber page : {PAGE_DEVICE_PICKER, PAGE_ADVANCED, PAGE_MACRO}) {
        const SkinRect with = PageIconPlace(page, true), without = PageIconPlace(page, false);
        EXPECT_EQ(without.left - with.left, shift) << page;
        EXPECT_EQ(without.right - with.right, shift) << page;
    }
    EXPECT_LT(PageIconPlace(PAGE_MACRO, false).right, PageIconPlace(PAGE_LED, false).left);

    // Before the first layout the macro icon stands 5 pixels further left; the rest are
    // created where the layout with the LED icon puts them.
    for (MainPageNumber page : kPageNumbers) {
        SkinRect created = PageIconCreateRect(page), placed = PageIconPlace(page, true);
        if (page == PAGE_MACRO) {
            placed.left -= 5;
            placed.right -= 5;
        }
        EXPECT_EQ(created, placed) << page;
    }
    for (int notAPage : {0, PAGE_DEVICE_PICKER + 1}) {
        EXPECT_EQ(PageIconPlace(notAPage, true), SkinRect{});
        EXPECT_EQ(PageIconCreateRect(notAPage), SkinRect{});
    }
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

}  // namespace
