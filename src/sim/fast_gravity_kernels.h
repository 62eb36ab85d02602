// The two arithmetic kernels of the fast gravity step and the tables they
// share. Only sim/fast_gravity*.cpp include this.
//
// Present bodies are numbered 0..m-1 in table order ("rows"); rows are taken
// four at a time ("groups", one row a vector lane), padded to a whole group.
// The pair table holds, for row r and partner column c, the position-only
// quantities of the pair (r attracted, c attracting) at
// [(group(r) * columns + c) * 20 + lane(r)], each quantity's own array
// starting 4 floats after the one before.
#pragma once
#include <climits>
#include <cstddef>

namespace sim::fast {

inline constexpr int lanes = 4;
// a, sinE, cosE, ux, uz of one column for the four rows of a group lie next
// to each other, 80 bytes in all.
inline constexpr int quantities = 5;

struct Tables {
    int m = 0;          // present bodies
    int groups = 0;     // ceil(m / 4)
    int columns = 0;    // 4 * groups
    double passFactor = 0;  // G * timeStep * timeStep, evaluated left to right

    // Per row, padded to 4 * groups.
    int* body = nullptr;          // table index of the row
    float *x = nullptr, *y = nullptr, *z = nullptr, *radius = nullptr;
    float *vx = nullptr, *vy = nullptr, *vz = nullptr;  // at the start of the step
    double* pull = nullptr;       // passFactor * mass: the far kick's numerator

    // The pair table: a is the far kick's size, pull[c] / d². sinE is NaN
    // where d is not a positive finite number, so that such a pair can only
    // end in a row that is done again plainly.
    float *a = nullptr, *sinE = nullptr, *cosE = nullptr, *ux = nullptr, *uz = nullptr;

    // Per row, the result of adding every far kick in order.
    float *newVx = nullptr, *newVy = nullptr, *newVz = nullptr, *newSpeed = nullptr;
    float *maxVx = nullptr, *maxVy = nullptr, *maxVz = nullptr;  // largest |v| on the way
    float* nearest = nullptr;  // smallest d to a partner (NaN ignored), from every thread's part
};

inline std::size_t pairIndex(const Tables& t, int group, int column, int lane) {
    return (std::size_t(group) * std::size_t(t.columns) + std::size_t(column)) * lanes * quantities +
           std::size_t(lane);
}

// Fills the pair table for the pairs of rows in group g with columns from
// 4g on, both ways round, and lowers nearest[r] (one per row, this thread's
// own) to the distance of each present pair met. Returns the smaller row of
// the first-met pair of present bodies that touch (radius sum above d), or
// INT_MAX.
int pairRowPortable(Tables& t, int g, float* nearest);
int pairRowAvx2(Tables& t, int g, float* nearest);

// Adds the far kicks of every partner, in column order, to the rows of
// groups g .. g + count - 1 (count 1 or 2), and writes the row results.
void kickRowsPortable(Tables& t, int g, int count);
void kickRowsAvx2(Tables& t, int g, int count);

}  // namespace sim::fast
