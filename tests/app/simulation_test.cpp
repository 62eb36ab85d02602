// The solar system in the simulation loop on a headless screen.
#include <cmath>

#include "app/screen_text.h"
#include "display/number_format.h"

using testing_support::SolarRun;

namespace {

constexpr int sun = 1, earth = 4;

// What a row looks at: the window title, where the loop was left for, a world value, the text at "row,column".
std::string look(SolarRun& run, const std::string& what, const std::string& expected) {
    const World& w = *run.w;
    const std::map<std::string, float> values = {
        {"help", w.loop.helpSwitch},      {"panel", w.hud.diagSwitch},     {"speed", w.clock.speedFactor},
        {"frames", w.loop.displaySwitch}, {"eye speed", w.observer.VAuge}, {"menu", w.menus.simMenu.active},
        {"turn to target", w.target.targetSwitch}, {"clock", w.clock.clockSwitch}, {"keep trails", w.drawing.eraseSwitch},
        {"names", w.drawing.namesSwitch},          {"stopped", w.clock.stopSwitch}, {"course", w.target.courseSwitch},
        {"visor", w.target.visorSwitch},           {"target", w.target.Ziel},       {"eye x", w.observer.XAuge},
        {"steps", w.clock.stepCount},
    };
    static const char* const screens[] = {"MainMenu", "Simulation", "SaveDialog", "SolarSystem", "Exit"};
    if (what == "title") return run.input().title();
    if (what == "left for") return run.left ? screens[int(*run.left)] : "nothing";
    if (const auto value = values.find(what); value != values.end()) return display::formatNumber(value->second);
    int row = 0, column = 0;
    std::sscanf(what.c_str(), "%d,%d", &row, &column);
    return testing_support::textLike(run.screen, row, column, expected);
}

}  // namespace

