// The gravity step: kicks, the close-approach rule, mergers and the position
// pass, checked against worked numbers and against the plain step.
#include <cmath>
#include <memory>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "scenarios/solar_system.h"
#include "sim/gravity.h"
#include "support/plain_gravity.h"
#include "support/same_bits.h"
#include "world.h"

using testing_support::plainStep;
using testing_support::sameAsPlain;
using testing_support::toPlain;

namespace {

std::unique_ptr<World> emptyWorld(int bodies) {
    auto w = std::make_unique<World>();
    w->bodies.bodyCount = float(bodies);
    w->bodies.liveCount = bodies;
    w->scenarioTitle = "Test";
    return w;
}

void place(sim::Bodies& b, int i, float mass, float x, float y, float z, float radius = 1) {
    b.active[i] = 1;
    b.mass[i] = mass;
    b.x[i] = x;
    b.y[i] = y;
    b.z[i] = z;
    b.radius[i] = radius;
    b.diameter[i] = 2 * radius;
    b.color[i] = 7;
}

// The simulation's step, the fast one; the plain step is checked against it
// in fast_gravity_test.cpp.
int step(World& w) {
    return sim::fastGravityStep(w.gravity, w.bodies, w.physics, w.scenarioTitle, w.windowTitle);
}

// A dense swarm whose bodies move further per step than they stand apart:
// many close passes and mergers.
std::unique_ptr<World> crowdedSwarm(int bodies, unsigned seed, float timeStep) {
    auto w = emptyWorld(bodies);
    w->physics.timeStep = timeStep;
    sim::Bodies& b = w->bodies;
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> unit(-1, 1);
    const float speed = 3e4f * timeStep;  // m per step
    const float size = 20 * speed;
    place(b, 1, 1e26f, 0, 0, 0, size / 50);
    for (int i = 2; i <= bodies; ++i) {
        place(b, i, 1e24f * (1 + unit(random)), size * unit(random), size * unit(random) / 4,
              size * unit(random), size / 60);
        b.vx[i] = speed * unit(random);
        b.vy[i] = speed * unit(random) / 4;
        b.vz[i] = speed * unit(random);
    }
    return w;
}

}  // namespace

// Two bodies at rest 1 AU apart: one far kick each, towards the other.
TEST(GravityStep, FarKickOfTheSunAtOneAU) {
    auto w = emptyWorld(2);
    const float AU = w->physics.AU;
    place(w->bodies, 1, w->physics.earthMass, AU, 0, 0);
    place(w->bodies, 2, w->physics.sunMass, 0, 0, 0);
    EXPECT_EQ(step(*w), 0);
    EXPECT_EQ(w->bodies.vx[1], -3089.37427f);
    EXPECT_EQ(w->bodies.vy[1], 0.f);
    EXPECT_EQ(w->bodies.vz[1], 0.f);
    EXPECT_GT(w->bodies.vx[2], 0.f);
    // Positions move only after both kicks, by the new velocities.
    EXPECT_EQ(w->bodies.x[1], float(double(AU) - 3089.37427f));
    EXPECT_EQ(w->bodies.x[2], w->bodies.vx[2]);
}

// Against the independent plain step: the solar system (close approaches and
// a merger within 3000 steps) and crowded swarms at three time steps.
TEST(GravityStep, MatchesThePlainStep) {
    const struct {
        const char* name;
        float timeStep;  // 0: the solar system
        int steps, minMergers;
    } rows[] = {{"solar system", 0, 3000, 1}, {"swarm at 720 s", 720, 60, 6}, {"swarm at 10 s", 10, 60, 6},
                {"swarm at 2.6 s", 2.6f, 60, 6}};
    for (const auto& row : rows) {
        auto w = crowdedSwarm(120, 7, row.timeStep);
        if (row.timeStep == 0) {
            w = std::make_unique<World>();
            scenarios::setUpSolarSystem(*w);
        }
        auto plain = toPlain(w->bodies, w->physics);
        int mergers = 0;
        for (int s = 1; s <= row.steps; ++s) {
            mergers += step(*w);
            plainStep(plain);
            ASSERT_TRUE(sameAsPlain(w->bodies, plain)) << row.name << ", step " << s;
        }
        EXPECT_EQ(mergers, plain.mergers) << row.name;
        EXPECT_GE(mergers, row.minMergers) << row.name;
    }
}

// A pair is close when the summed speeds reach the distance (equal included):
// then up to K = 5 kicks with f = 1, else one far kick with timeStep^2 = 25.
// Touching is strict: radii summing to the distance do not merge. Both the
// plain and the fast step.
TEST(GravityStep, CloseAndTouchingBoundaries) {
    const float d = 1e6f;
    const float below = std::nextafter(d, 0.f), above = std::nextafter(d, 2 * d);
    const struct {
        const char* name;
        float speed, radius;  // of body 1 (moving along z), each body's radius
        double kicks;         // of G m / d^2 on body 1; 0: merged
        float partner = 0;    // body 2's speed, along z
    } rows[] = {
        {"at rest: far", 0, 0, 25},           {"speed one ulp below d: far", below, 0, 25},
        {"speed equal to d: close", d, 0, 5}, {"speed one ulp above d: close", above, 0, 5},
        {"radii sum to d: apart", 0, d / 2, 25}, {"radii one ulp over d: merged", 0, above / 2, 0},
        // In double the summed speed rounds to d; squared and added in float it falls short.
        {"summed speed reaches d only in double: close", 540309.25f, 0, 5, 841466.5f},
    };
    for (bool fast : {false, true}) {
        for (const auto& row : rows) {
            auto w = emptyWorld(2);
            w->physics.timeStep = 5;
            place(w->bodies, 1, 1, 0, 0, 0, row.radius);
            place(w->bodies, 2, 1e20f, d, 0, 0, row.radius);
            w->bodies.vz[1] = w->bodies.speed[1] = row.speed;
            w->bodies.vz[2] = w->bodies.speed[2] = row.partner;
            const int mergers = fast ? step(*w)
                                     : sim::gravityStep(w->bodies, w->physics, w->scenarioTitle, w->windowTitle);
            const double small = double(w->physics.G) * 1e20 / (double(d) * d);
            EXPECT_EQ(mergers, row.kicks == 0) << row.name << (fast ? ", fast" : ", plain");
            if (row.kicks > 0) {
                EXPECT_NEAR(w->bodies.vx[1], row.kicks * small, row.kicks * small * 1e-6)
                    << row.name << (fast ? ", fast" : ", plain");
            }
        }
    }
}

