// The generated swarms and the two special systems, started as the main
// menu starts them.
#include <cmath>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "scenarios/random.h"
#include "scenarios/scenario_list.h"
#include "sim/gravity.h"
#include "world.h"

namespace {

constexpr double AU = 1.492e11, sun = 1.98892e30, G = 6.67e-11;

std::unique_ptr<World> started(int entry, uint64_t seed, float bodyCount = 400, int before = 0) {
    auto w = std::make_unique<World>();
    if (before) scenarios::startListEntry(*w, before);
    if (!before) w->bodies.bodyCount = bodyCount;
    scenarios::startListEntry(*w, entry, seed);
    return w;
}

double length(double x, double y, double z) { return std::sqrt(x * x + y * y + z * z); }

// One row per generating entry: its pair (0: drawn below maxMass) and where its swarm lies.
struct Shape {
    int entry;
    const char* title;
    double m1, m2, rMin, rMax;
    bool flat;
};

constexpr Shape shapes[] = {
    {1, "Ein-Sonnensystem mit Kleinplanetenguettel", sun, 1, 1.5 * AU, 1.5 * AU + 3e8, true},
    {2, "Doppel-Sonnensystem mit Kleinplanetenguettel", sun, sun, 1.5 * AU, 1.5 * AU + 3e8, true},
    {3, "Ein-Sonnensystem mit Scheibe Aus Kleinplanetenguettel", sun, 1, 0.5 * AU, 2.5 * AU, true},
    {4, "Ein-Sonnensystem im Kugelraum mit Kleinplaneten", sun, 1, 1.5 * AU, 1.5 * AU + 3e8, false},
    {5, "Kugelraum mit Kleinplaneten ", 0, 0, 0, 0.03 * AU, false},
    {6, "Scheibe aus Kleinplaneten ", 0, 0, 0, 2 * AU, true},
    {9, "Stern mit rotierender Scheibe & Planetenloch", sun, 1, AU, 2 * AU, true},
    {10, "TW Hydrae - roter Zwerg & Scheibe & Planet", 0.55 * sun, 1, AU, AU + 2.4e13, true},
};

// The pair at rest in total round the origin, and every swarm body on a
// circular orbit round centralMass within the entry's distances.
void expectSwarm(const World& w, const Shape& s) {
    const sim::Bodies& b = w.bodies;
    const double dt = w.physics.timeStep, m1 = b.mass[1], m2 = b.mass[2];
    EXPECT_EQ(w.scenarioTitle, s.title);
    EXPECT_EQ(w.observer.ZAuge, float(-3 * AU));
    EXPECT_EQ(b.liveCount, sim::usedEntries(b));
    EXPECT_EQ(b.mass[0], float(m1 + m2)) << "centralMass";
    for (auto [m, table] : {std::pair{m1, s.m1}, {m2, s.m2}}) {
        EXPECT_TRUE(s.m1 > 0 ? std::fabs(m / table - 1) < 1e-7 : m > 0 && m < w.maxMass) << m;
    }
    EXPECT_NEAR(m1 * b.vy[1] + m2 * b.vy[2], 0, 1e-6 * m2 * std::fabs(b.vy[2])) << "pair momentum";
    EXPECT_NEAR(m1 * b.x[1] + m2 * b.x[2], 0, 1e-6 * m2 * b.x[2]) << "pair centre";
    EXPECT_EQ(b.name[1] + b.name[2], "S1S2");
    EXPECT_EQ(b.color[1] + b.color[2], 6.f);
    double highest = 0;
    for (int i = 3; i <= sim::usedEntries(b); ++i) {
        const double r = length(b.x[i], b.y[i], b.z[i]), v = length(b.vx[i], b.vy[i], b.vz[i]) / dt;
        highest = std::max(highest, double(std::fabs(b.z[i])));
        ASSERT_TRUE(r >= s.rMin * (1 - 1e-7) && r <= s.rMax * (1 + 1e-7)) << i << " at " << r;
        ASSERT_TRUE(!s.flat || b.z[i] == 0) << i;
        ASSERT_NEAR(v, std::sqrt(G * b.mass[0] / r), 1e-5 * v) << i;
        ASSERT_NEAR(double(b.x[i]) * b.vx[i] + double(b.y[i]) * b.vy[i] + double(b.z[i]) * b.vz[i], 0,
                    1e-5 * r * v * dt) << i;
        ASSERT_TRUE(s.m1 > 0 || v < std::sqrt(2 * G * w.maxMass / r)) << i;
        ASSERT_TRUE((i == 3 && s.entry >= 9) || b.mass[i] < w.maxMass) << i;
        ASSERT_TRUE(i == 3 ? b.color[i] == 12 : b.color[i] >= 1 && b.color[i] <= 13) << i;
        ASSERT_EQ(b.name[i], "P" + std::to_string(i));
        ASSERT_EQ(b.diameter[i], sim::diameterFromMass(b.mass[i], 5.52f)) << i;
        ASSERT_EQ(b.radius[i] * 2, b.diameter[i]) << i;
    }
    EXPECT_TRUE(s.flat || highest > 0.8 * s.rMax) << "off the plane";
}

}  // namespace

