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

using ::testing::AssertionFailure;
using testing_support::sameBits;
using testing_support::sameBodies;

namespace {

struct Table { sim::Bodies bodies; sim::Physics physics; std::string title; };

// How a generated table is laid out: bodies, spacing (m between neighbours,
// roughly), largest speed component (m per step) and radius (m), and the
// chance per body of an inactive, still or non-finite entry.
struct Kind { const char* name; int minBodies, maxBodies; float spacing, speed, radius; double oddities; bool plane, kicked; };

float pick(std::mt19937& random, float low, float high) {
    return std::uniform_real_distribution<float>(low, high)(random);
}

// A table of the given kind from the seed: masses over six orders, a few
// entries lined up on one axis (zero differences, vertical pairs), and with
// `oddities` inactive entries, active = -1, -0, NaN and infinite values.
std::unique_ptr<Table> generate(const Kind& kind, unsigned seed) {
    std::mt19937 random(seed);
    auto t = std::make_unique<Table>();
    t->physics.timeStep = std::array{720.f, 10.f, 2.6f, 0.4f}[random() % 16 == 0 ? 3 : random() % 3];
    const int n = kind.minBodies + int(random() % unsigned(kind.maxBodies - kind.minBodies + 1));
    sim::Bodies& b = t->bodies;
    b.bodyCount = float(n);
    b.liveCount = n;
    t->title = "Schwarm " + std::to_string(seed);
    const float size = kind.spacing * std::cbrt(float(n)), inf = std::numeric_limits<float>::infinity();
    sim::Bodies::Column<float>* const columns[] = {&b.x, &b.y, &b.z};
    for (int i = 1; i <= n; ++i) {
        b.active[i] = 1;
        b.mass[i] = std::pow(10.f, pick(random, 18, 24));
        for (auto* column : columns) (*column)[i] = pick(random, -size, size);
        b.y[i] /= 3;
        for (auto* column : {&b.vx, &b.vy, &b.vz}) (*column)[i] = pick(random, -kind.speed, kind.speed);
        b.speed[i] = pick(random, 0, 2 * kind.speed);
        if (kind.plane) {
            // Still at -0 in the plane x = 0, of negative mass: the x kicks
            // are zeros whose signs decide, -0 from the first block's -0.
            b.x[i] = i <= 16 && i % 4 == 0 && seed % 2 == 0 ? -0.f : 0.f;
            b.vx[i] = b.vy[i] = b.vz[i] = -0.f;
            b.mass[i] = -b.mass[i];
        }
        b.radius[i] = pick(random, 0, kind.radius);
        b.diameter[i] = 2 * b.radius[i];
        b.color[i] = float(random() % 16);
        if (i > 1 && random() % 6 == 0 && !kind.plane) {  // on a line with the body before
            const int axis = int(random() % 3);
            for (int a = 0; a < 3; ++a) (*columns[a])[i] = a == axis ? (*columns[a])[i] : (*columns[a])[i - 1];
        }
        if (pick(random, 0, 1) >= kind.oddities) continue;
        switch (random() % 8) {
            case 0: b.active[i] = 0; b.mass[i] = 0; break;
            case 1: b.active[i] = 0; break;  // stale values that must not count
            case 2: b.active[i] = -1; break;
            case 3: b.x[i] = -0.f; b.vx[i] = -0.f; break;
            case 4: b.vy[i] = std::numeric_limits<float>::quiet_NaN(); break;
            case 5: b.x[i] = inf; break;
            case 6: b.mass[i] = inf; break;
            case 7: for (auto* column : columns) (*column)[i] = (*column)[i > 1 ? i - 1 : i]; break;  // coincident
        }
    }
    if (kind.kicked) {  // light bodies at rest, close only once a heavy far body has kicked them:
        // the first, or the last of a whole group (a lean group of columns, from 17 bodies on)
        const int heavy = seed % 4 < 2 || n < 4 ? 1 : n / 4 * 4;
        for (int i = 1; i <= n; ++i) b.mass[i] = 1e12f;
        b.mass[heavy] = seed % 2 ? 3e28f : -3e28f;
        b.x[heavy] = 1e9f;
    }
    return t;
}

struct Setting { sim::VectorPath path; int threads; };

// Rows over all steps, and those the fast step did the plain way.
struct Rows { long all = 0, plain = 0; };

// Steps a copy with each step and stops at the first difference.
::testing::AssertionResult sameSteps(const Table& start, int steps, const Setting& setting, Rows& rows) {
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
        rows.all += engine.lastStep().rows;
        rows.plain += engine.lastStep().plainRows;
        auto same = sameBodies(fast.bodies, plain.bodies, n);
        for (int i = 1; i <= n && same; ++i) {
            if (!sameBits(fast.bodies.speed[i], plain.bodies.speed[i])) same = AssertionFailure() << "speed " << i;
        }
        if (!same || fast.bodies.liveCount != plain.bodies.liveCount || fastMergers != plainMergers ||
            fastTitle != plainTitle) {
            return AssertionFailure() << "step " << s << ", " << sim::vectorPathName(setting.path) << ", "
                                      << setting.threads << " threads: " << same.message() << "; mergers "
                                      << fastMergers << " vs " << plainMergers << ", title '" << fastTitle << "' vs '"
                                      << plainTitle << "'";
        }
    }
    return ::testing::AssertionSuccess();
}

}  // namespace

