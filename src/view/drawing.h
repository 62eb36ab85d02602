// Drawing one frame of the scene: the periodic erasure that limits trails,
// every visible body as a point or a filled disc, rings round the marked
// bodies and the names of the first bodies. The picture is never cleared at
// the start of a frame, so bodies leave trails of their recent positions.
#pragma once
#include "display/screen.h"
#include "sim/bodies.h"
#include "view/hud.h"
#include "view/observer.h"

namespace view {

struct Drawing {
    float frameCounter = 0;  // position in the erase cycle, 0..5
    float frameGate = 1;     // 0 for the one frame after an erasure
    float eraseSwitch = 1;   // +1: erase every sixth frame; -1: full trails (F2)
    float namesSwitch = -1;  // +1: names drawn (F3)
    float sizeScale = 1;     // apparent size to drawn radius; set when a simulation starts
};

// The drawn radius per pixel of apparent size while a simulation runs.
inline constexpr float simulationSizeScale = float(1021.0 / 1024.0);

// Advances the erase cycle: the 5th drawn frame and then every 6th clears
// the drawing area (not its frame) while erasing is on.
void eraseCycle(Drawing& d, display::Screen& s, const Observer& o);

// Draws bodies 1..round(bodyCount) in index order from their latest
// projection: no depth sorting, a later body covers an earlier one.
void drawBodies(const Drawing& d, const Hud& h, const sim::Bodies& b, const Observer& o,
                display::Screen& s);

}  // namespace view
