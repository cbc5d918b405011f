#include "app/main_window/page_switch.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(PageSwitchTest, APageCommandTwiceCountsOnce) {
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

class RecordingPages final : public PageView {
public:
    void ShowPage(int page) override { shown.push_back(page); }
    std::vector<int> shown;
};

TEST(PageSwitchTest, EveryChangeSetsBothNumbersAndShowsTheCurrentPage) {
    enum class Move { GoTo, GoBack, Set };
    struct Case {
        const char* what;
        int cur, prev;
        Move move;
        int page, previous;  // GoTo takes page, Set both
        int curAfter, prevAfter;
        std::vector<int> shown;
    };
    const Case cases[] = {
        {"a page icon", PAGE_BUTTONS, PAGE_DEVICE_PICKER, Move::GoTo, PAGE_MACRO, 0, PAGE_MACRO, PAGE_BUTTONS,
         {PAGE_MACRO}},
        // The connection shows the picker again even when it is up already.
        {"the page shown", PAGE_DEVICE_PICKER, PAGE_LED, Move::GoTo, PAGE_DEVICE_PICKER, 0, PAGE_DEVICE_PICKER,
         PAGE_LED, {PAGE_DEVICE_PICKER}},
        {"the picker's connected tile", PAGE_DEVICE_PICKER, PAGE_ADVANCED, Move::GoBack, 0, 0, PAGE_ADVANCED,
         PAGE_DEVICE_PICKER, {PAGE_ADVANCED}},
        {"back to no page", PAGE_BUTTONS, 0, Move::GoBack, 0, 0, 0, PAGE_BUTTONS, {}},
        // A new connection puts the picker behind the button page, whatever was there.
        {"a new connection", PAGE_BUTTONS, PAGE_MACRO, Move::Set, PAGE_BUTTONS, PAGE_DEVICE_PICKER, PAGE_BUTTONS,
         PAGE_DEVICE_PICKER, {PAGE_BUTTONS}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RecordingPages view;
        int cur = c.cur, prev = c.prev;
        PageSwitch pages(view, cur, prev);
        switch (c.move) {
        case Move::GoTo:
            pages.GoTo(c.page);
            break;
        case Move::GoBack:
            pages.GoBack();
            break;
        case Move::Set:
            pages.Set(c.page, c.previous);
            break;
        }
        EXPECT_EQ(cur, c.curAfter);
        EXPECT_EQ(prev, c.prevAfter);
        EXPECT_EQ(pages.Current(), c.curAfter);
        EXPECT_EQ(view.shown, c.shown);
    }
}

}  // namespace
