// Totals over the body table in double precision.
#include "sim/stats.h"

#include <cmath>

namespace sim {

Stats systemStats(const Bodies& b, const Physics& p) {
    Stats s;
    const int n = usedEntries(b);
    const double dt = p.timeStep;
    double kinetic = 0, potential = 0, mx = 0, my = 0, mz = 0;
    for (int i = 1; i <= n; ++i) {
        if (b.active[i] == 0) continue;
        const double m = b.mass[i], vx = b.vx[i] / dt, vy = b.vy[i] / dt, vz = b.vz[i] / dt;
        ++s.live;
        s.mass += m;
        s.px += m * vx;
        s.py += m * vy;
        s.pz += m * vz;
        kinetic += m * (vx * vx + vy * vy + vz * vz) / 2;
        mx += m * b.x[i];
        my += m * b.y[i];
        mz += m * b.z[i];
        for (int j = i + 1; j <= n; ++j) {
            if (b.active[j] == 0) continue;
            const double dx = double(b.x[j]) - b.x[i], dy = double(b.y[j]) - b.y[i],
                         dz = double(b.z[j]) - b.z[i];
            potential -= double(p.G) * m * b.mass[j] / std::sqrt(dx * dx + dy * dy + dz * dz);
        }
    }
    s.energy = kinetic + potential;
    if (s.mass != 0) {
        s.cx = mx / s.mass;
        s.cy = my / s.mass;
        s.cz = mz / s.mass;
    }
    return s;
}

double relativeChange(double before, double after) { return (after - before) / std::fabs(before); }

}  // namespace sim
