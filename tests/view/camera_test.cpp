// Observer camera (keys, view angles, projection), target view, the typed target number and marking.
#include <cmath>
#include <limits>
#include <numbers>
#include <random>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "view/camera.h"
#include "view/marking.h"
#include "view/target_view.h"
#include "support/same_bits.h"

using namespace view;

namespace {

constexpr float AU = 1.492e11f, start = -3 * AU;
constexpr int ext = 255;  // first code of an extended key

// A table of one body, drawn (diameter > 0), at rest.
sim::Bodies oneBody(float x, float y, float z, float diameter = 1) {
    sim::Bodies b;
    b.bodyCount = 1, b.x[1] = x, b.y[1] = y, b.z[1] = z, b.diameter[1] = diameter;
    return b;
}

struct Seen { float x, y, depth, distance, size; };

// Projects a one-body table in a freshly drawn frame.
Seen project(Observer o, const Target& t, float x, float y, float z, float diameter = 1) {
    sim::Bodies b = oneBody(x, y, z, diameter);
    projectAll(o, updateViewAngles(o, t), b);
    return {b.screenX[1], b.screenY[1], b.depth[1], b.distance[1], b.apparentSize[1]};
}

}  // namespace

// Depth and screen position truncate towards zero; behind the eye the image mirrors; a roll of 90 turns it in
// target view, free view drops it.
TEST(Projection, WorkedPositions) {
    const float ahead = 4.476e11f;
    const struct { const char* name; Observer eye; float targetSwitch, x, y, z, sx, sy, depth; } rows[] = {
        {"1 AU right", {}, 1, AU, 0, 0, 660, 383, ahead}, {"1 AU down", {}, 1, 0, -AU, 0, 510, 533, ahead},
        {"behind and right: mirrored", {}, 1, AU, 0, -6 * AU, 360, 383, -ahead},
        {"depth 2.75 truncates to 2", {.ZAuge = 0}, 1, 1, 0, 2.75f, 735, 383, 2},
        {"depth -2.75 truncates to -2", {.ZAuge = 0}, 1, 1, 0, -2.75f, 285, 383, -2},
        {"far above truncates towards zero", {.ZAuge = 0}, 1, 0, 10, 2, 510, -1866, 2},
        {"rolled: right shows below", {.viewRoll = 90}, -1, AU, 0, 0, 510, 533, ahead},
        {"rolled: above shows right", {.viewRoll = 90}, -1, 0, AU, 0, 660, 383, ahead},
        {"free view: the roll is dropped", {.viewRoll = 90}, 1, AU, 0, 0, 660, 383, ahead},
    };
    for (const auto& r : rows) {
        const Seen s = project(r.eye, {.targetSwitch = r.targetSwitch}, r.x, r.y, r.z);
        EXPECT_EQ(std::tie(s.x, s.y, s.depth), std::tie(r.sx, r.sy, r.depth)) << r.name;
    }
}

// Distance and apparent size against a plain computation; only entries 1..round(bodyCount) with a diameter.
TEST(Projection, DistanceApparentSizeAndWhichEntries) {
    std::mt19937 random(5);
    std::uniform_real_distribution<float> place(-5 * AU, 5 * AU);
    for (int n = 0; n < 300; ++n) {
        const Observer o{.XAuge = place(random), .YAuge = place(random)};
        const float x = place(random), y = place(random), z = place(random), sun = 1.392e9f;
        const Seen s = project(o, {}, x, y, z, sun);
        const double rx = float(double(x) - o.XAuge), ry = float(double(y) - o.YAuge), rz = float(double(z) - o.ZAuge);
        ASSERT_EQ(s.distance, float(std::sqrt(rx * rx + ry * ry + rz * rz))) << n;
        ASSERT_NEAR(s.size, 5 * std::atan(sun / 1.4 / s.distance) * 180 / std::numbers::pi, 5e-3) << n;
    }
    Observer o;
    sim::Bodies b;
    b.bodyCount = 2.5f;  // two entries: halves go to even
    for (int i = 1; i <= 3; ++i) b.diameter[i] = 1e7f * (i != 2), b.screenX[i] = -7;
    projectAll(o, updateViewAngles(o, {}), b);
    EXPECT_EQ(std::make_tuple(b.screenX[1], b.screenX[2], b.screenX[3]), std::make_tuple(510.f, -7.f, -7.f));
}

