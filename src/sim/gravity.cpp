// Gravity step by direct summation over all ordered pairs.
//
// Every formula is evaluated in double from float operands and rounded to
// float where a quantity is stored; see PairGeometry and Pair.
#include "sim/gravity.h"

#include <cmath>
#include <utility>

#include "display/number_format.h"

namespace sim {

namespace {

// A kick of size a towards j, split by the elevation of j as seen from i.
void kick(Bodies& b, int i, const PairGeometry& p, float a) {
    b.vx[i] = float(double(b.vx[i]) + double(p.ux) * a * p.cosE);
    b.vy[i] = float(double(b.vy[i]) + double(p.sinE) * a);
    b.vz[i] = float(double(b.vz[i]) + double(p.cosE) * a * p.uz);
    b.speed[i] = float(std::sqrt(double(b.vx[i]) * b.vx[i] + double(b.vy[i]) * b.vy[i] +
                                 double(b.vz[i]) * b.vz[i]));
}

// Merges the touching pair: the heavier survives (i on equal masses) with the
// summed mass and momentum and a size from its new mass. Returns the
// absorbed body's number.
int merge(Bodies& b, const Physics& p, int i, int j) {
    const int s = b.mass[i] >= b.mass[j] ? i : j;
    const int a = s == i ? j : i;
    b.active[a] = 0;
    const double mi = b.mass[i], mj = b.mass[j];
    b.vx[s] = float((mj * b.vx[j] + mi * b.vx[i]) / (mi + mj));
    b.vy[s] = float((mj * b.vy[j] + mi * b.vy[i]) / (mi + mj));
    b.vz[s] = float((mj * b.vz[j] + mi * b.vz[i]) / (mi + mj));
    b.mass[s] = float(mi + mj);
    b.diameter[s] = diameterFromMass(b.mass[s], p.density);
    b.radius[s] = float(double(b.diameter[s]) / 2);
    b.mass[a] = 0;
    b.diameter[a] = 0;
    b.radius[a] = 0;
    b.color[a] = 0;
    b.vx[a] = b.vy[a] = b.vz[a] = 0;
    return a;
}

}  // namespace

std::string windowTitleText(const std::string& scenarioTitle, int32_t liveCount, float bodyCount) {
    return scenarioTitle + "  " + display::formatNumber(liveCount) + " Objekte von " +
           display::formatNumber(bodyCount);
}

float diameterFromMass(float mass, float density) {
    return float(std::pow(double(mass) * 3 / density / 12.566370614359172, 0.333) * 2 / 10);
}

int gravityRow(Bodies& b, const Physics& p, int i, const std::string& scenarioTitle,
               std::string& windowTitle) {
    const int n = usedEntries(b);
    // Passes per pair: a close pair is kicked with f = 1 up to K times.
    const int passLimit = display::roundHalfEven(p.timeStep);
    int mergers = 0;
    if (passLimit < 1) return 0;
    for (int j = 1; j <= n && b.active[i] != 0; ++j) {
        if (j == i || b.active[j] == 0) continue;
        // Only i's velocity changes from one pass over the pair to the next:
        // the positions and sizes, and so the geometry and the touching
        // test, stay those of the first pass. A pass is close when the summed
        // speeds e (m per step) reach d: it kicks with f = 1 and another pass
        // follows, up to K; a far pass kicks with f = the time step and ends
        // the pair.
        const PairGeometry pair = pairGeometry(b.x[i], b.y[i], b.z[i], b.x[j], b.y[j], b.z[j]);
        if (double(b.radius[j]) + b.radius[i] > pair.d) {
            merge(b, p, i, j);
            --b.liveCount;
            windowTitle = windowTitleText(scenarioTitle, b.liveCount, b.bodyCount);
            ++mergers;
            continue;
        }
        for (int k = 1;; ++k) {
            const float e = float(std::sqrt(double(b.speed[j]) * b.speed[j] + double(b.speed[i]) * b.speed[i]));
            const bool close = e >= pair.d;
            const double f = close ? 1.0 : double(p.timeStep);
            const float a = float(double(p.G) * f * f * b.mass[j] / (double(pair.d) * pair.d));
            kick(b, i, pair, a);
            if (!close || k + 1 > passLimit) break;
        }
    }
    return mergers;
}

void positionPass(Bodies& b) {
    const int n = usedEntries(b);
    for (int i = 1; i <= n; ++i) {
        if (b.active[i] > 0) {
            b.x[i] = float(double(b.x[i]) + b.vx[i]);
            b.y[i] = float(double(b.y[i]) + b.vy[i]);
            b.z[i] = float(double(b.z[i]) + b.vz[i]);
        }
    }
}

int gravityStep(Bodies& b, const Physics& p, const std::string& scenarioTitle,
                std::string& windowTitle) {
    int mergers = 0;
    for (int i = 1; i <= usedEntries(b); ++i) {
        if (b.active[i] != 0) mergers += gravityRow(b, p, i, scenarioTitle, windowTitle);
    }
    positionPass(b);
    return mergers;
}

}  // namespace sim
