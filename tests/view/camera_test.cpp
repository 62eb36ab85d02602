// Observer camera: keys, view angles and the perspective projection.
#include <cmath>
#include <numbers>
#include <tuple>

#include <gtest/gtest.h>

#include "view/camera.h"

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

auto fields(const Observer& o) {
    return std::tie(o.XAuge, o.YAuge, o.ZAuge, o.VAuge, o.XDREH, o.YDREH, o.ZDre, o.turnStep,
                    o.wi_x, o.wi_y, o.viewRoll);
}

}  // namespace

// From the start position; a body behind the eye has negative depth and mirrors.
TEST(Projection, StartViewLooksAtTheOrigin) {
    const float ahead = 4.476e11f;
    const struct { float x, y, z; float sx, sy, depth; } cases[] = {
        {0, 0, 0, 510, 383, ahead},      {AU, 0, 0, 660, 383, ahead},  {-AU, 0, 0, 360, 383, ahead},
        {0, AU, 0, 510, 233, ahead},     {0, -AU, 0, 510, 533, ahead}, {AU, 0, -6 * AU, 360, 383, -ahead},
    };
    for (auto c : cases) {
        Observer o;
        const Seen s = project(o, Target{}, c.x, c.y, c.z);
        EXPECT_EQ(std::tie(s.x, s.y, s.depth), std::tie(c.sx, c.sy, c.depth))
            << c.x << "," << c.y << "," << c.z;
    }
}

// Depth and screen position go towards zero; the screen divides by the truncated depth.
TEST(Projection, TruncatesTowardsZero) {
    Observer o;
    o.ZAuge = 0;
    const Seen ahead = project(o, Target{}, 1, 0, 2.75f), behind = project(o, Target{}, 1, 0, -2.75f);
    EXPECT_EQ(ahead.depth, 2);
    EXPECT_EQ(ahead.x, 735);  // 450 / 2 + 510.5
    EXPECT_EQ(behind.depth, -2);
    EXPECT_EQ(behind.x, 285);
    EXPECT_EQ(project(o, Target{}, 0, 10, 2).y, -1866);  // -2250 + 383.5
}

TEST(Projection, ZeroDepthAndZeroDistanceAreHarmless) {
    Observer o;
    sim::Bodies b;
    b.bodyCount = 3;
    b.x[1] = AU, b.z[1] = -3 * AU;  // beside the eye
    b.z[2] = -3 * AU;               // at the eye
    for (int i = 1; i <= 3; ++i) b.diameter[i] = 1e7f;
    projectAll(o, updateViewAngles(o, Target{}), b);
    for (int i : {1, 2}) {
        EXPECT_EQ(b.depth[i], 0);
        EXPECT_FALSE(std::isfinite(b.screenX[i]));
        EXPECT_FALSE(std::isfinite(b.screenY[i]));
    }
    EXPECT_FLOAT_EQ(b.apparentSize[2], 5 * (90 - 90 / 262144.f));
    EXPECT_EQ(b.screenX[3], 510);
}

TEST(Projection, OnlyUsedEntriesWithDiameter) {
    Observer o;
    sim::Bodies b;
    b.bodyCount = 2.5f;  // two entries: halves go to even
    for (int i = 1; i <= 3; ++i) b.diameter[i] = 1e7f, b.screenX[i] = -7;
    b.diameter[1] = 0;
    projectAll(o, updateViewAngles(o, Target{}), b);
    EXPECT_EQ(b.screenX[1], -7);
    EXPECT_EQ(b.screenX[2], 510);
    EXPECT_EQ(b.screenX[3], -7);
}

TEST(Projection, ApparentSizeFollowsDistance) {
    Observer o;
    const float sun = 1.392e9f;
    const std::pair<float, float> places[] = {{0, -2 * AU}, {3 * AU, 7 * AU}, {-AU, 0}};
    for (auto [x, z] : places) {
        const double distance = std::hypot(double(x), double(z) + 3 * double(AU));
        const double degrees = std::atan(sun / 1.4 / distance) * 180 / std::numbers::pi;
        EXPECT_NEAR(project(o, Target{}, x, 0, z, sun).size, 5 * degrees, 5e-3) << x << "," << z;
    }
}

