// Observer camera (keys, view angles, projection), target view, the typed target number and marking.
#include <array>
#include <cmath>
#include <numbers>
#include <tuple>

#include <gtest/gtest.h>

#include "view/camera.h"
#include "view/marking.h"
#include "view/target_view.h"

using namespace view;

namespace {

constexpr float AU = 1.492e11f;
constexpr int ext = 255;  // first code of an extended key

// Projects one drawn body in a freshly drawn frame: screen x, y, depth, distance, apparent size.
std::array<float, 5> project(Observer o, const Target& t, float x, float y, float z, float diameter = 1) {
    sim::Bodies b;
    b.bodyCount = 1, b.x[1] = b.x[2] = x, b.y[1] = b.y[2] = y, b.z[1] = b.z[2] = z;
    b.diameter[1] = b.diameter[2] = diameter;
    projectAll(o, updateViewAngles(o, t), b);
    EXPECT_EQ(b.distance[2], 0) << "entry 2 lies beyond bodyCount";
    return {b.screenX[1], b.screenY[1], b.depth[1], b.distance[1], b.apparentSize[1]};
}

}  // namespace

// Depth and screen position truncate towards zero; behind the eye the image mirrors; a roll of 90 turns it in target
// view, free view drops it. The distance sums the squares in double (in float it is one step off); the apparent size
// is 5 arctan(diameter / 1.4 / distance) degrees, where a degree is 3.1416 / 180: the tangent of 45 of them gives 45.
TEST(Projection, WorkedPositionsDistanceAndApparentSize) {
    const float ahead = 4.476e11f;
    const struct { const char* name; Observer eye; float targetSwitch, x, y, z, sx, sy, depth; } rows[] = {
        {"1 AU down", {}, 1, 0, -AU, 0, 510, 533, ahead}, {"behind, right: mirrored", {}, 1, AU, 0, -6 * AU, 360, 383, -ahead},
        {"depth -2.75 truncates to -2", {.ZAuge = 0}, 1, 1, 0, -2.75f, 285, 383, -2},
        {"far above truncates towards zero", {.ZAuge = 0}, 1, 0, 10, 2, 510, -1866, 2},
        {"rolled: above shows right", {.viewRoll = 90}, -1, 0, AU, 0, 660, 383, ahead},
        {"free view: the roll is dropped", {.viewRoll = 90}, 1, AU, 0, 0, 660, 383, ahead},
    };
    for (const auto& r : rows) {
        const auto s = project(r.eye, {.targetSwitch = r.targetSwitch}, r.x, r.y, r.z);
        EXPECT_EQ(std::tie(s[0], s[1], s[2]), std::tie(r.sx, r.sy, r.depth)) << r.name;
    }
    const auto s = project({}, {}, 0, -AU, 0, 1.392e9f);
    EXPECT_EQ(s[3], float(std::sqrt(double(AU) * AU + double(ahead) * ahead)));
    EXPECT_NEAR(s[4], 5 * std::atan(1.392e9 / 1.4 / s[3]) * 180 / std::numbers::pi, 5e-3);
    for (double v = 1e-4; v < 1e5; v *= 1.05) ASSERT_NEAR(arctanDegrees(float(v)), std::atan(v) / std::numbers::pi * 180, 1e-3);
    EXPECT_TRUE(arctanDegrees(float(std::tan(45 * (3.1416 / 180)))) == 45 && arctanDegrees(INFINITY) < 90);
}

// Free view: yaw ZDre + XDREH, pitch sin(YDREH) cos(XDREH) 90. A body put where v takes the eye is dead ahead,
// VAuge away: v goes along the last drawn view, not a turn since. Each key from the start state moves or turns the
// observer its own way; scan codes count only after 255.
TEST(ObserverKeys, FreeViewAnglesForwardMoveAndEachKeysDirection) {
    for (Observer o : {Observer{.XDREH = 30, .YDREH = 20}, {.XDREH = 200, .YDREH = -30, .ZDre = -15}, {.YDREH = 90}}) {
        o.VAuge = AU;
        updateViewAngles(o, {});
        const double yaw = double(o.ZDre) + o.XDREH, degree = std::numbers::pi / 180;
        const float pitch = float(std::sin(o.YDREH * degree) * std::cos(o.XDREH * degree) * 90);
        EXPECT_EQ(std::tie(o.wi_x, o.wi_y), std::make_tuple(float(yaw), pitch));
        for (int key : {'r', 'v'}) applyObserverKey(o, key, 0);
        const float x = o.XAuge, y = o.YAuge, z = o.ZAuge;
        for (int key : {'h', 'l'}) applyObserverKey(o, key, 0);
        const auto s = project(o, {}, x, y, z);
        EXPECT_EQ(std::make_tuple(s[0], s[1]), std::make_tuple(510.f, 383.f)) << o.XDREH << " " << o.YDREH;
        EXPECT_NEAR(s[2], AU, AU * 1e-6);
    }
    const float V = 5e9f, Z = -3 * AU;
    const struct { const char* name; int code, scan; bool handled; Observer after; } rows[] = {
        {"Right: +x", ext, 77, true, {.XAuge = V}}, {"Down: -y", ext, 80, true, {.YAuge = -V}},
        {"Page Up: +z", ext, 73, true, {.ZAuge = Z + V}}, {"Page Down: -z", ext, 81, true, {.ZAuge = Z - V}},
        {"h: backward", 'h', 0, true, {.ZAuge = Z - V}}, {"-: slower", '-', 0, true, {.VAuge = float(5e9 / 1.1)}},
        {"r: right", 'r', 0, true, {.XDREH = 1}}, {"l: left", 'l', 0, true, {.XDREH = -1}},
        {"o: up", 'o', 0, true, {.YDREH = 1}}, {"End: swing +1", ext, 79, true, {.ZDre = 1}},
        {"Del: swing -1", ext, 83, true, {.ZDre = -1}}, {"extended r", ext, 'r', false, {}},
    };
    auto state = [](const Observer& o) {
        return std::tie(o.XAuge, o.YAuge, o.ZAuge, o.VAuge, o.XDREH, o.YDREH, o.ZDre, o.turnStep, o.wi_x, o.wi_y, o.viewRoll);
    };
    for (const auto& r : rows) {
        Observer o;
        EXPECT_EQ(applyObserverKey(o, r.code, r.scan), r.handled) << r.name;
        EXPECT_EQ(state(o), state(r.after)) << r.name;
    }
}