// A body put where v takes the eye is dead ahead, VAuge away: v goes along the last drawn view, not a turn since.
TEST(Projection, ForwardMoveAndViewAgree) {
    const Observer views[] = {{.XDREH = 90}, {.XDREH = 30, .YDREH = 20}, {.XDREH = -45, .YDREH = 60, .ZDre = 10},
                              {.XDREH = 200, .YDREH = -30, .ZDre = -15}, {.YDREH = 90}};
    for (Observer o : views) {
        o.VAuge = AU;
        updateViewAngles(o, {});
        for (int key : {'r', 'v'}) applyObserverKey(o, key, 0);
        const float x = o.XAuge, y = o.YAuge, z = o.ZAuge;
        for (int key : {'h', 'l'}) applyObserverKey(o, key, 0);
        const Seen s = project(o, {}, x, y, z);
        EXPECT_EQ(std::make_tuple(s.x, s.y), std::make_tuple(510.f, 383.f)) << o.XDREH << " " << o.YDREH << " " << o.ZDre;
        EXPECT_NEAR(s.depth, AU, AU * 1e-6);
    }
}

// Each key from the start state moves or turns the observer its own way; scan codes count only after 255.
TEST(ObserverKeys, EachKeysDirection) {
    const float V = 5e9f, Z = start;
    const struct { const char* name; int code, scan; bool handled; Observer after; } rows[] = {
        {"Right: +x", ext, 77, true, {.XAuge = V}}, {"Up: +y", ext, 72, true, {.YAuge = V}},
        {"Down: -y", ext, 80, true, {.YAuge = -V}}, {"Page Up: +z", ext, 73, true, {.ZAuge = Z + V}},
        {"Page Down: -z", ext, 81, true, {.ZAuge = Z - V}}, {"v: forward, +z", 'v', 0, true, {.ZAuge = Z + V}},
        {"h: backward", 'h', 0, true, {.ZAuge = Z - V}}, {"-: slower", '-', 0, true, {.VAuge = float(5e9 / 1.1)}},
        {"r: right", 'r', 0, true, {.XDREH = 1}}, {"l: left", 'l', 0, true, {.XDREH = -1}},
        {"o: up", 'o', 0, true, {.YDREH = 1}},
        {"End: swing +1", ext, 79, true, {.ZDre = 1}}, {"Del: swing -1", ext, 83, true, {.ZDre = -1}},
        {"capital R", 'R', 0, false, {}}, {"extended r", ext, 'r', false, {}},
    };
    auto state = [](const Observer& o) {
        return std::tie(o.XAuge, o.YAuge, o.ZAuge, o.VAuge, o.XDREH, o.YDREH, o.ZDre, o.turnStep, o.wi_x, o.wi_y,
                        o.viewRoll);
    };
    for (const auto& r : rows) {
        Observer o;
        EXPECT_EQ(applyObserverKey(o, r.code, r.scan), r.handled) << r.name;
        EXPECT_EQ(state(o), state(r.after)) << r.name;
    }
}

// Free view: yaw ZDre + XDREH, pitch sin(YDREH) cos(XDREH) 90; target view: the target's angles.
TEST(ViewAngles, FreeAndTargetView) {
    const double deg = std::numbers::pi / 180;
    const struct { const char* name; Observer o; float targetSwitch, wi_x, wi_y; } rows[] = {
        {"turned and swung", {.XDREH = 2, .ZDre = 1}, 1, 3, 0},
        {"30 up, 60 right", {.XDREH = 60, .YDREH = 30}, 1, 60, float(std::sin(30 * deg) * std::cos(60 * deg) * 90)},
        {"target view", {.XDREH = 1, .YDREH = 1, .ZDre = 1}, -1, 30, -10},
    };
    for (auto r : rows) {
        updateViewAngles(r.o, {.targetSwitch = r.targetSwitch, .wi_xZ = 30, .wi_yZ = -10});
        EXPECT_EQ(std::tie(r.o.wi_x, r.o.wi_y), std::tie(r.wi_x, r.wi_y)) << r.name;
    }
}

