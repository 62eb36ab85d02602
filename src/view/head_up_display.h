// The text the simulation writes over the picture: the clock, the marking
// line and the diagnostic panel. Each prints in the current text colours
// (light green on black in the simulation) and paints only the cells it
// writes; the picture's periodic erasure removes what is left over.
#pragma once
#include "display/screen.h"
#include "sim/bodies.h"
#include "sim/clock.h"
#include "view/hud.h"
#include "view/observer.h"
#include "view/target.h"

namespace view {

// Hours, years and days at the top left (rows 2, 3, 4), in that order.
void drawClock(display::Screen& s, const sim::Clock& c);

// Row 1 from column 30: the name and mass of mark1 and of mark2 (entry 0 for
// a mark below 1), never padded. With both marks on bodies it also computes
// markDistance and prints "Entf_in_AE = " and that distance in AU at row 1,
// column 1.
void drawMarkingLine(display::Screen& s, Hud& h, const sim::Bodies& b, float AU);

// Rows 33 to 38: eighteen labelled observer, view and target values, each
// cell closed by a separator.
void drawPanel(display::Screen& s, const Observer& o, const Target& t);

}  // namespace view