// Scripts of keys and clicks, then passes: what keys switch and which way, the
// title, the clock, the marks, the menu, the help over the picture, the panel.
TEST(Simulation, ScriptsOfKeysAndClicks) {
    const std::string noMarks = " __ m = 0        __m = 0", menu = "click1@960,10";
    const struct { const char* name; std::string script; int passes; const char *what, *expected; } rows[] = {
        {"F1 shows the help", "F1", 0, "help", "1"},
        {"F1 twice hides it", "F1 F1", 0, "help", "-1"},
        {"F2 keeps the trails", "F2", 0, "keep trails", "-1"},
        {"F3 shows the names", "F3", 0, "names", "1"},
        {"F4 stops", "F4", 0, "stopped", "1"},
        {"no step once stopped (the count starts at 1, one pass before F4)", "F4", 3, "steps", "2"},
        {"F4 again steps in its own pass", "F4 F4", 3, "steps", "6"},
        {"u keeps stepping", "u", 3, "steps", "6"},
        {"F5 steers", "F5", 0, "course", "1"},
        {"F6 hides the clock", "F6", 0, "clock", "-1"},
        {"F6 twice shows it", "F6 F6", 0, "clock", "1"},
        {"F6 hides the panel", "F6", 0, "panel", "-1"},
        {"F7 shows the panel", "F7", 0, "panel", "1"},
        {"F7 hides the clock", "F7", 0, "clock", "-1"},
        {"F7 F6 shows the clock", "F7 F6", 0, "clock", "1"},
        {"F7 F6 hides the panel again", "F7 F6", 0, "panel", "-1"},
        {"F10 draws the visor", "F10", 0, "visor", "1"},
        {"i takes a target number", "i 4 Enter", 0, "target", "4"},
        {"the left arrow moves the eye left", "Left", 0, "eye x", "-5e+09"},
        {"K is no arrow", "K", 0, "eye x", "0"},
        {"F8 slows", "F8", 0, "speed", "0.9"},
        {"F9 speeds up", "F9", 0, "speed", "1.1"},
        {"u draws no frames", "u", 0, "frames", "-1"},
        {"d turns to the target", "d", 0, "turn to target", "-1"},
        {"+ speeds up the eye", "+", 0, "eye speed", "5.5e+09"},
        {"Esc leaves for the save dialog", "Esc", 0, "left for", "SaveDialog"},
        {"title on entry", "", 0, "title", "Sonnensystem  24 Objekte von 24"},
        {"a merger renames it", "", 199, "title", "Sonnensystem  23 Objekte von 24"},
        {"hours after one step of 720 s", "", 0, "2,1", "Stunde         0.4"},
        {"years", "", 0, "3,1", "JAHR 4.563085e-05"},
        {"days", "", 0, "4,1", "TAG 0.01666667"},
        {"one mark: no distance", "click1:1", 0, "1,1", "|"},
        {"two marks", "click1:1 click2:4", 0, "1,30", "Sonne __ m = 1.98892e+30       Erde __m = 5.98e+24"},
        {"their distance", "click1:1 click2:4", 0, "1,1", "Entf_in_AE = 1"},
        {"the third button unmarks", "click1:1 click2:4 click4:4", 0, "1,30", noMarks.c_str()},
        {"no mark while stopped", "F4 click1:4 F4", 1, "1,30", noMarks.c_str()},
        {"the menu button's label", "", 0, "1,121", " Menue  |"},
        {"the menu button closes the open menu", menu + " " + menu, 0, "menu", "0"},
        {"Mainmenue", menu + " click1@900,55", 0, "left for", "MainMenu"},
        {"Beenden-Exit", menu + " click1@900,66", 0, "left for", "Exit"},
        {"Speichern-Save", menu + " click1@900,83", 0, "left for", "SaveDialog"},
        {"Hilfe", menu + " click1@900,100", 0, "help", "1"},
        {"help row 1 from column 1", "x-rows F1", 0, "1,1", "FUNKTIONSTASTENx"},
        {"help row 10 with its blank", "x-rows F1", 0, "10,1", "x< F9 > =  Schneller x"},
        {"panel: the eye", "r r o F7", 0, "33,46", "ZAuge = -4.476e+11  "},
        {"panel: the view turned 2 degrees right", "r r o F7", 0, "35,46", "wi_x =   2          "},
    };
    for (const auto& row : rows) {
        SolarRun run;
        run.play(row.script, row.passes);
        EXPECT_EQ(look(run, row.what, row.expected), row.expected) << row.name;
    }
}

// Marks name entries 1..800, any other entry 0; a distance has seven digits (Mars off its catalogue one).
TEST(Simulation, MarkingLineNamesEntriesAndTheDistance) {
    SolarRun run;
    run.play("click1:1", 99);
    run.play("click2:5");
    const sim::Bodies& b = run.w->bodies;
    const double mars = std::hypot(double(b.x[5]) - b.x[sun], double(b.y[5]) - b.y[sun], double(b.z[5]) - b.z[sun]);
    const std::string distance = "Entf_in_AE = " + display::formatNumber(float(mars / run.w->physics.AU));
    EXPECT_EQ(testing_support::textLike(run.screen, 1, 1, distance), distance);
    run.w->bodies.name[0] = "Null", run.w->bodies.name[800] = "Letzte";
    const std::pair<int32_t, std::string> rows[] = {{0, "Null"}, {1, "Sonne"}, {800, "Letzte"}, {801, "Null"}};
    for (const auto& [mark, shown] : rows) {
        run.w->hud.mark1 = mark, run.w->hud.mark2 = -1;
        run.passes(1);
        EXPECT_EQ(testing_support::textLike(run.screen, 1, 30, shown + " __"), shown + " __") << mark;
    }
}

