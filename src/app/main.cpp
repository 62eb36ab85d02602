// orbits: opens the window on the X display, sets up the solar system and
// runs it, one clock step and one gravity step per pass, until Esc.
#include <cstdio>
#include <memory>
#include <string>

#include "display/screen.h"
#include "display/x11/window_backend.h"
#include "scenarios/solar_system.h"
#include "sim/clock.h"
#include "sim/gravity.h"
#include "world.h"

int main() {
    std::string error;
    auto backend = display::x11::openWindowBackend({}, error);
    if (!backend) {
        std::fprintf(stderr, "orbits: %s\n", error.c_str());
        return 1;
    }
    display::Screen screen(std::move(backend));
    auto world = std::make_unique<World>();  // the body table is too large for the stack
    World& w = *world;
    scenarios::setUpSolarSystem(w);

    display::clearView(screen);
    display::openScreen(screen);
    display::setViewport(screen, 1, 1, 1022, 766, 0, 1);
    display::setColor(screen, 10);
    display::setWindowTitle(screen, sim::windowTitleText(w.scenarioTitle, w.bodies.liveCount, w.bodies.bodyCount));

    for (;;) {
        if (display::readKey(screen) == "\x1b") return 0;
        sim::advanceClock(w.clock, w.physics.timeStep);
        if (sim::gravityStep(w.bodies, w.physics, w.scenarioTitle, w.windowTitle) > 0)
            display::setWindowTitle(screen, w.windowTitle);
    }
}
