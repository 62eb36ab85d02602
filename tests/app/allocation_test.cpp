// A running pass allocates no memory: every allocation in the program goes
// through the counting operator new below while the test watches.
#include <atomic>
#include <cstdlib>
#include <memory>
#include <new>
#include <tuple>

#include <gtest/gtest.h>

#include "app/simulation.h"
#include "display/headless.h"
#include "display/screen.h"
#include "scenarios/solar_system.h"
#include "world.h"

namespace {
std::atomic<long> allocations{0};
}  // namespace

// The replacement pair below allocates with malloc and frees with free, which
// the compiler cannot see through once it inlines them.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

void* operator new(std::size_t size) {
    ++allocations;
    if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

// With every overlay on: names, target view following Jupiter under the
// course automation (close enough that it is a filled disc), the visor, the
// panel, both marks with a button held; past the first merger, whose new
// title is one of the texts a pass may make.
TEST(SimulationPass, AllocatesNothingOnceRunning) {
    auto w = std::make_unique<World>();
    display::Screen screen;
    scenarios::setUpSolarSystem(*w);
    app::enterSimulation(*w, screen);
    display::HeadlessBackend& input = *display::headless(screen);
    for (int scanCode : {61, 63, 65, 68}) input.pressKey(display::PressedKey{-1, scanCode});
    input.typeText("i6\r");
    for (int k = 0; k < 300; ++k) app::simulationPass(*w, screen);
    input.movePointer(510, 383, 2);
    app::simulationPass(*w, screen);
    input.movePointer(510, 383, 1);
    app::simulationPass(*w, screen);
    ASSERT_EQ(std::make_tuple(w->hud.mark1, w->hud.mark2, w->hud.diagSwitch, w->drawing.namesSwitch),
              std::make_tuple(6, 6, 1.f, 1.f));
    ASSERT_EQ(w->bodies.liveCount, 23);
    ASSERT_GE(w->bodies.apparentSize[6], 1.1f);

    const long before = allocations;
    for (int k = 0; k < 200; ++k) app::simulationPass(*w, screen);
    EXPECT_EQ(allocations - before, 0);
}
