// The solar system and the Jupiter system against the catalogues' own figures.
#include <cmath>
#include <memory>
#include <tuple>

#include <gtest/gtest.h>

#include "scenarios/scenario_list.h"
#include "scenarios/solar_system.h"
#include "world.h"

namespace {

// The single-precision constants, each product evaluated in double.
constexpr double AU = 1.492e11f, earth = 5.98e24f, sun = 1.98892e30f, G = 6.67e-11f, dt = 720;

// Every set-up field of entry i.
auto fields(const sim::Bodies& b, int i) {
    return std::make_tuple(b.name[i], b.active[i], b.mass[i], b.x[i], b.y[i], b.z[i], b.vx[i], b.vy[i], b.vz[i],
                           b.color[i], b.radius[i], b.diameter[i]);
}

}  // namespace

// Planets (Earth masses), asteroids (kg; speed 0: circular round the Sun), moons on +x of their planet.
TEST(SolarSystem, EveryBodyOfTheCatalogue) {
    const struct { int nr; const char* name; double mass, au, speed; int color; float radius; } bodies[] = {
        {2, "Merkur", 0.056 * earth, 0.38, -47900, 8, 2400000}, {3, "Venus", 0.815 * earth, 0.72, -35000, 6, 6100000},
        {4, "Erde", earth, 1, -29800, 1, 6378000}, {5, "Mars", 0.108 * earth, 1.52, -24100, 4, 3400000},
        {6, "Jupiter", 317.83 * earth, 5.2, -13100, 10, 71800000}, {7, "Saturn", 94.11 * earth, 9.54, -9600, 12, 60300000},
        {8, "Uranus", 14.25 * earth, 19.18, -6800, 11, 23600000}, {9, "Neptun", 17.22 * earth, 30.06, -5400, 9, 24600000},
        {10, "Pluto", 0.15 * earth, 39.75, -4700, 7, 3000000}, {11, "Ceres", 9.39e20, 2.77, 0, 8, 490000},
        {12, "Veste", 2.17e20, 2.15, 0, 8, 280000}, {13, "Pallas", 2.34e20, 2.69, 0, 8, 261500},
        {14, "juno", 2.82e19, 2.5, 0, 8, 142000},
    };
    const struct { int nr; const char* name; int planet; float mass, distance; double speed; int color; float radius; }
    moons[] = {
        {15, "Mond", 4, 7.35e22f, 3.85001e8f, -1100, 7, 1738000}, {16, "Io", 6, 8.84e22f, 4.218e8f, -17300, 7, 1660000},
        {17, "Europa", 6, 4.8e22f, 6.709e8f, -13740, 15, 1561000}, {18, "Ganymed", 6, 1.428e23f, 1.0704e9f, -10880, 8, 2630000},
        {20, "Kallisto", 6, 1.076e23f, 1.884e9f, -8200, 12, 2340000},
        {21, "Titan", 7, 1.345e23f, 1.22185e9f, -5570, 12, 2550000},
        {22, "Enceladus", 7, 1.08e20f, 2.73948e8f, -12635.3, 15, 252000},
        {23, "Triton", 9, 2.15e22f, 3.54759e8f, 4390, 8, 1340000},
        {24, "Charon", 10, 1.52e21f, 1.95714e7f, 223, 8, 600000},
    };
    auto w = std::make_unique<World>();
    scenarios::setUpSolarSystem(*w);
    const sim::Bodies& b = w->bodies;
    EXPECT_EQ(std::tie(w->scenarioTitle, b.bodyCount, b.liveCount), std::make_tuple("Sonnensystem", 24.f, 24));
    EXPECT_EQ(fields(b, 1),
              std::make_tuple("Sonne", 1.f, float(sun), 0.f, 0.f, 0.f, 72.f, 11520.f, 0.f, 14.f, 696000.f, 1392000.f));
    for (const auto& p : bodies) {
        const float x = float(p.au * AU);
        const double speed = p.speed != 0 ? p.speed : -std::sqrt(G * sun / x);
        EXPECT_EQ(fields(b, p.nr), std::make_tuple(p.name, 1.f, float(p.mass), x, 0.f, 0.f, 0.f, float(speed * dt), 0.f,
                                                   float(p.color), p.radius, 2 * p.radius)) << p.name;
    }
    for (const auto& m : moons) {
        EXPECT_EQ(fields(b, m.nr), std::make_tuple(m.name, 1.f, m.mass, float(double(b.x[m.planet]) + m.distance), 0.f, 0.f,
                                                   0.f, float(b.vy[m.planet] + m.speed * dt), 0.f, float(m.color), m.radius,
                                                   2 * m.radius)) << m.name;
    }
    // The catalogue's worked values, as stored.
    const std::pair<float, float> worked[] = {{b.vy[2], -3.4488e7f}, {b.vy[11], -12899705.f}, {b.x[15], 1.49585e11f},
                                              {b.vy[15], -2.2248e7f}, {b.vy[23], -727200.f}, {b.vy[24], -3223440.f}};
    for (auto [got, want] : worked) EXPECT_EQ(got, want);
}

