// The slider's and the battery bar's arithmetic, and the slider's drag.
#include <gtest/gtest.h>

#include "skin/bar_logic.h"

namespace {

TEST(SliderValueTest, ValueFromXTable) {
    struct Case {
        int x, left, right, min, max, value;
    };
    const Case cases[] = {
        {110, 110, 382, 0, 599, 0},     // left end
        {382, 110, 382, 0, 599, 599},   // right end
        {246, 110, 382, 0, 599, 299},   // middle: 599 * 136 / 272 = 299.5, truncated
        {50, 110, 382, 0, 599, 0},      // past the left end
        {900, 110, 382, 0, 599, 599},   // past the right end
        {200, 110, 382, 100, 100, 100}, // empty range
        {200, 110, 110, 5, 50, 5},      // a track without width
        {200, 120, 110, 5, 50, 5},      // a track the wrong way round
        {383, 110, 382, -10, 10, 10},
        {110, 110, 382, -10, 10, -10},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SliderValueFromX(c.x, c.left, c.right, c.min, c.max), c.value)
            << c.x << " on " << c.left << ".." << c.right << " range " << c.min << ".." << c.max;
}

TEST(SliderThumbTest, CentreTable) {
    struct Case {
        int pos, min, max, track, thumb, centre;
    };
    const Case cases[] = {
        {0, 0, 599, 272, 12, 6},
        {599, 0, 599, 272, 12, 266},
        {300, 0, 599, 272, 12, 136},  // 300 * 260 / 599 = 130.2 + 6
        {7, 7, 7, 272, 12, 6},        // empty range: at the start
        {0, 0, 10, 272, 0, 0},        // no thumb image
    };
    for (const Case& c : cases) EXPECT_EQ(SliderThumbCentre(c.pos, c.min, c.max, c.track, c.thumb), c.centre) << c.pos;
}

TEST(BatteryFillTest, LevelsInBothOrientations) {
    // An 80 x 28 bar; the vertical cases use a 20 x 60 bar with a 60-row image.
    EXPECT_EQ(BatteryFillPart(true, 80, 28, 28, 0, 0, 100), (BatteryFill{true, 18, 0}));
    EXPECT_EQ(BatteryFillPart(true, 80, 28, 28, 100, 0, 100), (BatteryFill{true, 80 - 22, 0}));
    EXPECT_EQ(BatteryFillPart(true, 80, 28, 28, 50, 0, 100), (BatteryFill{true, 38, 0}));
    // Vertical: the bottom 5 rows at 0, H - 6 rows at 100.
    EXPECT_EQ(BatteryFillPart(false, 20, 60, 60, 0, 0, 100), (BatteryFill{true, 0, 55}));
    EXPECT_EQ(BatteryFillPart(false, 20, 60, 60, 100, 0, 100), (BatteryFill{true, 0, 6}));
    // No fill for an empty range; a level past the ends counts as the end.
    EXPECT_EQ(BatteryFillPart(true, 80, 28, 28, 50, 100, 100), BatteryFill{});
    EXPECT_EQ(BatteryFillPart(false, 20, 60, 60, 50, 0, 0), BatteryFill{});
    EXPECT_EQ(BatteryFillPart(true, 80, 28, 28, 250, 0, 100), (BatteryFill{true, 58, 0}));
    EXPECT_EQ(BatteryFillPart(false, 20, 60, 60, -5, 0, 100), (BatteryFill{true, 0, 55}));
    // A vertical fill image shorter than the fill never starts above its top.
    EXPECT_EQ(BatteryFillPart(false, 20, 60, 10, 100, 0, 100), (BatteryFill{true, 0, 0}));
}

SliderModel Slider() {
    SliderModel s;
    s.m_trackRect = {110, 50, 382, 62};
    s.m_min = 0;
    s.m_max = 599;
    s.m_pos = 100;
    s.m_dragEnabled = 1;
    return s;
}

constexpr SliderNotice kNone{};
SliderNotice Moving(int v) {
    return {SliderNoticeKind::Moving, v};
}
SliderNotice Released(int v) {
    return {SliderNoticeKind::Released, v};
}

TEST(SliderDragTest, PressMoveReleasePostsMovingValuesThenOneRelease) {
    SliderModel s = Slider();
    EXPECT_EQ(s.Move(246), kNone);  // no drag yet
    EXPECT_TRUE(s.Press());
    EXPECT_EQ(s.Move(246), Moving(299));
    EXPECT_EQ(s.Move(900), Moving(599));
    EXPECT_EQ(s.Release(110), Released(0));
    EXPECT_EQ(s.m_pos, 0);
    EXPECT_FALSE(s.m_dragging);
    EXPECT_EQ(s.Move(246), kNone);  // moves after the release change nothing
    // A click without a drag still sets the value.
    EXPECT_EQ(s.Release(246), Released(299));
}

TEST(SliderDragTest, CaptureLossEndsTheDragAtTheLastAcceptedPosition) {
    SliderModel s = Slider();
    ASSERT_TRUE(s.Press());
    EXPECT_EQ(s.Move(246), Moving(299));
    EXPECT_EQ(s.DragInterrupted(), Released(299));
    EXPECT_FALSE(s.m_dragging);
    EXPECT_EQ(s.Move(382), kNone);
    EXPECT_EQ(s.m_pos, 299);
    EXPECT_EQ(s.DragInterrupted(), kNone);  // nothing to end
}

TEST(SliderDragTest, ValuesBelowTheReportMinimumAreNeitherTakenNorPosted) {
    SliderModel s = Slider();
    s.m_minReport = 300;
    s.m_pos = 400;
    ASSERT_TRUE(s.Press());
    EXPECT_EQ(s.Move(200), kNone);
    EXPECT_EQ(s.m_pos, 400);
    EXPECT_EQ(s.Move(382), Moving(599));
    EXPECT_EQ(s.Release(120), kNone);
    EXPECT_EQ(s.m_pos, 599);
    EXPECT_EQ(s.DragInterrupted(), kNone);  // the release ended the drag
}

TEST(SliderDragTest, LockedOrNotDraggableDoesNothing) {
    SliderModel locked = Slider();
    locked.m_locked = 1;
    EXPECT_FALSE(locked.Press());
    EXPECT_EQ(locked.Release(246), kNone);
    EXPECT_EQ(locked.m_pos, 100);

    SliderModel fixed = Slider();
    fixed.m_dragEnabled = 0;
    EXPECT_FALSE(fixed.Press());
    EXPECT_EQ(fixed.Move(246), kNone);
    EXPECT_EQ(fixed.Release(246), Released(299));  // a click still sets it
}

TEST(SliderDragTest, EmptyRangeYieldsTheMinimum) {
    SliderModel s = Slider();
    s.m_min = s.m_max = 50;
    ASSERT_TRUE(s.Press());
    EXPECT_EQ(s.Move(300), Moving(50));
    s.m_trackRect = {110, 50, 110, 62};
    s.m_max = 60;
    EXPECT_EQ(s.Release(300), Released(50));
}

}  // namespace
