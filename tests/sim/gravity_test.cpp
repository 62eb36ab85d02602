// The gravity step against worked numbers and against the plain step of the tests.
#include <cmath>
#include <memory>

#include "sim/gravity.h"
#include "sim/stats.h"
#include "support/same_bits.h"
#include "world.h"

using namespace testing_support;

namespace {

struct Body { float mass, x, y, z, radius, vx = 0, vy = 0, vz = 0, active = 1; };

// A world of the bodies given, speed from the velocity.
std::unique_ptr<World> world(float timeStep, const std::vector<Body>& bodies) {
    auto w = std::make_unique<World>();
    sim::Bodies& b = w->bodies;
    b.bodyCount = float(bodies.size()), b.liveCount = int(bodies.size()), w->physics.timeStep = timeStep;
    for (int i = 1; const Body& q : bodies) {
        b.active[i] = q.active, b.mass[i] = q.mass, b.x[i] = q.x, b.y[i] = q.y, b.z[i] = q.z, b.radius[i] = q.radius;
        b.diameter[i] = 2 * q.radius, b.color[i] = 7, b.vx[i] = q.vx, b.vy[i] = q.vy, b.vz[i] = q.vz;
        b.speed[i++] = float(std::sqrt(double(q.vx) * q.vx + double(q.vy) * q.vy + double(q.vz) * q.vz));
    }
    return w;
}

}  // namespace

// Fast step, sim's plain step and the tests' plain step agree bit for bit; the row's value is worked by hand.
// Close (summed speed >= distance): round(timeStep) kicks with f = 1, else one with timeStep^2.
TEST(GravityStep, SmallWorldsAgainstThePlainStep) {
    const float d = 1e6f, below = std::nextafter(d, 0.f), above = std::nextafter(d, 2 * d);
    const double g = 6.67e-11f * 1e20 / 1e12;  // one kick of 1e20 kg at d, in m per step
    auto pair = [=](float speed, float radius, float partner = 0) {
        return std::vector<Body>{{1, 0, 0, 0, radius, 0, 0, speed}, {1e20f, d, 0, 0, radius, 0, 0, partner}};
    };
    using B = sim::Bodies;
    const struct { const char* name; float timeStep; std::vector<Body> bodies; int body; B::Column<float> B::*field;
                   double want; } rows[] = {
        {"speed one ulp below d: far", 5, pair(below, 0), 1, &B::vx, 25 * g},
        {"speed equal to d: close", 5, pair(d, 0), 1, &B::vx, 5 * g},
        {"speed one ulp above d: close", 5, pair(above, 0), 1, &B::vx, 5 * g},
        {"close at 2.6 s: round(2.6) = 3 kicks", 2.6f, pair(d, 0), 1, &B::vx, 3 * g},
        // In double the summed speed rounds to d; squared and added in float it falls short.
        {"summed speed reaches d only in double: close", 5, pair(540309.25f, 0, 841466.5f), 1, &B::vx, 5 * g},
        {"radii sum to d: apart", 5, pair(0, d / 2), 1, &B::active, 1},
        {"radii one ulp over d: merged", 5, pair(0, above / 2), 1, &B::active, 0},
        {"merger: the heavier keeps the summed mass", 720,
         {{3e24f, 0, 0, 0, 5e6f, 100}, {1e24f, 1e6f, 0, 0, 5e6f, 0, -400}, {1e10f, 1e15f, 0, 0, 1}}, 1, &B::mass, 4e24f},
        {"equal masses leave the lower number", 720, {{1e22f, 0, 0, 0, 1e6f}, {1e22f, 0, 1e6f, 0, 1e6f}}, 2, &B::active, 0},
        {"time step rounding to 0: no kick, no merger", 0.4f, {{1e30f, 0, 0, 0, 1e9f}, {1e30f, 1e3f, 0, 0, 1e9f, 7}}, 2,
         &B::x, 1007},
        {"a merger's survivor, now fast, makes a later pair close", 5,
         {{1e24f, 0, 0, 0, 1e3f}, {1e23f, 1, 0, 0, 1e3f, 1.3e8f}, {1, 1e7f, 0, 0, 0}}, 2, &B::active, 0},
        {"active -1 stays put", 720, {{1e30f, 0, 0, 0, 0, 0, 0, 0, -1}, {1e30f, 1e9f, 0, 0, 0}}, 1, &B::x, 0},
    };
    for (const auto& row : rows) {
        auto fast = world(row.timeStep, row.bodies), plain = world(row.timeStep, row.bodies);
        auto oracle = toPlain(fast->bodies, fast->physics);
        World& f = *fast;
        const int mergers = sim::fastGravityStep(f.gravity, f.bodies, f.physics, f.scenarioTitle, f.windowTitle);
        EXPECT_EQ(sim::gravityStep(plain->bodies, plain->physics, plain->scenarioTitle, plain->windowTitle), mergers);
        plainStep(oracle);
        EXPECT_TRUE(sameAsPlain(fast->bodies, oracle)) << row.name << ", fast";
        EXPECT_TRUE(sameAsPlain(plain->bodies, oracle)) << row.name << ", plain";
        EXPECT_NEAR((fast->bodies.*row.field)[std::size_t(row.body)], row.want, std::fabs(row.want) * 1e-6) << row.name;
    }
}

// 2 kg at the origin at 1 m/s along x, an absorbed 9 kg, 1 kg 5 m away at 2 m/s along -y.
TEST(SystemStats, TwoBodiesAndAnAbsorbedOne) {
    auto w = world(720, {{2, 0, 0, 0, 0, 720}, {9, 0, 0, 0, 0, 720, 0, 0, 0}, {1, 3, 0, 4, 0, 0, -1440}});
    const sim::Stats s = sim::systemStats(w->bodies, w->physics);
    const double got[] = {double(s.live), s.mass, s.px, s.py, s.pz, s.energy, s.cx, s.cy, s.cz};
    const double want[] = {2, 3, 2, -2, 0, 3 - double(w->physics.G) * 2 / 5, 1, 0, 4.0 / 3};
    for (int k = 0; k < 9; ++k) EXPECT_DOUBLE_EQ(got[k], want[k]) << "figure " << k;
    EXPECT_EQ(std::make_tuple(sim::relativeChange(-2, -1), sim::relativeChange(4, 4)), std::make_tuple(0.5, 0.0));
    auto negative = world(720, {{-3, 3, 0, 0, 0}, {1, 0, 0, 0, 0}});
    EXPECT_EQ(sim::systemStats(negative->bodies, negative->physics).cx, 4.5) << "a negative total mass has a centre too";
}
