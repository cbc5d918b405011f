#include "skin/scroll_bar_logic.h"

#include <algorithm>
#include <cstdint>

namespace {

// Lengths of a range: long long, as max - min + 1 of an int range can overflow.
long long RangeLength(const ScrollRange& r) {
    return static_cast<long long>(r.max) - r.min + 1;
}

int Span(const ScrollRange& r) {
    long long page = std::max(r.page, 0);
    long long span = RangeLength(r) - page;
    return static_cast<int>(std::clamp<long long>(span, 0, INT32_MAX));
}

int ProportionalThumb(const ScrollRange& r, int track) {
    long long length = RangeLength(r);
    if (track <= 5 || length <= 0) return 0;
    long long page = std::max(r.page, 0);
    long long thumb = std::max<long long>(page * track / length, 6);
    return static_cast<int>(std::min<long long>(thumb, track));
}

ScrollGeometry Layout(int length, int cell, const ScrollRange& range, int q, int thumb) {
    ScrollGeometry g;
    g.length = std::max(length, 0);
    g.track = std::max(g.length - 2 * cell, 0);
    g.arrow = g.track == 0 ? g.length / 2 : cell;
    g.span = Span(range);
    g.thumb = thumb;
    if (g.span != 0) {
        long long offset = std::clamp<long long>(static_cast<long long>(q) - range.min, 0, g.span);
        g.thumbStart = g.arrow + static_cast<int>(offset * (g.track - g.thumb) / g.span);
    } else {
        g.thumbStart = g.arrow + (g.track - g.thumb) / 2;
    }
    return g;
}

}  // namespace

int ScrollMaxPos(const ScrollRange& range) {
    long long top = static_cast<long long>(range.max) - std::max(range.page - 1, 0);
    return static_cast<int>(std::max<long long>(top, range.min));
}

ScrollGeometry ComputeScrollGeometry(int length, int cell, const ScrollRange& range, int q) {
    int track = std::max(std::max(length, 0) - 2 * cell, 0);
    int thumb = Span(range) == 0 ? 0 : ProportionalThumb(range, track);
    return Layout(length, cell, range, q, thumb);
}

ScrollSpan ScrollPartSpan(const ScrollGeometry& g, int part) {
    switch (part) {
    case SCROLL_PART_LINE_UP:
        return {0, g.arrow};
    case SCROLL_PART_PAGE_UP:
        return {g.arrow, g.thumbStart};
    case SCROLL_PART_THUMB:
        return {g.thumbStart, g.ThumbEnd()};
    case SCROLL_PART_PAGE_DOWN:
        return {g.ThumbEnd(), g.length - g.arrow};
    case SCROLL_PART_LINE_DOWN:
        return {g.length - g.arrow, g.length};
    default:
        return {};
    }
}

int ScrollHitTest(int length, int cell, const ScrollRange& range, int q, int along) {
    if (along < 0) return SCROLL_PART_NONE;
    int track = std::max(std::max(length, 0) - 2 * cell, 0);
    ScrollGeometry g = Layout(length, cell, range, q, ProportionalThumb(range, track));
    for (int part : {SCROLL_PART_LINE_UP, SCROLL_PART_PAGE_UP, SCROLL_PART_THUMB, SCROLL_PART_PAGE_DOWN,
                     SCROLL_PART_LINE_DOWN}) {
        if (ScrollPartSpan(g, part).Contains(along)) return part;
    }
    return SCROLL_PART_NONE;
}

int ScrollDragPosition(const ScrollGeometry& g, const ScrollRange& range, int pressPos, int delta) {
    long long moved = 0;
    if (g.track > g.thumb) moved = static_cast<long long>(delta) * g.span / (g.track - g.thumb);
    long long pos = std::clamp<long long>(pressPos + moved, range.min, ScrollMaxPos(range));
    return static_cast<int>(pos);
}

ScrollGeometry ScrollBarModel::Geometry() const {
    return ComputeScrollGeometry(length, cell, range, dragging ? trackPos : range.pos);
}

SkinRect ScrollBarModel::PartRect(int part) const {
    ScrollSpan s = ScrollPartSpan(Geometry(), part);
    if (vertical) return {0, s.begin, cell, s.end};
    return {s.begin, 0, s.end, cell};
}

int ScrollBarModel::HitTest(SkinPoint pt) const {
    int across = vertical ? pt.x : pt.y;
    if (across < 0 || across >= cell) return SCROLL_PART_NONE;
    return ScrollHitTest(length, cell, range, dragging ? trackPos : range.pos, Along(pt));
}

ScrollEffects ScrollBarModel::Press(SkinPoint pt) {
    ScrollEffects fx;
    if (dragging || pressedPart != SCROLL_PART_NONE) return fx;
    int part = HitTest(pt);
    if (part == SCROLL_PART_THUMB) {
        dragging = true;
        pressPoint = pt;
        pressPos = range.pos;
        trackPos = range.pos;
        fx.repaint = true;
    } else if (part != SCROLL_PART_NONE) {
        pressedPart = part;
        repeating = false;
        outside = false;
        fx.notices.push_back({part, 0});
        fx.startTimer = kScrollDelayTimer;
        fx.startElapse = kScrollDelayMs;
        fx.repaint = true;
    }
    return fx;
}

