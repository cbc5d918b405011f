// The picture bars' fill, the progress position rule and the mouse markers.
#include <gtest/gtest.h>

#include <cstdint>

#include "skin/png_bar_logic.h"

namespace {

TEST(PngBarFillTest, FillWidthTable) {
    struct Case {
        int pos, min, max, width, fill;
    };
    const Case cases[] = {
        {0, 0, 100, 260, 0},      // the minimum: track only
        {100, 0, 100, 260, 260},  // the maximum: the whole fill
        {50, 0, 100, 260, 130},
        {1, 0, 100, 260, 2},      // 260 / 100 truncated
        {99, 0, 100, 260, 257},
        {5, 0, 10, 260, 130},     // the range a bar has after Create
        {150, 0, 100, 260, 260},  // past the maximum: held at the bar's end
        {-20, 0, 100, 260, 0},    // below the minimum: no fill
        {7, 7, 7, 260, 0},        // an empty range divides by nothing
        {5, 10, 0, 260, 0},       // a reversed range
        {60, 20, 120, 200, 80},   // a range that does not start at 0
        {50, 0, 100, 0, 0},       // a bar without width
        {2000000000, 0, 2100000000, 2000, 1904},  // no overflow on the way
    };
    for (const Case& c : cases)
        EXPECT_EQ(PngBarFillWidth(c.pos, c.min, c.max, c.width), c.fill)
            << c.pos << " of " << c.min << ".." << c.max << " on " << c.width;
}

TEST(ProgressPositionTest, OutOfRangeShowsEmptyNeverFull) {
    struct Case {
        std::intptr_t value;
        int pos;
    };
    const Case cases[] = {
        {0, 0}, {15, 15}, {100, 100},  // in range, also going back: each sets the bar anew
        {101, 0}, {-1, 0}, {-100, 0}, {1000000, 0},
        // A negative int posted as an unsigned WPARAM reads back as itself.
        {static_cast<std::intptr_t>(static_cast<std::uintptr_t>(-5)), 0},
    };
    for (const Case& c : cases) EXPECT_EQ(ProgressPositionFor(c.value, 0, 100), c.pos) << c.value;
}

TEST(MouseMarkerTest, MarkersOneToFiveOnlyEachA32PixelSquare) {
    for (int marker = 1; marker <= 5; ++marker) {
        std::optional<MarkerRect> r = MouseMarkerRect(marker);
        ASSERT_TRUE(r.has_value()) << marker;
        EXPECT_EQ(r->right - r->left, 32) << marker;
        EXPECT_EQ(r->bottom - r->top, 32) << marker;
    }
    EXPECT_EQ(MouseMarkerRect(3), (MarkerRect{87, 48, 119, 80}));
    for (int none : {0, 6, -1, 100}) EXPECT_FALSE(MouseMarkerRect(none).has_value()) << none;
}

}  // namespace
