// Picking marks with the mouse.
#include "view/marking.h"

#include <cmath>

namespace view {

namespace {

constexpr int32_t farAway = 10000;  // pixels: the start value of a pick

void startPick(Hud& h, int buttons) {
    if (buttons == 1 || buttons == 2) {
        h.markPick = buttons;
        h.pickDistance = farAway;
        h.markRingFlag = 1;
    } else if (buttons > 2) {
        h.mark1 = -1;
        h.mark2 = -1;
        h.markRingFlag = -1;
    }
}

void considerBody(Hud& h, const sim::Bodies& b, int i, int mouseX, int mouseY) {
    const double dx = double(b.screenX[i]) - mouseX, dy = double(b.screenY[i]) - mouseY;
    // Compared as a double: a body without a finite position (depth 0) is
    // never picked.
    const double d = std::nearbyint(std::sqrt(dx * dx + dy * dy));
    if (!(d < h.pickDistance)) return;
    (h.markPick == 1 ? h.mark1 : h.mark2) = i;
    h.pickDistance = int32_t(d);
}

}  // namespace

void pickMarks(Hud& h, const sim::Bodies& b, int mouseX, int mouseY, int mouseButtons) {
    startPick(h, mouseButtons);
    if (h.markPick == 0) return;
    const int n = sim::usedEntries(b);
    for (int i = 1; i <= n; ++i)
        if (b.diameter[i] > 0) considerBody(h, b, i, mouseX, mouseY);
    h.markPick = 0;
}

}  // namespace view
