// The two arithmetic kernels of the fast gravity step and the tables they
// share. Only sim/fast_gravity*.cpp include this.
//
// Present bodies are numbered 0..m-1 in table order ("rows"); rows are taken
// four at a time ("groups", one row a vector lane), padded to a whole group,
// and groups four at a time ("blocks" of 16 rows). A tile is the pairs of
// one block's rows with another block's columns (A <= B). Its pairs are
// measured once and kick both ways: the rows of A by the columns of B, and
// the rows of B by the columns of A, from a small block of kick terms that
// stays in the cache. A row receives its column blocks in order when the
// tiles are taken in order of A + B, each after the earlier tiles on its two
// blocks.
#pragma once
#include <climits>
#include <cstddef>

namespace sim::fast {

inline constexpr int lanes = 4;
inline constexpr int blockGroups = 4;
inline constexpr int blockRows = lanes * blockGroups;

struct Tables {
    int m = 0;          // present bodies
    int groups = 0;     // ceil(m / 4)
    int columns = 0;    // 4 * groups
    int blocks = 0;     // ceil(groups / 4)
    double passFactor = 0;  // G * timeStep * timeStep, evaluated left to right

    // Per row, padded to 4 * groups.
    int* body = nullptr;          // table index of the row
    float *x = nullptr, *y = nullptr, *z = nullptr, *radius = nullptr;
    double* pull = nullptr;       // passFactor * mass: the far kick's numerator

    double *xWide = nullptr, *yWide = nullptr, *zWide = nullptr;  // the positions as doubles
    bool negativeZero = false;  // some position is -0
    bool signedPull = false;    // some pull has its sign bit set

    // Per row, the velocity after the far kicks of the column blocks done so
    // far (the start velocity before), and the sum of those kicks' sizes a:
    // no velocity on the way is longer than the start one plus that sum
    // (and the roundings' share), which bounds the row's own speed.
    float *newVx = nullptr, *newVy = nullptr, *newVz = nullptr;
    double* kickSum = nullptr;
    float* nearest = nullptr;  // smallest d to a partner (NaN ignored), from every thread's part
};

// The kick terms of one tile, each the double the plain step adds to a
// velocity: (ux * a) * cosE, sinE * a and (cosE * a) * uz, for four rows of
// a group (the lanes) and one partner column. sinE is NaN where d is not a
// positive finite number, so that such a pair can only end in a row that is
// done again plainly. forward[q][k][c]: rows of group k of block A, column
// c of block B (on the diagonal, every pair of the block). backward: rows of
// group k of block B, column c of block A; the AVX2 kernel keeps these
// negated off the diagonal and subtracts them (v - t is v + (-t), bit for
// bit), which spares it the negations of the mirrored pair.
// forwardSum[l] and backwardSum[l] add up the sizes |a| that row l of block
// A and of block B receive in the tile (a is negative for a negative mass);
// a NaN size counts as 0 (its term makes
// the velocity NaN, so the row is done again plainly anyway).
struct TileTerms {
    alignas(32) double forward[3][blockGroups][blockRows][lanes];
    alignas(32) double backward[3][blockGroups][blockRows][lanes];
    alignas(32) double forwardSum[blockRows];
    alignas(32) double backwardSum[blockRows];
};

// Works tile (A, B), A <= B: measures its pairs, lowers nearest[r] (one per
// row, this thread's own) to the distance of each present pair met, and
// adds the far kicks in column order to the rows of both blocks. Returns
// the smaller row of the first-met pair of present bodies that touch
// (radius sum above d), or INT_MAX.
int tilePortable(Tables& t, int A, int B, float* nearest, TileTerms& terms);
int tileAvx2(Tables& t, int A, int B, float* nearest, TileTerms& terms);

}  // namespace sim::fast
