// The main menu: the scenario files of the working directory ("Open file"),
// the built-in scenarios ("Neustart"), "Beenden", and the two settings of the
// generated swarms with their step buttons.
#pragma once
#include "app/next.h"
#include "display/screen.h"
#include "world.h"

namespace app {

// Shows the main menu afresh until a pick starts something or "Beenden" is
// clicked, and sets the pick up. Simulation once a scenario or a loaded file
// stands ready; MainMenu when the picked file could not be loaded; Exit for
// "Beenden". A row that names nothing ("Listende", an empty row) is ignored
// and the lists are offered again.
Next runMainMenu(World& w, display::Screen& s);

// The range the step buttons keep the body count in.
inline constexpr float minBodyCount = 1, maxBodyCount = 800;

}  // namespace app
