// Advancing the simulation clock.
#include "sim/clock.h"

namespace sim {

void advanceClock(Clock& c, float timeStep) {
    c.stepCount = static_cast<float>(double(c.stepCount) + 1);
    c.elapsedHours = static_cast<float>(double(timeStep) * c.stepCount / 3600);
    c.elapsedDays = static_cast<float>(double(c.elapsedHours) / 24);
    c.elapsedYears = static_cast<float>(double(c.elapsedDays) / 365.25);
}

}  // namespace sim
