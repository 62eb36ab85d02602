// The swarm generator and its parameter table.
//
// Draws come in a fixed order, so a seed fixes the whole set-up. Between the
// two seedings: m1 and m2 (entries 5, 6), then d (entry 2). Per swarm body:
// azimuth, elevation (entries 4, 5), distance, distance again (entries 3, 5,
// 6, 9, 10), mass, colour.
#include "scenarios/swarm.h"

#include <cassert>
#include <cmath>
#include <string>

#include "scenarios/random.h"
#include "sim/gravity.h"

namespace scenarios {

namespace {

constexpr double degree = 0.017453292519943295;  // pi / 180

// A length of the table: au times AU plus metres.
struct Length {
    double au = 0, metres = 0;
};

// A value base + rnd * span, drawn only when span is not zero. A range with
// no base is drawn again on a zero draw: a separation or distance of 0 would
// make the speeds infinite.
struct Range {
    Length base, span;
};

struct Planet {
    double jupiterMasses = 0, earthMasses = 0;
    Length distance;  // zero: the drawn distance stands
};

struct SwarmRow {
    int entry;
    const char* title;
    double m1Suns;      // unless the pair is drawn
    double m2Suns, m2Kg;
    bool pairDrawn;     // m1, m2 = rnd * maxMass
    Range d;            // separation of the pair
    bool distanceAgain; // a second draw of r by the row's range replaces the first
    Range r;
    bool elevation;     // theta = rnd * 360 (shell, ball); else the plane z = 0
    Planet planet;      // body 3, when the row has one
};

constexpr Range pairGap{{0.002, 0}, {}};
constexpr Range ring{{1.5, 0}, {0, 3e8}};

constexpr SwarmRow rows[] = {
    {1, "Ein-Sonnensystem mit Kleinplanetenguettel", 1, 0, 1, false, pairGap, false, ring, false, {}},
    {2, "Doppel-Sonnensystem mit Kleinplanetenguettel", 1, 1, 0, false, {{}, {1, 0}}, false, ring,
     false, {}},
    {3, "Ein-Sonnensystem mit Scheibe Aus Kleinplanetenguettel", 1, 0, 1, false, pairGap, true,
     {{0.5, 0}, {2, 0}}, false, {}},
    {4, "Ein-Sonnensystem im Kugelraum mit Kleinplaneten", 1, 0, 1, false, pairGap, false, ring, true,
     {}},
    {5, "Kugelraum mit Kleinplaneten ", 0, 0, 0, true, pairGap, true, {{}, {0.03, 0}}, true, {}},
    {6, "Scheibe aus Kleinplaneten ", 0, 0, 0, true, pairGap, true, {{}, {2, 0}}, false, {}},
    {9, "Stern mit rotierender Scheibe & Planetenloch", 1, 0, 1, false, pairGap, true,
     {{1, 0}, {1, 0}}, false, {65, 0, {}}},
    {10, "TW Hydrae - roter Zwerg & Scheibe & Planet", 0.55, 0, 1, false, pairGap, true,
     {{1, 0}, {0, 2.4e13}}, false, {0, 20, {1, 1.2e13}}},
};

const SwarmRow* rowFor(int entry) {
    for (const SwarmRow& row : rows) {
        if (row.entry == entry) return &row;
    }
    return nullptr;
}

double metres(Length l, float AU) { return l.au * AU + l.metres; }

double nonZeroDraw(Random& random) {
    float u = draw(random);
    while (u == 0) u = draw(random);
    return u;
}

float drawIn(const Range& range, float AU, Random& random) {
    const double base = metres(range.base, AU), span = metres(range.span, AU);
    if (span == 0) return float(base);
    const double u = base == 0 ? nonZeroDraw(random) : draw(random);
    return float(base + u * span);
}

// Size from mass at the mean density; the radius is half the diameter.
void setSize(sim::Bodies& b, int n, float density) {
    b.diameter[n] = sim::diameterFromMass(b.mass[n], density);
    b.radius[n] = float(double(b.diameter[n]) / 2);
}

void putCentral(sim::Bodies& b, int n, float mass, float x, float vy, float density) {
    b.active[n] = 1;
    b.mass[n] = mass;
    b.x[n] = x;
    b.y[n] = b.z[n] = 0;
    b.vx[n] = 0;
    b.vy[n] = vy;
    b.vz[n] = 0;
    b.color[n] = 3;
    setSize(b, n, density);
    b.name[n] = n == 1 ? "S1" : "S2";
}

// The central pair from seeding 1: returns centralMass, the sum of the
// stored masses. Their momenta cancel and their centre of mass rests at the
// origin.
float placePair(World& w, const SwarmRow& row, Random& random) {
    sim::Bodies& b = w.bodies;
    const sim::Physics& p = w.physics;
    float m1 = float(row.m1Suns * p.sunMass);
    float m2 = float(row.m2Suns * p.sunMass + row.m2Kg);
    if (row.pairDrawn) {
        m1 = float(nonZeroDraw(random) * w.maxMass);
        m2 = float(nonZeroDraw(random) * w.maxMass);
    }
    const float d = drawIn(row.d, p.AU, random);
    const double sum = double(m1) + m2;
    const float vy2 = float(-std::sqrt(double(p.G) * m2 / d) * p.timeStep / 2);
    putCentral(b, 2, m2, float(m1 * double(d) / sum), vy2, p.density);
    putCentral(b, 1, m1, float(-m2 * double(d) / sum), float(-double(vy2) * m2 / m1), p.density);
    return float(sum);
}

// Swarm body n from seeding 2, on a circular orbit round centralMass at the
// origin, its angular momentum along -z.
void placeSwarmBody(World& w, const SwarmRow& row, int n, Random& random) {
    sim::Bodies& b = w.bodies;
    const sim::Physics& p = w.physics;
    const float phi = float(draw(random) * 360.0);
    const float theta = row.elevation ? float(draw(random) * 360.0) : 0.f;
    float r = drawIn(ring, p.AU, random);
    if (row.distanceAgain) r = drawIn(row.r, p.AU, random);
    b.mass[n] = float(draw(random) * double(w.maxMass));
    if (n == 3 && (row.planet.jupiterMasses > 0 || row.planet.earthMasses > 0)) {
        b.mass[n] = float(row.planet.jupiterMasses * p.jupiterMass + row.planet.earthMasses * p.earthMass);
        if (metres(row.planet.distance, p.AU) > 0) r = float(metres(row.planet.distance, p.AU));
        w.hud.mark1 = 3;
    }
    const double ph = phi * degree, th = theta * degree;
    b.x[n] = float(r * std::cos(th) * std::cos(ph));
    b.y[n] = float(r * std::sin(ph) * std::cos(th));
    b.z[n] = float(r * std::sin(th));
    const float v = float(std::sqrt(double(p.G) * b.mass[0] / r));
    b.vx[n] = float(v * std::sin(ph) * p.timeStep);
    b.vy[n] = float(-v * std::cos(ph) * p.timeStep);
    b.vz[n] = 0;
    b.active[n] = 1;
    setSize(b, n, p.density);
    b.color[n] = float(std::floor(draw(random) * 13.0) + 1);
    // Appended, not "P" + ...: GCC 12 at -O3 warns falsely on that form.
    b.name[n] = 'P';
    b.name[n] += std::to_string(n);
}

}  // namespace

bool isSwarmEntry(int entry) { return rowFor(entry) != nullptr; }

void generateSwarm(World& w, int entry, std::optional<uint64_t> seed) {
    const SwarmRow* row = rowFor(entry);
    assert(row && "the generator builds entries 1..6, 9 and 10");
    sim::Bodies& b = w.bodies;
    const int n = sim::usedEntries(b);

    w.observer.ZAuge = float(-3.0 * w.physics.AU);
    w.scenarioTitle = row->title;
    sim::clearDerivedFields(b);
    Random random = seedingFor(seed, 1);
    b.mass[0] = placePair(w, *row, random);

    random = seedingFor(seed, 2);
    for (int i = 3; i <= n; ++i) placeSwarmBody(w, *row, i, random);
    b.liveCount = n;
    // Body 3 is light red in every swarm: the planet where there is one.
    if (n >= 3) b.color[3] = 12;
}

}  // namespace scenarios
