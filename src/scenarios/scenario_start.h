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

// Writes a catalogued body on the x axis (y = z = 0, vz = 0) in the
// catalogues' field order; its diameter comes from the stored radius.
void putCatalogueBody(sim::Bodies& b, int n, float mass, float x, float vx, float vy, int color,
                      float radius, const char* name);

}  // namespace scenarios
