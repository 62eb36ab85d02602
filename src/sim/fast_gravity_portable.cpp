// The portable kernels of the fast gravity step: one lane at a time, in the
// plain step's words. The AVX2 kernels do exactly this, four lanes at once.
#include <algorithm>
#include <cmath>
#include <limits>

#include "sim/fast_gravity_kernels.h"

namespace sim::fast {

namespace {

// The position-only quantities of pair (r attracted, c attracting), rounded
// as the plain step rounds them.
struct Geometry {
    float dx, dy, dz, d, sinE, cosE, ux, uz;
};

Geometry measure(const Tables& t, int r, int c) {
    Geometry q;
    q.dx = float(double(t.x[c]) - t.x[r]);
    q.dy = float(double(t.y[c]) - t.y[r]);
    q.dz = float(double(t.z[c]) - t.z[r]);
    q.d = float(std::sqrt(double(q.dx) * q.dx + double(q.dy) * q.dy + double(q.dz) * q.dz));
    q.sinE = float(double(q.dy) / q.d);
    q.cosE = float(std::sqrt(1 - double(q.sinE) * q.sinE));
    const double horizontal = double(q.cosE) * q.d;
    q.ux = horizontal == 0 ? 0.f : float(q.dx / horizontal);
    q.uz = horizontal == 0 ? 0.f : float(q.dz / horizontal);
    return q;
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

// pull is the attracting body's passFactor * mass.
void store(Tables& t, std::size_t at, const Geometry& q, double pull) {
    t.a[at] = float(pull / (double(q.d) * q.d));
    t.sinE[at] = usable(q.d) ? q.sinE : std::numeric_limits<float>::quiet_NaN();
    t.cosE[at] = q.cosE;
    t.ux[at] = q.ux;
    t.uz[at] = q.uz;
}

}  // namespace

int pairRowPortable(Tables& t, int g, float* nearest) {
    int touching = INT_MAX;
    for (int h = g; h < t.groups; ++h) {
        for (int k = 0; k < lanes; ++k) {
            const int c = lanes * h + k;
            for (int l = 0; l < lanes; ++l) {
                const int r = lanes * g + l;
                const Geometry forward = measure(t, r, c);
                store(t, pairIndex(t, g, c, l), forward, t.pull[c]);
                if (h > g) store(t, pairIndex(t, h, r, k), reverse(t, r, c, forward), t.pull[r]);
                if (r == c || r >= t.m || c >= t.m) continue;
                if (double(t.radius[c]) + t.radius[r] > forward.d) {
                    touching = std::min(touching, std::min(r, c));
                }
                if (forward.d < nearest[r]) nearest[r] = forward.d;
                if (forward.d < nearest[c]) nearest[c] = forward.d;
            }
        }
    }
    return touching;
}

void kickRowsPortable(Tables& t, int g, int count) {
    for (int l = 0; l < lanes * count; ++l) {
        const int r = lanes * g + l;
        const int group = r / lanes, lane = r % lanes;
        float vx = t.vx[r], vy = t.vy[r], vz = t.vz[r];
        float maxVx = std::fabs(vx), maxVy = std::fabs(vy), maxVz = std::fabs(vz);
        for (int c = 0; c < t.m; ++c) {
            if (c == r) continue;
            const std::size_t at = pairIndex(t, group, c, lane);
            const float a = t.a[at], sinE = t.sinE[at], cosE = t.cosE[at];
            vx = float(double(vx) + double(t.ux[at]) * a * cosE);
            vy = float(double(vy) + double(sinE) * a);
            vz = float(double(vz) + double(cosE) * a * t.uz[at]);
            maxVx = std::max(maxVx, std::fabs(vx));
            maxVy = std::max(maxVy, std::fabs(vy));
            maxVz = std::max(maxVz, std::fabs(vz));
        }
        t.newVx[r] = vx;
        t.newVy[r] = vy;
        t.newVz[r] = vz;
        t.newSpeed[r] = float(std::sqrt(double(vx) * vx + double(vy) * vy + double(vz) * vz));
        t.maxVx[r] = maxVx;
        t.maxVy[r] = maxVy;
        t.maxVz[r] = maxVz;
    }
}

}  // namespace sim::fast
