// Dispatches a scenario-list entry to its set-up.
#include "scenarios/scenario_list.h"

#include <cassert>

#include "scenarios/jupiter_system.h"
#include "scenarios/solar_system.h"
#include "scenarios/swarm.h"

namespace scenarios {

bool startListEntry(World& w, int entry, std::optional<uint64_t> seed) {
    assert(hasScenario(entry) && "only entries 1..10 start a scenario");
    if (entry == 7) {
        setUpSolarSystem(w);
    } else if (entry == 8) {
        setUpJupiterSystem(w);
    } else {
        generateSwarm(w, entry, seed);
    }
    return true;
}

}  // namespace scenarios
