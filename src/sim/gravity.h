// Gravity step: advances the body table by one step of timeStep seconds.
// Velocities are displacements per step. All ordered pairs are visited in
// index order and each kick lands at once, so later pairs see the speeds of
// earlier kicks; positions move only after every velocity has been updated.
// Bodies that touch merge, and each merger rewrites the window title.
#pragma once
#include <string>

#include "sim/bodies.h"

namespace sim {

// The window title of a running scenario: its title, two blanks, the live
// count, " Objekte von " and the body count.
std::string windowTitleText(const std::string& scenarioTitle, int32_t liveCount, float bodyCount);

// One step over bodies 1..round(bodyCount): kicks, mergers, then positions.
// Returns the number of mergers; windowTitle is rewritten after each one.
int gravityStep(Bodies& b, const Physics& p, const std::string& scenarioTitle,
                std::string& windowTitle);

// The diameter of a body of the given mass at the mean density, in metres.
// The exponent is 0.333, not 1/3: merged bodies come out slightly small.
float diameterFromMass(float mass, float density);

}  // namespace sim