ScrollEffects ScrollBarModel::Move(SkinPoint pt) {
    ScrollEffects fx;
    if (dragging) {
        int next = ScrollDragPosition(Geometry(), range, pressPos, Along(pt) - Along(pressPoint));
        if (next != trackPos) {
            trackPos = next;
            fx.notices.push_back({kScrollThumbTrack, trackPos});
            fx.repaint = true;
        }
        return fx;
    }
    if (pressedPart != SCROLL_PART_NONE) {
        SkinRect r = PartRect(pressedPart);
        bool out = !(pt.x >= r.left && pt.x < r.right && pt.y >= r.top && pt.y < r.bottom);
        if (out != outside) {
            outside = out;
            fx.repaint = true;
        }
        return fx;
    }
    int part = HitTest(pt);
    if (part != hoverPart) {
        auto hasLook = [](int p) {
            return p == SCROLL_PART_LINE_UP || p == SCROLL_PART_LINE_DOWN || p == SCROLL_PART_THUMB;
        };
        fx.repaint = hasLook(part) || hasLook(hoverPart);
        hoverPart = part;
    }
    return fx;
}

ScrollEffects ScrollBarModel::Release(SkinPoint pt) {
    ScrollEffects fx;
    if (dragging) {
        dragging = false;
        fx.notices.push_back({kScrollThumbPosition, trackPos});
        trackPos = -1;
        hoverPart = HitTest(pt);
        fx.repaint = true;
    } else if (pressedPart != SCROLL_PART_NONE) {
        fx.stopTimer = repeating ? kScrollRepeatTimer : kScrollDelayTimer;
        pressedPart = SCROLL_PART_NONE;
        repeating = false;
        outside = false;
        fx.repaint = true;
    }
    return fx;
}

ScrollEffects ScrollBarModel::CaptureLost() {
    return Release({-1, -1});
}

ScrollEffects ScrollBarModel::Timer(int id, SkinPoint cursor) {
    if (id == kScrollDelayTimer) {
        // The first repeat: from now on the fast timer runs, unless this very
        // step already finds the end.
        ScrollEffects fx;
        fx.stopTimer = kScrollDelayTimer;
        if (pressedPart == SCROLL_PART_NONE) return fx;
        repeating = true;
        ScrollEffects step = Repeat(cursor);
        fx.notices = step.notices;
        if (step.stopTimer == 0) {
            fx.startTimer = kScrollRepeatTimer;
            fx.startElapse = kScrollRepeatMs;
        }
        return fx;
    }
    if (id == kScrollRepeatTimer) {
        if (pressedPart == SCROLL_PART_NONE) {
            ScrollEffects fx;
            fx.stopTimer = kScrollRepeatTimer;
            return fx;
        }
        return Repeat(cursor);
    }
    return {};
}

ScrollEffects ScrollBarModel::Repeat(SkinPoint cursor) {
    ScrollEffects fx;
    if (outside) return fx;
    bool atEnd = false;
    switch (pressedPart) {
    case SCROLL_PART_LINE_UP:
        atEnd = range.pos <= range.min;
        break;
    case SCROLL_PART_LINE_DOWN:
        // The position tops out at max - page + 1, not at max.
        atEnd = range.pos >= ScrollMaxPos(range);
        break;
    case SCROLL_PART_PAGE_UP:
    case SCROLL_PART_PAGE_DOWN:
        atEnd = HitTest(cursor) == SCROLL_PART_THUMB;
        break;
    default:
        atEnd = true;
        break;
    }
    if (atEnd)
        fx.stopTimer = kScrollRepeatTimer;
    else
        fx.notices.push_back({pressedPart, 0});
    return fx;
}

int ScrollBarModel::PartRow(int part) const {
    switch (part) {
    case SCROLL_PART_THUMB:
        if (dragging) return 2;
        return hoverPart == part && pressedPart == SCROLL_PART_NONE ? 1 : 0;
    case SCROLL_PART_LINE_UP:
    case SCROLL_PART_LINE_DOWN:
        if (pressedPart == part) return outside ? 0 : 2;
        return hoverPart == part && pressedPart == SCROLL_PART_NONE && !dragging ? 1 : 0;
    default:
        return 0;
    }
}

SkinRect ScrollSkinCell(int cell, int column, int row) {
    return {column * cell, row * cell, column * cell + cell, row * cell + cell};
}

