// Scenario files for the file and whole-program tests: a fresh directory, the
// solar system some steps on, a state as exact text, a file loaded anew.
#pragma once
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "io/scenario_file.h"
#include "scenarios/solar_system.h"
#include "sim/clock.h"
#include "sim/gravity.h"
#include "support/temp_dir.h"

namespace file_fixtures {

using testing_support::readFile;
using testing_support::TempDir;
using testing_support::writeFile;

inline std::unique_ptr<World> solarSystem(int steps = 0) {
    auto w = std::make_unique<World>();
    scenarios::setUpSolarSystem(*w);
    for (int s = 0; s < steps; ++s) {
        sim::advanceClock(w->clock, w->physics.timeStep);
        sim::gravityStep(w->bodies, w->physics, w->scenarioTitle, w->windowTitle);
    }
    return w;
}

// Every field as the exact text prints it: nine digits read back to the float.
inline std::string state(const World& w) { return io::scenarioText(w, io::exactDigits); }

// The file loaded into a fresh world; a refusal fails the test.
inline std::unique_ptr<World> loaded(const std::string& path) {
    auto w = std::make_unique<World>();
    const io::FileResult r = io::loadScenario(*w, path);
    EXPECT_TRUE(r.ok) << r.reason;
    return w;
}

}  // namespace file_fixtures
