// The arithmetic of the picture bars and the mouse picture: how much of a
// bar's fill shows, where a progress message puts the bar, and which marker
// the mouse picture draws.
#pragma once

#include <cstdint>
#include <optional>

// Columns of the fill shown for pos on a bar width pixels wide:
// (pos - min) * width / (max - min), truncated, held within [0, width]. An
// empty or reversed range shows no fill.
int PngBarFillWidth(int pos, int min, int max, int width);

// The bar position a progress message asks for: the value itself when it lies
// in [min, max], else min, so a stray value shows an empty bar, never a full one.
int ProgressPositionFor(std::intptr_t value, int min, int max);

struct MarkerRect {
    int left, top, right, bottom;
    bool operator==(const MarkerRect&) const = default;
};

// The place of marker 1..5 over the mouse picture; none for any other number.
std::optional<MarkerRect> MouseMarkerRect(int marker);
