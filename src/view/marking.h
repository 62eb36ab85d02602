// Marking bodies with the mouse: while a button is held, every drawn frame
// makes the body projected nearest to the pointer a mark (left button mark1,
// right button mark2); the third button, or two buttons at once, clears both.
#pragma once
#include "sim/bodies.h"
#include "view/hud.h"

namespace view {

// One pick over the bodies 1..round(bodyCount) with diameter > 0 as last
// projected, bodies behind the eye included. The pointer's window pixels are
// compared as they stand with the projected drawing coordinates; distances
// are whole pixels (halves to even), ties keep the lower number, and a body
// 10000 pixels away or more is never picked. buttons -1 (pointer outside) or
// 0 does nothing.
void pickMarks(Hud& h, const sim::Bodies& b, int mouseX, int mouseY, int mouseButtons);

}  // namespace view
