// The Jupiter system, whatever ran before it, and the step it leaves behind.
#include <memory>
#include <tuple>

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
        EXPECT_EQ(std::make_tuple(w->scenarioTitle, b.name[6], b.bodyCount, b.liveCount, w->physics.timeStep,
                                  w->observer.ZAuge),
                  std::make_tuple("Jupitersystem", "kept", 5.f, 5, 10.f, -2.984e9f)) << "after " << before;
        EXPECT_NEAR(b.mass[1], 1.9006e27, 0.0001e27);
        for (int i = 1; i <= 5; ++i) {
            const auto& m = moons[i - 1];
            EXPECT_EQ(std::make_tuple(b.name[i], b.x[i], b.vy[i], b.color[i], b.radius[i], b.diameter[i], b.active[i]),
                      std::make_tuple(m.name, m.x, m.vy, m.color, m.radius, 2 * m.radius, 1.f))
                << m.name << " after " << before;
        }
    }
}
