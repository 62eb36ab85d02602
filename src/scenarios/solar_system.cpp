// The solar-system catalogue. Every value is used as it stands, also where it
// differs from astronomy (the Sun's radius is 696000 m, Pluto has 0.15 Earth
// masses).
#include "scenarios/solar_system.h"

#include <cmath>

#include "scenarios/scenario_start.h"

namespace scenarios {

namespace {

struct Planet {
    int number;
    const char* name;
    double earthMasses;
    double distanceAU;
    double speed;  // m/s along y
    int color;
    float radius;  // m
};

// Sun at the origin comes first and separately; the asteroids' speeds are
// computed from their own positions.
constexpr Planet planets[] = {
    {2, "Merkur", 0.056, 0.38, -47900, 8, 2400000},
    {3, "Venus", 0.815, 0.72, -35000, 6, 6100000},
    {4, "Erde", 1, 1, -29800, 1, 6378000},
    {5, "Mars", 0.108, 1.52, -24100, 4, 3400000},
    {6, "Jupiter", 317.83, 5.2, -13100, 10, 71800000},
    {7, "Saturn", 94.11, 9.54, -9600, 12, 60300000},
    {8, "Uranus", 14.25, 19.18, -6800, 11, 23600000},
    {9, "Neptun", 17.22, 30.06, -5400, 9, 24600000},
    {10, "Pluto", 0.15, 39.75, -4700, 7, 3000000},
};

struct Asteroid {
    int number;
    const char* name;
    float mass;  // kg
    double distanceAU;
    float radius;
};

constexpr Asteroid asteroids[] = {
    {11, "Ceres", 9.39e20f, 2.77, 490000},
    {12, "Veste", 2.17e20f, 2.15, 280000},
    {13, "Pallas", 2.34e20f, 2.69, 261500},
    {14, "juno", 2.82e19f, 2.5, 142000},
};

struct Moon {
    int number;
    const char* name;
    int planet;
    float mass;      // kg
    float distance;  // m beyond the planet on +x
    double speed;    // m/s along y, relative to the planet
    int color;
    float radius;
};

constexpr Moon moons[] = {
    {15, "Mond", 4, 7.35e22f, 3.85001e8f, -1100, 7, 1738000},
    {16, "Io", 6, 8.84e22f, 4.218e8f, -17300, 7, 1660000},
    {17, "Europa", 6, 4.8e22f, 6.709e8f, -13740, 15, 1561000},
    {18, "Ganymed", 6, 1.428e23f, 1.0704e9f, -10880, 8, 2630000},
    {20, "Kallisto", 6, 1.076e23f, 1.884e9f, -8200, 12, 2340000},
    {21, "Titan", 7, 1.345e23f, 1.22185e9f, -5570, 12, 2550000},
    {22, "Enceladus", 7, 1.08e20f, 2.73948e8f, -12635.3, 15, 252000},
    {23, "Triton", 9, 2.15e22f, 3.54759e8f, 4390, 8, 1340000},
    {24, "Charon", 10, 1.52e21f, 1.95714e7f, 223, 8, 600000},
};

}  // namespace

void setUpSolarSystem(World& w) {
    sim::Bodies& b = w.bodies;
    const sim::Physics& p = w.physics;
    const double dt = p.timeStep;

    beginScenario(w, "Sonnensystem", 24);
    clearEntry(b, 19);

    putCatalogueBody(b, 1, p.sunMass, 0, float(0.1 * dt), float(16 * dt), 14, 696000, "Sonne");
    for (const Planet& pl : planets) {
        putCatalogueBody(b, pl.number, float(pl.earthMasses * p.earthMass), float(pl.distanceAU * p.AU), 0,
            float(pl.speed * dt), pl.color, pl.radius, pl.name);
    }
    for (const Asteroid& as : asteroids) {
        const float x = float(as.distanceAU * p.AU);
        // Circular speed round the Sun's mass alone, at the stored distance.
        const double speed = -std::sqrt(double(p.G) * p.sunMass / x);
        putCatalogueBody(b, as.number, as.mass, x, 0, float(speed * dt), 8, as.radius, as.name);
    }
    for (const Moon& m : moons) {
        putCatalogueBody(b, m.number, m.mass, float(double(b.x[m.planet]) + m.distance), 0,
            float(b.vy[m.planet] + m.speed * dt), m.color, m.radius, m.name);
    }
}

}  // namespace scenarios
