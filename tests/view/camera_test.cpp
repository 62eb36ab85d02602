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

constexpr float AU = 1.492e11f;
constexpr int ext = 255;  // first code of an extended key

struct Seen { float x, y, depth, distance, size; };

// Projects a one-body table in a freshly drawn frame.
Seen project(Observer& o, const Target& t, float x, float y, float z, float diameter = 1) {
    sim::Bodies b;
    b.bodyCount = 1;
    b.x[1] = x, b.y[1] = y, b.z[1] = z, b.diameter[1] = diameter;
    projectAll(o, updateViewAngles(o, t), b);
    return {b.screenX[1], b.screenY[1], b.depth[1], b.distance[1], b.apparentSize[1]};
}

}  // namespace

// Depth and screen position truncate towards zero; behind the eye the image mirrors; a roll of 90 turns it.
TEST(Projection, WorkedPositions) {
    const float ahead = 4.476e11f, start = -3 * AU;
    const struct { const char* name; float eyeZ, roll, x, y, z, sx, sy, depth; } rows[] = {
        {"1 AU right", start, 0, AU, 0, 0, 660, 383, ahead}, {"1 AU down", start, 0, 0, -AU, 0, 510, 533, ahead},
        {"behind and right: mirrored", start, 0, AU, 0, -6 * AU, 360, 383, -ahead},
        {"depth 2.75 truncates to 2", 0, 0, 1, 0, 2.75f, 735, 383, 2},
        {"depth -2.75 truncates to -2", 0, 0, 1, 0, -2.75f, 285, 383, -2},
        {"far above truncates towards zero", 0, 0, 0, 10, 2, 510, -1866, 2},
        {"rolled: right shows below", start, 90, AU, 0, 0, 510, 533, ahead},
        {"rolled: above shows right", start, 90, 0, AU, 0, 660, 383, ahead},
    };
    for (const auto& r : rows) {
        Observer o;
        o.ZAuge = r.eyeZ, o.viewRoll = r.roll;
        Target t;
        t.targetSwitch = r.roll != 0 ? -1 : 1;  // free view sets the roll to 0
        const Seen s = project(o, t, r.x, r.y, r.z);
        EXPECT_EQ(std::tie(s.x, s.y, s.depth), std::tie(r.sx, r.sy, r.depth)) << r.name;
    }
}

// Distance and apparent size against a plain computation; only entries 1..round(bodyCount) with a diameter.
TEST(Projection, DistanceApparentSizeAndWhichEntries) {
    std::mt19937 random(5);
    std::uniform_real_distribution<float> place(-5 * AU, 5 * AU);
    for (int n = 0; n < 300; ++n) {
        Observer o;
        o.XAuge = place(random), o.YAuge = place(random);
        const float x = place(random), y = place(random), z = place(random), sun = 1.392e9f;
        const Seen s = project(o, Target{}, x, y, z, sun);
        const double rx = float(double(x) - o.XAuge), ry = float(double(y) - o.YAuge), rz = float(double(z) - o.ZAuge);
        ASSERT_EQ(s.distance, float(std::sqrt(rx * rx + ry * ry + rz * rz))) << n;
        ASSERT_NEAR(s.size, 5 * std::atan(sun / 1.4 / s.distance) * 180 / std::numbers::pi, 5e-3) << n;
    }
    Observer o;
    sim::Bodies b;
    b.bodyCount = 2.5f;  // two entries: halves go to even
    for (int i = 1; i <= 3; ++i) b.diameter[i] = 1e7f, b.screenX[i] = -7;
    b.diameter[2] = 0;
    projectAll(o, updateViewAngles(o, Target{}), b);
    EXPECT_EQ(std::make_tuple(b.screenX[1], b.screenX[2], b.screenX[3]), std::make_tuple(510.f, -7.f, -7.f));
}

