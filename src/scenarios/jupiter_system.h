// The Jupiter system: Jupiter at the origin and its four large moons on the
// +x axis moving in -y, seen from close by. The only scenario that changes
// the step, to 10 s, which later scenarios inherit.
#pragma once
#include "world.h"

namespace scenarios {

// Moves the observer to z = -0.02 AU, sets timeStep to 10 s, the title and
// the counts, and writes entries 1..5. Entries above 5 stay as they were.
void setUpJupiterSystem(World& w);

}  // namespace scenarios
