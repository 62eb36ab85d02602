// Whole-system figures of the body table, for checking a set-up and a run:
// what a physically sound step keeps (mass, momentum, energy, the resting
// centre of mass). Bodies count while active is not 0, as the gravity step
// counts them. Everything is summed in double.
#pragma once
#include "sim/bodies.h"

namespace sim {

struct Stats {
    int live = 0;                    // bodies taking part
    double mass = 0;                 // kg
    double px = 0, py = 0, pz = 0;   // momentum, kg m/s
    double energy = 0;               // kinetic + potential, J; potential pairwise
    double cx = 0, cy = 0, cz = 0;   // centre of mass, m (0 without mass)
};

// The figures of bodies 1..round(bodyCount); velocities are turned from
// metres per step into m/s with timeStep.
Stats systemStats(const Bodies& b, const Physics& p);

// (after - before) / |before|.
double relativeChange(double before, double after);

}  // namespace sim
