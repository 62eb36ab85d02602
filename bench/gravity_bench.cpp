// Steps per second of the gravity step at 24, 400 and 800 bodies: the plain
// step, and the fast step on each kernel path with 1 and 2 threads.
#include <cmath>
#include <memory>

#include <benchmark/benchmark.h>

#include "scenarios/solar_system.h"
#include "sim/fast_gravity.h"
#include "sim/gravity.h"
#include "world.h"

namespace {

// Light bodies at rest on a wide lattice: every pair stays far, nothing
// merges, so each step costs the same.
std::unique_ptr<World> lattice(int n) {
    auto w = std::make_unique<World>();
    sim::Bodies& b = w->bodies;
    b.bodyCount = float(n);
    b.liveCount = n;
    const int side = int(std::ceil(std::cbrt(double(n))));
    for (int i = 1; i <= n; ++i) {
        const int k = i - 1;
        b.active[i] = 1;
        b.mass[i] = 1e20f;
        b.x[i] = 1e10f * float(k % side);
        b.y[i] = 1e10f * float(k / side % side);
        b.z[i] = 1e10f * float(k / side / side);
        b.radius[i] = 0;
    }
    return w;
}

// Which step: plain, or fast with a path (0 portable, 1 AVX2) and threads.
struct Variant {
    bool fast = false;
    sim::VectorPath path = sim::VectorPath::portable;
    int threads = 1;
};

Variant variant(int code) {  // 0 plain, else 10 * path + threads
    if (code == 0) return {};
    return {true, code / 10 == 1 ? sim::VectorPath::avx2 : sim::VectorPath::portable, code % 10};
}

void run(benchmark::State& state, World& w, Variant v) {
    if (v.fast && !w.gravity.setVectorPath(v.path)) {
        state.SkipWithError("this processor lacks the path");
        return;
    }
    w.gravity.setThreads(v.threads);
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            v.fast ? w.gravity.step(w.bodies, w.physics, w.scenarioTitle, w.windowTitle)
                   : sim::gravityStep(w.bodies, w.physics, w.scenarioTitle, w.windowTitle));
    }
    // Every variant reports it (the plain step does every row plainly), so
    // that the CSV output, which needs the same columns in every row, works.
    state.counters["plainRows"] = v.fast ? w.gravity.lastStep().plainRows : w.bodies.liveCount;
    const double n = sim::usedEntries(w.bodies);
    state.counters["steps/s"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["pairs/s"] =
        benchmark::Counter(double(state.iterations()) * n * (n - 1), benchmark::Counter::kIsRate);
}

// Arguments: bodies, and the variant (0 plain, 1/2 portable with 1/2
// threads, 11/12 AVX2 with 1/2 threads).
void BM_GravityStepLattice(benchmark::State& state) {
    auto w = lattice(int(state.range(0)));
    run(state, *w, variant(int(state.range(1))));
}
BENCHMARK(BM_GravityStepLattice)
    ->ArgsProduct({{24, 400, 800}, {0, 1, 2, 11, 12}})
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();

void BM_GravityStepSolarSystem(benchmark::State& state) {
    auto w = std::make_unique<World>();
    scenarios::setUpSolarSystem(*w);
    run(state, *w, variant(int(state.range(0))));
}
BENCHMARK(BM_GravityStepSolarSystem)->Arg(0)->Arg(11)->Arg(12)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace
