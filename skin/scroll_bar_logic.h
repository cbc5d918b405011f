// The skinned scroll bar's arithmetic and its mouse, apart from its window:
// where the arrows, tracks and thumb lie, which part a point hits, where a
// dragged thumb puts the position, the arrow repeat, which skin cells a paint
// copies, and how the scroll frame lays out its wrapped control.
#pragma once

#include <cstdint>
#include <vector>

#include "skin/button_logic.h"

// The parts of a bar, numbered like the scroll codes they send.
enum ScrollPart : int {
    SCROLL_PART_NONE = -1,
    SCROLL_PART_LINE_UP = 0,    // SB_LINEUP: up or left arrow
    SCROLL_PART_LINE_DOWN = 1,  // SB_LINEDOWN: down or right arrow
    SCROLL_PART_PAGE_UP = 2,    // SB_PAGEUP: track before the thumb
    SCROLL_PART_PAGE_DOWN = 3,  // SB_PAGEDOWN: track after the thumb
    SCROLL_PART_THUMB = 5,      // SB_THUMBTRACK
};

// The scroll codes the bar sends (the values of SB_*).
constexpr int kScrollThumbPosition = 4;  // SB_THUMBPOSITION
constexpr int kScrollThumbTrack = 5;     // SB_THUMBTRACK

// The bar's timers: the first repeat after 500 ms, then every 100 ms.
constexpr int kScrollDelayTimer = 200;
constexpr int kScrollDelayMs = 500;
constexpr int kScrollRepeatTimer = 100;
constexpr int kScrollRepeatMs = 100;

struct ScrollRange {
    int min = 0;
    int max = 0;
    int page = 0;
    int pos = 0;
    bool operator==(const ScrollRange&) const = default;
};

// The highest position the range lets the bar reach: max - page + 1 (max when
// the page is 0), never below min.
int ScrollMaxPos(const ScrollRange& range);

// Lengths along the bar. A range whose page reaches beyond it, an empty range
// and a minimum other than 0 all give a sound layout: no span below 0, no
// thumb without a range, a thumb no longer than the track, and positions
// counted from the minimum.
struct ScrollGeometry {
    int length = 0;      // L
    int arrow = 0;       // A: W, or half the bar when no track fits
    int track = 0;       // T
    int span = 0;        // S: the positions the thumb can take beyond the first
    int thumb = 0;       // K: 0 when there is no thumb
    int thumbStart = 0;  // along the bar
    int ThumbEnd() const { return thumbStart + thumb; }
};
// q is the position the thumb shows: the track position during a drag, else
// the position.
ScrollGeometry ComputeScrollGeometry(int length, int cell, const ScrollRange& range, int q);

// The interval [begin, end) of a part along the bar; empty for an unknown part.
struct ScrollSpan {
    int begin = 0;
    int end = 0;
    bool Contains(int v) const { return v >= begin && v < end; }
    bool operator==(const ScrollSpan&) const = default;
};
ScrollSpan ScrollPartSpan(const ScrollGeometry& g, int part);

// The part under a point at `along` on the bar (y of a vertical bar, x of a
// horizontal one). A thumb of the proportional length is hit wherever the
// track is long enough for one, even when the whole range is in view.
int ScrollHitTest(int length, int cell, const ScrollRange& range, int q, int along);

// The position a thumb dragged by `delta` pixels from where it was pressed
// shows, kept within the range.
int ScrollDragPosition(const ScrollGeometry& g, const ScrollRange& range, int pressPos, int delta);

// What the bar does after a mouse event or a timer: the scroll codes to send
// (in order), the timers to stop and start, and whether its look changed.
struct ScrollNotice {
    int code = 0;
    int pos = 0;  // the track position for the two thumb codes, else 0
    bool operator==(const ScrollNotice&) const = default;
};
struct ScrollEffects {
    std::vector<ScrollNotice> notices;
    int stopTimer = 0;   // 0: none
    int startTimer = 0;  // 0: none
    int startElapse = 0;
    bool repaint = false;
};