// The blue frame; F10 draws the cross at (512, 385), arms 2 to 10 pixels out, and waits 300 ms.
TEST(Simulation, FrameAndVisorCross) {
    SolarRun run;
    run.input().pressKey(SolarRun::key("F10"));
    run.passes(1);
    for (auto [x, y, colour] : {std::tuple{0, 0, 1}, {500, 767, 1}, {1023, 300, 1}, {1, 1, 0}, {1022, 766, 0}})
        EXPECT_EQ(display::pixelAt(run.screen, x, y), colour) << x << "," << y;
    EXPECT_EQ(run.input().time(), 300);
    for (int dy = -12; dy <= 12; ++dy)
        for (int dx = -12; dx <= 12; ++dx) {
            const int out = std::abs(dx) + std::abs(dy);
            const bool arm = (dx == 0 || dy == 0) && out >= 2 && out <= 10;
            ASSERT_EQ(display::pixelAt(run.screen, 512 + dx, 385 + dy) == 11, arm) << dx << "," << dy;
        }
}

// At a factor of 1 or below a pass runs one step, dropping the carried fraction;
// above it the factor accumulates, up to 1000 steps. Below 1 the time paused is
// (1/speedFactor - 1) times the time in passes, short, long or rarely slow ones;
// no pause exceeds what was earned.
TEST(Simulation, PaceFollowsTheSpeedFactor) {
    sim::LoopState carry;
    const std::pair<float, int> steps[] = {{1.5f, 1}, {1, 1}, {1.5f, 1}, {1.5f, 2}, {.5f, 1}, {1.5f, 1}, {1e30f, 1000}};
    for (auto [factor, n] : steps) EXPECT_EQ(app::stepsThisPass(carry, factor), n) << factor;
    const struct { float factor; double passMs, slowPassMs; } rows[] = {  // every pass, and every 500th
        {0.9f, 0.02, 0.02}, {0.9f, 0.04, 40}, {0.9f, 1, 1},       {0.9f, 50, 50},  {0.5f, 0.02, 0.02},
        {0.5f, 0.04, 40},   {0.122f, 50, 50}, {0.01f, 0.02, 0.02}, {0.01f, 0.04, 40}, {0.01f, 50, 50},
    };
    for (const auto& row : rows) {
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
            app::pausedFor(loop, double(clock.time() - before));
            paused += double(clock.time() - before);
            longestOverEarned = std::max(longestOverEarned, pause - (1 / double(row.factor) - 1) * ms);
        }
        const double wanted = (1 / double(row.factor) - 1) * inPasses;
        EXPECT_NEAR(paused, wanted, 0.02 * wanted) << "factor " << row.factor << ", passes of " << row.passMs;
        EXPECT_LT(longestOverEarned, 1) << "factor " << row.factor << ", passes of " << row.passMs;
    }
}

// Earth as target and F5: the eye closes in, at most VAuge a pass, to ten diameters, never nearer.
TEST(Simulation, CourseAutomationApproachesToTenDiameters) {
    SolarRun run;
    run.play("i 4 Enter F5");
    const sim::Bodies& b = run.w->bodies;
    const view::Observer& o = run.w->observer;
    const auto distance = [&] {
        return std::hypot(b.x[earth] - double(o.XAuge), b.y[earth] - double(o.YAuge), b.z[earth] - double(o.ZAuge));
    };
    const double tenDiameters = 10.0 * b.diameter[earth];
    double last = distance();
    for (int k = 1; k <= 1500; ++k) {
        run.passes(1);
        ASSERT_GE(distance(), tenDiameters) << "pass " << k;
        ASSERT_LE(last - distance(), 1.001 * o.VAuge) << "pass " << k;
        last = distance();
    }
    EXPECT_LT(last, tenDiameters * 1.01);
}

// With no target the panel's "xZiel =" cell is blank to the end of its print zone, column 42.
TEST(Simulation, PanelBlanksTheTargetCellToItsPrintZone) {
    SolarRun run;
    run.w->target.Ziel = 0;
    run.play("x-rows F7");
    EXPECT_EQ(testing_support::textLike(run.screen, 38, 23, "xZiel =   0         x"), "xZiel =   0         x");
}