// After another scenario: entry 19 and derived fields cleared, not above 24; speeds at the time step in force.
TEST(SolarSystem, AfterAnotherScenario) {
    auto w = std::make_unique<World>();
    sim::Bodies& b = w->bodies;
    b.active[19] = 1, b.mass[19] = 1e20f, b.diameter[19] = 1e5f, b.name[19] = "P19";
    b.name[30] = "P30", b.speed[3] = b.depth[3] = 99;
    w->physics.timeStep = 10, w->observer.XAuge = 5e11f, w->clock.stepCount = 1234;
    scenarios::setUpSolarSystem(*w);
    EXPECT_EQ(std::make_tuple(b.active[19], b.mass[19], b.diameter[19], b.name[19]), std::make_tuple(0.f, 0.f, 0.f, ""));
    EXPECT_EQ(std::tie(b.name[30], b.speed[3], b.depth[3], b.vy[4], b.vx[1]), std::make_tuple("P30", 0.f, 0.f, -298000.f, 1.f));
    EXPECT_EQ(std::tie(w->physics.timeStep, w->observer.XAuge, w->clock.stepCount), std::make_tuple(10.f, 5e11f, 1234.f));
}

// List entry 8, whatever ran before it; entries above 5 keep their names.
TEST(JupiterSystem, SameBodiesWhateverRanBefore) {
    const struct { const char* name; float x, vy, color, radius; } moons[] = {
        {"Jupiter", 0, 25, 12, 71800000}, {"Io", 4.218e8f, -172975, 14, 1660000}, {"Europa", 6.709e8f, -137375, 15, 1561000},
        {"Ganymed", 1.0704e9f, -108775, 8, 2630000}, {"Kallisto", 1.884e9f, -81975, 6, 2340000}};
    for (int before : {0, 7, 1}) {
        auto w = std::make_unique<World>();
        if (before) scenarios::startListEntry(*w, before, 1);
        w->bodies.name[6] = "kept";
        scenarios::startListEntry(*w, 8);
        const sim::Bodies& b = w->bodies;
        EXPECT_EQ(std::make_tuple(w->scenarioTitle, b.name[6], b.bodyCount, b.liveCount, w->physics.timeStep,
                                  w->observer.ZAuge),
                  std::make_tuple("Jupitersystem", "kept", 5.f, 5, 10.f, -2.984e9f)) << "after " << before;
        EXPECT_NEAR(b.mass[1], 1.9006e27, 0.0001e27);
        for (int i = 1; i <= 5; ++i) {
            const auto& m = moons[i - 1];
            EXPECT_EQ(std::make_tuple(b.name[i], b.x[i], b.vy[i], b.color[i], b.radius[i], b.diameter[i], b.active[i]),
                      std::make_tuple(m.name, m.x, m.vy, m.color, m.radius, 2 * m.radius, 1.f))
                << m.name << " after " << before;
        }
    }
}
