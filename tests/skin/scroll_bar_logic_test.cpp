// The skinned scroll bar's geometry, hit test, drag, repeat and paint plan,
// and the scroll frame's layout.
#include <gtest/gtest.h>

#include <climits>

#include "skin/scroll_bar_logic.h"

namespace {

// A 200-pixel vertical bar of 16-pixel cells over rows 0..99 with 10 in view:
// track 168, span 90, thumb 16 long, moving over 152 pixels.
constexpr int kLength = 200;
constexpr int kCell = 16;
constexpr ScrollRange kRows{0, 99, 10, 0};

ScrollRange At(ScrollRange r, int pos) {
    r.pos = pos;
    return r;
}

TEST(ScrollGeometryTest, LengthsAndThumbStartTable) {
    struct Case {
        const char* what;
        int length;
        ScrollRange range;
        int q;
        int arrow, track, span, thumb, thumbStart;
    };
    const Case cases[] = {
        {"top", kLength, kRows, 0, 16, 168, 90, 16, 16},
        {"bottom", kLength, kRows, 90, 16, 168, 90, 16, 168},
        {"middle", kLength, kRows, 45, 16, 168, 90, 16, 92},  // 16 + 45 * 152 / 90
        {"beyond the last position", kLength, kRows, 500, 16, 168, 90, 16, 168},
        {"a tiny page still has a 6-pixel thumb", kLength, {0, 999, 1, 0}, 0, 16, 168, 999, 6, 16},
        {"no room for arrows and track", 20, kRows, 0, 10, 0, 90, 0, 10},
        {"a track of 5 pixels has no thumb", 37, kRows, 0, 16, 5, 90, 0, 16},
        {"page as large as the range: tracks meet in the middle", kLength, {0, 99, 100, 0}, 0, 16, 168, 0, 0, 100},
        {"page beyond the range", kLength, {0, 99, 150, 0}, 0, 16, 168, 0, 0, 100},
        {"empty range", kLength, {5, 4, 0, 5}, 5, 16, 168, 0, 0, 100},
        {"non-zero minimum at its first position", kLength, {100, 199, 10, 0}, 100, 16, 168, 90, 16, 16},
        {"non-zero minimum at its last position", kLength, {100, 199, 10, 0}, 190, 16, 168, 90, 16, 168},
        {"the widest range", kLength, {INT_MIN, INT_MAX, 10, 0}, INT_MIN, 16, 168, INT_MAX, 6, 16},
    };
    for (const Case& c : cases) {
        ScrollGeometry g = ComputeScrollGeometry(c.length, kCell, c.range, c.q);
        EXPECT_EQ(g.arrow, c.arrow) << c.what;
        EXPECT_EQ(g.track, c.track) << c.what;
        EXPECT_EQ(g.span, c.span) << c.what;
        EXPECT_EQ(g.thumb, c.thumb) << c.what;
        EXPECT_EQ(g.thumbStart, c.thumbStart) << c.what;
        EXPECT_LE(g.ThumbEnd(), c.length - g.arrow) << c.what;
    }
}

TEST(ScrollGeometryTest, MaxPositionStopsAPageShortOfTheMaximum) {
    EXPECT_EQ(ScrollMaxPos(kRows), 90);
    EXPECT_EQ(ScrollMaxPos({0, 99, 0, 0}), 99);
    EXPECT_EQ(ScrollMaxPos({0, 99, 1, 0}), 99);
    EXPECT_EQ(ScrollMaxPos({0, 99, 150, 0}), 0);
    EXPECT_EQ(ScrollMaxPos({100, 199, 10, 0}), 190);
}

TEST(ScrollHitTest, PartsAlongTheBar) {
    struct Case {
        int length;
        ScrollRange range;
        int q, along, part;
    };
    const Case cases[] = {
        {kLength, kRows, 0, -1, SCROLL_PART_NONE},
        {kLength, kRows, 0, 0, SCROLL_PART_LINE_UP},
        {kLength, kRows, 0, 15, SCROLL_PART_LINE_UP},
        {kLength, kRows, 0, 16, SCROLL_PART_THUMB},
        {kLength, kRows, 0, 31, SCROLL_PART_THUMB},
        {kLength, kRows, 0, 32, SCROLL_PART_PAGE_DOWN},
        {kLength, kRows, 0, 183, SCROLL_PART_PAGE_DOWN},
        {kLength, kRows, 0, 184, SCROLL_PART_LINE_DOWN},
        {kLength, kRows, 0, 199, SCROLL_PART_LINE_DOWN},
        {kLength, kRows, 0, 200, SCROLL_PART_NONE},
        {kLength, kRows, 45, 50, SCROLL_PART_PAGE_UP},
        {kLength, kRows, 45, 100, SCROLL_PART_THUMB},
        // Everything in view: no thumb is drawn, but the whole track hits one.
        {kLength, {0, 99, 100, 0}, 0, 100, SCROLL_PART_THUMB},
        // Two half-length arrows.
        {20, kRows, 0, 9, SCROLL_PART_LINE_UP},
        {20, kRows, 0, 10, SCROLL_PART_LINE_DOWN},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ScrollHitTest(c.length, kCell, c.range, c.q, c.along), c.part) << c.along << " at q " << c.q;
}

TEST(ScrollDragTest, PixelsMovedMapToPositionsWithinTheRange) {
    ScrollGeometry g = ComputeScrollGeometry(kLength, kCell, kRows, 0);
    struct Case {
        ScrollRange range;
        int pressPos, delta, pos;
    };
    const Case cases[] = {
        {kRows, 0, 152, 90},  // the whole way down: max - page + 1
        {kRows, 0, 76, 45},       // 76 * 90 / 152
        {kRows, 0, -10, 0},
        {kRows, 0, 1000, 90},
        {kRows, 0, 77, 45},  // 45.6, truncated
        {kRows, 45, -76, 0},
        {{100, 199, 10, 0}, 100, 76, 145},
        {{100, 199, 10, 0}, 100, -5, 100},
        {{100, 199, 10, 0}, 150, 9999, 190},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ScrollDragPosition(g, c.range, c.pressPos, c.delta), c.pos) << c.pressPos << " + " << c.delta;
    // A thumb that fills its track cannot move.
    ScrollGeometry full = ComputeScrollGeometry(kLength, kCell, {0, 99, 100, 0}, 0);
    full.thumb = full.track;
    EXPECT_EQ(ScrollDragPosition(full, {0, 99, 100, 0}, 0, 50), 0);
}

ScrollBarModel Bar(int pos = 0) {
    ScrollBarModel bar;
    bar.vertical = true;
    bar.cell = kCell;
    bar.length = kLength;
    bar.range = At(kRows, pos);
    return bar;
}

constexpr SkinPoint kDownArrow{8, 190};
constexpr SkinPoint kUpArrow{8, 4};

TEST(ScrollRepeatTest, ArrowSendsAtOnceAfter500AndEvery100UntilTheLastPosition) {
    ScrollBarModel bar = Bar(88);
    ScrollEffects fx = bar.Press(kDownArrow);
    EXPECT_EQ(fx.notices, (std::vector<ScrollNotice>{{SCROLL_PART_LINE_DOWN, 0}}));
    EXPECT_EQ(fx.startTimer, kScrollDelayTimer);
    EXPECT_EQ(fx.startElapse, 500);

    bar.range.pos = 89;  // the owner scrolled and told the bar
    fx = bar.Timer(kScrollDelayTimer, kDownArrow);
    EXPECT_EQ(fx.stopTimer, kScrollDelayTimer);
    EXPECT_EQ(fx.startTimer, kScrollRepeatTimer);
    EXPECT_EQ(fx.startElapse, 100);
    EXPECT_EQ(fx.notices, (std::vector<ScrollNotice>{{SCROLL_PART_LINE_DOWN, 0}}));

    bar.range.pos = 90;  // max - page + 1: the list cannot go further
    fx = bar.Timer(kScrollRepeatTimer, kDownArrow);
    EXPECT_TRUE(fx.notices.empty());
    EXPECT_EQ(fx.stopTimer, kScrollRepeatTimer);

    fx = bar.Release(kDownArrow);
    EXPECT_EQ(fx.stopTimer, kScrollRepeatTimer);
    EXPECT_EQ(bar.pressedPart, SCROLL_PART_NONE);
}

TEST(ScrollRepeatTest, ReleaseBeforeTheFirstRepeatStopsTheDelayTimer) {
    ScrollBarModel bar = Bar(10);
    bar.Press(kUpArrow);
    ScrollEffects fx = bar.Release(kUpArrow);
    EXPECT_EQ(fx.stopTimer, kScrollDelayTimer);
    EXPECT_TRUE(fx.notices.empty());
}

TEST(ScrollRepeatTest, UpArrowAtTheTopStopsAtTheFirstRepeat) {
    ScrollBarModel bar = Bar(0);
    EXPECT_EQ(bar.Press(kUpArrow).notices.size(), 1u);  // the press itself always sends
    ScrollEffects fx = bar.Timer(kScrollDelayTimer, kUpArrow);
    EXPECT_TRUE(fx.notices.empty());
    EXPECT_EQ(fx.stopTimer, kScrollDelayTimer);
    EXPECT_EQ(fx.startTimer, 0);
}

TEST(ScrollRepeatTest, NothingIsSentWhileTheCursorIsOffThePressedArrow) {
    ScrollBarModel bar = Bar(10);
    bar.Press(kDownArrow);
    bar.Timer(kScrollDelayTimer, kDownArrow);
    EXPECT_TRUE(bar.Move({8, 100}).repaint);
    EXPECT_EQ(bar.PartRow(SCROLL_PART_LINE_DOWN), 0);
    EXPECT_TRUE(bar.Timer(kScrollRepeatTimer, {8, 100}).notices.empty());
    bar.Move(kDownArrow);
    EXPECT_EQ(bar.PartRow(SCROLL_PART_LINE_DOWN), 2);
    EXPECT_EQ(bar.Timer(kScrollRepeatTimer, kDownArrow).notices.size(), 1u);
}

TEST(ScrollRepeatTest, TrackRepeatStopsWhenTheThumbReachesTheCursor) {
    ScrollBarModel bar = Bar(0);
    ScrollEffects fx = bar.Press({8, 100});
    EXPECT_EQ(fx.notices, (std::vector<ScrollNotice>{{SCROLL_PART_PAGE_DOWN, 0}}));
    bar.range.pos = 10;
    EXPECT_EQ(bar.Timer(kScrollDelayTimer, {8, 100}).notices.size(), 1u);
    bar.range.pos = 50;  // the thumb now covers 100..115
    fx = bar.Timer(kScrollRepeatTimer, {8, 100});
    EXPECT_TRUE(fx.notices.empty());
    EXPECT_EQ(fx.stopTimer, kScrollRepeatTimer);
}

TEST(ScrollRepeatTest, APressOnNoPartOrALostCaptureLeavesNothingRunning) {
    ScrollBarModel bar = Bar(10);
    ScrollEffects fx = bar.Press({30, 100});  // beside the bar
    EXPECT_TRUE(fx.notices.empty());
    EXPECT_EQ(fx.startTimer, 0);

    bar.Press(kDownArrow);
    bar.Timer(kScrollDelayTimer, kDownArrow);
    fx = bar.CaptureLost();
    EXPECT_EQ(fx.stopTimer, kScrollRepeatTimer);
    EXPECT_EQ(bar.pressedPart, SCROLL_PART_NONE);
    EXPECT_EQ(bar.Timer(kScrollRepeatTimer, kDownArrow).stopTimer, kScrollRepeatTimer);
    EXPECT_TRUE(bar.Timer(kScrollRepeatTimer, kDownArrow).notices.empty());
}

TEST(ScrollThumbDragTest, TrackOnlyOnChangeAndOnePositionOnRelease) {
    ScrollBarModel bar = Bar(0);
    ScrollEffects fx = bar.Press({8, 20});
    EXPECT_TRUE(bar.dragging);
    EXPECT_TRUE(fx.notices.empty());
    EXPECT_EQ(fx.startTimer, 0);
    EXPECT_EQ(bar.trackPos, 0);
    EXPECT_EQ(bar.PartRow(SCROLL_PART_THUMB), 2);

    EXPECT_TRUE(bar.Move({8, 20}).notices.empty());
    EXPECT_EQ(bar.Move({8, 96}).notices, (std::vector<ScrollNotice>{{kScrollThumbTrack, 45}}));
    EXPECT_TRUE(bar.Move({8, 97}).notices.empty());  // 45.6 is still 45
    EXPECT_EQ(bar.Move({8, 98}).notices, (std::vector<ScrollNotice>{{kScrollThumbTrack, 46}}));
    EXPECT_TRUE(bar.Move({30, 98}).notices.empty());  // off the bar sideways: same position
    EXPECT_EQ(bar.Geometry().thumbStart, 16 + 46 * 152 / 90);  // drawn where it is dragged

    fx = bar.Release({8, 98});
    EXPECT_EQ(fx.notices, (std::vector<ScrollNotice>{{kScrollThumbPosition, 46}}));
    EXPECT_FALSE(bar.dragging);
    EXPECT_EQ(bar.trackPos, -1);
    EXPECT_TRUE(bar.Release({8, 98}).notices.empty());

    bar.range.pos = 46;
    bar.Press({8, 100});
    EXPECT_EQ(bar.CaptureLost().notices, (std::vector<ScrollNotice>{{kScrollThumbPosition, 46}}));
}

TEST(ScrollHoverTest, ArrowsAndThumbLightUpTheTrackDoesNot) {
    ScrollBarModel bar = Bar(0);
    EXPECT_TRUE(bar.Move(kDownArrow).repaint);
    EXPECT_EQ(bar.PartRow(SCROLL_PART_LINE_DOWN), 1);
    EXPECT_TRUE(bar.Move({8, 100}).repaint);  // the arrow goes back to normal
    EXPECT_EQ(bar.PartRow(SCROLL_PART_LINE_DOWN), 0);
    EXPECT_FALSE(bar.Move({8, 120}).repaint);  // track to track
    EXPECT_TRUE(bar.Move({8, 20}).repaint);
    EXPECT_EQ(bar.PartRow(SCROLL_PART_THUMB), 1);
    EXPECT_TRUE(bar.Move({-1, -1}).repaint);  // the mouse left the bar
    EXPECT_EQ(bar.hoverPart, SCROLL_PART_NONE);
}

TEST(ScrollPaintTest, ArrowsTracksAndThumbCellsOfAVerticalBar) {
    ScrollBarModel bar = Bar(0);
    bar.hoverPart = SCROLL_PART_LINE_DOWN;
    std::vector<SkinBlit> blits = ScrollBarBlits(bar);
    ASSERT_FALSE(blits.empty());
    EXPECT_EQ(blits[0], (SkinBlit{{0, 0, 16, 16}, {0, 0, 16, 16}}));        // up arrow, normal
    EXPECT_EQ(blits[1], (SkinBlit{{16, 16, 32, 32}, {0, 184, 16, 200}}));   // down arrow, hover row
    // The track after the thumb, 32..184: nine whole cells and one cut to 8 rows.
    std::vector<SkinBlit> track;
    for (const SkinBlit& b : blits)
        if (b.src.left == 48) track.push_back(b);
    ASSERT_EQ(track.size(), 10u);
    EXPECT_EQ(track.front(), (SkinBlit{{48, 0, 64, 16}, {0, 32, 16, 48}}));
    EXPECT_EQ(track.back(), (SkinBlit{{48, 0, 64, 8}, {0, 176, 16, 184}}));
    // The thumb, 16..32: 3-row caps from both ends of its cell, the middle tiled.
    std::vector<SkinBlit> thumb;
    for (const SkinBlit& b : blits)
        if (b.src.left == 32) thumb.push_back(b);
    ASSERT_EQ(thumb.size(), 3u);
    EXPECT_EQ(thumb[0], (SkinBlit{{32, 0, 48, 3}, {0, 16, 16, 19}}));
    EXPECT_EQ(thumb[1], (SkinBlit{{32, 3, 48, 13}, {0, 19, 16, 29}}));
    EXPECT_EQ(thumb[2], (SkinBlit{{32, 13, 48, 16}, {0, 29, 16, 32}}));
}

TEST(ScrollPaintTest, HalfArrowsStretchAndAHorizontalBarSwapsTheAxes) {
    ScrollBarModel shortBar = Bar(0);
    shortBar.length = 20;
    std::vector<SkinBlit> blits = ScrollBarBlits(shortBar);
    ASSERT_EQ(blits.size(), 2u);  // two arrows, no track, no thumb
    EXPECT_EQ(blits[0], (SkinBlit{{0, 0, 16, 16}, {0, 0, 16, 10}}));
    EXPECT_EQ(blits[1], (SkinBlit{{16, 0, 32, 16}, {0, 10, 16, 20}}));

    ScrollBarModel across = Bar(0);
    across.vertical = false;
    across.pressedPart = SCROLL_PART_LINE_UP;
    blits = ScrollBarBlits(across);
    EXPECT_EQ(blits[0], (SkinBlit{{64, 32, 80, 48}, {0, 0, 16, 16}}));      // left arrow, pressed row
    EXPECT_EQ(blits[1], (SkinBlit{{80, 0, 96, 16}, {184, 0, 200, 16}}));    // right arrow
}

TEST(ScrollFrameLayoutTest, SystemBarsKeepExactlyOneCellOutsideTheClient) {
    // A 300 x 311 list whose system bars are 20 wide, skinned with 16-pixel cells.
    const SkinRect rightBar{0, 0, 280, 311};
    ScrollFrameBars right = LayOutScrollFrameBars(rightBar, true, false, false, 20, 16);
    EXPECT_EQ(right.client, (SkinRect{0, 0, 284, 311}));
    EXPECT_EQ(right.vertical, (SkinRect{284, 0, 300, 311}));
    EXPECT_EQ(right.horizontal, SkinRect{});
    EXPECT_EQ(right.cornerMode, 0);

    ScrollFrameBars left = LayOutScrollFrameBars({20, 0, 300, 291}, true, true, true, 20, 16);
    EXPECT_EQ(left.client, (SkinRect{16, 0, 300, 295}));
    EXPECT_EQ(left.vertical, (SkinRect{0, 0, 16, 295}));
    EXPECT_EQ(left.horizontal, (SkinRect{16, 295, 300, 311}));
    EXPECT_EQ(left.cornerMode, 1);

    EXPECT_EQ(LayOutScrollFrameBars({0, 0, 280, 291}, true, true, false, 20, 16).cornerMode, 2);
    // Cells as wide as the system bars leave the client as it was.
    EXPECT_EQ(LayOutScrollFrameBars(rightBar, true, false, false, 16, 16).client, rightBar);
}

TEST(ScrollFrameLayoutTest, InnerWindowClipsTheSystemBarsAway) {
    const SkinRect frame{0, 0, 300, 311};
    EXPECT_EQ(LayOutScrollFrameInner(frame, false, true, false, 16), (ScrollFrameInner{{0, 0, 284, 311}, 0}));
    EXPECT_EQ(LayOutScrollFrameInner(frame, true, true, true, 16), (ScrollFrameInner{{16, 0, 300, 295}, -16}));
    EXPECT_EQ(LayOutScrollFrameInner(frame, true, false, false, 16), (ScrollFrameInner{{0, 0, 300, 295}, 0}));
    EXPECT_EQ(LayOutScrollFrameInner(frame, false, false, false, 16), (ScrollFrameInner{frame, 0}));

    EXPECT_EQ(ScrollFrameCorner(frame, 2, 16), (SkinBlit{{128, 0, 144, 16}, {284, 295, 300, 311}}));
    EXPECT_EQ(ScrollFrameCorner(frame, 1, 16), (SkinBlit{{128, 16, 144, 32}, {0, 295, 16, 311}}));
    EXPECT_EQ(ScrollFrameCorner(frame, 0, 16), SkinBlit{});
}

}  // namespace
