// Fuzz target for the scenario-file loader (libFuzzer, ASan, UBSan): any
// bytes are loaded as a file over a running solar system. A refused file
// leaves the state exactly as it was; an accepted one holds 1 to 800 bodies,
// a live count from 0 to that number and a finite time step within the
// bound. An accepted file of at most 50 bodies then runs three steps, within
// a second of processor time beyond what its close passes may cost, and the
// fast step, on every vector path this processor has and on one and three
// threads, ends those steps with the same bits, mergers and window title.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <string>

#include <sys/mman.h>
#include <unistd.h>

#include "display/rounding.h"
#include "io/scenario_file.h"
#include "scenarios/solar_system.h"
#include "sim/clock.h"
#include "sim/fast_gravity.h"
#include "sim/gravity.h"

namespace {

constexpr int steppedBodies = 50;
// A close pair is kicked up to round(timeStep) times per step; in this build
// one such pass costs about 140 ns, so 250 ns is a generous allowance.
constexpr double slowSeconds = 1.0, closePassSeconds = 250e-9;

// Runs n steps, with the fast step of `engine` or, without one, the plain
// step; returns the mergers.
int steps(World& w, int n, sim::GravityEngine* engine = nullptr) {
    int mergers = 0;
    for (int s = 0; s < n; ++s) {
        sim::advanceClock(w.clock, w.physics.timeStep);
        mergers += engine != nullptr ? engine->step(w.bodies, w.physics, w.scenarioTitle, w.windowTitle)
                                     : sim::gravityStep(w.bodies, w.physics, w.scenarioTitle, w.windowTitle);
    }
    return mergers;
}

// The state each input is loaded over: the solar system some steps on, so
// that a partial commit shows in every header field and body.
const World& startState() {
    static const std::unique_ptr<World> w = [] {
        auto world = std::make_unique<World>();
        scenarios::setUpSolarSystem(*world);
        steps(*world, 10);
        world->reservedNumber = 42;
        return world;
    }();
    return *w;
}

// Everything a load may touch, as text (the derived speeds as bits).
std::string fingerprint(const World& w) {
    const auto& speed = w.bodies.speed;
    return io::scenarioText(w, io::exactDigits) + '|' + w.scenarioTitle + '|' + w.windowTitle + '|' +
           std::string(reinterpret_cast<const char*>(speed.data()), sizeof speed);
}

[[noreturn]] void fail(const std::string& what) {
    std::fprintf(stderr, "orbits_fuzz: %s\n", what.c_str());
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The input as a regular file in memory, opened by name as users do.
    static const int fd = memfd_create("scenario.dat", MFD_CLOEXEC);
    static const std::string path = "/proc/self/fd/" + std::to_string(fd);
    static const std::string untouched = fingerprint(startState());
    if (fd < 0 || ftruncate(fd, 0) != 0 || pwrite(fd, data, size, 0) != ssize_t(size)) fail("cannot write the input");

    auto w = std::make_unique<World>(startState());
    const std::clock_t start = std::clock();  // processor time of this process
    std::string warning;
    const io::FileResult r = io::loadScenario(*w, path, &warning);
    if (!r.ok) {
        if (r.reason.empty()) fail("a refused file without a reason");
        if (fingerprint(*w) != untouched) fail("a refused file changed the state: " + r.reason);
        return 0;
    }
    const int n = sim::usedEntries(w->bodies), live = w->bodies.liveCount;
    const float timeStep = w->physics.timeStep;
    if (n < 1 || n > sim::maxBodies || live < 0 || live > n || !std::isfinite(timeStep) ||
        display::roundHalfEven(timeStep) > io::maxTimeStep)
        fail("accepted with " + std::to_string(live) + " of " + std::to_string(n) + " bodies and a time step of " +
             std::to_string(timeStep));
    if (n > steppedBodies) return 0;
    const auto loaded = std::make_unique<World>(*w);
    const int mergers = steps(*w, 3);
    const double seconds = double(std::clock() - start) / CLOCKS_PER_SEC;
    const double closePasses = 3.0 * n * (n - 1) * std::max(1, display::roundHalfEven(timeStep));
    if (seconds > slowSeconds + closePassSeconds * closePasses)
        fail("loading " + std::to_string(n) + " bodies and three steps took " + std::to_string(seconds) + " s");

    // The engines live across inputs: their workers start once.
    static sim::GravityEngine engines[2][2];
    const std::string plain = fingerprint(*w);
    for (const sim::VectorPath path : {sim::VectorPath::portable, sim::VectorPath::avx2}) {
        for (const int threads : {1, 3}) {
            sim::GravityEngine& engine = engines[int(path)][threads / 3];
            if (!engine.setVectorPath(path)) continue;
            engine.setThreads(threads);
            engine.setThreadingThreshold(1);
            auto fast = std::make_unique<World>(*loaded);
            if (steps(*fast, 3, &engine) != mergers || fingerprint(*fast) != plain)
                fail(std::string("the fast step (") + sim::vectorPathName(path) + " path, " +
                     (threads == 1 ? "one thread" : "three threads") + ") differs from the plain step");
        }
    }
    return 0;
}
