// The solar system running in the simulation loop on a screen without a
// window: scripted keys, the frame, the clock and the title.
#include <algorithm>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "app/simulation.h"
#include "display/headless.h"
#include "display/number_format.h"
#include "display/screen.h"
#include "scenarios/solar_system.h"
#include "world.h"

namespace {

using display::PressedKey;

constexpr PressedKey functionKey(int n) { return PressedKey{-1, 58 + n}; }

struct Session {
    Session() {
        scenarios::setUpSolarSystem(*w);
        app::enterSimulation(*w, screen);
    }
    display::HeadlessBackend& input() { return *display::headless(screen); }
    std::optional<app::Next> pass() { return app::simulationPass(*w, screen); }
    void passes(int n) {
        for (int k = 0; k < n; ++k) ASSERT_FALSE(pass().has_value());
    }
    void press(PressedKey key) { input().pressKey(key); }
    void type(const std::string& text) { input().typeText(text); }
    std::vector<uint8_t> frame() { return display::copyFrame(screen); }
    int pixels(int colour) {
        int n = 0;
        for (uint8_t p : frame()) n += p == colour;
        return n;
    }

    std::unique_ptr<World> w = std::make_unique<World>();
    display::Screen screen;
};

// The frame of a text printed at row, column in light green on black.
std::vector<uint8_t> textRow(int row, const std::string& text) {
    display::Screen s;
    display::openScreen(s);
    display::setColor(s, 10, 0);
    display::locate(s, row, 1);
    display::printText(s, text, false);
    return display::copyFrame(s);
}

// True when the cells of row, columns 1..text.size() show exactly this text.
bool rowShows(display::Screen& s, int row, const std::string& text) {
    const auto expected = textRow(row, text);
    const auto actual = display::copyFrame(s);
    for (int y = (row - 1) * 16; y < row * 16; ++y) {
        for (int x = 0; x < int(text.size()) * 8; ++x) {
            if (expected[y * 1024 + x] != actual[y * 1024 + x]) return false;
        }
    }
    return true;
}

}  // namespace

TEST(Simulation, EntryShowsTheFramedViewAndTheTitle) {
    Session run;
    EXPECT_EQ(run.input().title(), "Sonnensystem  24 Objekte von 24");
    EXPECT_EQ(display::pixelAt(run.screen, 0, 0), 1);
    EXPECT_EQ(display::pixelAt(run.screen, 500, 767), 1);
    EXPECT_EQ(display::pixelAt(run.screen, 500, 300), 0);
}

TEST(Simulation, ClockAfterTheFirstStepFromProgramStart) {
    Session run;
    run.passes(1);
    EXPECT_EQ(display::formatNumber(run.w->clock.elapsedHours), "0.4");
    EXPECT_EQ(display::formatNumber(run.w->clock.elapsedYears), "4.563085e-05");
    EXPECT_EQ(display::formatNumber(run.w->clock.elapsedDays), "0.01666667");
    EXPECT_TRUE(rowShows(run.screen, 2, "Stunde         0.4"));
    EXPECT_TRUE(rowShows(run.screen, 3, "JAHR 4.563085e-05"));
    EXPECT_TRUE(rowShows(run.screen, 4, "TAG 0.01666667"));
}

TEST(Simulation, TheSunIsDrawnAtTheCentre) {
    Session run;
    run.passes(1);
    // The Sun sits at the origin, seen from 3 AU: projected to (510, 383).
    EXPECT_EQ(run.w->bodies.screenX[1], 510.f);
    EXPECT_EQ(run.w->bodies.screenY[1], 383.f);
    EXPECT_EQ(display::pixelAt(run.screen, 511, 384), 14);
}

TEST(Simulation, F4FreezesPictureAndClockUntilPressedAgain) {
    Session run;
    run.passes(3);
    run.press(functionKey(4));
    run.passes(1);
    const auto frozen = run.frame();
    const float steps = run.w->clock.stepCount;
    const float x = run.w->bodies.x[4];
    run.passes(5);
    EXPECT_EQ(run.frame(), frozen);
    EXPECT_EQ(run.w->clock.stepCount, steps);
    EXPECT_EQ(run.w->bodies.x[4], x);
    // Keys still work while stopped.
    run.press(PressedKey{-1, 77});
    run.passes(1);
    EXPECT_EQ(run.w->observer.XAuge, 5e9f);
    run.press(functionKey(4));
    run.passes(1);
    EXPECT_EQ(run.w->clock.stepCount, steps + 1);
    EXPECT_NE(run.frame(), frozen);
}

