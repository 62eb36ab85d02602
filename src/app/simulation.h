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
// marking pick, erase cycle, bodies, visor, the in-simulation menu and the
// clock.
void displayPass(World& w, display::Screen& s);

// Enters the simulation and runs passes until one leaves it.
Next runSimulation(World& w, display::Screen& s);

// Steps this pass runs at the given speedFactor: one at 1 or below; above 1
// as many as the factor accumulates, the fraction carried to the next pass.
int stepsThisPass(sim::LoopState& loop, float speedFactor);

// The pause after a pass that took passMs milliseconds, in whole
// milliseconds: below speedFactor 1 each pass earns (1/speedFactor - 1)
// times its duration, and what is not slept yet (the fraction of a
// millisecond, or a pause a key cut short) is carried to the next pass, so
// that short passes are slowed as much as long ones. The debt is dropped when
// the factor changes and never exceeds maxPauseMs.
int pauseAfterPass(sim::LoopState& loop, float speedFactor, double passMs);

// Tells the pace how long the pause it asked for really lasted.
void pausedFor(sim::LoopState& loop, double sleptMs);

inline constexpr int maxStepsPerPass = 1000;
// Enough for a 50 ms pass at speedFactor 0.01; a key ends any pause early.
inline constexpr int maxPauseMs = 5000;

}  // namespace app
