// Gravity step: advances the body table by one step of timeStep seconds.
// Velocities are displacements per step. All ordered pairs are visited in
// index order and each kick lands at once, so later pairs see the speeds of
// earlier kicks; positions move only after every velocity has been updated.
// Bodies that touch merge, and each merger rewrites the window title.
#pragma once
#include <cmath>
#include <string>

#include "sim/bodies.h"

namespace sim {

// The window title of a running scenario: its title, two blanks, the live
// count, " Objekte von " and the body count.
std::string windowTitleText(const std::string& scenarioTitle, int32_t liveCount, float bodyCount);

// The plain step, one pair after the other: the reference that the fast step
// in sim/fast_gravity.h must equal bit for bit, and its explanation.
// One step over bodies 1..round(bodyCount): kicks, mergers, then positions.
// Returns the number of mergers; windowTitle is rewritten after each one.
int gravityStep(Bodies& b, const Physics& p, const std::string& scenarioTitle,
                std::string& windowTitle);

// The velocity pass of one attracted body i (active at the start of its row):
// its partners j in index order, close passes and mergers included. Returns
// the number of mergers.
int gravityRow(Bodies& b, const Physics& p, int i, const std::string& scenarioTitle,
               std::string& windowTitle);

// What a pair's kick needs of its positions alone (i attracted, j
// attracting), each rounded to float as the step stores it: the offset from
// i to j, the distance, the elevation of j seen from i, and its horizontal
// direction (0 when j is straight above or below). The fast step's portable
// kernel measures its pairs with this too.
struct PairGeometry {
    float dx, dy, dz, d, sinE, cosE, ux, uz;
};

inline PairGeometry pairGeometry(float xi, float yi, float zi, float xj, float yj, float zj) {
    PairGeometry q;
    q.dx = float(double(xj) - xi);
    q.dy = float(double(yj) - yi);
    q.dz = float(double(zj) - zi);
    q.d = float(std::sqrt(double(q.dx) * q.dx + double(q.dy) * q.dy + double(q.dz) * q.dz));
    q.sinE = float(double(q.dy) / q.d);
    q.cosE = float(std::sqrt(1 - double(q.sinE) * q.sinE));
    const double horizontal = double(q.cosE) * q.d;
    q.ux = horizontal == 0 ? 0.f : float(q.dx / horizontal);
    q.uz = horizontal == 0 ? 0.f : float(q.dz / horizontal);
    return q;
}

// Moves every body with active > 0 by its velocity.
void positionPass(Bodies& b);

// The diameter of a body of the given mass at the mean density, in metres.
// The exponent is 0.333, not 1/3: merged bodies come out slightly small.
float diameterFromMass(float mass, float density);

}  // namespace sim
