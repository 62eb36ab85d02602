// What every scenario set-up does before it writes its bodies.
#pragma once
#include <string>

#include "world.h"

namespace scenarios {

// Sets the title and the counts and clears the derived fields of the whole
// table.
void beginScenario(World& w, const std::string& title, int bodyCount);

// Turns entry n into an empty, inactive entry that takes no part in anything.
void clearEntry(sim::Bodies& b, int n);

}  // namespace scenarios