// The mouse on one bar. Coordinates are the bar's client coordinates; the
// owner keeps `range` in step with what it scrolls (SBM_SETSCROLLINFO).
class ScrollBarModel {
public:
    bool vertical = true;
    int cell = 16;    // W
    int length = 0;   // L
    ScrollRange range;
    int trackPos = -1;  // -1 unless the thumb is dragged
    bool dragging = false;
    SkinPoint pressPoint;
    int pressPos = 0;
    int pressedPart = SCROLL_PART_NONE;
    bool repeating = false;
    int hoverPart = SCROLL_PART_NONE;
    bool outside = false;

    ScrollGeometry Geometry() const;
    // The part's rectangle in the bar's client (across the bar 0..W).
    SkinRect PartRect(int part) const;
    int HitTest(SkinPoint pt) const;

    ScrollEffects Press(SkinPoint pt);
    ScrollEffects Move(SkinPoint pt);
    ScrollEffects Release(SkinPoint pt);
    // The capture went elsewhere in the middle of a press or a drag: it ends
    // there as a release would, so no repeat runs on with the button up.
    ScrollEffects CaptureLost();
    // `cursor`: where the cursor is now, for the track repeat.
    ScrollEffects Timer(int id, SkinPoint cursor);

    // Skin row of a part: 0 normal, 1 hover, 2 pressed (arrows and thumb).
    int PartRow(int part) const;

private:
    int Along(SkinPoint pt) const { return vertical ? pt.y : pt.x; }
    ScrollEffects Repeat(SkinPoint cursor);
};

// One copy from the skin bitmap into the bar: 1:1 when both sizes agree,
// else stretched.
struct SkinBlit {
    SkinRect src;
    SkinRect dst;
    bool operator==(const SkinBlit&) const = default;
};
// The skin is 9 columns of W x W cells in rows normal, hover, pressed.
enum ScrollSkinColumn : int {
    SCROLL_CELL_UP = 0,
    SCROLL_CELL_DOWN = 1,
    SCROLL_CELL_VTHUMB = 2,
    SCROLL_CELL_VTRACK = 3,
    SCROLL_CELL_LEFT = 4,
    SCROLL_CELL_RIGHT = 5,
    SCROLL_CELL_HTHUMB = 6,
    SCROLL_CELL_HTRACK = 7,
    SCROLL_CELL_CORNER = 8,
};
SkinRect ScrollSkinCell(int cell, int column, int row);
// Everything a paint of the bar copies: both arrows, both track parts tiled
// with the track cell, and the thumb as two 3-pixel caps with its middle tiled.
std::vector<SkinBlit> ScrollBarBlits(const ScrollBarModel& bar);

// The scroll frame around a wrapped control.
struct ScrollFrameBars {
    SkinRect client;  // the control's new client rectangle
    SkinRect vertical;
    SkinRect horizontal;
    int cornerMode = 0;  // 0 none, 1 bottom left, 2 bottom right
};
// The control's client rectangle after its own non-client layout (relative to
// its window's origin) widened so that exactly `cell` pixels of each system
// bar (systemBar wide) stay outside it, and the skin bars placed there.
ScrollFrameBars LayOutScrollFrameBars(SkinRect client, bool hasVertical, bool hasHorizontal, bool verticalOnLeft,
                                      int systemBar, int cell);

// Where the inner window goes in the frame's client, and the control's x in it.
struct ScrollFrameInner {
    SkinRect inner;
    int controlX = 0;
    bool operator==(const ScrollFrameInner&) const = default;
};
ScrollFrameInner LayOutScrollFrameInner(SkinRect frameClient, bool horizontalVisible, bool hasVertical,
                                        bool verticalOnLeft, int cell);

// The corner box's cell and place, or an empty rectangle for mode 0.
SkinBlit ScrollFrameCorner(SkinRect frameClient, int cornerMode, int cell);
