// The solar-system catalogue as it is written into the body table.
#include <memory>

#include <gtest/gtest.h>

#include "scenarios/solar_system.h"
#include "world.h"

namespace {

std::unique_ptr<World> solarSystem() {
    auto w = std::make_unique<World>();
    scenarios::setUpSolarSystem(*w);
    return w;
}

}  // namespace

TEST(SolarSystem, ReferenceValuesAtProgramStart) {
    auto w = solarSystem();
    const sim::Bodies& b = w->bodies;
    EXPECT_EQ(w->scenarioTitle, "Sonnensystem");
    EXPECT_EQ(b.bodyCount, 24.f);
    EXPECT_EQ(b.liveCount, 24);
    EXPECT_EQ(b.name[1], "Sonne");
    EXPECT_EQ(b.vx[1], 72.f);
    EXPECT_EQ(b.vy[1], 11520.f);
    EXPECT_EQ(b.vy[2], -3.4488e7f);
    EXPECT_EQ(b.x[4], 1.492e11f);
    EXPECT_EQ(b.vy[4], -2.1456e7f);
    EXPECT_EQ(b.name[11], "Ceres");
    EXPECT_EQ(b.vy[11], -12899705.f);
    EXPECT_EQ(b.x[15], 1.49585e11f);
    EXPECT_EQ(b.vy[15], -2.2248e7f);
    EXPECT_EQ(b.vy[23], -727200.f);
    EXPECT_EQ(b.vy[24], -3223440.f);
    EXPECT_EQ(b.name[20], "Kallisto");
    EXPECT_EQ(b.name[24], "Charon");
    EXPECT_EQ(b.name[14], "juno");
}

TEST(SolarSystem, EveryBodyIsComplete) {
    auto w = solarSystem();
    const sim::Bodies& b = w->bodies;
    for (int i = 1; i <= 24; ++i) {
        if (i == 19) continue;
        EXPECT_EQ(b.active[i], 1.f) << i;
        EXPECT_GT(b.mass[i], 0.f) << i;
        EXPECT_EQ(b.diameter[i], 2 * b.radius[i]) << i;
        EXPECT_EQ(b.y[i], 0.f) << i;
        EXPECT_EQ(b.z[i], 0.f) << i;
        EXPECT_EQ(b.vz[i], 0.f) << i;
        EXPECT_FALSE(b.name[i].empty()) << i;
        EXPECT_GE(b.color[i], 1.f) << i;
        EXPECT_LE(b.color[i], 15.f) << i;
    }
    // Moons stand beyond their planets and move with them.
    EXPECT_GT(b.x[16], b.x[6]);
    EXPECT_LT(b.vy[16], b.vy[6]);
    EXPECT_GT(b.vy[23], b.vy[9]);
}

TEST(SolarSystem, TotalMomentumStartsNearZero) {
    auto w = solarSystem();
    const sim::Bodies& b = w->bodies;
    double others = 0;
    for (int i = 2; i <= 24; ++i) others += double(b.mass[i]) * b.vy[i] / w->physics.timeStep;
    const double sun = double(b.mass[1]) * b.vy[1] / w->physics.timeStep;
    EXPECT_NEAR(others, -3.1835e31, 0.0005e31);
    EXPECT_NEAR(sun, 3.1823e31, 0.0005e31);
}

TEST(SolarSystem, EntryNineteenIsClearedEvenAfterAnotherScenario) {
    auto w = std::make_unique<World>();
    w->bodies.active[19] = 1;
    w->bodies.mass[19] = 1e20f;
    w->bodies.diameter[19] = 1e5f;
    w->bodies.name[19] = "P19";
    w->bodies.name[30] = "P30";
    w->bodies.speed[3] = 99;
    scenarios::setUpSolarSystem(*w);
    EXPECT_EQ(w->bodies.active[19], 0.f);
    EXPECT_EQ(w->bodies.mass[19], 0.f);
    EXPECT_EQ(w->bodies.diameter[19], 0.f);
    EXPECT_TRUE(w->bodies.name[19].empty());
    EXPECT_EQ(w->bodies.name[30], "P30") << "entries above 24 stay as they were";
    EXPECT_EQ(w->bodies.speed[3], 0.f) << "derived fields start cleared";
}

TEST(SolarSystem, UsesTheTimeStepInForceAndLeavesObserverAndClock) {
    auto w = std::make_unique<World>();
    w->physics.timeStep = 10;
    w->observer.XAuge = 5e11f;
    w->clock.stepCount = 1234;
    scenarios::setUpSolarSystem(*w);
    EXPECT_EQ(w->bodies.vy[4], -298000.f);
    EXPECT_EQ(w->bodies.vx[1], 1.f);
    EXPECT_EQ(w->physics.timeStep, 10.f);
    EXPECT_EQ(w->observer.XAuge, 5e11f);
    EXPECT_EQ(w->clock.stepCount, 1234.f);
}
