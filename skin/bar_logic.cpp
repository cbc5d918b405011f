#include "skin/bar_logic.h"

#include <algorithm>
#include <cstdint>

int SliderValueFromX(int x, int trackLeft, int trackRight, int min, int max) {
    int width = trackRight - trackLeft;
    if (width <= 0 || max == min) return min;
    x = std::max(x, trackLeft);
    int64_t v = min + static_cast<int64_t>(max - min) * (x - trackLeft) / width;
    int64_t lo = std::min(min, max), hi = std::max(min, max);
    return static_cast<int>(std::clamp(v, lo, hi));
}

int SliderThumbCentre(int pos, int min, int max, int trackWidth, int thumbWidth) {
    if (max == min) return thumbWidth / 2;
    return static_cast<int>(static_cast<int64_t>(pos - min) * (trackWidth - thumbWidth) / (max - min)) +
           thumbWidth / 2;
}

BatteryFill BatteryFillPart(bool horizontal, int barWidth, int barHeight, int fillImageHeight, int pos, int min,
                            int max) {
    if (max == min) return {};
    pos = std::clamp(pos, std::min(min, max), std::max(min, max));
    BatteryFill fill;
    fill.drawn = true;
    if (horizontal) {
        int f = static_cast<int>(static_cast<int64_t>(barWidth - 40) * (pos - min) / (max - min));
        fill.width = std::max(f + 18, 0);
    } else {
        int f = static_cast<int>(static_cast<int64_t>(barHeight - 11) * (pos - min) / (max - min));
        fill.top = std::clamp(fillImageHeight - f - 5, 0, std::max(fillImageHeight, 0));
    }
    return fill;
}

bool SliderModel::Press() {
    if (m_locked || !m_dragEnabled) return false;
    m_dragging = 1;
    return true;
}

SliderNotice SliderModel::Accept(SliderNoticeKind kind, int x) {
    int v = SliderValueFromX(x, m_trackRect.left, m_trackRect.right, m_min, m_max);
    if (v < m_minReport) return {};
    m_pos = v;
    return {kind, v};
}

SliderNotice SliderModel::Move(int x) {
    if (m_locked || !m_dragging) return {};
    return Accept(SliderNoticeKind::Moving, x);
}

SliderNotice SliderModel::Release(int x) {
    if (m_locked) return {};
    m_dragging = 0;
    // Reported with or without a drag: a plain click sets the value too.
    return Accept(SliderNoticeKind::Released, x);
}

SliderNotice SliderModel::DragInterrupted() {
    if (!m_dragging) return {};
    m_dragging = 0;
    if (m_locked) return {};
    return {SliderNoticeKind::Released, m_pos};
}
