// Projection of a full body table: the per-frame cost of the camera with 800
// bodies spread round the origin, most in front of the eye, some behind it.
#include <benchmark/benchmark.h>

#include <cmath>

#include "view/camera.h"

namespace {

void fillDisc(sim::Bodies& b) {
    b.bodyCount = sim::maxBodies;
    for (int i = 1; i <= sim::maxBodies; ++i) {
        // A spiral out to 5 AU with a slight tilt, so yaw and pitch both matter.
        const double angle = i * 2.399963229728653, radius = 7.46e11 * std::sqrt(i / 800.0);
        b.x[i] = float(radius * std::cos(angle));
        b.z[i] = float(radius * std::sin(angle));
        b.y[i] = float(0.05 * radius * std::sin(3 * angle));
        b.diameter[i] = float(1e6 + 1e3 * i);
    }
}

// One drawn frame's camera work: view angles, then all 800 projections.
void BM_ProjectFrame(benchmark::State& state) {
    sim::Bodies b;
    fillDisc(b);
    view::Observer o;
    o.XDREH = 20, o.YDREH = 15;
    const view::Target t;
    for (auto _ : state) {
        projectAll(o, updateViewAngles(o, t), b);
        benchmark::DoNotOptimize(b.screenX.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * sim::maxBodies);
}
BENCHMARK(BM_ProjectFrame);

// The bisection alone: 18 tangents, the bulk of one projection.
void BM_ArctanDegrees(benchmark::State& state) {
    float value = 0.001f;
    for (auto _ : state) {
        benchmark::DoNotOptimize(view::arctanDegrees(value));
        value = value < 1000 ? value * 1.5f : 0.001f;
    }
}
BENCHMARK(BM_ArctanDegrees);

}  // namespace
