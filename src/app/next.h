// Where a screen hands over when the user leaves it.
#pragma once

namespace app {

enum class Next { MainMenu, Simulation, SaveDialog, SolarSystem, Exit };

}  // namespace app
