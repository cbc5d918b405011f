// Where a small skinned box goes: on its owner's top-left corner, with the
// size of its background image, or centred on the screen's work area when it
// has no owner. The boxes never centre over their owner: they line up with
// the main window's corner, the way the whole skin is drawn.
#pragma once

#include <optional>

struct DialogPoint {
    int x = 0;
    int y = 0;
    bool operator==(const DialogPoint&) const = default;
};

// ownerTopLeft: the owner's top-left corner in screen coordinates, if the box
// has an owner. screenWidth/screenHeight: the full-screen client area.
DialogPoint SkinnedDialogOrigin(std::optional<DialogPoint> ownerTopLeft, int screenWidth, int screenHeight,
                                int width, int height);
