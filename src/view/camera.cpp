// Observer camera and perspective projection.
//
// Every formula is evaluated in double from float operands and rounded to
// float where a quantity is stored, the working quantities of the projection
// included.
#include "view/camera.h"

#include <cassert>
#include <cmath>

namespace view {

namespace {

constexpr double degree = 0.017453292519943295;  // pi / 180

// The bisection's own degree factor, 3.1416 / 180: slightly more than a
// degree, so tangents come out a little large there.
constexpr double bisectionDegree = 0.017453333333333335;

constexpr int extendedKey = 255;

// Scan codes of the extended keys that move or turn the eye.
enum ScanCode {
    scanUp = 72,
    scanPageUp = 73,
    scanLeft = 75,
    scanRight = 77,
    scanEnd = 79,
    scanDown = 80,
    scanPageDown = 81,
    scanDelete = 83,
};

float cosDegrees(double angle) { return float(std::cos(angle * degree)); }

float add(float value, double delta) { return float(value + delta); }

// Moves the eye by VAuge along the view of the last drawn frame; sign -1
// moves it backwards.
void moveAlongView(Observer& o, double sign) {
    const double step = sign * o.VAuge;
    const double yaw = o.wi_x * degree, pitch = o.wi_y * degree;
    o.ZAuge = float(o.ZAuge + step * std::cos(pitch) * std::cos(yaw));
    o.XAuge = float(o.XAuge + step * std::sin(yaw) * std::cos(pitch));
    o.YAuge = float(o.YAuge + step * std::sin(pitch));
}

bool applyExtendedKey(Observer& o, int scanCode) {
    switch (scanCode) {
        case scanLeft: o.XAuge = add(o.XAuge, -double(o.VAuge)); return true;
        case scanRight: o.XAuge = add(o.XAuge, o.VAuge); return true;
        case scanUp: o.YAuge = add(o.YAuge, o.VAuge); return true;
        case scanDown: o.YAuge = add(o.YAuge, -double(o.VAuge)); return true;
        case scanPageUp: o.ZAuge = add(o.ZAuge, o.VAuge); return true;
        case scanPageDown: o.ZAuge = add(o.ZAuge, -double(o.VAuge)); return true;
        case scanDelete: o.ZDre = add(o.ZDre, -double(o.turnStep)); return true;
        case scanEnd: o.ZDre = add(o.ZDre, o.turnStep); return true;
        default: return false;
    }
}

bool applyOrdinaryKey(Observer& o, int keyCode) {
    switch (keyCode) {
        case 'r': o.XDREH = add(o.XDREH, o.turnStep); return true;
        case 'l': o.XDREH = add(o.XDREH, -double(o.turnStep)); return true;
        case 'o': o.YDREH = add(o.YDREH, o.turnStep); return true;
        case 'v': moveAlongView(o, 1); return true;
        case 'h': moveAlongView(o, -1); return true;
        // No bounds: VAuge may grow or shrink without limit.
        case '+': o.VAuge = float(o.VAuge * 1.1); return true;
        case '-': o.VAuge = float(o.VAuge / 1.1); return true;
        default: return false;
    }
}

}  // namespace

bool applyObserverKey(Observer& o, int keyCode, int scanCode) {
    // A scan code counts only as the second half of an extended key: the
    // capital K (75) is not the left arrow (255, 75).
    if (keyCode == extendedKey) return applyExtendedKey(o, scanCode);
    return applyOrdinaryKey(o, keyCode);
}

ViewRotation viewRotation(const Observer& o) {
    // Sines and negated sines as shifted cosines, so that, for instance, the
    // sine of 0 comes out as cos(-90 degrees), about 6e-17, not 0.
    ViewRotation r;
    r.cy = cosDegrees(o.wi_x);
    r.sy = cosDegrees(o.wi_x - 90.0);
    r.ny = cosDegrees(o.wi_x + 90.0);
    r.cp = cosDegrees(o.wi_y);
    r.sp = cosDegrees(o.wi_y - 90.0);
    r.np = cosDegrees(o.wi_y + 90.0);
    r.cr = cosDegrees(o.viewRoll);
    r.sr = cosDegrees(o.viewRoll - 90.0);
    r.nr = cosDegrees(o.viewRoll + 90.0);
    return r;
}

ViewRotation updateViewAngles(Observer& o, const Target& t) {
    if (t.targetSwitch == -1) {
        o.wi_x = t.wi_xZ;
        o.wi_y = t.wi_yZ;
    }
    if (t.targetSwitch == 1) {
        o.viewRoll = 0;
        o.wi_x = float(double(o.ZDre) + o.XDREH);
        // Turning right or left lowers the pitch; it never exceeds +-90.
        o.wi_y = float(std::sin(o.YDREH * degree) * std::cos(o.XDREH * degree) * 90);
    }
    return viewRotation(o);
}

void projectBody(const Observer& o, const ViewRotation& r, sim::Bodies& b, int i) {
    const float rx = float(double(b.x[i]) - o.XAuge);
    const float ry = float(double(b.y[i]) - o.YAuge);
    const float rz = float(double(b.z[i]) - o.ZAuge);
    b.distance[i] = float(std::sqrt(double(rx) * rx + double(ry) * ry + double(rz) * rz));

    const float fwd = float(double(r.cy) * rz + double(r.sy) * rx);
    const float rgt = float(double(r.ny) * rz + double(r.cy) * rx);
    const float upv = float(double(r.np) * fwd + double(r.cp) * ry);
    // Whole metres; beyond 2^24 m every float is whole anyway.
    b.depth[i] = float(std::trunc(double(r.cp) * fwd + double(r.sp) * ry));

    const float u = float(double(r.cr) * rgt + double(r.sr) * upv);
    const float w = float(double(r.nr) * rgt + double(r.cr) * upv);
    // Truncated as floats, never converted to int: a depth of 0 makes these
    // infinite or NaN, which must pass through unharmed.
    b.screenX[i] = float(std::trunc(double(o.focalLength) * u / b.depth[i] + double(o.viewWidth) / 2));
    b.screenY[i] = float(std::trunc(-double(w) * o.focalLength / b.depth[i] + double(o.viewHeight) / 2));

    const float ratio = float(double(b.diameter[i]) / 1.4 / b.distance[i]);
    b.apparentSize[i] = float(double(arctanDegrees(ratio)) * o.pixelsPerDegree);
}

void projectAll(const Observer& o, const ViewRotation& r, sim::Bodies& b) {
    const int n = sim::usedEntries(b);
    assert(n <= sim::maxBodies && "bodyCount beyond the table");
    for (int i = 1; i <= n; ++i)
        if (b.diameter[i] > 0) projectBody(o, r, b, i);
}

float arctanDegrees(float value) {
    // Every halving point lies below the quarter turn (at most 89.99966 of
    // these degrees, 1.5707940 rad), where the tangent rises. So the points
    // well below the angle whose tangent is `value` have a smaller tangent,
    // those well above a larger one, whatever the roundings: 1e-4 degrees
    // moves the tangent by at least 1.7e-6 of itself, 14 times the
    // roundings' 1.2e-7 (float) and 1e-15 (double). Only the points near the
    // angle need their tangent, so the path, and the result, is that of
    // comparing every point's tangent. A NaN angle compares nothing and so
    // takes the tangents too.
    constexpr double margin = 1e-4;
    const double angle = std::atan(double(value)) / bisectionDegree;
    float low = 0, high = 90, mid = 0;
    // A fixed 18 halvings. An equal tangent (or a NaN value) narrows nothing.
    for (int halving = 0; halving < 18; ++halving) {
        mid = float((double(low) + high) / 2);
        if (mid < angle - margin) {
            low = mid;
        } else if (mid > angle + margin) {
            high = mid;
        } else {
            const float t = float(std::tan(mid * bisectionDegree));
            if (t < value)
                low = mid;
            else if (t > value)
                high = mid;
        }
    }
    return mid;
}

}  // namespace view
