// The swarm generator: a central pair "S1", "S2" at entries 1 and 2 and a
// swarm "P3", "P4", ... on circular orbits round it, shaped by the chosen
// list entry (ring, double sun, disc, shell, ball). Entries 9 and 10 make
// swarm body 3 a heavy planet and mark it.
#pragma once
#include <cstdint>
#include <optional>

#include "world.h"

namespace scenarios {

// True for the list entries the generator builds: 1..6, 9 and 10.
bool isSwarmEntry(int entry);

// Sets up entry `entry` (isSwarmEntry must hold) with bodyCount and
// w.maxMass as the settings: observer at z = -3 AU, title, entries
// 1..round(bodyCount) (bodies 1 and 2 always), centralMass in mass[0] and
// liveCount. timeStep, the clock and the entries above stay as they were.
// Both seedings derive from the seed when there is one, else from the clock.
void generateSwarm(World& w, int entry, std::optional<uint64_t> seed);

}  // namespace scenarios
