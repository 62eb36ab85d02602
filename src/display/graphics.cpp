// Graphics primitives: points, lines, boxes, circles and the flood fill, in
// viewport coordinates, clipped to the viewport.
//
// Every primitive works in 64-bit screen coordinates and walks only the part
// of its shape that can reach the viewport, so even coordinates far off the
// screen cost no more than a line across it. A NaN coordinate draws nothing.
#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "display/frame_writer.h"
#include "display/rounding.h"
#include "display/screen.h"

namespace display {

using detail::contains;
using detail::drawableArea;
using detail::FrameWriter;
using detail::paletteIndex;

namespace {

using Coord = long long;

// Graphics coordinate to screen pixel: halves away from zero, then the
// viewport's corner.
Coord screenX(const Screen& s, float x) { return Coord(roundHalfAway(x)) + s.viewport.x1; }
Coord screenY(const Screen& s, float y) { return Coord(roundHalfAway(y)) + s.viewport.y1; }

template <typename... T>
bool anyNaN(T... values) { return (std::isnan(values) || ...); }

// The steps i in [0, count] for which start + sign * i lies in [lo, hi];
// empty when first > last.
struct StepRange {
    Coord first, last;
};

StepRange stepsInside(Coord start, int sign, Coord count, Coord lo, Coord hi) {
    Coord first = sign > 0 ? lo - start : start - hi;
    Coord last = sign > 0 ? hi - start : start - lo;
    return {std::max<Coord>(first, 0), std::min(last, count)};
}

// A horizontal span on row y from x1 to x2 (any order), clipped.
void clippedSpan(FrameWriter& frame, const PixelRect& area, Coord x1, Coord x2, Coord y, uint8_t c) {
    if (x1 > x2) std::swap(x1, x2);
    if (y < area.y1 || y > area.y2) return;
    x1 = std::max<Coord>(x1, area.x1);
    x2 = std::min<Coord>(x2, area.x2);
    if (x1 <= x2) frame.span(int(x1), int(x2), int(y), c);
}

// A vertical span in column x from y1 to y2 (any order), clipped.
void clippedColumn(FrameWriter& frame, const PixelRect& area, Coord x, Coord y1, Coord y2, uint8_t c) {
    if (y1 > y2) std::swap(y1, y2);
    if (x < area.x1 || x > area.x2) return;
    for (Coord y = std::max<Coord>(y1, area.y1); y <= std::min<Coord>(y2, area.y2); ++y)
        frame.set(int(x), int(y), c);
}

// Bresenham along the major axis a (da >= db > 0): step i lands on
// a1 + sa * i and b1 + sb * floor((2 i db + da) / (2 da)). Only the steps
// whose a lies in [aLo, aHi] are walked; the error term starts there exactly
// as if the walk had come from a1. set(a, b) receives every pixel whose b
// lies in [bLo, bHi].
template <typename Set>
void bresenham(Coord a1, Coord b1, Coord da, Coord db, int sa, int sb, Coord aLo, Coord aHi,
               Coord bLo, Coord bHi, Set set) {
    const StepRange steps = stepsInside(a1, sa, da, aLo, aHi);
    if (steps.first > steps.last) return;
    const __int128 denominator = __int128(2) * da;
    const __int128 numerator = __int128(2) * steps.first * db + da;
    Coord q = Coord(numerator / denominator);
    Coord r = Coord(numerator % denominator);
    const Coord d = 2 * da;
    for (Coord i = steps.first; i <= steps.last; ++i) {
        const Coord b = b1 + sb * q;
        if (b >= bLo && b <= bHi) set(a1 + sa * i, b);
        r += 2 * db;
        if (r >= d) {
            r -= d;
            ++q;
        }
    }
}

// Whole-number square root, rounded down.
Coord floorSqrt(Coord n) {
    Coord y = Coord(std::sqrt(double(n)));
    while (y > 0 && y * y > n) --y;
    while ((y + 1) * (y + 1) <= n) ++y;
    return y;
}

// The nearest whole number to sqrt(n).
Coord nearestSqrt(Coord n) {
    const Coord y = floorSqrt(n);
    return n - y * y > y ? y + 1 : y;
}

}  // namespace

void plot(Screen& s, float x, float y, int colour) {
    if (anyNaN(x, y)) return;
    const PixelRect area = drawableArea(s);
    const Coord px = screenX(s, x), py = screenY(s, y);
    if (!contains(area, px, py)) return;
    FrameWriter frame(s.shared);
    frame.set(int(px), int(py), paletteIndex(colour));
}

void drawLine(Screen& s, float x1f, float y1f, float x2f, float y2f, int colour) {
    if (anyNaN(x1f, y1f, x2f, y2f)) return;
    const PixelRect area = drawableArea(s);
    const Coord x1 = screenX(s, x1f), y1 = screenY(s, y1f);
    const Coord x2 = screenX(s, x2f), y2 = screenY(s, y2f);
    const uint8_t c = paletteIndex(colour);
    FrameWriter frame(s.shared);
    if (y1 == y2) return clippedSpan(frame, area, x1, x2, y1, c);
    if (x1 == x2) return clippedColumn(frame, area, x1, y1, y2, c);

    const Coord dx = x2 > x1 ? x2 - x1 : x1 - x2;
    const Coord dy = y2 > y1 ? y2 - y1 : y1 - y2;
    const int sx = x2 > x1 ? 1 : -1, sy = y2 > y1 ? 1 : -1;
    if (dx >= dy) {
        bresenham(x1, y1, dx, dy, sx, sy, area.x1, area.x2, area.y1, area.y2,
                  [&](Coord x, Coord y) { frame.set(int(x), int(y), c); });
    } else {
        bresenham(y1, x1, dy, dx, sy, sx, area.y1, area.y2, area.x1, area.x2,
                  [&](Coord y, Coord x) { frame.set(int(x), int(y), c); });
    }
}

void drawBox(Screen& s, float x1f, float y1f, float x2f, float y2f, int colour, bool filled) {
    if (anyNaN(x1f, y1f, x2f, y2f)) return;
    const PixelRect area = drawableArea(s);
    Coord x1 = screenX(s, x1f), y1 = screenY(s, y1f);
    Coord x2 = screenX(s, x2f), y2 = screenY(s, y2f);
    if (x1 > x2) std::swap(x1, x2);
    if (y1 > y2) std::swap(y1, y2);
    const uint8_t c = paletteIndex(colour);
    FrameWriter frame(s.shared);
    if (filled) {
        for (Coord y = std::max<Coord>(y1, area.y1); y <= std::min<Coord>(y2, area.y2); ++y)
            clippedSpan(frame, area, x1, x2, y, c);
        return;
    }
    clippedSpan(frame, area, x1, x2, y1, c);
    clippedSpan(frame, area, x1, x2, y2, c);
    clippedColumn(frame, area, x1, y1, y2, c);
    clippedColumn(frame, area, x2, y1, y2, c);
}

// Each octant is the same arc: y = nearest(sqrt(r^2 - x^2)) for x = 0 up to
// the last x with x <= y, mirrored eight ways. Walking on to that x, not
// only to r/sqrt(2), is what joins the octants at 45 degrees: the outline is
// closed, so a fill from the centre stays inside. The walk covers only the x
// whose mirrored column (or row) lies in the viewport.
void drawCircle(Screen& s, float xf, float yf, float radius, int colour) {
    if (anyNaN(xf, yf, radius)) return;
    const Coord r = roundHalfAway(radius);
    if (r < 0) return;
    const PixelRect area = drawableArea(s);
    const Coord cx = screenX(s, xf), cy = screenY(s, yf);
    const uint8_t c = paletteIndex(colour);
    const Coord rr = r * r;
    Coord last = floorSqrt(rr / 2);
    for (Coord next = last + 1; next * next <= rr && next <= nearestSqrt(rr - next * next); ++next) last = next;
    FrameWriter frame(s.shared);
    auto put = [&](Coord x, Coord y) {
        if (contains(area, x, y)) frame.set(int(x), int(y), c);
    };
    for (int sign : {1, -1}) {
        const StepRange columns = stepsInside(cx, sign, last, area.x1, area.x2);
        for (Coord x = columns.first; x <= columns.last; ++x) {
            const Coord y = nearestSqrt(rr - x * x);
            put(cx + sign * x, cy - y);
            put(cx + sign * x, cy + y);
        }
        const StepRange rows = stepsInside(cy, sign, last, area.y1, area.y2);
        for (Coord x = rows.first; x <= rows.last; ++x) {
            const Coord y = nearestSqrt(rr - x * x);
            put(cx - y, cy + sign * x);
            put(cx + y, cy + sign * x);
        }
    }
}

// A line-wise seed fill: each seed grows into the widest span of its row,
// and one new seed is kept for every run of unfilled pixels directly above
// and below. The seeds live on a heap-allocated stack, not the call stack.
void floodFill(Screen& s, float xf, float yf, int colour) {
    if (anyNaN(xf, yf)) return;
    const PixelRect area = drawableArea(s);
    const Coord sx = screenX(s, xf), sy = screenY(s, yf);
    if (!contains(area, sx, sy)) return;
    const uint8_t c = paletteIndex(colour);
    FrameWriter frame(s.shared);
    if (frame.get(int(sx), int(sy)) == c) return;

    std::vector<std::pair<int, int>>& seeds = s.fillSeeds;
    seeds.assign(1, {int(sx), int(sy)});
    while (!seeds.empty()) {
        const auto [x, y] = seeds.back();
        seeds.pop_back();
        if (frame.get(x, y) == c) continue;
        int left = x, right = x;
        while (left > area.x1 && frame.get(left - 1, y) != c) --left;
        while (right < area.x2 && frame.get(right + 1, y) != c) ++right;
        frame.span(left, right, y, c);
        for (int ny : {y - 1, y + 1}) {
            if (ny < area.y1 || ny > area.y2) continue;
            for (int nx = left; nx <= right; ++nx) {
                if (frame.get(nx, ny) != c && (nx == left || frame.get(nx - 1, ny) == c))
                    seeds.emplace_back(nx, ny);
            }
        }
    }
}

}  // namespace display
