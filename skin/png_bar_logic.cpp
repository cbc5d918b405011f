#include "skin/png_bar_logic.h"

#include <algorithm>

int PngBarFillWidth(int pos, int min, int max, int width) {
    if (max <= min || width <= 0) return 0;
    const long long fill = (static_cast<long long>(pos) - min) * width / (static_cast<long long>(max) - min);
    return static_cast<int>(std::clamp<long long>(fill, 0, width));
}

int ProgressPositionFor(std::intptr_t value, int min, int max) {
    return value >= min && value <= max ? static_cast<int>(value) : min;
}

std::optional<MarkerRect> MouseMarkerRect(int marker) {
    static constexpr MarkerRect kMarkers[5] = {
        {30, 59, 62, 91}, {153, 59, 185, 91}, {87, 48, 119, 80}, {10, 129, 42, 161}, {10, 195, 42, 227},
    };
    if (marker < 1 || marker > 5) return std::nullopt;
    return kMarkers[marker - 1];
}