// A body put where v takes the eye is dead ahead, VAuge away: v goes along the last drawn view, not a turn since.
TEST(Projection, ForwardMoveAndViewAgree) {
    const struct { float XDREH, YDREH, ZDre; } views[] = {{90, 0, 0}, {30, 20, 0}, {-45, 60, 10}, {200, -30, -15}, {0, 90, 0}};
    for (auto v : views) {
        Observer o;
        o.XDREH = v.XDREH, o.YDREH = v.YDREH, o.ZDre = v.ZDre, o.VAuge = AU;
        updateViewAngles(o, Target{});
        applyObserverKey(o, 'r', 0);
        applyObserverKey(o, 'v', 0);
        const float x = o.XAuge, y = o.YAuge, z = o.ZAuge;
        applyObserverKey(o, 'h', 0);
        applyObserverKey(o, 'l', 0);
        const Seen s = project(o, Target{}, x, y, z);
        EXPECT_EQ(std::make_tuple(s.x, s.y), std::make_tuple(510.f, 383.f)) << v.XDREH << " " << v.YDREH << " " << v.ZDre;
        EXPECT_NEAR(s.depth, AU, AU * 1e-6);
    }
}

// Each key from the start state and its direction; scan codes count only after 255 (K is no arrow).
TEST(ObserverKeys, EachKeysDirection) {
    const float V = 5e9f, Z = -4.476e11f;
    const struct { const char* name; int code, scan; bool handled; float x, y, z, v, xdreh, ydreh, zdre; } rows[] = {
        {"Left: -x", ext, 75, true, -V, 0, Z, V, 0, 0, 0},    {"Right: +x", ext, 77, true, V, 0, Z, V, 0, 0, 0},
        {"Up: +y", ext, 72, true, 0, V, Z, V, 0, 0, 0},       {"Down: -y", ext, 80, true, 0, -V, Z, V, 0, 0, 0},
        {"Page Up: +z", ext, 73, true, 0, 0, Z + V, V, 0, 0, 0}, {"Page Down: -z", ext, 81, true, 0, 0, Z - V, V, 0, 0, 0},
        {"v: forward, +z", 'v', 0, true, 0, 0, Z + V, V, 0, 0, 0}, {"h: backward", 'h', 0, true, 0, 0, Z - V, V, 0, 0, 0},
        {"+: faster", '+', 0, true, 0, 0, Z, float(5e9 * 1.1), 0, 0, 0},
        {"-: slower", '-', 0, true, 0, 0, Z, float(5e9 / 1.1), 0, 0, 0},
        {"r: right", 'r', 0, true, 0, 0, Z, V, 1, 0, 0},      {"l: left", 'l', 0, true, 0, 0, Z, V, -1, 0, 0},
        {"o: up", 'o', 0, true, 0, 0, Z, V, 0, 1, 0},         {"End: swing +1", ext, 79, true, 0, 0, Z, V, 0, 0, 1},
        {"Del: swing -1", ext, 83, true, 0, 0, Z, V, 0, 0, -1}, {"K is no arrow", 'K', 0, false, 0, 0, Z, V, 0, 0, 0},
        {"capital R", 'R', 0, false, 0, 0, Z, V, 0, 0, 0},    {"extended r", ext, 'r', false, 0, 0, Z, V, 0, 0, 0},
    };
    for (const auto& r : rows) {
        Observer o;
        EXPECT_EQ(applyObserverKey(o, r.code, r.scan), r.handled) << r.name;
        EXPECT_EQ(std::tie(o.XAuge, o.YAuge, o.ZAuge, o.VAuge, o.XDREH, o.YDREH, o.ZDre),
                  std::tie(r.x, r.y, r.z, r.v, r.xdreh, r.ydreh, r.zdre)) << r.name;
        EXPECT_EQ(std::tie(o.wi_x, o.wi_y, o.viewRoll, o.turnStep), std::make_tuple(0.f, 0.f, 0.f, 1.f)) << r.name;
    }
}