// The ends of the quadrant and the angle of 1 (just below 45: the degree is 3.1416/180) are bit-exact below.
TEST(ArctanDegrees, CloseToTheArctangentAndMonotonic) {
    float previous = 0;
    for (double v = 1e-4; v < 1e5; v *= 1.05) {
        const float a = arctanDegrees(float(v));
        ASSERT_NEAR(a, std::atan(v) * 180 / std::numbers::pi, 1e-3) << v;
        ASSERT_GE(a, previous) << v;
        previous = a;
    }
}

TEST(ArctanDegrees, TakesThePathOfComparingEveryHalvingPointsTangent) {
    constexpr double degree = 3.1416 / 180;
    const auto everyTangent = [](float value) {
        float low = 0, high = 90, mid = 0;
        for (int halving = 0; halving < 18; ++halving) {
            mid = float((double(low) + high) / 2);
            const float t = float(std::tan(mid * degree));
            if (t < value) low = mid; else if (t > value) high = mid;
        }
        return mid;
    };
    // Values at the halving points' own tangents (an equal tangent narrows
    // nothing) and one float either side, over random paths, and odd values.
    std::vector<float> values = {0.f, -0.f, 1.f, -1.f, 1e38f, INFINITY, -INFINITY, NAN, 1e-30f, 3e5f};
    std::mt19937 random(7);
    for (int path = 0; path < 300; ++path) {
        float low = 0, high = 90;
        for (int halving = 0; halving < 18; ++halving) {
            const float mid = float((double(low) + high) / 2), t = float(std::tan(mid * degree));
            values.insert(values.end(), {t, std::nextafter(t, 0.f), std::nextafter(t, INFINITY)});
            (random() % 2 ? low : high) = mid;
        }
    }
    for (const float value : values) {
        ASSERT_TRUE(testing_support::sameBits(arctanDegrees(value), everyTangent(value))) << value;
    }
}

// From eyes all round the target, target view puts it on the centre pixel, in front, at xrel -0.5.
TEST(TargetView, TheTargetLandsOnTheCentrePixel) {
    const struct { const char* name; Observer eye; float dx, dy, dz; } cases[] = {
        {"straight behind", {.ZAuge = 0}, 0, 0, -AU}, {"straight above", {.XAuge = 1e9f, .ZAuge = 1e9f}, 0, AU, 0},
        {"left, below, behind", {.XAuge = 2 * AU, .YAuge = AU, .ZAuge = 0}, -3 * AU, -2 * AU, -5 * AU},
        {"near, far out, rolled", {.XAuge = 5.2f * AU, .ZAuge = 0, .viewRoll = 37}, 1.4e9f, 3e8f, -2e9f},
    };
    for (auto c : cases) {
        Target t{.targetSwitch = -1};
        Observer& o = c.eye;
        sim::Bodies b = oneBody(float(double(o.XAuge) + c.dx), float(double(o.YAuge) + c.dy),
                                float(double(o.ZAuge) + c.dz));
        updateTargetValues(t, o, b);
        projectAll(o, updateViewAngles(o, t), b);
        updateTargetValues(t, o, b);
        EXPECT_EQ(std::make_tuple(b.screenX[1], b.screenY[1], b.depth[1] > 0, t.xrel),
                  std::make_tuple(510.f, 383.f, true, -0.5f)) << c.name;
    }
}

// round(Ziel) names a target only within the table and while drawn; without one the values stay.
TEST(TargetView, TargetBodyOnlyWithinTheTableAndWhileDrawn) {
    const struct { float Ziel; float diameter; int body; } cases[] = {
        {0.5f, 1, 0}, {0.51f, 1, 1}, {2.5f, 1, 2}, {24.5f, 1, 24}, {24.51f, 1, 0}, {3, 0, 0}, {std::nanf(""), 1, 0}};
    for (const auto& c : cases) {
        sim::Bodies b;
        b.bodyCount = 24;
        for (int i = 1; i <= 24; ++i) b.diameter[i] = i == 3 ? c.diameter : 1, b.x[i] = float(i) * AU;
        Target t{.Ziel = c.Ziel, .wi_xZ = 7, .EZiel = 8, .xZiel = 9};
        EXPECT_EQ(targetBody(t, b), c.body) << c.Ziel;
        updateTargetValues(t, Observer{}, b);
        EXPECT_EQ(t.xZiel == 9 && t.wi_xZ == 7 && t.EZiel == 8, c.body == 0) << c.Ziel;
    }
}

