// The save dialog: writes the running state to a scenario file, picked from
// the working directory's "*.dat" files or typed, and then leads to the main
// menu, to the end or (Enter) to the solar system. It never returns to the
// running simulation.
#pragma once
#include <string>

#include "app/next.h"
#include "display/screen.h"
#include "world.h"

namespace app {

// Three screens: choose a file or "Speichen als - Save as"; type the name
// (only for "Save as") and save; then Enter, "Beenden - Exit" or
// "Go to Mainnenue ". A failed save says so on the third screen. Returns
// SolarSystem, MainMenu or Exit.
Next runSaveDialog(World& w, display::Screen& s);

// The name a typed line gives: its first item as the scenario file reader
// reads a text (up to the first comma; a leading double quote keeps commas).
std::string firstItem(const std::string& line);

// The third screen's line when the file could not be written.
inline constexpr const char* saveFailedText = "Fehler: Datei konnte nicht gespeichert werden";

}  // namespace app
