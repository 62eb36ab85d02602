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

// One body in the catalogue's field order; diameter from the stored radius.
void put(sim::Bodies& b, int n, float mass, float x, float vy, int color, float radius,
         const char* name) {
    b.active[n] = 1;
    b.mass[n] = mass;
    b.x[n] = x;
    b.y[n] = 0;
    b.z[n] = 0;
    b.vx[n] = 0;
    b.vy[n] = vy;
    b.vz[n] = 0;
    b.color[n] = float(color);
    b.radius[n] = radius;
    b.diameter[n] = float(2.0 * b.radius[n]);
    b.name[n] = name;
}

}  // namespace

void setUpJupiterSystem(World& w) {
    sim::Bodies& b = w.bodies;
    sim::Physics& p = w.physics;
    w.observer.ZAuge = float(-0.02 * p.AU);
    p.timeStep = 10;
    beginScenario(w, "Jupitersystem", 5);

    const double dt = p.timeStep;
    put(b, 1, float(317.83 * p.earthMass), 0, float(2.5 * dt), 12, 71800000, "Jupiter");
    int n = 2;
    for (const Moon& m : moons) {
        // Each moon is placed and set moving relative to Jupiter as just stored.
        put(b, n++, m.mass, float(double(b.x[1]) + m.distance), float(b.vy[1] + m.speed * dt),
            m.color, m.radius, m.name);
    }
}

}  // namespace scenarios