TEST(FastGravityStep, EqualsThePlainStepOnGeneratedTables) {
    std::vector<Setting> all;
    for (sim::VectorPath path : {sim::VectorPath::portable, sim::VectorPath::avx2}) {
        for (int threads = 1; threads <= 3 && sim::vectorPathAvailable(path); ++threads) all.push_back({path, threads});
    }
    // Each row: a kind of table, tables (seeds) and steps, whether each table
    // runs on every setting (else on one by seed), and which ways the fast
    // step should take: most rows its own, or some the plain way (close
    // passes, mergers, non-finite kicks); the comparison means something only
    // where each way was taken. Rows go in blocks of 16: 15 to 17 and 31 to
    // 33 bodies end a block one short, exactly, or one over.
    struct Case { Kind kind; int tables, steps; bool everySetting, mostlyFast, somePlain; };
    const Case cases[] = {
        {{"far swarm", 1, 40, 1e11f, 1e4f, 1e3f, 0.0, false, false}, 600, 3, false, true, false},
        {{"far swarm with odd entries", 1, 40, 1e11f, 1e4f, 1e3f, 0.15, false, false}, 600, 3, false, false, true},
        {{"crowded: most pairs close, many merge", 2, 16, 1e7f, 1e7f, 2e5f, 0.0, false, false}, 400, 3, false, false, true},
        {{"crowded with odd entries", 2, 16, 1e7f, 1e7f, 2e5f, 0.15, false, false}, 300, 3, false, false, true},
        {{"a few close pairs, no mergers", 20, 40, 1e9f, 1e8f, 0, 0.0, false, false}, 100, 3, false, false, true},
        {{"slow, many touching: mergers decide", 2, 40, 1e7f, 1.f, 4e6f, 0.0, false, false}, 200, 2, false, false, true},
        {{"large far swarm", 300, 800, 1e11f, 1e4f, 1e3f, 0.0, false, false}, 2, 2, false, true, false},
        {{"large swarm, some close, a merger", 300, 800, 2e9f, 3e7f, 3e5f, 0.0, false, false}, 2, 2, false, false, true},
        {{"797 bodies on every path and thread count", 797, 797, 1e10f, 1e9f, 1e5f, 0.0, false, false}, 1, 2, true, false, true},
        {{"one block, one short or one over", 15, 17, 1e11f, 1e4f, 1e3f, 0.0, false, false}, 60, 2, false, true, false},
        {{"two blocks, one short or one over", 31, 33, 1e11f, 1e4f, 1e3f, 0.05, false, false}, 60, 2, false, false, true},
        {{"in a plane, still at -0, of negative mass", 20, 80, 1e11f, 0, 0, 0.0, true, false}, 40, 2, false, true, false},
        {{"at rest, kicked close by a far heavy body", 3, 40, 1e3f, 0, 0, 0.0, false, true}, 40, 2, true, false, true},
    };
    unsigned seed = 1;
    for (const Case& c : cases) {
        Rows rows;
        for (int k = 0; k < c.tables; ++k, ++seed) {
            const auto table = generate(c.kind, seed);
            for (std::size_t s = 0; s < all.size(); ++s) {
                if (!c.everySetting && s != seed % all.size()) continue;
                ASSERT_TRUE(sameSteps(*table, c.steps, all[s], rows)) << c.kind.name << ", seed " << seed;
            }
        }
        EXPECT_LT(rows.plain, rows.all) << c.kind.name;
        if (c.mostlyFast) {
            EXPECT_LT(2 * rows.plain, rows.all) << c.kind.name << ": " << rows.plain << " plain";
        }
        EXPECT_EQ(rows.plain > 0, c.somePlain) << c.kind.name << ": " << rows.plain << " of " << rows.all;
    }
}
