// Target values, target number entry, visor and course automation.
#include "view/target_view.h"

#include <cmath>
#include <cstdlib>
#include <string>

#include "display/rounding.h"

namespace view {

namespace {

constexpr double degree = 0.017453292519943295;  // pi / 180
constexpr int visorColour = 11;                  // light cyan
// The course automation keeps the eye this many target diameters away.
constexpr double standoffDiameters = 10;

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Length of the longest prefix of item that reads as a decimal number, 0 when
// none does: sign, digits with an optional fraction (at least one digit in
// all), then an optional exponent that counts only with its digits.
std::size_t numberPrefix(std::string_view item) {
    std::size_t p = 0, digits = 0;
    if (p < item.size() && (item[p] == '+' || item[p] == '-')) ++p;
    for (; p < item.size() && isDigit(item[p]); ++p) ++digits;
    if (p < item.size() && item[p] == '.') {
        for (++p; p < item.size() && isDigit(item[p]); ++p) ++digits;
    }
    if (digits == 0) return 0;
    if (p < item.size() && (item[p] == 'e' || item[p] == 'E')) {
        std::size_t q = p + 1, exponentDigits = 0;
        if (q < item.size() && (item[q] == '+' || item[q] == '-')) ++q;
        for (; q < item.size() && isDigit(item[q]); ++q) ++exponentDigits;
        if (exponentDigits > 0) p = q;
    }
    return p;
}

// The spacing of the float grid round the larger of two positions, with room
// for the rounding of all three coordinates: a float x is within |x| * 2^-24
// of the value it was rounded from.
double floatGrid(double a, double b) { return std::fmax(std::fabs(a), std::fabs(b)) * 0x1p-21; }

}  // namespace

int targetBody(const Target& t, const sim::Bodies& b) {
    const int i = display::roundHalfEven(t.Ziel);
    if (i < 1 || i > sim::usedEntries(b) || !(b.diameter[i] > 0)) return 0;
    return i;
}

void updateTargetValues(Target& t, const Observer& o, const sim::Bodies& b) {
    const int i = targetBody(t, b);
    if (i == 0) return;
    const double dx = double(b.x[i]) - o.XAuge;
    const double dy = double(b.y[i]) - o.YAuge;
    const double dz = double(b.z[i]) - o.ZAuge;
    t.xZiel = float(dx);
    t.yZiel = float(dy);
    t.zZiel = float(dz);
    t.EZiel = float(std::sqrt(dx * dx + dy * dy + dz * dz));
    // Yaw turns +z towards +x, pitch lifts the view towards +y: the angles at
    // which the projection finds no right and no up component.
    t.wi_xZ = float(std::atan2(dx, dz) / degree);
    t.wi_yZ = float(std::atan2(dy, std::sqrt(dx * dx + dz * dz)) / degree);
    t.XBizi = b.screenX[i];
    t.xrel = float(double(t.XBizi) - double(o.viewWidth) / 2);
}

float targetNumber(std::string_view line) {
    std::size_t start = 0;
    while (start < line.size() && (line[start] == ' ' || line[start] == '\t')) ++start;
    std::size_t end = start;
    while (end < line.size() && line[end] != ' ' && line[end] != '\t' && line[end] != ',') ++end;
    const std::string_view item = line.substr(start, end - start);
    const std::size_t length = numberPrefix(item);
    if (length == 0) return 0;
    // Beyond the float range the number reads as an infinity; nothing looks
    // such a target up, so it is harmless.
    return std::strtof(std::string(item.substr(0, length)).c_str(), nullptr);
}

void enterTargetNumber(Target& t, display::Screen& s) {
    t.targetSwitch = -1;
    display::locate(s, 12, 20);
    t.Ziel = targetNumber(display::readLine(s, "Zielnumer =", false));
}

void drawVisor(display::Screen& s, const Observer& o) {
    const float cx = float(double(o.viewWidth) / 2), cy = float(double(o.viewHeight) / 2);
    auto at = [](float centre, double offset) { return float(centre + offset); };
    display::drawLine(s, at(cx, -10), cy, at(cx, -2), cy, visorColour);
    display::drawLine(s, at(cx, 2), cy, at(cx, 10), cy, visorColour);
    display::drawLine(s, cx, at(cy, 10), cx, at(cy, 2), visorColour);
    display::drawLine(s, cx, at(cy, -2), cx, at(cy, -10), visorColour);
}

void steerCourse(Observer& o, const Target& t, const sim::Bodies& b) {
    if (t.courseSwitch != 1) return;
    const int i = targetBody(t, b);
    if (i == 0) return;
    // With the target: the eye keeps its place relative to the body.
    double ex = double(o.XAuge) + b.vx[i];
    double ey = double(o.YAuge) + b.vy[i];
    double ez = double(o.ZAuge) + b.vz[i];
    const double dx = b.x[i] - ex, dy = b.y[i] - ey, dz = b.z[i] - ez;
    const double d = std::sqrt(dx * dx + dy * dy + dz * dz);
    // Ten diameters, plus the float grid so that the stored eye is no closer.
    const double grid = floatGrid(std::fmax(std::fabs(ex), std::fmax(std::fabs(ey), std::fabs(ez))),
                                  std::fmax(std::fabs(b.x[i]), std::fmax(std::fabs(b.y[i]), std::fabs(b.z[i]))));
    const double standoff = standoffDiameters * b.diameter[i] + grid;
    const double limit = std::fabs(double(o.VAuge));
    const double move = std::fmin(std::fmax(d - standoff, -limit), limit);
    if (d > 0 && std::isfinite(move)) {
        ex += dx / d * move;
        ey += dy / d * move;
        ez += dz / d * move;
    }
    o.XAuge = float(ex);
    o.YAuge = float(ey);
    o.ZAuge = float(ez);
}

}  // namespace view
