// Target values, target view, the typed target number and the marking pick.
#include <cmath>
#include <limits>
#include <tuple>

#include <gtest/gtest.h>

#include "view/camera.h"
#include "view/marking.h"
#include "view/target_view.h"

using namespace view;

namespace {
constexpr float AU = 1.492e11f;
}

// Target view puts the target on the centre pixel from any direction, rolled or not.
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

// One pick per row: pointer, buttons and the bodies' projected positions.
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
