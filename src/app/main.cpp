// orbits: opens the window on the X display and runs the solar system in
// the simulation loop until the user leaves it with Esc.
#include <cstdio>
#include <memory>
#include <string>

#include "app/command_line.h"
#include "app/simulation.h"
#include "display/screen.h"
#include "display/x11/window_backend.h"
#include "scenarios/solar_system.h"
#include "world.h"

int main(int argc, char** argv) {
    if (const auto answer = app::commandLineAnswer(argc, argv)) {
        std::fputs(answer->c_str(), stdout);
        return 0;
    }
    std::string error;
    auto backend = display::x11::openWindowBackend({}, error);
    if (!backend) {
        std::fprintf(stderr, "orbits: %s\n", error.c_str());
        return 1;
    }
    display::Screen screen(std::move(backend));
    auto world = std::make_unique<World>();  // the body table is too large for the stack
    scenarios::setUpSolarSystem(*world);
    // Leaving the simulation ends the program until there are screens to go to.
    app::runSimulation(*world, screen);
    return 0;
}
