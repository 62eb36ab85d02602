// Presenting a full frame to the X window: palette indices converted to
// window pixels and put into the window (shared memory or XPutImage), until
// the server has it. Needs an X display ($DISPLAY); skipped without one.
#include <benchmark/benchmark.h>

#include <string>

#include "display/screen.h"

#ifdef ORBITS_HAVE_X11
#include "display/x11/window_backend.h"

namespace {

void presentFullFrame(benchmark::State& state, bool sharedMemory) {
    std::string error;
    auto opened = display::x11::openWindowBackend({"", sharedMemory}, error);
    if (!opened) {
        state.SkipWithError(("no X display, not measured: " + error).c_str());
        return;
    }
    display::x11::WindowBackend& backend = *opened;
    if (sharedMemory && !backend.usesSharedMemory()) {
        state.SkipWithError("the server offers no MIT shared memory");
        return;
    }
    display::Screen screen(std::move(opened));
    display::openScreen(screen);
    display::setViewport(screen, 1, 1, 1022, 766, 0, 1);
    for (int i = 0; i < 200; ++i)
        display::drawCircle(screen, float(i * 5), float(i * 3 % 760), float(i % 50), i % 16);
    display::printText(screen, "Sonnensystem  24 Objekte von 24", true);

    for (auto _ : state) backend.presentFullFrame();
    state.counters["frames/s"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}

}  // namespace

BENCHMARK_CAPTURE(presentFullFrame, sharedMemory, true)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(presentFullFrame, putImage, false)->Unit(benchmark::kMillisecond)->UseRealTime();

#else

static void presentFullFrame(benchmark::State& state) {
    state.SkipWithError("built without X11, not measured");
    for (auto _ : state) {
    }
}
BENCHMARK(presentFullFrame);

#endif
