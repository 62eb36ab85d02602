// The whole program on a headless screen, screen after screen as main runs
// them: main menu, solar system, Esc, save dialog, and back to the solar
// system; and "Beenden" ending the program.
#include <stdexcept>
#include <string>
#include <tuple>

#include <gtest/gtest.h>

#include "app/program.h"
#include "app/screen_text.h"
#include "io/scenario_file.h"
#include "scenarios/solar_system.h"
#include "support/temp_dir.h"

using app::Next;

TEST(Program, StartSaveWithEscAndStartTheSolarSystemAgain) {
    testing_support::TempDir dir;
    testing_support::InDirectory in(dir.path());
    testing_support::Session run;
    World& w = *run.w;
    run.click(400, 150, 500);  // "Sonnensystem starten": entry 7
    ASSERT_EQ(app::runScreen(w, run.screen, Next::MainMenu), Next::Simulation);
    EXPECT_EQ(w.scenarioTitle, "Sonnensystem");
    run.type("KKKKK\x1b");  // five passes with keys that do nothing, then Esc
    ASSERT_EQ(app::runScreen(w, run.screen, Next::Simulation), Next::SaveDialog);
    const std::string atEsc = io::scenarioText(w);
    World fresh;
    scenarios::setUpSolarSystem(fresh);
    EXPECT_NE(atEsc, io::scenarioText(fresh)) << "the bodies have moved";
    run.click(850, 150, 500);  // "Speichen als - Save as"
    run.type("mine.dat\r", 1000);
    run.type("\r", 1500);
    ASSERT_EQ(app::runScreen(w, run.screen, Next::SaveDialog), Next::SolarSystem);
    EXPECT_EQ(testing_support::readFile("mine.dat"), atEsc);
    ASSERT_EQ(app::runScreen(w, run.screen, Next::SolarSystem), Next::Simulation);
    EXPECT_EQ(std::tie(w.bodies.x, w.bodies.vy), std::tie(fresh.bodies.x, fresh.bodies.vy));
}

// The program starts in the main menu, whose "Beenden" ends it. A slow pace
// makes a simulation pause, which ends a run that went there instead.
TEST(Program, BeendenInTheMainMenuEndsWithStatus0) {
    testing_support::Session run;
    run.w->clock.speedFactor = 0.01f;
    run.input().whileWaiting([&] {
        if (run.input().time() > 3000) throw std::runtime_error("still running after 3 s");
    });
    run.click(820, 10, 500);
    EXPECT_EQ(app::runProgram(*run.w, run.screen), 0);
}
