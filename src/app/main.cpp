// orbits: opens the window on the X display and starts in the main menu;
// the screens follow one another until the user ends the program.
#include <cstdio>
#include <memory>
#include <string>

#include "app/command_line.h"
#include "app/program.h"
#include "display/screen.h"
#include "display/x11/window_backend.h"
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
    return app::runProgram(*world, screen);
}
