// Steps per second of the gravity step at 24, 400 and 800 bodies.
#include <cmath>
#include <memory>

#include <benchmark/benchmark.h>

#include "scenarios/solar_system.h"
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

void run(benchmark::State& state, World& w) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(sim::gravityStep(w.bodies, w.physics, w.scenarioTitle, w.windowTitle));
    }
    const double n = sim::usedEntries(w.bodies);
    state.counters["steps/s"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["pairs/s"] =
        benchmark::Counter(double(state.iterations()) * n * (n - 1), benchmark::Counter::kIsRate);
}

void BM_GravityStepLattice(benchmark::State& state) {
    auto w = lattice(int(state.range(0)));
    run(state, *w);
}
BENCHMARK(BM_GravityStepLattice)->Arg(24)->Arg(400)->Arg(800)->Unit(benchmark::kMicrosecond);

void BM_GravityStepSolarSystem(benchmark::State& state) {
    auto w = std::make_unique<World>();
    scenarios::setUpSolarSystem(*w);
    run(state, *w);
}
BENCHMARK(BM_GravityStepSolarSystem)->Unit(benchmark::kMicrosecond);

}  // namespace
