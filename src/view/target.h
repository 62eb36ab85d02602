// The target: the typed target number, the target-view and visor switches,
// and the values the target view is computed from.
#pragma once

namespace view {

struct Target {
    float Ziel = 1;              // target body number, as typed
    float targetSwitch = 1;      // +1 free view, -1 target view
    float visorSwitch = -1;      // +1 visor cross drawn
    float courseSwitch = -1;     // +1 course automation
    float wi_xZ = 0, wi_yZ = 0;  // direction of the target, degrees
    float EZiel = 0, XBizi = 0, xrel = 0;
    float xZiel = 0, yZiel = 0, zZiel = 0;
};

}  // namespace view
