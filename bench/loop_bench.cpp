// Passes per second of the simulation loop without a window, and the time
// of each part of a pass: gravity, projection, drawing.
#include <cmath>
#include <memory>

#include <benchmark/benchmark.h>

#include "app/simulation.h"
#include "display/headless.h"
#include "display/screen.h"
#include "scenarios/solar_system.h"
#include "sim/gravity.h"
#include "view/camera.h"
#include "view/drawing.h"
#include "world.h"

#ifdef ORBITS_HAVE_X11
#include <string>

#include "display/x11/window_backend.h"
#endif

namespace {

// The Sun and a disc of 799 light bodies on circular orbits between 0.5 and
// 3 AU: every body in view, no mergers for a long while.
std::unique_ptr<World> disc800() {
    auto w = std::make_unique<World>();
    scenarios::setUpSolarSystem(*w);
    sim::Bodies& b = w->bodies;
    b.bodyCount = 800;
    b.liveCount = 800;
    const double AU = w->physics.AU, dt = w->physics.timeStep;
    for (int i = 2; i <= 800; ++i) {
        const double r = AU * (0.5 + 2.5 * (i - 2) / 798.0);
        const double angle = i * 2.399963;  // the golden angle spreads them evenly
        const double v = std::sqrt(double(w->physics.G) * w->physics.sunMass / r);
        b.active[i] = 1;
        b.mass[i] = 1e18f;
        b.x[i] = float(r * std::cos(angle));
        b.z[i] = float(r * std::sin(angle));
        b.y[i] = 0;
        b.vx[i] = float(-v * std::sin(angle) * dt);
        b.vz[i] = float(v * std::cos(angle) * dt);
        b.vy[i] = 0;
        b.radius[i] = 1e3f;
        b.diameter[i] = 2e3f;
        b.color[i] = float(1 + i % 15);
    }
    return w;
}

std::unique_ptr<World> scenario(int n) {
    if (n == 800) return disc800();
    auto w = std::make_unique<World>();
    scenarios::setUpSolarSystem(*w);
    return w;
}

void BM_SimulationPass(benchmark::State& state) {
    auto w = scenario(int(state.range(0)));
    display::Screen screen;
    app::enterSimulation(*w, screen);
    for (auto _ : state) benchmark::DoNotOptimize(app::simulationPass(*w, screen));
    state.counters["passes/s"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
// Real time: the gravity step works on every core, and a pass lasts until all are done.
BENCHMARK(BM_SimulationPass)->Arg(24)->Arg(800)->Unit(benchmark::kMicrosecond)->UseRealTime();

// The same with the diagnostic panel and both marks on, a button held so
// that every frame picks.
void BM_SimulationPassWithPanelAndMarks(benchmark::State& state) {
    auto w = scenario(int(state.range(0)));
    display::Screen screen;
    app::enterSimulation(*w, screen);
    w->hud.diagSwitch = 1;
    w->clock.clockSwitch = -1;
    w->hud.mark2 = 4;
    display::headless(screen)->movePointer(510, 383, 1);
    for (auto _ : state) benchmark::DoNotOptimize(app::simulationPass(*w, screen));
    state.counters["passes/s"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_SimulationPassWithPanelAndMarks)->Arg(24)->Arg(800)->Unit(benchmark::kMicrosecond)->UseRealTime();

#ifdef ORBITS_HAVE_X11
// The same passes with the window on $DISPLAY, its thread copying changed
// rows to the server in the background.
void BM_SimulationPassInWindow(benchmark::State& state) {
    std::string error;
    auto backend = display::x11::openWindowBackend({}, error);
    if (!backend) {
        state.SkipWithError(("no X display, not measured: " + error).c_str());
        return;
    }
    auto w = scenario(int(state.range(0)));
    display::Screen screen(std::move(backend));
    app::enterSimulation(*w, screen);
    for (auto _ : state) benchmark::DoNotOptimize(app::simulationPass(*w, screen));
    state.counters["passes/s"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_SimulationPassInWindow)->Arg(24)->Arg(800)->Unit(benchmark::kMicrosecond)->UseRealTime();
#endif

void BM_PassPartProjection(benchmark::State& state) {
    auto w = scenario(int(state.range(0)));
    for (auto _ : state) {
        const view::ViewRotation r = view::updateViewAngles(w->observer, w->target);
        view::projectAll(w->observer, r, w->bodies);
    }
}
BENCHMARK(BM_PassPartProjection)->Arg(24)->Arg(800)->Unit(benchmark::kMicrosecond);

void BM_PassPartDrawing(benchmark::State& state) {
    auto w = scenario(int(state.range(0)));
    display::Screen screen;
    app::enterSimulation(*w, screen);
    view::projectAll(w->observer, view::updateViewAngles(w->observer, w->target), w->bodies);
    for (auto _ : state) {
        view::eraseCycle(w->drawing, screen, w->observer);
        view::drawBodies(w->drawing, w->hud, w->bodies, w->observer, screen);
    }
}
BENCHMARK(BM_PassPartDrawing)->Arg(24)->Arg(800)->Unit(benchmark::kMicrosecond);

// The gravity step a pass takes (second argument 1: the fast step, on every
// core), and the plain step beside it (0).
void BM_PassPartGravity(benchmark::State& state) {
    auto w = scenario(int(state.range(0)));
    const bool fast = state.range(1) != 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            fast ? w->gravity.step(w->bodies, w->physics, w->scenarioTitle, w->windowTitle)
                 : sim::gravityStep(w->bodies, w->physics, w->scenarioTitle, w->windowTitle));
    }
}
BENCHMARK(BM_PassPartGravity)
    ->ArgsProduct({{24, 800}, {0, 1}})
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();

}  // namespace
