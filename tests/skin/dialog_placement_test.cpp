// Where a skinned box goes, with and without an owner.
#include <gtest/gtest.h>

#include "skin/dialog_placement.h"

namespace {

TEST(SkinnedDialogOriginTest, OwnerCornerOrCentredOnTheScreen) {
    struct Case {
        std::optional<DialogPoint> owner;
        int screenW, screenH, w, h;
        DialogPoint origin;
    };
    const Case cases[] = {
        // The owner's corner, whatever the box's size: never centred over it.
        {DialogPoint{300, 200}, 1920, 1040, 425, 200, {300, 200}},
        {DialogPoint{-1500, -20}, 1920, 1040, 425, 200, {-1500, -20}},  // a monitor left of the main one
        {DialogPoint{0, 0}, 1920, 1040, 0, 0, {0, 0}},
        // No owner: centred on the full-screen area, halves truncated.
        {std::nullopt, 1920, 1040, 425, 200, {747, 420}},
        {std::nullopt, 1920, 1040, 0, 0, {960, 520}},  // a missing image leaves a box of no size
        {std::nullopt, 800, 600, 1000, 700, {-100, -50}},  // larger than the screen
    };
    for (const Case& c : cases)
        EXPECT_EQ(SkinnedDialogOrigin(c.owner, c.screenW, c.screenH, c.w, c.h), c.origin)
            << (c.owner ? "owned" : "unowned") << " " << c.w << "x" << c.h;
}

}  // namespace
