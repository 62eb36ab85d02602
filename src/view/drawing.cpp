// Erase cycle and body drawing.
#include "view/drawing.h"

#include <cmath>

#include "display/rounding.h"

namespace view {

namespace {

constexpr float markRingRadius = 20;
// A body further than this from the eye (in metres) is named only when it
// is one of the first sixteen.
constexpr float nameDistance = 222;
constexpr int namedBodies = 16;

// A disc of radius r: its outline, then fills from the centre and, for
// larger discs, from four more seeds that reach parts the first fill missed.
void drawDisc(display::Screen& s, float x, float y, float r, float apparentSize, int colour) {
    display::drawCircle(s, x, y, r, colour);
    display::floodFill(s, x, y, colour);
    if (apparentSize > 2) {
        const float h = float(double(apparentSize) / 2);
        display::floodFill(s, float(double(x) - h - 1), y, colour);
        display::floodFill(s, float(double(x) + h - 1), y, colour);
        display::floodFill(s, x, float(double(y) - h - 1), colour);
        display::floodFill(s, x, float(double(y) + h - 1), colour);
    }
}

bool nameFits(const sim::Bodies& b, const Observer& o, int i) {
    const float x = b.screenX[i], y = b.screenY[i];
    return x > 1 && x < o.viewWidth - 80 && y > 32 && y < o.viewHeight - 16 &&
           (b.distance[i] < nameDistance || i <= namedBodies);
}

}  // namespace

void eraseCycle(Drawing& d, display::Screen& s, const Observer& o) {
    d.frameCounter = float((1 + double(d.frameCounter)) * d.frameGate);
    d.frameGate = d.frameCounter == 5 ? 0.f : 1.f;
    if (d.frameCounter == 5 && d.eraseSwitch == 1) {
        display::drawBox(s, 0, 0, o.viewWidth, o.viewHeight, 0, true);
    }
}

void drawBodies(const Drawing& d, const Hud& h, const sim::Bodies& b, const Observer& o,
                display::Screen& s) {
    const int n = sim::usedEntries(b);
    for (int i = 1; i <= n; ++i) {
        if (!(b.diameter[i] > 0) || b.depth[i] < -0.5f) continue;
        const float x = b.screenX[i], y = b.screenY[i];
        const int colour = display::roundHalfEven(b.color[i]);
        if ((i == h.mark1 || i == h.mark2) && h.markRingFlag == 1) {
            display::drawCircle(s, x, y, markRingRadius, colour);
        }
        const float r = float(double(d.sizeScale) * b.apparentSize[i]);
        // A body of no finite size leaves no mark: a fill without an outline
        // round it would flood the whole picture.
        if (!std::isfinite(r)) continue;
        if (r < 1) {
            display::plot(s, x, y, colour);
        } else {
            drawDisc(s, x, y, r, b.apparentSize[i], colour);
        }
        if (d.namesSwitch == 1 && nameFits(b, o, i)) {
            display::locate(s, display::truncate(y / 16), display::truncate(x / 8) + 1);
            display::printText(s, b.name[i], true);
        }
    }
}

}  // namespace view
