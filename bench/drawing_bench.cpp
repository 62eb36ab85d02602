// Drawing into the in-memory frame: the primitives a scene of several
// hundred bodies with trails uses every pass.
#include <benchmark/benchmark.h>

#include "display/screen.h"

namespace {

struct FramedScreen {
    FramedScreen() {
        display::openScreen(screen);
        display::setViewport(screen, 1, 1, 1022, 766, 0, 1);
    }
    display::Screen screen;
};

// 800 trail segments of about 20 pixels.
void trailLines(benchmark::State& state) {
    FramedScreen f;
    for (auto _ : state) {
        for (int i = 0; i < 800; ++i) {
            const float x = float(i * 37 % 1000), y = float(i * 53 % 740);
            display::drawLine(f.screen, x, y, x + 17, y + 11, i % 16);
        }
    }
    state.SetItemsProcessed(state.iterations() * 800);
}
BENCHMARK(trailLines);

// 800 small discs: outline and fill.
void discs(benchmark::State& state) {
    FramedScreen f;
    for (auto _ : state) {
        for (int i = 0; i < 800; ++i) {
            const float x = float(i * 37 % 1000), y = float(i * 53 % 740);
            display::drawCircle(f.screen, x, y, 4, 14);
            display::floodFill(f.screen, x, y, 14);
            display::drawBox(f.screen, x - 5, y - 5, x + 5, y + 5, 0, true);
        }
    }
    state.SetItemsProcessed(state.iterations() * 800);
}
BENCHMARK(discs);

// Clearing the viewport, as every sixth frame does.
void clearViewport(benchmark::State& state) {
    FramedScreen f;
    for (auto _ : state) display::clearView(f.screen);
}
BENCHMARK(clearViewport);

}  // namespace
