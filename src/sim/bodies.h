// The body table: parallel per-body arrays indexed by body number, and the
// physical constants that go with them. A fresh Bodies / Physics is the
// program-start state.
#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "display/rounding.h"

namespace sim {

inline constexpr int maxBodies = 800;

// Entries 1..800 are bodies. Entry 0 is never a body: only mass[0] (the
// summed central mass of a generated scenario) and name[0] (always empty)
// are ever read.
struct Bodies {
    template <typename T>
    using Column = std::array<T, maxBodies + 1>;

    Column<float> x{}, y{}, z{};        // position, m
    Column<float> vx{}, vy{}, vz{};     // velocity, m per step (speed times timeStep)
    Column<float> mass{};               // kg; 0 once absorbed
    Column<float> radius{};             // m, the collision radius
    Column<float> diameter{};           // m, normally 2 * radius; 0 once absorbed
    Column<float> color{};              // palette index 0..15
    Column<float> active{};             // 1 while the body exists, 0 once absorbed
    Column<std::string> name{};

    // Derived: written by the gravity step (speed) and the projection.
    Column<float> speed{};              // |v| in m per step as of its last kick
    Column<float> screenX{}, screenY{}; // pixels, truncated
    Column<float> depth{};              // m along the viewing axis, truncated
    Column<float> distance{};           // m from the eye
    Column<float> apparentSize{};       // pixels

    float bodyCount = 400;              // entries in use; always within 1..800
    int32_t liveCount = 400;            // bodies that still exist
};

// Number of table entries in use, as every loop over bodies counts them.
inline int usedEntries(const Bodies& b) { return display::roundHalfEven(b.bodyCount); }

struct Physics {
    float G = 6.67e-11f;            // m^3 kg^-1 s^-2
    float earthMass = 5.98e24f;     // kg
    float jupiterMass = 1.8986e27f; // kg
    float sunMass = 1.98892e30f;    // kg
    float AU = 1.492e11f;           // m (1.492, not 1.496)
    float density = 5.52f;          // g/cm^3, for the size of merged bodies
    float timeStep = 720;           // simulated seconds per step
};

// Clears speed and the projection fields of every entry, so that a scenario
// runs the same whatever ran before it.
void clearDerivedFields(Bodies& b);

}  // namespace sim
