// The Jupiter catalogue. Masses, distances, speeds and radii are those of
// the same moons in the solar system; the colours are this system's own.
#include "scenarios/jupiter_system.h"

#include "scenarios/scenario_start.h"

namespace scenarios {

namespace {

struct Moon {
    const char* name;
    float mass;      // kg
    float distance;  // m beyond Jupiter on +x
    double speed;    // m/s along y, relative to Jupiter
    int color;
    float radius;    // m
};

constexpr Moon moons[] = {
    {"Io", 8.84e22f, 4.218e8f, -17300, 14, 1660000},
    {"Europa", 4.8e22f, 6.709e8f, -13740, 15, 1561000},
    {"Ganymed", 1.428e23f, 1.0704e9f, -10880, 8, 2630000},
    {"Kallisto", 1.076e23f, 1.884e9f, -8200, 6, 2340000},
};

}  // namespace

void setUpJupiterSystem(World& w) {
    sim::Bodies& b = w.bodies;
    sim::Physics& p = w.physics;
    w.observer.ZAuge = float(-0.02 * p.AU);
    p.timeStep = 10;
    beginScenario(w, "Jupitersystem", 5);

    const double dt = p.timeStep;
    putCatalogueBody(b, 1, float(317.83 * p.earthMass), 0, 0, float(2.5 * dt), 12, 71800000, "Jupiter");
    int n = 2;
    for (const Moon& m : moons) {
        // Each moon is placed and set moving relative to Jupiter as just stored.
        putCatalogueBody(b, n++, m.mass, float(double(b.x[1]) + m.distance), 0, float(b.vy[1] + m.speed * dt),
            m.color, m.radius, m.name);
    }
}

}  // namespace scenarios
