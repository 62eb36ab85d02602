// Observer camera: the keys that move and turn the eye, the view angles of a
// drawn frame and the perspective projection of the body table onto the
// screen. Depends on the observer and target state and on the body table.
//
// Axes: at yaw, pitch and roll 0 the eye looks along +z, +x is to the right
// of the screen and +y is up. Angles are degrees throughout.
#pragma once
#include "sim/bodies.h"
#include "view/observer.h"
#include "view/target.h"

namespace view {

// The rotation of one drawn frame: cosine, sine and negated sine of the yaw
// (wi_x), the pitch (wi_y) and the roll (viewRoll). Computed once per frame
// and handed to every projection of that frame.
struct ViewRotation {
    float cy = 1, sy = 0, ny = 0;
    float cp = 1, sp = 0, np = 0;
    float cr = 1, sr = 0, nr = 0;
};

// Applies a key that moves or turns the observer and returns true; any other
// key leaves the observer alone and returns false. Extended keys come as
// keyCode 255 with their scan code (arrows, Page Up, Page Down, Del, End),
// ordinary keys as their character code with scanCode 0 (r, l, o, v, h, +, -).
// v and h move along the view of the last drawn frame (wi_x, wi_y).
bool applyObserverKey(Observer& o, int keyCode, int scanCode);

// The rotation for the observer's current wi_x, wi_y and viewRoll.
ViewRotation viewRotation(const Observer& o);

// Once per drawn frame, before projecting: sets wi_x and wi_y (and, in free
// view, viewRoll = 0) from the turn angles or, in target view, from the
// target's direction, and returns the rotation for the frame.
ViewRotation updateViewAngles(Observer& o, const Target& t);

// Projects body i: writes distance, depth, screenX, screenY and apparentSize.
// depth and the screen position are whole numbers, truncated towards zero.
// A body whose depth truncates to 0 gets a screen position that is not
// finite; that is harmless here and for anything that skips non-finite
// positions.
void projectBody(const Observer& o, const ViewRotation& r, sim::Bodies& b, int i);

// Projects every body 1..round(bodyCount) with diameter > 0, in index order.
void projectAll(const Observer& o, const ViewRotation& r, sim::Bodies& b);

// The angle in degrees whose tangent is value, by 18 halvings of 0..90.
// Always strictly between 0 and 90: 90/2^18 for value <= 0, 90 - 90/2^18 for
// very large values. Its degree factor is 3.1416/180, not pi/180.
float arctanDegrees(float value);

}  // namespace view
