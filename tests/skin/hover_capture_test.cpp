// The hover and capture steps of both kinds of skinned button, without windows.
#include <gtest/gtest.h>

#include <optional>

#include "skin/hover_capture.h"

namespace {

using Paint = HoverStep::Paint;

TEST(IrrHoverTest, CaptureFollowsTheCursor) {
    HoverState s;
    EXPECT_EQ(PageButtonHover(s, true), (HoverStep{true, false, Paint::Now}));
    EXPECT_TRUE(s.hovered && s.captured);
    EXPECT_EQ(PageButtonHover(s, true), (HoverStep{}));  // nothing changes, nothing redrawn
    EXPECT_EQ(PageButtonHover(s, false), (HoverStep{false, true, Paint::Now}));
    EXPECT_FALSE(s.hovered || s.captured);
    EXPECT_EQ(PageButtonHover(s, false), (HoverStep{false, false, Paint::Now}));
    // Captured by the press but not yet hovered: lights up without a second capture.
    HoverState pressed{false, true};
    EXPECT_EQ(PageButtonHover(pressed, true), (HoverStep{false, false, Paint::Now}));
}

TEST(HoverCaptureTest, PageButtonHoldsTheCaptureFromPressToReleaseAndGivesItUpToASelection) {
    HoverState s{true, true};
    EXPECT_EQ(PageButtonPressed(s), (HoverStep{}));  // held since the hover: not taken twice
    EXPECT_EQ(PageButtonReleased(s), (HoverStep{false, true, Paint::None}));
    EXPECT_TRUE(s.hovered);
    EXPECT_FALSE(s.captured);
    // Still inside after the release: the hover test takes the capture again.
    EXPECT_EQ(PageButtonHover(s, true), (HoverStep{true, false, Paint::None}));

    EXPECT_EQ(PageButtonSelectionSet(s), (HoverStep{false, true, Paint::Now}));
    EXPECT_FALSE(s.hovered || s.captured);
    EXPECT_EQ(PageButtonSelectionSet(s), (HoverStep{}));  // no capture, nothing to end

    HoverState idle;
    EXPECT_EQ(PageButtonPressed(idle), (HoverStep{true, false, Paint::None}));
    EXPECT_TRUE(idle.captured);
    EXPECT_FALSE(idle.hovered);
}

TEST(HoverCaptureTest, StateButtonMoves) {
    struct Case {
        const char* what;
        bool hovered;
        StateButtonMove move;  // leftHeld, holdsCapture, canTrack, over
        bool hoveredAfter;
        std::optional<HoverStep> step;
    };
    const HoverStep repaint{false, false, Paint::Later};
    const HoverStep take{true, false, Paint::Later};
    const HoverStep release{false, true, Paint::Later};
    const Case cases[] = {
        {"first move over it: lights and takes the capture", false, {false, false, true, true}, true, take},
        {"no active window: not followed, only repainted", false, {false, false, false, true}, false, repaint},
        {"moving on over it", true, {false, true, true, true}, true, repaint},
        {"found elsewhere: dark and let go", true, {false, true, true, false}, false, release},
        {"dragged off while held: dark but the capture stays", true, {true, true, true, false}, false, repaint},
        {"held over a button that is not lit: nothing at all", false, {true, true, true, true}, false, std::nullopt},
        {"held and lit, without the capture: takes it", true, {true, false, true, true}, true, take},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        HoverState s{c.hovered, false};
        EXPECT_EQ(StateButtonHover(s, c.move), c.step);
        EXPECT_EQ(s.hovered, c.hoveredAfter);
        EXPECT_FALSE(s.captured);
    }
    HoverState lit{true, false};
    EXPECT_EQ(StateButtonFocusLost(lit), repaint);
    EXPECT_FALSE(lit.hovered);
}

TEST(HoverCaptureTest, ACaptureTakenElsewhereEndsTheFollowingOfBothKinds) {
    struct Case {
        const char* what;
        HoverState before;
        bool stillHeld;
        HoverState after;
        HoverStep step;
    };
    const Case cases[] = {
        // Its light came with the capture it took: both go.
        {"page button", {true, true}, false, {false, false}, {false, false, Paint::Later}},
        // Lit by the pointer over it: the light waits for the next move.
        {"state button", {true, false}, false, {true, false}, {false, false, Paint::Later}},
        {"state button still holding it", {true, false}, true, {true, false}, {false, true, Paint::Later}},
        {"a button that followed nothing", {false, false}, true, {false, false}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        HoverState s = c.before;
        EXPECT_EQ(HoverCaptureLost(s, c.stillHeld), c.step);
        EXPECT_EQ(s.hovered, c.after.hovered);
        EXPECT_EQ(s.captured, c.after.captured);
    }
}

}  // namespace