TEST(TargetView, TypedTargetNumber) {
    const float inf = std::numeric_limits<float>::infinity();
    const struct { const char* line; float number; } cases[] = {
        {"  \t4", 4}, {"-2.5e1,7", -25}, {"+.5 9", 0.5f}, {"3.", 3}, {"4abc", 4}, {"1e", 1}, {"2e+", 2}, {"abc", 0},
        {"", 0}, {"+", 0}, {".", 0}, {",4", 0}, {"inf", 0}, {"1e300", inf}, {"-1e999", -inf}};
    for (const auto& c : cases) EXPECT_EQ(targetNumber(c.line), c.number) << '"' << c.line << '"';
}

// Bodies 2 and 3 on screen, body 1 absorbed and never picked; marks and ring flag start at 9, 9 and 7.
TEST(Marking, NearestBodyTiesToTheLowerNumberWithin10000Pixels) {
    const struct { const char* name; int buttons; float x2, y2, x3, y3; int mark1, mark2, ring; } cases[] = {
        {"right picks the nearest", 2, 100, 0, 50, 0, 9, 3, 1},
        {"rounded tie keeps the lower", 1, 50.4f, 0, 0, 49.6f, 2, 9, 1},
        {"50.5 rounds to even 50: a tie", 1, 50.5f, 0, 0, 50.2f, 2, 9, 1},
        {"9999 pixels away is picked", 1, 9999.4f, 0, 20000, 0, 2, 9, 1},
        {"9999.5 rounds to 10000: kept", 1, 9999.5f, 0, 20000, 0, 9, 9, 1},
        {"10000.6 is too far: kept", 2, 10000.6f, 0, 20000, 0, 9, 9, 1},
        {"no finite position: kept", 1, NAN, NAN, INFINITY, 0, 9, 9, 1},
        {"left and right clear both", 3, 0, 0, 0, 0, -1, -1, -1}, {"no button", 0, 0, 0, 0, 0, 9, 9, 7},
    };
    for (const auto& c : cases) {
        sim::Bodies b;
        b.bodyCount = 3;
        b.diameter[2] = b.diameter[3] = 1;
        b.screenX[2] = c.x2, b.screenY[2] = c.y2, b.screenX[3] = c.x3, b.screenY[3] = c.y3;
        Hud h{.mark1 = 9, .mark2 = 9, .markRingFlag = 7};
        pickMarks(h, b, 0, 0, c.buttons);
        EXPECT_EQ(std::tie(h.mark1, h.mark2, h.markRingFlag, h.markPick), std::make_tuple(c.mark1, c.mark2, c.ring, 0))
            << c.name;
    }
}

// The eye moves with the target, then up to VAuge towards ten diameters (1e7 m), or back out to them.
TEST(CourseAutomation, UpToVAugeTowardsTenDiameters) {
    const struct { const char* name; float VAuge, eyeZ, vz, want; } rows[] = {
        {"near: stops at ten diameters", 1e8f, -1.5e7f, 0, -1e7f}, {"inside: backs out to them", 1e8f, -5e6f, 0, -1e7f},
        {"deep inside: backs out VAuge", 1e6f, -1e6f, 0, -2e6f}, {"with the target's velocity", 1e8f, -1e9f, 3e8f, -6e8f},
    };
    for (const auto& r : rows) {
        Observer o{.ZAuge = r.eyeZ, .VAuge = r.VAuge};
        sim::Bodies b = oneBody(0, 0, 0, 1e6f);
        b.vz[1] = r.vz;
        steerCourse(o, {.courseSwitch = 1}, b);
        EXPECT_EQ(std::tie(o.XAuge, o.YAuge), std::make_tuple(0.f, 0.f)) << r.name;
        EXPECT_NEAR(o.ZAuge, r.want, 16) << r.name;
    }
}
