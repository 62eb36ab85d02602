// A running pass allocates no memory: the operator new below counts every allocation.
#include <atomic>
#include <cstdlib>
#include <new>
#include <tuple>

#include "app/screen_text.h"

namespace {
std::atomic<long> allocations{0};
}  // namespace

// malloc and free pair up, which the compiler cannot see once it inlines them.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t size) {
    ++allocations;
    if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

// Every overlay on: names, target view following Jupiter under the course automation (a filled
// disc), visor, panel, both marks with a button held; past the first merger, whose title is new.
TEST(SimulationPass, AllocatesNothingOnceRunning) {
    testing_support::SolarRun run;
    World& w = *run.w;
    run.play("F3 F5 F7 F10 i 6 Enter", 299);
    run.play("click2:6 click1:6");
    run.input().movePointer(510, 383, 1);
    ASSERT_EQ(std::make_tuple(w.hud.mark1, w.hud.mark2, w.hud.diagSwitch, w.drawing.namesSwitch, w.bodies.liveCount,
                              w.bodies.apparentSize[6] >= 1.1f),
              std::make_tuple(6, 6, 1.f, 1.f, 23, true));
    const long before = allocations;
    for (int k = 0; k < 200; ++k) app::simulationPass(w, run.screen);
    EXPECT_EQ(allocations - before, 0);
}
