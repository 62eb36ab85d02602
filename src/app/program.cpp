// The dispatch loop of the screens.
#include "app/program.h"

#include "app/main_menu.h"
#include "app/save_dialog.h"
#include "app/simulation.h"
#include "scenarios/scenario_list.h"

namespace app {

namespace {
constexpr int solarSystemEntry = 7;
}  // namespace

Next runScreen(World& w, display::Screen& s, Next screen) {
    switch (screen) {
        case Next::MainMenu: return runMainMenu(w, s);
        case Next::Simulation: return runSimulation(w, s);
        case Next::SaveDialog: return runSaveDialog(w, s);
        case Next::SolarSystem:
            scenarios::startListEntry(w, solarSystemEntry);
            return Next::Simulation;
        case Next::Exit: break;
    }
    return Next::Exit;
}

int runProgram(World& w, display::Screen& s) {
    for (Next next = Next::MainMenu; next != Next::Exit;) next = runScreen(w, s, next);
    return 0;
}

}  // namespace app