namespace {

// A rectangle from a stretch along the bar and the bar's thickness across it.
SkinRect AlongRect(bool vertical, int begin, int end, int acrossBegin, int acrossEnd) {
    if (vertical) return {acrossBegin, begin, acrossEnd, end};
    return {begin, acrossBegin, end, acrossEnd};
}

// Copies of the cell stretch [srcBegin, srcEnd) along the bar, laid end to
// end over [begin, end) and cut at its end.
void Tile(std::vector<SkinBlit>& out, bool vertical, const SkinRect& cellRect, int srcBegin, int srcEnd, int begin,
          int end, int cell) {
    int piece = srcEnd - srcBegin;
    if (piece <= 0) return;
    int cellAlong = vertical ? cellRect.top : cellRect.left;
    int cellAcross = vertical ? cellRect.left : cellRect.top;
    for (int at = begin; at < end; at += piece) {
        int n = std::min(piece, end - at);
        out.push_back({AlongRect(vertical, cellAlong + srcBegin, cellAlong + srcBegin + n, cellAcross, cellAcross + cell),
                       AlongRect(vertical, at, at + n, 0, cell)});
    }
}

}  // namespace

std::vector<SkinBlit> ScrollBarBlits(const ScrollBarModel& bar) {
    std::vector<SkinBlit> out;
    const int w = bar.cell;
    if (w <= 0) return out;
    const bool v = bar.vertical;
    ScrollGeometry g = bar.Geometry();
    auto span = [&](int part) { return ScrollPartSpan(g, part); };

    for (int part : {SCROLL_PART_LINE_UP, SCROLL_PART_LINE_DOWN}) {
        ScrollSpan s = span(part);
        if (s.end <= s.begin) continue;
        int column = part == SCROLL_PART_LINE_UP ? (v ? SCROLL_CELL_UP : SCROLL_CELL_LEFT)
                                                 : (v ? SCROLL_CELL_DOWN : SCROLL_CELL_RIGHT);
        out.push_back({ScrollSkinCell(w, column, bar.PartRow(part)), AlongRect(v, s.begin, s.end, 0, w)});
    }

    SkinRect track = ScrollSkinCell(w, v ? SCROLL_CELL_VTRACK : SCROLL_CELL_HTRACK, 0);
    for (int part : {SCROLL_PART_PAGE_UP, SCROLL_PART_PAGE_DOWN}) {
        ScrollSpan s = span(part);
        Tile(out, v, track, 0, w, s.begin, s.end, w);
    }

    if (g.thumb > 0) {
        SkinRect thumb = ScrollSkinCell(w, v ? SCROLL_CELL_VTHUMB : SCROLL_CELL_HTHUMB, bar.PartRow(SCROLL_PART_THUMB));
        int begin = g.thumbStart;
        int end = g.ThumbEnd();
        if (w < 7 || end - begin < 6) {
            out.push_back({thumb, AlongRect(v, begin, end, 0, w)});
        } else {
            Tile(out, v, thumb, 0, 3, begin, begin + 3, w);
            Tile(out, v, thumb, 3, w - 3, begin + 3, end - 3, w);
            Tile(out, v, thumb, w - 3, w, end - 3, end, w);
        }
    }
    return out;
}

ScrollFrameBars LayOutScrollFrameBars(SkinRect client, bool hasVertical, bool hasHorizontal, bool verticalOnLeft,
                                      int systemBar, int cell) {
    ScrollFrameBars out;
    const int grow = systemBar - cell;
    if (hasVertical) {
        if (verticalOnLeft)
            client.left -= grow;
        else
            client.right += grow;
    }
    if (hasHorizontal) client.bottom += grow;
    if (hasVertical) {
        out.vertical = verticalOnLeft ? SkinRect{client.left - cell, client.top, client.left, client.bottom}
                                      : SkinRect{client.right, client.top, client.right + cell, client.bottom};
    }
    if (hasHorizontal) out.horizontal = {client.left, client.bottom, client.right, client.bottom + cell};
    out.client = client;
    out.cornerMode = hasVertical && hasHorizontal ? (verticalOnLeft ? 1 : 2) : 0;
    return out;
}

ScrollFrameInner LayOutScrollFrameInner(SkinRect frameClient, bool horizontalVisible, bool hasVertical,
                                        bool verticalOnLeft, int cell) {
    ScrollFrameInner out;
    out.inner = frameClient;
    if (horizontalVisible) out.inner.bottom -= cell;
    if (hasVertical && verticalOnLeft) {
        out.inner.left += cell;
        out.controlX = -cell;
    } else if (hasVertical) {
        out.inner.right -= cell;
    }
    return out;
}

SkinBlit ScrollFrameCorner(SkinRect frameClient, int cornerMode, int cell) {
    if (cornerMode == 1)
        return {ScrollSkinCell(cell, SCROLL_CELL_CORNER, 1),
                {frameClient.left, frameClient.bottom - cell, frameClient.left + cell, frameClient.bottom}};
    if (cornerMode == 2)
        return {ScrollSkinCell(cell, SCROLL_CELL_CORNER, 0),
                {frameClient.right - cell, frameClient.bottom - cell, frameClient.right, frameClient.bottom}};
    return {};
}