// PCG32's published first outputs for seed 42, stream 54, and the ends of a draw.
TEST(Random, Pcg32AndTheEndsOfADraw) {
    auto r = scenarios::seededRandom(42, 54);
    for (uint32_t bits : {0xa15c02b7u, 0x7b47f409u, 0xba1d3330u, 0x83d2f293u, 0xbfa4784bu, 0xcbed606eu})
        EXPECT_EQ(scenarios::nextBits(r), bits);
    const std::pair<uint32_t, float> ends[] = {
        {0, 0.f}, {0xff, 0.f}, {0x100, 0x1p-24f}, {0xffffffffu, 1 - 0x1p-24f}};
    for (auto [bits, unit] : ends) EXPECT_EQ(scenarios::unitFromBits(bits), unit) << bits;
}

TEST(Swarm, EveryEntryHasItsPairAndShape) {
    for (const Shape& s : shapes) {
        SCOPED_TRACE(s.entry);
        expectSwarm(*started(s.entry, 100 + s.entry), s);
    }
    auto one = started(1, 5);
    EXPECT_NEAR(one->bodies.x[1], -1.5e-22, 0.01e-22);
    EXPECT_EQ(one->bodies.x[2], 2.984e8f);
}

// A catalogue sets bodyCount and timeStep; the swarm started next takes both.
TEST(Swarm, AfterTheCataloguesTakesTheirBodyCountAndStep) {
    const std::pair<int, int> before[] = {{7, 24}, {8, 5}};
    for (auto [entry, count] : before) {
        auto w = started(1, 3, 0, entry);
        EXPECT_EQ(w->bodies.liveCount, count) << entry;
        expectSwarm(*w, shapes[0]);
    }
}

TEST(Swarm, ThePlanetOfTheSpecialSystems) {
    for (auto [entry, mass, radius] : {std::tuple{9, 1.2341e29, 1.711e8}, {10, 1.196e26, 1.697e7}}) {
        auto w = started(entry, 7);
        const sim::Bodies& b = w->bodies;
        EXPECT_EQ(w->hud.mark1, 3) << entry;
        EXPECT_EQ(b.name[3], "P3") << entry;
        EXPECT_NEAR(b.mass[3], mass, 1e-4 * mass) << entry;
        EXPECT_NEAR(b.radius[3], radius, 1e-3 * radius) << entry;
    }
    auto w = started(10, 8);
    const sim::Bodies& b = w->bodies;
    EXPECT_NEAR(length(b.x[3], b.y[3], b.z[3]), 1.21492e13, 2e-7 * 1.21492e13);
    EXPECT_NEAR(length(b.vx[3], b.vy[3], 0) / 720, 2.45e3, 0.01e3);
    double farthest = 0;
    for (int i = 4; i <= 400; ++i) farthest = std::max(farthest, length(b.x[i], b.y[i], b.z[i]));
    EXPECT_GT(farthest, 150 * AU);
}

