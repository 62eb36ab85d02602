// The built-in scenarios of the main menu's scenario list, by entry number.
#pragma once
#include <cstdint>
#include <optional>

#include "world.h"

namespace scenarios {

// Entries 1..10 of the scenario list start a scenario; every other row is
// the list's end or empty and starts nothing.
inline bool hasScenario(int entry) { return entry >= 1 && entry <= 10; }

// Sets up list entry `entry` (hasScenario must hold) on the current state,
// exactly as the main menu starts it: generated entries take bodyCount and
// w.maxMass as the settings. With a seed both seedings of a generated
// scenario derive from it; without one they come from the clock.
// Returns true: every entry 1..10 is set up.
bool startListEntry(World& w, int entry, std::optional<uint64_t> seed = std::nullopt);

}  // namespace scenarios