TEST(GravityStep, MergerKeepsMomentumAndRenamesNothing) {
    auto w = emptyWorld(3);
    w->scenarioTitle = "Jupitersystem";
    sim::Bodies& b = w->bodies;
    place(b, 1, 3e24f, 0, 0, 0, 5e6f);
    place(b, 2, 1e24f, 1e6f, 0, 0, 5e6f);
    place(b, 3, 1e10f, 1e15f, 0, 0);
    b.name[2] = "Klein";
    b.vx[1] = 100;
    b.vy[2] = -400;
    EXPECT_EQ(step(*w), 1);
    EXPECT_EQ(b.liveCount, 2);
    EXPECT_EQ(w->windowTitle, "Jupitersystem  2 Objekte von 3");
    // The heavier body survives with the summed mass and momentum.
    EXPECT_EQ(b.active[1], 1.f);
    EXPECT_EQ(b.mass[1], 4e24f);
    EXPECT_NEAR(b.vx[1], 75, 1e-3);
    EXPECT_NEAR(b.vy[1], -100, 1e-3);
    // Its size comes from the new mass: a little below the true sphere of
    // 5520 kg/m^3 because of the 0.333 exponent.
    const double sphere = 2 * std::cbrt(4e24 * 3 / 5520.0 / (4 * M_PI));
    EXPECT_LT(b.diameter[1], sphere);
    EXPECT_GT(b.diameter[1], 0.97 * sphere);
    EXPECT_EQ(b.radius[1], b.diameter[1] / 2);
    // The absorbed body keeps place and name, and nothing else.
    for (float value : {b.active[2], b.mass[2], b.diameter[2], b.radius[2], b.color[2], b.vy[2]}) EXPECT_EQ(value, 0.f);
    EXPECT_EQ(b.x[2], 1e6f);
    EXPECT_EQ(b.name[2], "Klein");
}

// Small worlds with odd entries, each against the plain step and for the
// one value that shows its rule. Body 3 lies above the body count.
TEST(GravityStep, OddEntries) {
    using Column = sim::Bodies::Column<float>;
    struct Body {
        float active, mass, x, y, radius, vx;
    };
    const struct {
        const char* name;
        float timeStep;
        std::vector<Body> bodies;
        int body;
        Column sim::Bodies::*field;
        float expected;
    } rows[] = {
        {"equal masses leave the lower number", 720, {{1, 1e22f, 0, 0, 1e6f, 0}, {1, 1e22f, 0, 1e6f, 1e6f, 0}},
         2, &sim::Bodies::active, 0},
        {"coincident bodies merge into the heavier", 720, {{1, 1e22f, 5, 5, 10, 0}, {1, 2e22f, 5, 5, 10, 0}},
         2, &sim::Bodies::mass, 3e22f},
        {"time step rounding to 0: no kick", 0.4f, {{1, 1e30f, 0, 0, 1e9f, 0}, {1, 1e30f, 1e3f, 0, 1e9f, 7}},
         1, &sim::Bodies::vx, 0},
        {"time step rounding to 0: no merger, moves", 0.4f,
         {{1, 1e30f, 0, 0, 1e9f, 0}, {1, 1e30f, 1e3f, 0, 1e9f, 7}}, 2, &sim::Bodies::x, 1007},
        {"active -1 stays put", 720, {{-1, 1e30f, 0, 0, 0, 0}, {1, 1e30f, 1e9f, 0, 0, 0}}, 1, &sim::Bodies::x, 0},
        {"inactive body attracts nothing", 720, {{1, 1e20f, 0, 0, 0, 0}, {0, 1e30f, 1e11f, 0, 0, 0}},
         1, &sim::Bodies::vx, 0},
        {"unused entry attracts nothing", 720,
         {{1, 1e20f, 0, 0, 0, 0}, {1, 0, 1e11f, 0, 0, 0}, {1, 1e30f, -1e11f, 0, 0, 0}}, 1, &sim::Bodies::vx, 0},
    };
    for (const auto& row : rows) {
        auto w = emptyWorld(2);
        w->physics.timeStep = row.timeStep;
        int i = 0;
        for (const Body& body : row.bodies) {
            place(w->bodies, ++i, body.mass, body.x, body.y, 0, body.radius);
            w->bodies.active[i] = body.active;
            w->bodies.vx[i] = body.vx;
        }
        auto plain = toPlain(w->bodies, w->physics);
        step(*w);
        plainStep(plain);
        EXPECT_TRUE(sameAsPlain(w->bodies, plain)) << row.name;
        EXPECT_EQ((w->bodies.*row.field)[std::size_t(row.body)], row.expected) << row.name;
        EXPECT_TRUE(std::isfinite(w->bodies.x[2]) && std::isfinite(w->bodies.vx[2])) << row.name;
    }
}
