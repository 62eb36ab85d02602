// Whole-system figures on a system small enough to add up by hand.
#include <memory>

#include <gtest/gtest.h>

#include "sim/stats.h"
#include "world.h"

TEST(SystemStats, TwoBodiesAndAnAbsorbedOne) {
    auto w = std::make_unique<World>();
    sim::Bodies& b = w->bodies;
    b.bodyCount = 3;
    // 2 kg at the origin moving at 1 m/s along x; 1 kg 5 m away moving at 2 m/s along -y.
    b.active[1] = b.active[2] = 1;
    b.mass[1] = 2, b.vx[1] = 720;
    b.mass[2] = 1, b.x[2] = 3, b.z[2] = 4, b.vy[2] = -1440;
    b.mass[3] = 9, b.vx[3] = 720;  // absorbed: active stays 0
    const sim::Stats s = sim::systemStats(b, w->physics);
    const double G = w->physics.G;
    const double got[] = {double(s.live), s.mass, s.px, s.py, s.pz, s.energy, s.cx, s.cy, s.cz};
    const double want[] = {2, 3, 2, -2, 0, 3 - G * 2 / 5, 1, 0, 4.0 / 3};
    for (int k = 0; k < 9; ++k) EXPECT_DOUBLE_EQ(got[k], want[k]) << "figure " << k;
    EXPECT_EQ(sim::relativeChange(-2, -1), 0.5);
    EXPECT_EQ(sim::relativeChange(-2, -3), -0.5);
    EXPECT_EQ(sim::relativeChange(4, 4), 0);
}