TEST(Simulation, UKeepsSteppingWithThePictureFrozen) {
    Session run;
    run.passes(2);
    run.type("u");
    run.passes(1);
    const auto frozen = run.frame();
    const float steps = run.w->clock.stepCount;
    run.passes(10);
    EXPECT_EQ(run.frame(), frozen);
    EXPECT_EQ(run.w->clock.stepCount, steps + 10);
    run.type("u");
    run.passes(1);
    EXPECT_NE(run.frame(), frozen);
}

TEST(Simulation, CapitalKIsNotTheLeftArrow) {
    Session run;
    run.type("K");
    run.passes(1);
    EXPECT_EQ(run.w->observer.XAuge, 0.f);
    run.press(PressedKey{-1, 75});
    run.passes(1);
    EXPECT_EQ(run.w->observer.XAuge, -5e9f);
}

TEST(Simulation, ClockAndDiagnosticPanelHideEachOther) {
    Session run;
    EXPECT_EQ(run.w->clock.clockSwitch, 1.f);
    run.press(functionKey(7));
    run.passes(1);
    EXPECT_EQ(run.w->hud.diagSwitch, 1.f);
    EXPECT_EQ(run.w->clock.clockSwitch, -1.f);
    run.press(functionKey(6));
    run.passes(1);
    EXPECT_EQ(run.w->clock.clockSwitch, 1.f);
    EXPECT_EQ(run.w->hud.diagSwitch, -1.f);
    run.press(functionKey(6));
    run.passes(1);
    EXPECT_EQ(run.w->clock.clockSwitch, -1.f);
}

TEST(Simulation, HelpSwitchKeepsTheClockOff) {
    Session run;
    run.press(functionKey(1));
    run.passes(1);
    EXPECT_EQ(run.w->clock.clockSwitch, -1.f);
    run.press(functionKey(1));
    run.passes(1);
    EXPECT_EQ(run.w->clock.clockSwitch, -1.f) << "stays off until F6";
}

TEST(Simulation, FullTrailsAfterF2) {
    Session erasing, trailing;
    trailing.press(functionKey(2));
    for (Session* run : {&erasing, &trailing}) run->passes(300);
    EXPECT_GT(trailing.pixels(8), 4 * erasing.pixels(8));
}

TEST(Simulation, NamesOfTheFirstBodiesWithF3) {
    Session run;
    run.passes(5);
    const int before = run.pixels(10);
    run.press(functionKey(3));
    run.passes(1);
    EXPECT_GT(run.pixels(10), before + 20);
}

TEST(Simulation, MergerRewritesTheTitle) {
    Session run;
    run.passes(200);
    EXPECT_EQ(run.w->bodies.liveCount, 23);
    EXPECT_EQ(run.input().title(), "Sonnensystem  23 Objekte von 24");
}

TEST(Simulation, EscLeavesForTheSaveDialog) {
    Session run;
    run.passes(2);
    run.type("\x1b");
    EXPECT_EQ(run.pass(), app::Next::SaveDialog);
}

TEST(Simulation, F10FlipsTheVisorAndWaits) {
    Session run;
    const long long start = run.input().time();
    run.press(functionKey(10));
    run.passes(1);
    EXPECT_EQ(run.w->target.visorSwitch, 1.f);
    EXPECT_GE(run.input().time() - start, 300);
    // A key typed during the wait cuts it short and is read next pass.
    run.press(functionKey(10));
    run.input().typeText("+", run.input().time() + 60);
    const long long second = run.input().time();
    run.passes(1);
    EXPECT_LT(run.input().time() - second, 300);
    run.passes(1);
    EXPECT_EQ(run.w->observer.VAuge, 5.5e9f);
}