// Free view: yaw ZDre + XDREH, pitch sin(YDREH) cos(XDREH) 90, roll 0; target view: the target's angles.
TEST(ViewAngles, FreeAndTargetView) {
    const double deg = std::numbers::pi / 180;
    const struct { const char* name; float XDREH, YDREH, ZDre, roll, targetSwitch, wi_x, wi_y, wantRoll; } rows[] = {
        {"turned and swung", 2, 0, 1, 30, 1, 3, 0, 0},
        {"30 up, 60 right", 60, 30, 0, 0, 1, 60, float(std::sin(30 * deg) * std::cos(60 * deg) * 90), 0},
        {"target view", 1, 1, 1, 90, -1, 30, -10, 90},
    };
    for (const auto& r : rows) {
        Observer o;
        o.XDREH = r.XDREH, o.YDREH = r.YDREH, o.ZDre = r.ZDre, o.viewRoll = r.roll;
        Target t;
        t.targetSwitch = r.targetSwitch, t.wi_xZ = 30, t.wi_yZ = -10;
        updateViewAngles(o, t);
        EXPECT_EQ(std::tie(o.wi_x, o.wi_y, o.viewRoll), std::tie(r.wi_x, r.wi_y, r.wantRoll)) << r.name;
    }
}

TEST(ArctanDegrees, CloseToTheArctangentMonotonicAndStrictlyInsideTheQuadrant) {
    const float least = 90 / 262144.f, most = 90 - 90 / 262144.f;
    for (float v : {0.f, -1.f, -INFINITY}) EXPECT_EQ(arctanDegrees(v), least) << v;
    for (float v : {1e6f, INFINITY}) EXPECT_EQ(arctanDegrees(v), most) << v;
    float previous = 0;
    for (double v = 1e-4; v < 1e5; v *= 1.05) {
        const float a = arctanDegrees(float(v));
        ASSERT_NEAR(a, std::atan(v) * 180 / std::numbers::pi, 1e-3) << v;
        ASSERT_GE(a, previous) << v;
        previous = a;
    }
    // Its degree is 3.1416/180, a little over pi/180: the angle of 1 lies just below 45.
    EXPECT_LT(arctanDegrees(1), 45);
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

TEST(TargetView, TheTargetLandsOnTheCentrePixel) {
    const struct { const char* name; float ex, ey, ez, dx, dy, dz, roll; } cases[] = {
        {"right and up", 0, 0, -3 * AU, 1 * AU, 0.5f * AU, 3 * AU, 0}, {"straight behind", 0, 0, 0, 0, 0, -AU, 0},
        {"left, below, behind", 2 * AU, 1 * AU, 0, -3 * AU, -2 * AU, -5 * AU, 0},
        {"straight above", 1e9f, 0, 1e9f, 0, AU, 0, 0},
        {"near, far out", 5.2f * AU, 0, 0, 1.4e9f, 3e8f, -2e9f, 0}, {"rolled", 0, 0, -3 * AU, -AU, 2 * AU, AU, 37},
    };
    for (const auto& c : cases) {
        Observer o;
        o.XAuge = c.ex, o.YAuge = c.ey, o.ZAuge = c.ez, o.viewRoll = c.roll;
        Target t;
        t.targetSwitch = -1;
        sim::Bodies b;
        b.bodyCount = 1, b.diameter[1] = 1e7f;
        b.x[1] = float(double(c.ex) + c.dx), b.y[1] = float(double(c.ey) + c.dy), b.z[1] = float(double(c.ez) + c.dz);
        updateTargetValues(t, o, b);
        projectAll(o, updateViewAngles(o, t), b);
        EXPECT_EQ(std::make_tuple(b.screenX[1], b.screenY[1], b.depth[1] > 0), std::make_tuple(510.f, 383.f, true)) << c.name;
        updateTargetValues(t, o, b);
        EXPECT_EQ(t.xrel, -0.5f) << c.name;
    }
}

// round(Ziel) names a target only within the table and while drawn; without one the values stay.
TEST(TargetView, TargetBodyOnlyWithinTheTableAndWhileDrawn) {
    const struct { float Ziel; float diameter; int body; } cases[] = {
        {0.5f, 1, 0}, {0.51f, 1, 1}, {2.5f, 1, 2}, {24.5f, 1, 24}, {24.51f, 1, 0}, {3, 0, 0}, {std::nanf(""), 1, 0}};
    for (const auto& c : cases) {
        sim::Bodies b;
        b.bodyCount = 24;
        for (int i = 1; i <= 24; ++i) b.diameter[i] = 1, b.x[i] = float(i) * AU;
        b.diameter[3] = c.diameter;
        Target t;
        t.Ziel = c.Ziel, t.wi_xZ = 7, t.EZiel = 8, t.xZiel = 9;
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

TEST(Marking, NearestBodyTiesToTheLowerNumberWithin10000Pixels) {
    struct Row { const char* name; int buttons; float x2, y2, x3, y3; int mark1, mark2, ring; };
    const Row cases[] = {
        {"left picks the nearest", 1, 100, 0, 50, 0, 3, 9, 1}, {"right picks the nearest", 2, 100, 0, 50, 0, 9, 3, 1},
        {"rounded tie keeps the lower", 1, 50.4f, 0, 0, 49.6f, 2, 9, 1},
        {"50.5 rounds to even 50: a tie", 1, 50.5f, 0, 0, 50.2f, 2, 9, 1},
        {"9999 pixels away is picked", 1, 9999.4f, 0, 20000, 0, 2, 9, 1},
        {"9999.5 rounds to 10000: kept", 1, 9999.5f, 0, 20000, 0, 9, 9, 1},
        {"10000.6 is too far: kept", 2, 10000.6f, 0, 20000, 0, 9, 9, 1},
        {"no finite position: kept", 1, NAN, NAN, INFINITY, 0, 9, 9, 1},
        {"left and right clear both", 3, 0, 0, 0, 0, -1, -1, -1}, {"no button", 0, 0, 0, 0, 0, 9, 9, 7},
        {"pointer outside", -1, 0, 0, 0, 0, 9, 9, 7},
    };
    for (const Row& c : cases) {
        sim::Bodies b;
        b.bodyCount = 3;
        b.diameter[2] = b.diameter[3] = 1;  // body 1 is absorbed: never picked
        b.screenX[2] = c.x2, b.screenY[2] = c.y2, b.screenX[3] = c.x3, b.screenY[3] = c.y3;
        Hud h;
        h.mark1 = h.mark2 = 9, h.markRingFlag = 7;
        pickMarks(h, b, 0, 0, c.buttons);
        EXPECT_EQ(std::tie(h.mark1, h.mark2, h.markRingFlag, h.markPick), std::make_tuple(c.mark1, c.mark2, c.ring, 0))
            << c.name;
    }
}

// The eye moves with the target, then up to VAuge towards ten diameters (1e7 m), or back out to them.
TEST(CourseAutomation, UpToVAugeTowardsTenDiameters) {
    const struct { const char* name; float courseSwitch, VAuge, eyeZ, vz, want; } rows[] = {
        {"far: one VAuge closer", 1, 1e8f, -1e9f, 0, -9e8f}, {"off: stays", -1, 1e8f, -1e9f, 0, -1e9f},
        {"near: stops at ten diameters", 1, 1e8f, -1.5e7f, 0, -1e7f}, {"inside: backs out to them", 1, 1e8f, -5e6f, 0, -1e7f},
        {"deep inside: backs out VAuge", 1, 1e6f, -1e6f, 0, -2e6f}, {"with the target's velocity", 1, 1e8f, -1e9f, 3e8f, -6e8f},
    };
    for (const auto& r : rows) {
        Observer o;
        o.ZAuge = r.eyeZ, o.VAuge = r.VAuge;
        Target t;
        t.courseSwitch = r.courseSwitch, t.Ziel = 1;
        sim::Bodies b;
        b.bodyCount = 1, b.diameter[1] = 1e6f, b.vz[1] = r.vz;
        steerCourse(o, t, b);
        EXPECT_NEAR(o.ZAuge, r.want, 16) << r.name;
        EXPECT_EQ(std::tie(o.XAuge, o.YAuge), std::make_tuple(0.f, 0.f)) << r.name;
    }
}
