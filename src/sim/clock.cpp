// Advancing the simulation clock.
#include "sim/clock.h"

#include "display/screen.h"

namespace sim {

void advanceClock(Clock& c, float timeStep) {
    c.stepCount = static_cast<float>(double(c.stepCount) + 1);
    c.elapsedHours = static_cast<float>(double(timeStep) * c.stepCount / 3600);
    c.elapsedDays = static_cast<float>(double(c.elapsedHours) / 24);
    c.elapsedYears = static_cast<float>(double(c.elapsedDays) / 365.25);
}

void drawClock(display::Screen& s, const Clock& c) {
    // "Stunde" and blanks fill one 14-column print zone; the value follows.
    display::locate(s, 2, 1);
    display::printText(s, "Stunde        ", false);
    display::printNumber(s, c.elapsedHours, true);
    display::locate(s, 3, 1);
    display::printText(s, "JAHR", false);
    display::printNumber(s, c.elapsedYears, true);
    display::locate(s, 4, 1);
    display::printText(s, "TAG", false);
    display::printNumber(s, c.elapsedDays, true);
}

}  // namespace sim
