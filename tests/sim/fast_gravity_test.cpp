// The fast gravity step against the plain one, step by step, on generated
// tables: every float, liveCount, the mergers and the window title, on every
// kernel path this processor has and with 1, 2 and 3 threads.
#include <cmath>
#include <limits>
#include <memory>
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "sim/fast_gravity.h"
#include "sim/gravity.h"
#include "support/same_bits.h"

using testing_support::sameBits;
using testing_support::sameBodies;

namespace {

struct Table {
    sim::Bodies bodies;
    sim::Physics physics;
    std::string title;
};

// How a generated table is laid out.
struct Kind {
    const char* name;
    int minBodies, maxBodies;
    float spacing;      // m between neighbours, roughly
    float speed;        // m per step, largest component
    float radius;       // m, largest
    double oddities;    // chance per body of an inactive, still or non-finite entry
};

float pick(std::mt19937& random, float low, float high) {
    return std::uniform_real_distribution<float>(low, high)(random);
}

// A table of the given kind from the seed: masses over six orders, a few
// entries lined up on one axis (zero differences, vertical pairs), and with
// `oddities` inactive entries, active = -1, -0, NaN and infinite values.
std::unique_ptr<Table> generate(const Kind& kind, unsigned seed) {
    std::mt19937 random(seed);
    auto t = std::make_unique<Table>();
    const float timeSteps[] = {720, 10, 2.6f, 0.4f};
    t->physics.timeStep = timeSteps[random() % 16 == 0 ? 3 : random() % 3];
    const int n = kind.minBodies + int(random() % unsigned(kind.maxBodies - kind.minBodies + 1));
    sim::Bodies& b = t->bodies;
    b.bodyCount = float(n);
    b.liveCount = n;
    t->title = "Schwarm " + std::to_string(seed);
    const float size = kind.spacing * std::cbrt(float(n));
    for (int i = 1; i <= n; ++i) {
        b.active[i] = 1;
        b.mass[i] = std::pow(10.f, pick(random, 18, 24));
        b.x[i] = pick(random, -size, size);
        b.y[i] = pick(random, -size, size) / 3;
        b.z[i] = pick(random, -size, size);
        b.vx[i] = pick(random, -kind.speed, kind.speed);
        b.vy[i] = pick(random, -kind.speed, kind.speed);
        b.vz[i] = pick(random, -kind.speed, kind.speed);
        b.speed[i] = pick(random, 0, 2 * kind.speed);
        b.radius[i] = pick(random, 0, kind.radius);
        b.diameter[i] = 2 * b.radius[i];
        b.color[i] = float(random() % 16);
        if (i > 1 && random() % 6 == 0) {  // on a line with the body before
            const int axis = int(random() % 3);
            if (axis != 0) b.x[i] = b.x[i - 1];
            if (axis != 1) b.y[i] = b.y[i - 1];
            if (axis != 2) b.z[i] = b.z[i - 1];
        }
        if (pick(random, 0, 1) >= kind.oddities) continue;
        switch (random() % 8) {
            case 0: b.active[i] = 0; b.mass[i] = 0; break;
            case 1: b.active[i] = 0; break;  // stale values that must not count
            case 2: b.active[i] = -1; break;
            case 3: b.x[i] = -0.f; b.vx[i] = -0.f; break;
            case 4: b.vy[i] = std::numeric_limits<float>::quiet_NaN(); break;
            case 5: b.x[i] = std::numeric_limits<float>::infinity(); break;
            case 6: b.mass[i] = std::numeric_limits<float>::infinity(); break;
            case 7: b.y[i] = b.y[i > 1 ? i - 1 : i]; b.x[i] = b.x[i > 1 ? i - 1 : i];
                    b.z[i] = b.z[i > 1 ? i - 1 : i]; break;  // coincident
        }
    }
    return t;
}

struct Setting {
    sim::VectorPath path;
    int threads;
};

// Rows over all steps, and those the fast step did the plain way.
struct Rows {
    long all = 0, plain = 0;
};

// Steps a copy with each step and stops at the first difference.
::testing::AssertionResult sameSteps(const Table& start, int steps, const Setting& setting, Rows* rows = nullptr) {
    Table plain = start, fast = start;
    std::string plainTitle = "vorher", fastTitle = "vorher";
    sim::GravityEngine engine;
    engine.setThreads(setting.threads);
    engine.setThreadingThreshold(1);
    engine.setVectorPath(setting.path);
    const int n = sim::usedEntries(start.bodies);
    for (int s = 1; s <= steps; ++s) {
        const int plainMergers = sim::gravityStep(plain.bodies, plain.physics, plain.title, plainTitle);
        const int fastMergers = engine.step(fast.bodies, fast.physics, fast.title, fastTitle);
        if (rows) {
            rows->all += engine.lastStep().rows;
            rows->plain += engine.lastStep().plainRows;
        }
        auto fail = [&]() {
            return ::testing::AssertionFailure() << "step " << s << ", " << sim::vectorPathName(setting.path) << ", "
                                                 << setting.threads << " threads: ";
        };
        if (auto same = sameBodies(fast.bodies, plain.bodies, n); !same) return fail() << same.message();
        for (int i = 1; i <= n; ++i) {
            if (!sameBits(fast.bodies.speed[i], plain.bodies.speed[i])) {
                return fail() << "body " << i << " speed " << fast.bodies.speed[i] << " vs " << plain.bodies.speed[i];
            }
        }
        if (fast.bodies.liveCount != plain.bodies.liveCount || fastMergers != plainMergers ||
            fastTitle != plainTitle) {
            return fail() << "mergers " << fastMergers << " vs " << plainMergers << ", title '" << fastTitle
                          << "' vs '" << plainTitle << "'";
        }
    }
    return ::testing::AssertionSuccess();
}

std::vector<Setting> settings() {
    std::vector<Setting> all;
    for (sim::VectorPath path : {sim::VectorPath::portable, sim::VectorPath::avx2}) {
        if (!sim::vectorPathAvailable(path)) continue;
        for (int threads = 1; threads <= 3; ++threads) all.push_back({path, threads});
    }
    return all;
}

}  // namespace

