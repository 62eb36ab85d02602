// Common start of every scenario.
#include "scenarios/scenario_start.h"

namespace scenarios {

void beginScenario(World& w, const std::string& title, int bodyCount) {
    w.scenarioTitle = title;
    w.bodies.bodyCount = float(bodyCount);
    w.bodies.liveCount = bodyCount;
    sim::clearDerivedFields(w.bodies);
}

void clearEntry(sim::Bodies& b, int n) {
    b.active[n] = b.mass[n] = b.radius[n] = b.diameter[n] = b.color[n] = 0;
    b.x[n] = b.y[n] = b.z[n] = 0;
    b.vx[n] = b.vy[n] = b.vz[n] = 0;
    b.name[n].clear();
}

}  // namespace scenarios