// Fewer than three bodies: the pair alone, no planet, the mark as it was;
// entries above bodyCount stay as they were, only bodies 1 and 2 are always written.
TEST(Swarm, SmallBodyCounts) {
    const struct { int entry; float bodyCount; int mark1; } cases[] = {
        {1, 1, 7}, {1, 2, 7}, {1, 3, 7}, {9, 2, 7}, {9, 3, 3}, {10, 3, 3}, {10, 4, 3}};
    for (const auto& c : cases) {
        auto w = std::make_unique<World>();
        sim::Bodies& b = w->bodies;
        w->hud.mark1 = 7;
        b.bodyCount = c.bodyCount;
        b.name[3] = b.name[4] = "kept";
        scenarios::startListEntry(*w, c.entry, 1);
        const std::string row = std::to_string(c.entry) + "/" + std::to_string(c.bodyCount);
        EXPECT_EQ(b.liveCount, int(c.bodyCount)) << row;
        EXPECT_EQ(b.name[1] + b.name[2], "S1S2") << row;
        EXPECT_EQ(b.name[3], c.bodyCount >= 3 ? "P3" : "kept") << row;
        EXPECT_EQ(b.name[4], c.bodyCount >= 4 ? "P4" : "kept") << row;
        EXPECT_EQ(b.color[3], c.bodyCount >= 3 ? 12.f : 0.f) << row;
        EXPECT_EQ(w->hud.mark1, c.mark1) << row;
    }
}

// Every field of every set-up finite over thousands of seeds, among them
// seeds (found by search) whose draws are exactly 0 where a separation, a
// central mass or a distance of 0 would give infinite speeds.
TEST(Swarm, NoSeedGivesANonFiniteSetUp) {
    constexpr uint64_t zeroFirst = 7926450, zeroFourth = 29980364, zeroThird = 42830405;
    auto first = scenarios::seedingFor(zeroFirst, 1);
    auto swarm4 = scenarios::seedingFor(zeroFourth, 2), swarm3 = scenarios::seedingFor(zeroThird, 2);
    float fourth = 1, third = 1;
    for (int k = 0; k < 4; ++k) fourth = scenarios::draw(swarm4);
    for (int k = 0; k < 3; ++k) third = scenarios::draw(swarm3);
    ASSERT_EQ(scenarios::draw(first) + fourth + third, 0.f) << "the seeds no longer draw 0";

    auto w = std::make_unique<World>();
    const sim::Bodies& b = w->bodies;
    std::vector<uint64_t> seeds = {zeroFirst, zeroFourth, zeroThird};
    for (uint64_t seed = 0; seed < 2000; ++seed) seeds.push_back(seed);
    for (const Shape& s : shapes) {
        for (uint64_t used : seeds) {
            w->bodies.bodyCount = 40;
            scenarios::startListEntry(*w, s.entry, used);
            for (int i = 0; i <= 40; ++i) {
                const float fields[] = {b.x[i], b.y[i], b.z[i], b.vx[i], b.vy[i], b.mass[i], b.diameter[i]};
                for (float f : fields) ASSERT_TRUE(std::isfinite(f)) << s.entry << " seed " << used << " body " << i;
            }
        }
    }
}

// Outside CTest (run with --gtest_also_run_disabled_tests): a ring of entry 1
// of 20 light bodies (up to a millionth of an Earth mass) over one orbit, about 80,000 steps of 720 s, keeps every body
// within 1 % of its start radius.
TEST(Swarm, DISABLED_LightRingKeepsItsRadiusOverOneOrbit) {
    auto w = std::make_unique<World>();
    sim::Bodies& b = w->bodies;
    b.bodyCount = 22;
    w->maxMass = 1e-6f * w->physics.earthMass;
    scenarios::startListEntry(*w, 1, 2024);
    double start[23], worst = 0;
    for (int i = 3; i <= 22; ++i) start[i] = length(b.x[i], b.y[i], b.z[i]);
    for (int step = 0; step < 80000; ++step) {
        sim::gravityStep(b, w->physics, w->scenarioTitle, w->windowTitle);
        for (int i = 3; i <= 22; ++i) {
            if (b.active[i] != 0) worst = std::max(worst, std::fabs(length(b.x[i], b.y[i], b.z[i]) / start[i] - 1));
        }
    }
    std::printf("live %d of 22, largest relative radius change %.3g\n", b.liveCount, worst);
    EXPECT_LT(worst, 0.01);
}
