// A skinned button's hover look and its hold on the mouse capture, apart from
// its window. A lit button holds the capture because that is how it learns
// that the pointer left it. The page buttons (CIrrButton) remember the
// capture they took; the state buttons (CSkinStateButton) ask the system
// whether they hold it and leave `captured` false. Both step through here;
// their windows only carry the steps out.
#pragma once

#include <optional>

struct HoverState {
    bool hovered = false;
    bool captured = false;  // the capture the button took and has not seen go
};

struct HoverStep {
    enum class Paint { None, Later, Now };
    bool takeCapture = false;
    bool releaseCapture = false;  // done before a capture is taken again
    Paint paint = Paint::None;    // Later invalidates; Now redraws at once
    bool operator==(const HoverStep&) const = default;
};

// The page button on a move, and again after a release: inside takes the
// capture and lights the button, outside lets both go. Redraws at once when
// the light changes, and always outside.
HoverStep PageButtonHover(HoverState& state, bool inside);
// Its press takes the capture, which it holds until the release.
HoverStep PageButtonPressed(HoverState& state);
// The release lets the capture go; the hover test runs after it (and takes
// the capture again when the pointer is still inside). Two steps, for letting
// the capture go tells the button at once that it went.
HoverStep PageButtonReleased(HoverState& state);
// A selection set by the owner, changed or not, ends a hover capture.
HoverStep PageButtonSelectionSet(HoverState& state);

// What a state button sees on a move.
struct StateButtonMove {
    bool leftHeld = false;      // the left button is down
    bool holdsCapture = false;  // the system says the button has the capture
    bool canTrack = false;      // the process has an active window and the button an owner
    bool over = false;          // the window under the pointer is the button
};
// A state button on a move. Nothing (not even the repaint and the move's
// relay to the parent) while the left button is held over a button that is
// not lit. Without the capture it lights and takes it; with it, a pointer
// found elsewhere puts the light out and lets the capture go, except while
// the left button is held: the system button needs the capture to see the
// release. Always repaints.
std::optional<HoverStep> StateButtonHover(HoverState& state, const StateButtonMove& move);
// The state button losing the focus puts its light out.
HoverStep StateButtonFocusLost(HoverState& state);

// Both kinds: the capture went to another window (WM_CAPTURECHANGED that
// names another window; taking the capture one holds already sends it too,
// and that is no loss). A button that was following the pointer stops:
// stillHeld, what the system says, is let go (the message comes after the
// capture moved, so it is never someone else's), and the button repaints. A
// button that remembered taking the capture forgets it and the light that
// came with it; a state button's light waits for its next move.
HoverStep HoverCaptureLost(HoverState& state, bool stillHeld);