TEST(Simulation, SpeedFactorSetsStepsPerPass) {
    Session run;
    for (int k = 0; k < 8; ++k) run.press(functionKey(9));  // 1.1^8 = 2.14
    run.passes(8);
    const float start = run.w->clock.stepCount;
    run.passes(100);
    EXPECT_NEAR(run.w->clock.stepCount - start, 214, 1);

    sim::LoopState loop;
    EXPECT_EQ(app::stepsThisPass(loop, 1), 1);
    EXPECT_EQ(app::stepsThisPass(loop, 0.5f), 1);
    EXPECT_EQ(app::stepsThisPass(loop, 1.5f), 1);
    EXPECT_EQ(app::stepsThisPass(loop, 1.5f), 2);
    EXPECT_EQ(app::stepsThisPass(loop, 1e30f), app::maxStepsPerPass);
}

// Below 1 the time paused is (1/speedFactor - 1) times the time in passes,
// for short passes as for long ones and through the jitter of a rare slow
// pass, and no pause is longer than the passes just run have earned. The
// pauses run on the headless virtual clock.
TEST(Simulation, SlowPaceKeepsItsRatioAtEveryFactorAndPassLength) {
    struct Row {
        float factor;
        double passMs;     // every pass ...
        double slowPassMs; // ... except every 500th
    };
    const Row rows[] = {
        {0.9f, 0.02, 0.02}, {0.9f, 0.04, 40}, {0.9f, 1, 1},      {0.9f, 50, 50},
        {0.5f, 0.02, 0.02}, {0.5f, 0.04, 40}, {0.122f, 0.04, 40}, {0.122f, 50, 50},
        {0.01f, 0.02, 0.02}, {0.01f, 0.04, 40}, {0.01f, 1, 1},    {0.01f, 50, 50},
    };
    for (const Row& row : rows) {
        display::Screen screen;
        display::HeadlessBackend& clock = *display::headless(screen);
        sim::LoopState loop;
        double inPasses = 0, paused = 0, longestOverEarned = 0;
        for (int pass = 1; inPasses < 4000; ++pass) {
            const double ms = pass % 500 == 0 ? row.slowPassMs : row.passMs;
            inPasses += ms;
            const int pause = app::pauseAfterPass(loop, row.factor, ms);
            const long long before = clock.time();
            display::sleepMs(screen, pause);
            const double slept = double(clock.time() - before);
            app::pausedFor(loop, slept);
            paused += slept;
            longestOverEarned = std::max(longestOverEarned, pause - (1 / double(row.factor) - 1) * ms);
        }
        const double wanted = (1 / double(row.factor) - 1) * inPasses;
        EXPECT_NEAR(paused, wanted, 0.02 * wanted) << "factor " << row.factor << ", passes of " << row.passMs << " ms";
        EXPECT_LT(longestOverEarned, 1) << "factor " << row.factor << ", passes of " << row.passMs << " ms";
    }
    sim::LoopState loop;
    EXPECT_EQ(app::pauseAfterPass(loop, 1, 10), 0) << "unpaced at 1";
    EXPECT_EQ(app::pauseAfterPass(loop, 1.1f, 10), 0) << "faster: more steps, no pause";
    EXPECT_EQ(app::pauseAfterPass(loop, 0, 10), app::maxPauseMs) << "the pause has a bound";
}

// F8 slows (the factor falls and passes pause), F9 speeds up (the factor
// rises and passes run more steps).
TEST(Simulation, F8SlowsAndF9SpeedsUp) {
    const std::pair<int, float> rows[] = {{8, 0.9f}, {9, 1.1f}};
    for (auto [key, factor] : rows) {
        Session run;
        run.press(functionKey(key));
        run.passes(1);
        EXPECT_FLOAT_EQ(run.w->clock.speedFactor, factor) << "F" << key;
        sim::LoopState loop;
        int paused = 0;
        for (int pass = 0; pass < 100; ++pass) paused += app::pauseAfterPass(loop, run.w->clock.speedFactor, 1);
        EXPECT_EQ(paused > 0, key == 8) << "F" << key;
    }
}
