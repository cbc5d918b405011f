// The arithmetic of the slider and the battery bar, apart from their windows:
// the value under the cursor, where the thumb goes, how much of the battery
// fill shows, and the slider's drag.
#pragma once

#include "skin/button_logic.h"

// The value at x (in the owner's client coordinates) on a track from
// trackLeft to trackRight: x is raised to the left end, the result clamped to
// [min, max]. An empty range or a track without width gives min.
int SliderValueFromX(int x, int trackLeft, int trackRight, int min, int max);

// The thumb's centre in the bar: at thumbWidth / 2 for the minimum and for an
// empty range.
int SliderThumbCentre(int pos, int min, int max, int trackWidth, int thumbWidth);

// The part of the battery fill image that shows: horizontal bars reveal it from
// the left, vertical ones from the bottom. No fill for an empty range; a level
// outside the range counts as its nearest end.
struct BatteryFill {
    bool drawn = false;
    int width = 0;  // horizontal: columns from the left
    int top = 0;    // vertical: the first row shown, down to the image's bottom
    bool operator==(const BatteryFill&) const = default;
};
BatteryFill BatteryFillPart(bool horizontal, int barWidth, int barHeight, int fillImageHeight, int pos, int min,
                            int max);

enum class SliderNoticeKind { None, Moving, Released };
struct SliderNotice {
    SliderNoticeKind kind = SliderNoticeKind::None;
    int value = 0;
    bool operator==(const SliderNotice&) const = default;
};

// The slider's members as its owner sets them, and the drag. Each event
// returns what the bar posts to its owner; only accepted values (at least
// m_minReport) move m_pos.
class SliderModel {
public:
    int m_locked = 0;       // 1: the mouse does nothing at all
    int m_dragging = 0;
    SkinRect m_trackRect;   // in the owner's client coordinates
    int m_min = 0;
    int m_max = 0;
    int m_pos = 0;
    int m_minReport = 0;
    int m_dragEnabled = 0;

    // True when the bar should take the mouse capture.
    bool Press();
    // x in the owner's client coordinates.
    SliderNotice Move(int x);
    SliderNotice Release(int x);
    // The capture went elsewhere, or the focus did, in the middle of a drag:
    // the drag ends as a release where the thumb last was, so the owner never
    // keeps a value it was shown but not told to apply.
    SliderNotice DragInterrupted();

private:
    SliderNotice Accept(SliderNoticeKind kind, int x);
};
