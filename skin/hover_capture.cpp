#include "skin/hover_capture.h"

HoverStep PageButtonHover(HoverState& state, bool inside) {
    HoverStep step;
    if (inside) {
        if (!state.captured) {
            step.takeCapture = true;
            state.captured = true;
        }
        if (!state.hovered) {
            state.hovered = true;
            step.paint = HoverStep::Paint::Now;
        }
    } else {
        if (state.captured) {
            step.releaseCapture = true;
            state.captured = false;
        }
        state.hovered = false;
        step.paint = HoverStep::Paint::Now;
    }
    return step;
}

HoverStep PageButtonPressed(HoverState& state) {
    HoverStep step;
    if (!state.captured) {
        step.takeCapture = true;
        state.captured = true;
    }
    return step;
}

HoverStep PageButtonReleased(HoverState& state) {
    HoverStep step;
    if (state.captured) {
        state.captured = false;
        step.releaseCapture = true;
    }
    return step;
}

HoverStep PageButtonSelectionSet(HoverState& state) {
    HoverStep step;
    if (state.captured) {
        state.captured = false;
        state.hovered = false;
        step.releaseCapture = true;
        step.paint = HoverStep::Paint::Now;
    }
    return step;
}

std::optional<HoverStep> StateButtonHover(HoverState& state, const StateButtonMove& move) {
    if (move.leftHeld && !state.hovered) return std::nullopt;
    HoverStep step;
    step.paint = HoverStep::Paint::Later;
    if (!move.holdsCapture && move.canTrack) {
        state.hovered = true;
        step.takeCapture = true;
    } else if (!move.over) {
        state.hovered = false;
        step.releaseCapture = !move.leftHeld && move.holdsCapture;
    }
    return step;
}

HoverStep StateButtonFocusLost(HoverState& state) {
    state.hovered = false;
    return HoverStep{false, false, HoverStep::Paint::Later};
}

HoverStep HoverCaptureLost(HoverState& state, bool stillHeld) {
    if (!state.hovered && !state.captured) return {};
    if (state.captured) state.hovered = false;
    state.captured = false;
    return HoverStep{false, stillHeld, HoverStep::Paint::Later};
}
