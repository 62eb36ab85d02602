// The simulation clock: steps taken turned into simulated hours, days and
// years, with the stop, clock and speed settings that go with it.
#pragma once

namespace sim {

struct Clock {
    float stepCount = 1;     // steps taken; set from a loaded file, never reset otherwise
    float elapsedHours = 0;
    float elapsedDays = 0;
    float elapsedYears = 0;
    float stopSwitch = -1;   // -1 running, +1 stopped
    float clockSwitch = 1;   // +1 clock shown
    float speedFactor = 1;   // F8 / F9
};

// Counts one step and recomputes the three totals from stepCount.
void advanceClock(Clock& c, float timeStep);

}  // namespace sim
