// The program's screens in one loop: each screen runs until the user leaves
// it and says where to go next; nothing calls a screen from another.
#pragma once
#include "app/next.h"
#include "display/screen.h"
#include "world.h"

namespace app {

// Runs the given screen and returns where to go next. SolarSystem sets up
// the solar system and goes on to the simulation.
Next runScreen(World& w, display::Screen& s, Next screen);

// From the main menu until the user ends the program; the exit status, 0.
int runProgram(World& w, display::Screen& s);

}  // namespace app
