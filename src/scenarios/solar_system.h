// The solar system: the Sun, nine planets, four large asteroids and nine
// moons, all in a line on the +x axis moving in -y.
#pragma once
#include "world.h"

namespace scenarios {

// Writes the catalogue into entries 1..24 (entry 19 cleared), sets the title
// and the counts. Velocities use the timeStep in force; the observer, the
// clock and the entries above 24 stay as they were.
void setUpSolarSystem(World& w);

}  // namespace scenarios
