// The portable kernel of the fast gravity step: one lane at a time, in the
// plain step's words. The AVX2 kernel does exactly this, four lanes at once.
#include <algorithm>
#include <cmath>
#include <limits>

#include "sim/fast_gravity_kernels.h"
#include "sim/gravity.h"

namespace sim::fast {

namespace {

using Geometry = PairGeometry;

Geometry measure(const Tables& t, int r, int c) {
    return pairGeometry(t.x[r], t.y[r], t.z[r], t.x[c], t.y[c], t.z[c]);
}

bool usable(float d) { return d > 0 && d < std::numeric_limits<float>::infinity(); }

// The same pair seen from c, from the forward one without dividing again:
// d and cosE are the same, sinE, ux and uz change sign, except that a zero
// difference keeps its own sign (x - x is +0 both ways) and a vertical pair
// has no horizontal direction. Valid where d is positive and finite.
Geometry reverse(const Tables& t, int r, int c, const Geometry& f) {
    Geometry q = f;
    q.dx = float(double(t.x[r]) - t.x[c]);
    q.dy = float(double(t.y[r]) - t.y[c]);
    q.dz = float(double(t.z[r]) - t.z[c]);
    const bool vertical = f.cosE == 0;
    q.sinE = q.dy == 0 ? q.dy : -f.sinE;
    q.ux = vertical ? 0.f : q.dx == 0 ? q.dx : -f.ux;
    q.uz = vertical ? 0.f : q.dz == 0 ? q.dz : -f.uz;
    return q;
}

// The kick terms of a pair whose attracting body has the given pull
// (passFactor * mass), into lane `lane` of terms[0..2][at]; the kick's size
// |a| is added to *sum unless it is NaN.
void terms(double (*out)[blockGroups][blockRows][lanes], int group, int column, int lane, const Geometry& q,
           double pull, double* sum) {
    const float a = float(pull / (double(q.d) * q.d));
    const float sinE = usable(q.d) ? q.sinE : std::numeric_limits<float>::quiet_NaN();
    out[0][group][column][lane] = double(q.ux) * a * q.cosE;
    out[1][group][column][lane] = double(sinE) * a;
    out[2][group][column][lane] = double(q.cosE) * a * q.uz;
    if (a == a) *sum += std::fabs(a);
}

// Adds the kick terms of `count` columns in order to the rows of group g,
// skipping column `own` (the row itself) where it is one of them, and the
// rows' sums of kick sizes.
void kickGroup(Tables& t, int g, const double (*in)[blockGroups][blockRows][lanes], int k, int count, int own,
               const double* sums) {
    for (int l = 0; l < lanes; ++l) {
        const int r = lanes * g + l;
        float vx = t.newVx[r], vy = t.newVy[r], vz = t.newVz[r];
        for (int c = 0; c < count; ++c) {
            if (c == own + l) continue;
            vx = float(double(vx) + in[0][k][c][l]);
            vy = float(double(vy) + in[1][k][c][l]);
            vz = float(double(vz) + in[2][k][c][l]);
        }
        t.newVx[r] = vx;
        t.newVy[r] = vy;
        t.newVz[r] = vz;
        t.kickSum[r] += sums[lanes * k + l];
    }
}

}  // namespace

int tilePortable(Tables& t, int A, int B, float* nearest, TileTerms& out) {
    const int gA = blockGroups * A, gB = blockGroups * B;
    const int endA = std::min(t.groups, gA + blockGroups), endB = std::min(t.groups, gB + blockGroups);
    const bool diagonal = A == B;
    int touching = INT_MAX;
    // On the diagonal the rows of h are rows of A too.
    double* backwardSum = diagonal ? out.forwardSum : out.backwardSum;
    std::fill(out.forwardSum, out.forwardSum + blockRows, 0.0);
    std::fill(out.backwardSum, out.backwardSum + blockRows, 0.0);
    for (int g = gA; g < endA; ++g) {
        for (int h = diagonal ? g : gB; h < endB; ++h) {
            for (int k = 0; k < lanes; ++k) {
                const int c = lanes * h + k;
                for (int l = 0; l < lanes; ++l) {
                    const int r = lanes * g + l;
                    const Geometry forward = measure(t, r, c);
                    double unused = 0;
                    terms(out.forward, g - gA, c - lanes * gB, l, forward, t.pull[c],
                          r == c ? &unused : &out.forwardSum[r - lanes * gA]);
                    if (h > g) {
                        terms(diagonal ? out.forward : out.backward, h - gB, r - lanes * gA, k,
                              reverse(t, r, c, forward), t.pull[r], &backwardSum[c - lanes * gB]);
                    }
                    if (r == c || r >= t.m || c >= t.m) continue;
                    if (double(t.radius[c]) + t.radius[r] > forward.d) {
                        touching = std::min(touching, std::min(r, c));
                    }
                    if (forward.d < nearest[r]) nearest[r] = forward.d;
                    if (forward.d < nearest[c]) nearest[c] = forward.d;
                }
            }
        }
    }
    const int columnsA = std::min(blockRows, t.m - lanes * gA), columnsB = std::min(blockRows, t.m - lanes * gB);
    for (int g = gA; g < endA; ++g) {
        kickGroup(t, g, out.forward, g - gA, columnsB, diagonal ? lanes * (g - gA) : -blockRows, out.forwardSum);
    }
    if (!diagonal) {
        for (int h = gB; h < endB; ++h) kickGroup(t, h, out.backward, h - gB, columnsA, -blockRows, out.backwardSum);
    }
    return touching;
}

}  // namespace sim::fast
