// What the running simulation shows over its picture: the " Menue " button
// with its menu list (main menu, end, save, help) and the help text that F1
// or the menu's "Hilfe" switches.
#pragma once
#include <optional>

#include "app/next.h"
#include "display/screen.h"
#include "world.h"

namespace app {

// The " Menue " button, which opens and closes the menu list, and the list
// while it is open; leaves the text colours light green on black. Choosing
// "Hilfe" flips the help switch at once; the other choices are taken by
// simulationMenuExit.
void showSimulationMenu(World& w, display::Screen& s);

// Where the menu's choice leaves the simulation: "Mainmenue" to the main
// menu, "Beenden-Exit" to the end, "Speichern-Save" to the save dialog. The
// choice is taken, so it does not act again in a later run.
std::optional<Next> simulationMenuExit(MenuState& menus);

// Switches the clock off and prints the help text over the picture in the
// current colours, rows 1 to 30, without clearing what lies under it.
void showHelp(World& w, display::Screen& s);

}  // namespace app