// round(Ziel) names a target only within the table and while drawn; without one the values stay. Target view
// puts the target on the centre pixel, at xrel -0.5. A typed Ziel is its first item's number, infinite beyond floats.
TEST(TargetView, TargetBodyOnlyWithinTheTableAndWhileDrawnLandsOnTheCentre) {
    const struct { float Ziel, diameter; int body; } cases[] = {
        {0.5f, 1, 0}, {0.51f, 1, 1}, {2.5f, 1, 2}, {24.5f, 1, 24}, {24.51f, 1, 0}, {3, 0, 0}, {NAN, 1, 0}};
    for (const auto& c : cases) {
        sim::Bodies b{.bodyCount = 24};
        for (int i = 1; i <= 24; ++i) b.diameter[i] = i == 3 ? c.diameter : 1, b.x[i] = float(i) * AU, b.y[i] = -AU;
        Observer o{.viewRoll = 37};
        Target t{.Ziel = c.Ziel, .targetSwitch = -1, .wi_xZ = 7, .EZiel = 8, .xZiel = 9};
        EXPECT_EQ(targetBody(t, b), c.body) << c.Ziel;
        updateTargetValues(t, o, b);
        EXPECT_EQ(t.xZiel == 9 && t.wi_xZ == 7 && t.EZiel == 8, c.body == 0) << c.Ziel;
        projectAll(o, updateViewAngles(o, t), b);
        updateTargetValues(t, o, b);
        const int i = c.body;
        EXPECT_TRUE(i == 0 || (b.screenX[i] == 510 && b.screenY[i] == 383 && b.depth[i] > 0 && t.xrel == -0.5f)) << c.Ziel;
    }
    for (auto [line, number] : {std::pair{" \t-2.5e1,7", -25.f}, {"1e300", INFINITY}, {"-1e999", -INFINITY}})
        EXPECT_EQ(targetNumber(line), number) << '"' << line << '"';
}

// Bodies 2 and 3 on screen, body 1 absorbed and never picked; marks and ring flag start at 9, 9 and 7.
TEST(Marking, NearestBodyTiesToTheLowerNumberWithin10000Pixels) {
    const struct { const char* name; int buttons; float x2, y2, x3, y3; int mark1, mark2, ring; } cases[] = {
        {"right picks the nearest", 2, 100, 0, 50, 0, 9, 3, 1}, {"tie keeps the lower", 1, 50.4f, 0, 0, 49.6f, 2, 9, 1},
        {"9999 pixels away is picked", 1, 9999.4f, 0, 20000, 0, 2, 9, 1},
        {"9999.5 rounds to 10000: kept", 1, 9999.5f, 0, 20000, 0, 9, 9, 1},
        {"left and right clear both", 3, 0, 0, 0, 0, -1, -1, -1}, {"no button", 0, 0, 0, 0, 0, 9, 9, 7},
    };
    for (const auto& c : cases) {
        sim::Bodies b;
        b.bodyCount = 3, b.diameter[2] = b.diameter[3] = 1;
        b.screenX[2] = c.x2, b.screenY[2] = c.y2, b.screenX[3] = c.x3, b.screenY[3] = c.y3;
        Hud h{.mark1 = 9, .mark2 = 9, .markRingFlag = 7};
        pickMarks(h, b, 0, 0, c.buttons);
        EXPECT_EQ(std::tie(h.mark1, h.mark2, h.markRingFlag, h.markPick), std::make_tuple(c.mark1, c.mark2, c.ring, 0)) << c.name;
    }
}

// The eye moves with the target, then up to VAuge towards ten diameters (1e7 m), or back out to them.
TEST(CourseAutomation, UpToVAugeTowardsTenDiameters) {
    const struct { const char* name; float VAuge, eyeZ, vz, want, vx = 0, vy = 0; } rows[] = {
        {"near: stops at ten diameters", 1e8f, -1.5e7f, 0, -1e7f}, {"deep inside: backs out VAuge", 1e6f, -1e6f, 0, -2e6f},
        {"with the target's velocity", 1e8f, -1e9f, 3e8f, -6e8f},
        {"VAuge 0: only the target's velocity", 0, -1e9f, 0, -1e9f, 1e5f, 2e5f},
    };
    for (const auto& r : rows) {
        Observer o{.ZAuge = r.eyeZ, .VAuge = r.VAuge};
        sim::Bodies b;
        b.bodyCount = 1, b.diameter[1] = 1e6f, b.vx[1] = r.vx, b.vy[1] = r.vy, b.vz[1] = r.vz;
        steerCourse(o, {.courseSwitch = 1}, b);
        EXPECT_EQ(std::make_tuple(o.XAuge, o.YAuge), std::make_tuple(r.vx, r.vy)) << r.name;
        EXPECT_NEAR(o.ZAuge, r.want, 16) << r.name;
    }
}