// A body put where v takes the eye is dead ahead: screen centre, depth = VAuge.
TEST(Projection, ForwardMoveAndViewAgree) {
    const struct { float XDREH, YDREH, ZDre; } views[] = {
        {0, 0, 0}, {90, 0, 0}, {30, 20, 0}, {-45, 60, 10}, {200, -30, -15}, {0, 90, 0}, {0, 0, 135},
    };
    for (auto v : views) {
        Observer o;
        o.XDREH = v.XDREH, o.YDREH = v.YDREH, o.ZDre = v.ZDre, o.VAuge = AU;
        updateViewAngles(o, Target{});
        applyObserverKey(o, 'v', 0);
        const float x = o.XAuge, y = o.YAuge, z = o.ZAuge;
        applyObserverKey(o, 'h', 0);
        const Seen s = project(o, Target{}, x, y, z);
        EXPECT_EQ(s.x, 510) << v.XDREH << " " << v.YDREH << " " << v.ZDre;
        EXPECT_EQ(s.y, 383) << v.XDREH << " " << v.YDREH << " " << v.ZDre;
        EXPECT_NEAR(s.depth, AU, AU * 1e-6);
    }
}

TEST(ViewAngles, FreeViewTurnsSwingsAndLooksUp) {
    Observer o;
    o.viewRoll = 30;
    for (int k : {'r', 'r', 'l'}) applyObserverKey(o, k, 0);
    for (int scan : {79, 79, 79, 83}) applyObserverKey(o, ext, scan);  // End x3, Del
    updateViewAngles(o, Target{});
    EXPECT_EQ(o.wi_x, 3);
    EXPECT_EQ(o.viewRoll, 0);

    Observer up;
    for (int n = 0; n < 90; ++n) applyObserverKey(up, 'o', 0);
    const Seen above = project(up, Target{}, 0, AU, -3 * AU);
    EXPECT_EQ(up.wi_y, 90);
    EXPECT_EQ(above.x, 510);
    EXPECT_EQ(above.y, 383);
    EXPECT_EQ(above.depth, AU);
    applyObserverKey(up, 'r', 0);
    updateViewAngles(up, Target{});
    EXPECT_EQ(up.wi_x, 1);
    EXPECT_FLOAT_EQ(up.wi_y, float(90 * std::cos(std::numbers::pi / 180)));
}

TEST(ViewAngles, TargetViewFollowsTheTargetAndKeepsTheRoll) {
    Observer o;
    Target t;
    t.targetSwitch = -1, t.wi_xZ = 30, t.wi_yZ = -10;
    o.viewRoll = 90;
    applyObserverKey(o, 'r', 0);
    applyObserverKey(o, 'o', 0);
    applyObserverKey(o, ext, 79);
    updateViewAngles(o, t);
    EXPECT_EQ(std::tie(o.wi_x, o.wi_y, o.viewRoll), std::make_tuple(30.f, -10.f, 90.f));
    EXPECT_EQ(std::tie(o.XDREH, o.YDREH, o.ZDre), std::make_tuple(1.f, 1.f, 1.f));

    // Rolled by 90 degrees: right of the centre shows below it, above shows right.
    t.wi_xZ = t.wi_yZ = 0;
    const Seen right = project(o, t, AU, 0, 0), above = project(o, t, 0, AU, 0);
    EXPECT_EQ(std::tie(right.x, right.y), std::make_tuple(510.f, 533.f));
    EXPECT_EQ(std::tie(above.x, above.y), std::make_tuple(660.f, 383.f));

    t.targetSwitch = 1;
    updateViewAngles(o, t);
    EXPECT_EQ(o.wi_x, 2);
    EXPECT_EQ(o.viewRoll, 0);
}

