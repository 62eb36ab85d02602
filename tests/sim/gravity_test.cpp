// The gravity step: kicks, the close-approach rule, mergers and the position
// pass, checked against worked numbers and against the plain step.
#include <cmath>
#include <memory>
#include <random>

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

TEST(GravityStep, MatchesPlainStepOnTheSolarSystemWithCloseApproachesAndAMerger) {
    auto w = std::make_unique<World>();
    scenarios::setUpSolarSystem(*w);
    auto plain = toPlain(w->bodies, w->physics);
    int mergers = 0;
    for (int s = 0; s < 3000; ++s) {
        mergers += step(*w);
        plainStep(plain);
        ASSERT_TRUE(sameAsPlain(w->bodies, plain)) << "after step " << s + 1;
    }
    EXPECT_GE(mergers, 1);
    EXPECT_EQ(mergers, plain.mergers);
}

TEST(GravityStep, MatchesPlainStepInACrowdedSwarm) {
    for (float timeStep : {720.f, 10.f, 2.6f}) {
        auto w = crowdedSwarm(120, 7, timeStep);
        auto plain = toPlain(w->bodies, w->physics);
        for (int s = 0; s < 60; ++s) {
            step(*w);
            plainStep(plain);
            ASSERT_TRUE(sameAsPlain(w->bodies, plain)) << "timeStep " << timeStep << " step " << s + 1;
        }
        EXPECT_GT(plain.mergers, 5) << "the swarm should merge often at timeStep " << timeStep;
    }
}

TEST(GravityStep, CloseApproachGivesUpToKSmallKicksInsteadOfTheFarKick) {
    // Body 1 moves faster per step than the distance to body 2: every pass is
    // close, so it gets K = 5 kicks of G m / d^2 and no far kick.
    auto w = emptyWorld(2);
    w->physics.timeStep = 5;
    place(w->bodies, 1, 1, 0, 0, 0, 0);
    place(w->bodies, 2, 1e20f, 1e6f, 0, 0, 0);
    w->bodies.vz[1] = 2e6f;
    w->bodies.speed[1] = 2e6f;
    step(*w);
    const double small = double(w->physics.G) * 1e20 / 1e12;
    EXPECT_NEAR(w->bodies.vx[1], 5 * small, 5 * small * 1e-6);

    // The same pair with body 1 at rest is far: one kick with timeStep^2.
    auto far = emptyWorld(2);
    far->physics.timeStep = 5;
    place(far->bodies, 1, 1, 0, 0, 0, 0);
    place(far->bodies, 2, 1e20f, 1e6f, 0, 0, 0);
    step(*far);
    EXPECT_NEAR(far->bodies.vx[1], 25 * small, 25 * small * 1e-6);
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
    EXPECT_EQ(b.active[2], 0.f);
    EXPECT_EQ(b.mass[2], 0.f);
    EXPECT_EQ(b.diameter[2], 0.f);
    EXPECT_EQ(b.radius[2], 0.f);
    EXPECT_EQ(b.color[2], 0.f);
    EXPECT_EQ(b.vy[2], 0.f);
    EXPECT_EQ(b.x[2], 1e6f);
    EXPECT_EQ(b.name[2], "Klein");
}

TEST(GravityStep, EqualMassesLeaveTheLowerNumberedBody) {
    auto w = emptyWorld(2);
    place(w->bodies, 1, 1e22f, 0, 0, 0, 1e6f);
    place(w->bodies, 2, 1e22f, 0, 1e6f, 0, 1e6f);
    step(*w);
    EXPECT_EQ(w->bodies.active[1], 1.f);
    EXPECT_EQ(w->bodies.active[2], 0.f);
}

TEST(GravityStep, CoincidentBodiesMergeWithoutNonFiniteValues) {
    auto w = emptyWorld(2);
    place(w->bodies, 1, 1e22f, 5, 5, 5, 10);
    place(w->bodies, 2, 2e22f, 5, 5, 5, 10);
    step(*w);
    EXPECT_EQ(w->bodies.active[1], 0.f);
    EXPECT_EQ(w->bodies.mass[2], 3e22f);
    EXPECT_TRUE(std::isfinite(w->bodies.x[2]) && std::isfinite(w->bodies.vx[2]));
}