TEST(FastGravityStep, EqualsThePlainStepOnGeneratedTables) {
    // Each row: a kind of table, how many tables (seeds) and steps each, and
    // which ways the fast step should take: most rows its own, or some rows
    // the plain way (close passes, mergers, non-finite kicks).
    struct Case {
        Kind kind;
        int tables, steps;
        bool mostlyFast, somePlain;
    };
    const Case cases[] = {
        {{"far swarm", 1, 40, 1e11f, 1e4f, 1e3f, 0.0}, 600, 3, true, false},
        {{"far swarm with odd entries", 1, 40, 1e11f, 1e4f, 1e3f, 0.15}, 600, 3, false, true},
        {{"crowded: most pairs close, many merge", 2, 16, 1e7f, 1e7f, 2e5f, 0.0}, 400, 3, false, true},
        {{"crowded with odd entries", 2, 16, 1e7f, 1e7f, 2e5f, 0.15}, 300, 3, false, true},
        {{"a few close pairs, no mergers", 20, 40, 1e9f, 1e8f, 0, 0.0}, 100, 3, false, true},
        {{"large far swarm", 300, 800, 1e11f, 1e4f, 1e3f, 0.0}, 2, 2, true, false},
        {{"large swarm, some close, a merger", 300, 800, 2e9f, 3e7f, 3e5f, 0.0}, 2, 2, false, true},
    };
    const std::vector<Setting> all = settings();
    unsigned seed = 1;
    for (const Case& c : cases) {
        Rows rows;
        for (int k = 0; k < c.tables; ++k, ++seed) {
            const auto table = generate(c.kind, seed);
            const Setting& setting = all[seed % all.size()];
            ASSERT_TRUE(sameSteps(*table, c.steps, setting, &rows)) << c.kind.name << ", seed " << seed;
        }
        // The comparison means something only where each way was taken.
        EXPECT_LT(rows.plain, rows.all) << c.kind.name;
        if (c.mostlyFast) {
            EXPECT_LT(2 * rows.plain, rows.all) << c.kind.name << ": " << rows.plain << " plain";
        }
        EXPECT_EQ(rows.plain > 0, c.somePlain) << c.kind.name << ": " << rows.plain << " of " << rows.all;
    }
}

TEST(FastGravityStep, EveryPathAndThreadCountOnOneLargeTable) {
    const Kind kind{"swarm", 797, 797, 1e10f, 2e7f, 1e5f, 0.0};
    const auto table = generate(kind, 4242);
    for (const Setting& setting : settings()) ASSERT_TRUE(sameSteps(*table, 2, setting)) << "seed 4242";
}
