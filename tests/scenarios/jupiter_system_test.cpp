// The Jupiter system, whatever ran before it, and the step it leaves behind.
#include <memory>

#include <gtest/gtest.h>

#include "scenarios/scenario_list.h"
#include "world.h"

TEST(JupiterSystem, SameBodiesWhateverRanBefore) {
    const struct { const char* name; float x, vy, color, radius; } moons[] = {
        {"Jupiter", 0, 25, 12, 71800000},          {"Io", 4.218e8f, -172975, 14, 1660000},
        {"Europa", 6.709e8f, -137375, 15, 1561000}, {"Ganymed", 1.0704e9f, -108775, 8, 2630000},
        {"Kallisto", 1.884e9f, -81975, 6, 2340000}};
    for (int before : {0, 7, 1}) {
        auto w = std::make_unique<World>();
        if (before) scenarios::startListEntry(*w, before, 1);
        w->bodies.name[6] = "kept";
        scenarios::startListEntry(*w, 8);
        const sim::Bodies& b = w->bodies;
        EXPECT_EQ(w->scenarioTitle + b.name[6], "Jupitersystemkept");
        const float header[] = {b.bodyCount, float(b.liveCount), w->physics.timeStep, w->observer.ZAuge};
        const float want[] = {5, 5, 10, -2.984e9f};
        for (int k = 0; k < 4; ++k) EXPECT_EQ(header[k], want[k]) << "value " << k << " after " << before;
        EXPECT_NEAR(b.mass[1], 1.9006e27, 0.0001e27);
        for (int i = 1; i <= 5; ++i) {
            const auto& m = moons[i - 1];
            const float got[] = {b.x[i], b.vy[i], b.color[i], b.radius[i], b.diameter[i] / 2, b.active[i]};
            const float want[] = {m.x, m.vy, m.color, m.radius, m.radius, 1};
            for (int f = 0; f < 6; ++f)
                EXPECT_EQ(got[f], want[f]) << m.name << " field " << f << " after " << before;
            EXPECT_EQ(b.name[i], m.name);
        }
    }
    // The solar system next keeps the 10 s step: Erde at 29800 m/s, the Sun at 0.1 m/s.
    auto w = std::make_unique<World>();
    scenarios::startListEntry(*w, 8);
    scenarios::startListEntry(*w, 7);
    EXPECT_EQ(w->bodies.vy[4], -298000.f);
    EXPECT_EQ(w->bodies.vx[1], 1.f);
}