TEST(GravityStep, AbsorbedBodyStopsAttractingWithinTheStep) {
    // 1 is processed before 2 and 3 merge, 4 after. Compare with worlds where
    // the merger does not happen (radius 0) or has already happened.
    auto build = [](bool touching, bool premerged) {
        auto w = emptyWorld(4);
        sim::Bodies& b = w->bodies;
        place(b, 1, 1e20f, -1e11f, 0, 0, 0);
        place(b, 2, 3e28f, 0, 0, 0, touching ? 1e7f : 0);
        place(b, 3, 1e28f, 1e6f, 0, 0, touching ? 1e7f : 0);
        place(b, 4, 1e20f, 0, 1e11f, 0, 0);
        if (premerged) {
            b.mass[2] = 4e28f;
            b.active[3] = 0;
            b.mass[3] = 0;
        }
        return w;
    };
    auto merging = build(true, false);
    auto apart = build(false, false);
    auto merged = build(false, true);
    step(*merging);
    step(*apart);
    step(*merged);
    EXPECT_EQ(merging->bodies.active[3], 0.f);
    EXPECT_EQ(merging->bodies.vx[1], apart->bodies.vx[1]) << "1 was attracted with the old masses";
    EXPECT_EQ(merging->bodies.vy[4], merged->bodies.vy[4]) << "4 sees only the merged body";
    EXPECT_EQ(merging->bodies.vx[4], merged->bodies.vx[4]);
}

TEST(GravityStep, TwoMergersInOneStepCountTwice) {
    auto w = emptyWorld(4);
    w->scenarioTitle = "Sonnensystem";
    place(w->bodies, 1, 2e22f, 0, 0, 0, 1e6f);
    place(w->bodies, 2, 1e22f, 1e5f, 0, 0, 1e6f);
    place(w->bodies, 3, 2e22f, 1e12f, 0, 0, 1e6f);
    place(w->bodies, 4, 1e22f, 1e12f, 1e5f, 0, 1e6f);
    EXPECT_EQ(step(*w), 2);
    EXPECT_EQ(w->bodies.liveCount, 2);
    EXPECT_EQ(w->windowTitle, "Sonnensystem  2 Objekte von 4");
}

TEST(GravityStep, TimeStepRoundingToZeroOnlyMovesBodies) {
    auto w = emptyWorld(2);
    w->physics.timeStep = 0.4f;
    place(w->bodies, 1, 1e30f, 0, 0, 0, 1e9f);
    place(w->bodies, 2, 1e30f, 1e3f, 0, 0, 1e9f);
    w->bodies.vx[2] = 7;
    EXPECT_EQ(step(*w), 0);
    EXPECT_EQ(w->bodies.vx[1], 0.f);
    EXPECT_EQ(w->bodies.active[2], 1.f);
    EXPECT_EQ(w->bodies.x[2], 1007.f);
}

TEST(GravityStep, NegativeActiveAttractsAndIsAttractedButStays) {
    auto w = emptyWorld(2);
    place(w->bodies, 1, 1e30f, 0, 0, 0, 0);
    place(w->bodies, 2, 1e30f, 1e9f, 0, 0, 0);
    w->bodies.active[1] = -1;
    step(*w);
    EXPECT_GT(w->bodies.vx[1], 0.f);
    EXPECT_EQ(w->bodies.x[1], 0.f);
    EXPECT_LT(w->bodies.vx[2], 0.f);
    EXPECT_LT(w->bodies.x[2], 1e9f);
}

TEST(GravityStep, InactiveAndUnusedEntriesTakeNoPart) {
    auto w = emptyWorld(2);
    place(w->bodies, 1, 1e20f, 0, 0, 0, 0);
    place(w->bodies, 2, 1e30f, 1e11f, 0, 0, 0);
    w->bodies.active[2] = 0;
    place(w->bodies, 3, 1e30f, -1e11f, 0, 0, 0);  // above bodyCount
    step(*w);
    EXPECT_EQ(w->bodies.vx[1], 0.f);
    EXPECT_EQ(w->bodies.vx[3], 0.f);
}
