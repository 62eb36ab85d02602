// Finding and following a body: the target values computed from the body
// numbered Ziel, the target number typed after i, the visor cross and the
// course automation (F5). Depends on the observer, the target state, the
// body table and the screen.
//
// The target angles follow the projection's conventions: at yaw wi_xZ and
// pitch wi_yZ the target's right and up components vanish, so target view
// puts it on the screen centre (510, 383 after truncation), whatever the roll.
#pragma once
#include <string_view>

#include "display/screen.h"
#include "sim/bodies.h"
#include "view/observer.h"
#include "view/target.h"

namespace view {

// The body number round(Ziel) when that entry is in use and drawn
// (diameter > 0), else 0.
int targetBody(const Target& t, const sim::Bodies& b);

// Before a display pass: when the target body exists, xZiel, yZiel, zZiel
// (its position minus the eye), EZiel (that distance), wi_xZ and wi_yZ (yaw
// and pitch towards it, degrees), XBizi (its screenX as last projected) and
// xrel (XBizi - viewWidth / 2). Without a target body they keep their values.
void updateTargetValues(Target& t, const Observer& o, const sim::Bodies& b);

// The number the first item of a typed line stands for: blanks and tabs
// skipped, the item ends at a blank, tab, comma or the line's end, and is a
// decimal number with optional sign, fraction and exponent. Anything else,
// letters included, is 0.
float targetNumber(std::string_view line);

// Key i: target view on, then "Zielnumer =" at row 12, column 20 and the
// typed number as Ziel. Waits until Enter.
void enterTargetNumber(Target& t, display::Screen& s);

// The light-cyan cross round the view's centre, arms from 2 to 10 pixels,
// the centre itself open.
void drawVisor(display::Screen& s, const Observer& o);

// After each step while the course automation is on and the target body
// exists: the eye moves with the target (by its velocity, metres per step)
// and then up to VAuge along the line towards it, stopping at ten target
// diameters; an eye inside that distance backs out at up to VAuge. On the
// float grid of the positions the distance never ends below ten diameters.
void steerCourse(Observer& o, const Target& t, const sim::Bodies& b);

}  // namespace view
