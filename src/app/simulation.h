// The simulation loop: every pass reads one key and the mouse, applies the
// key, advances the clock and the bodies by one step and draws one frame
// over the last. It runs as fast as the machine allows unless the pace set
// with F8 / F9 says otherwise.
#pragma once
#include <optional>

#include "app/next.h"
#include "display/screen.h"
#include "world.h"

namespace app {

// Opens the simulation's screen (blue frame, black drawing area, light green
// text), sets the drawn size scale and shows the title with the counts.
void enterSimulation(World& w, display::Screen& s);

// One pass. Returns where to go when the pass leaves the simulation.
std::optional<Next> simulationPass(World& w, display::Screen& s);

// One simulation step: the clock, then the gravity step; the window title
// follows each merger, and the course automation moves the eye.
void simulationStep(World& w, display::Screen& s);

// The frame of one pass: target values, view angles, projection with the
// marking pick, erase cycle, bodies, visor and the clock.
void displayPass(World& w, display::Screen& s);

// Enters the simulation and runs passes until one leaves it.
Next runSimulation(World& w, display::Screen& s);

// Steps this pass runs at the given speedFactor: one at 1 or below; above 1
// as many as the factor accumulates, the fraction carried to the next pass.
int stepsThisPass(sim::LoopState& loop, float speedFactor);

// Pause after a pass that took passMs milliseconds: (1/speedFactor - 1)
// times as long below 1, none otherwise; at most maxPauseMs.
int pauseAfterPass(float speedFactor, double passMs);

inline constexpr int maxStepsPerPass = 1000;
inline constexpr int maxPauseMs = 1000;

}  // namespace app