TEST(ObserverKeys, MoveAlongTheFixedAxes) {
    const struct { int scan; float dx, dy, dz; } keys[] = {
        {75, -1, 0, 0}, {77, 1, 0, 0}, {72, 0, 1, 0}, {80, 0, -1, 0}, {73, 0, 0, 1}, {81, 0, 0, -1},
    };
    for (auto k : keys) {
        Observer o;
        o.ZAuge = 0;
        EXPECT_TRUE(applyObserverKey(o, ext, k.scan));
        EXPECT_EQ(std::tie(o.XAuge, o.YAuge, o.ZAuge), std::make_tuple(k.dx * 5e9f, k.dy * 5e9f, k.dz * 5e9f))
            << k.scan;
    }
}

TEST(ObserverKeys, ForwardUsesTheLastDrawnView) {
    Observer o;
    for (int n = 0; n < 90; ++n) applyObserverKey(o, 'r', 0);
    applyObserverKey(o, 'v', 0);  // not drawn since: still along +z
    EXPECT_EQ(std::tie(o.XAuge, o.ZAuge), std::make_tuple(0.f, -4.426e11f));
    o.ZAuge = -4.476e11f;
    updateViewAngles(o, Target{});
    applyObserverKey(o, 'v', 0);
    EXPECT_EQ(std::tie(o.XAuge, o.YAuge, o.ZAuge), std::make_tuple(5e9f, 0.f, -4.476e11f));
    applyObserverKey(o, 'h', 0);
    EXPECT_EQ(o.XAuge, 0);
}

TEST(ObserverKeys, SpeedScalesWithoutBounds) {
    Observer o;
    EXPECT_TRUE(applyObserverKey(o, '+', 0));
    EXPECT_EQ(o.VAuge, 5.5e9f);
    EXPECT_TRUE(applyObserverKey(o, '-', 0));
    EXPECT_EQ(o.VAuge, 5e9f);
    for (int n = 0; n < 300; ++n) applyObserverKey(o, '-', 0);
    EXPECT_GT(o.VAuge, 0);
    EXPECT_LT(o.VAuge, 1);
}

// Scan codes count only after 255: K (75) is not the left arrow, and so on.
TEST(ObserverKeys, OtherKeysChangeNothing) {
    const std::pair<int, int> keys[] = {
        {'K', 0}, {'M', 0}, {'H', 0}, {'P', 0}, {'I', 0}, {'Q', 0}, {'S', 0}, {'O', 0},
        {'R', 0}, {'V', 0}, {'d', 0}, {'u', 0}, {0, 0}, {ext, 59}, {ext, 0}, {ext, 'r'},
    };
    for (auto [code, scan] : keys) {
        Observer o;
        const Observer before = o;
        EXPECT_FALSE(applyObserverKey(o, code, scan)) << code << "," << scan;
        EXPECT_EQ(fields(o), fields(before)) << code << "," << scan;
    }
}

TEST(ArctanDegrees, StaysStrictlyInsideTheQuadrant) {
    const float least = 90 / 262144.f, most = 90 - 90 / 262144.f;
    for (float v : {0.f, -1.f, -INFINITY}) EXPECT_EQ(arctanDegrees(v), least) << v;
    for (float v : {1e6f, 1e30f, INFINITY}) EXPECT_EQ(arctanDegrees(v), most) << v;
}

TEST(ArctanDegrees, CloseToTheArctangentAndMonotonic) {
    float previous = 0;
    for (double v = 1e-4; v < 1e5; v *= 1.05) {
        const float a = arctanDegrees(float(v));
        EXPECT_NEAR(a, std::atan(v) * 180 / std::numbers::pi, 1e-3) << v;
        EXPECT_GE(a, previous) << v;
        previous = a;
    }
    // Its degree is 3.1416/180, a little more than pi/180: tan(45) comes out
    // above 1, and the angle of 1 just below 45.
    EXPECT_NEAR(arctanDegrees(1), 45 * std::numbers::pi / 3.1416, 90 / 262144.);
    EXPECT_LT(arctanDegrees(1), 45);
}
