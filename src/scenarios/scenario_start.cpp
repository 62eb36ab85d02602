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

void putCatalogueBody(sim::Bodies& b, int n, float mass, float x, float vx, float vy, int color,
                      float radius, const char* name) {
    b.active[n] = 1;
    b.mass[n] = mass;
    b.x[n] = x;
    b.y[n] = 0;
    b.z[n] = 0;
    b.vx[n] = vx;
    b.vy[n] = vy;
    b.vz[n] = 0;
    b.color[n] = float(color);
    b.radius[n] = radius;
    b.diameter[n] = float(2.0 * b.radius[n]);
    b.name[n] = name;
}

}  // namespace scenarios
