// The solar system in the simulation loop on a headless screen: keys, clicks,
// frame, clock, title, pace, course automation, visor, marks and panel.
#include <cmath>
#include <functional>

#include <gtest/gtest.h>

#include "app/screen_text.h"
#include "app/simulation.h"
#include "display/number_format.h"
#include "scenarios/solar_system.h"

using display::PressedKey;
using testing_support::textAt;

namespace {

constexpr int sun = 1, earth = 4, green = 10;
constexpr PressedKey F(int n) { return PressedKey{-1, 58 + n}; }
constexpr PressedKey key(char c) { return PressedKey{c, 0}; }

struct SolarRun : testing_support::Session {
    SolarRun() {
        scenarios::setUpSolarSystem(*w);
        app::enterSimulation(*w, screen);
    }
    void passes(int n) {
        for (int k = 0; k < n; ++k) ASSERT_FALSE(app::simulationPass(*w, screen).has_value());
    }
    void press(std::initializer_list<PressedKey> keys) {
        for (PressedKey k : keys) input().pressKey(k);
    }
    // A click held for one pass on the body's projected position.
    void clickOn(int body, int buttons) {
        input().movePointer(int(w->bodies.screenX[body]), int(w->bodies.screenY[body]), buttons);
        passes(1);
        input().movePointer(0, 0, 0);
    }
    double distanceTo(int i) const {
        const sim::Bodies& b = w->bodies;
        return std::hypot(double(b.x[i]) - w->observer.XAuge, double(b.y[i]) - w->observer.YAuge,
                          double(b.z[i]) - w->observer.ZAuge);
    }
    std::string line(int row, int column, int length) { return textAt(screen, row, column, green, 0, length); }
};

}  // namespace

// Entry frames the view and sets the title; the first pass draws the Sun at
// the centre and the clock after one step of 720 s; a merger renames the title.
TEST(Simulation, EntryFirstPassAndMergerTitle) {
    SolarRun run;
    EXPECT_EQ(run.input().title(), "Sonnensystem  24 Objekte von 24");
    for (auto [x, y, colour] : {std::tuple{0, 0, 1}, {500, 767, 1}, {1023, 300, 1}, {1, 1, 0}, {1022, 766, 0}})
        EXPECT_EQ(display::pixelAt(run.screen, x, y), colour) << x << "," << y;
    run.passes(1);
    EXPECT_EQ(std::tie(run.w->bodies.screenX[sun], run.w->bodies.screenY[sun]), std::make_tuple(510.f, 383.f));
    EXPECT_EQ(display::pixelAt(run.screen, 511, 384), 14);
    EXPECT_EQ(run.line(2, 1, 18) + run.line(3, 1, 17) + run.line(4, 1, 14),
              "Stunde         0.4JAHR 4.563085e-05TAG 0.01666667");
    run.passes(199);
    EXPECT_EQ(run.input().title(), "Sonnensystem  23 Objekte von 24");
}

// Keys pressed on a fresh solar system, one pass each: what each switches
// and which way.
TEST(Simulation, EachKeysEffectAndDirection) {
    using Value = std::function<float(const World&)>;
    const Value help = [](const World& w) { return w.loop.helpSwitch; };
    const Value clock = [](const World& w) { return w.clock.clockSwitch; };
    const Value panel = [](const World& w) { return w.hud.diagSwitch; };
    const Value speed = [](const World& w) { return w.clock.speedFactor; };
    const Value eyeX = [](const World& w) { return w.observer.XAuge; };
    const struct { const char* name; std::vector<PressedKey> keys; Value value; float expected; } rows[] = {
        {"F1 shows the help", {F(1)}, help, 1},        {"F1 twice hides it", {F(1), F(1)}, help, -1},
        {"F1 hides the clock", {F(1)}, clock, -1},     {"F1 twice keeps the clock hidden", {F(1), F(1)}, clock, -1},
        {"F2 keeps the trails", {F(2)}, [](const World& w) { return w.drawing.eraseSwitch; }, -1},
        {"F3 shows the names", {F(3)}, [](const World& w) { return w.drawing.namesSwitch; }, 1},
        {"F4 stops", {F(4)}, [](const World& w) { return w.clock.stopSwitch; }, 1},
        {"F5 steers", {F(5)}, [](const World& w) { return w.target.courseSwitch; }, 1},
        {"F6 hides the clock", {F(6)}, clock, -1},     {"F6 hides the panel", {F(6)}, panel, -1},
        {"F7 shows the panel", {F(7)}, panel, 1},      {"F7 hides the clock", {F(7)}, clock, -1},
        {"F7 F6 shows the clock", {F(7), F(6)}, clock, 1}, {"F7 F6 hides the panel", {F(7), F(6)}, panel, -1},
        {"F7 F7 hides the panel", {F(7), F(7)}, panel, -1},
        {"F8 slows", {F(8)}, speed, 0.9f},             {"F9 speeds up", {F(9)}, speed, 1.1f},
        {"F8 F9", {F(8), F(9)}, speed, float(double(0.9f) * 1.1)},
        {"F10 draws the visor", {F(10)}, [](const World& w) { return w.target.visorSwitch; }, 1},
        {"u draws no frames", {key('u')}, [](const World& w) { return w.loop.displaySwitch; }, -1},
        {"d turns to the target", {key('d')}, [](const World& w) { return w.target.targetSwitch; }, -1},
        {"i takes a target number", {key('i'), key('4'), key('\r')}, [](const World& w) { return w.target.Ziel; }, 4},
        {"left arrow moves the eye", {PressedKey{-1, 75}}, eyeX, -5e9f}, {"K is no arrow", {key('K')}, eyeX, 0},
        {"+ speeds up the eye", {key('+')}, [](const World& w) { return w.observer.VAuge; }, 5.5e9f},
    };
    for (const auto& row : rows) {
        SolarRun run;
        for (PressedKey k : row.keys) run.input().pressKey(k);
        run.passes(int(row.keys.size()));
        EXPECT_EQ(row.value(*run.w), row.expected) << row.name;
    }
    SolarRun run;
    run.press({key('\x1b')});
    EXPECT_EQ(app::simulationPass(*run.w, run.screen), app::Next::SaveDialog) << "Esc";
}

// F4 stops picture and clock, u only the picture, each until pressed again;
// keys still work meanwhile.
TEST(Simulation, F4AndUFreezeThePicture) {
    for (const PressedKey toggle : {F(4), key('u')}) {
        const bool f4 = toggle.scanCode != 0;
        SolarRun run;
        run.passes(2);
        run.press({toggle});
        run.passes(1);
        const auto frozen = display::copyFrame(run.screen);
        const float steps = run.w->clock.stepCount, x = run.w->bodies.x[earth];
        run.press({PressedKey{-1, 77}});
        run.passes(5);
        EXPECT_EQ(display::copyFrame(run.screen), frozen) << f4;
        EXPECT_EQ(std::make_tuple(run.w->clock.stepCount, run.w->bodies.x[earth] == x, run.w->observer.XAuge),
                  std::make_tuple(f4 ? steps : steps + 5, f4, 5e9f)) << f4;
        run.press({toggle});
        run.passes(1);
        EXPECT_EQ(run.w->clock.stepCount, f4 ? steps + 1 : steps + 6) << f4;
        EXPECT_NE(display::copyFrame(run.screen), frozen) << f4;
    }
}

// F10 draws the cross around screen (512, 385), arms 2 to 10 pixels out; it
// waits 300 ms for the release, cut short by a key, which is read next.
TEST(Simulation, F10DrawsTheOpenVisorCrossAndWaits) {
    SolarRun run;
    run.press({F(10)});
    run.passes(1);
    for (int dy = -12; dy <= 12; ++dy)
        for (int dx = -12; dx <= 12; ++dx) {
            const int out = std::abs(dx) + std::abs(dy);
            const bool arm = (dx == 0 || dy == 0) && out >= 2 && out <= 10;
            ASSERT_EQ(display::pixelAt(run.screen, 512 + dx, 385 + dy) == 11, arm) << dx << "," << dy;
        }
    EXPECT_EQ(run.input().time(), 300);
    run.press({F(10)});
    run.input().typeText("+", run.input().time() + 60);
    run.passes(1);
    EXPECT_LT(run.input().time(), 600);
    run.passes(1);
    EXPECT_EQ(run.w->observer.VAuge, 5.5e9f);
}

TEST(Simulation, SpeedFactorAboveOneSetsStepsPerPass) {
    SolarRun run;
    for (int k = 0; k < 8; ++k) run.press({F(9)});  // 1.1^8 = 2.14
    run.passes(8);
    const float start = run.w->clock.stepCount;
    run.passes(100);
    EXPECT_NEAR(run.w->clock.stepCount - start, 214, 1);
    sim::LoopState loop;
    // A factor of 1 or below runs one step and drops the carried fraction.
    const std::pair<float, int> rows[] = {{1.5f, 1}, {1, 1}, {1.5f, 1}, {1.5f, 2}, {0.5f, 1}, {1.5f, 1}, {1e30f, 1000}};
    for (auto [factor, steps] : rows) EXPECT_EQ(app::stepsThisPass(loop, factor), steps) << factor;
}

// Below 1 the time paused is (1/speedFactor - 1) times the time in passes, for
// short and long passes and a rare slow one; no pause exceeds what was earned.
TEST(Simulation, SlowPaceKeepsItsRatioAtEveryFactorAndPassLength) {
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
    sim::LoopState loop;
    EXPECT_EQ(app::pauseAfterPass(loop, 1, 10), 0) << "unpaced at 1";
    EXPECT_EQ(app::pauseAfterPass(loop, 1.1f, 10), 0) << "faster: more steps, no pause";
    EXPECT_EQ(app::pauseAfterPass(loop, 0, 10), app::maxPauseMs) << "the pause has a bound";
}

// With the Earth as target and F5, the eye closes in on it, never nearer
// than ten diameters, then hovers there; F5 again lets it drift off.
TEST(Simulation, CourseAutomationApproachesToTenDiametersAndHovers) {
    SolarRun run;
    run.press({key('i'), key('4'), key('\r'), F(5)});
    run.passes(2);
    const double tenDiameters = 10.0 * run.w->bodies.diameter[earth];
    double last = run.distanceTo(earth);
    int arrived = -1;
    for (int k = 1; k <= 1500; ++k) {
        run.passes(1);
        const double d = run.distanceTo(earth);
        ASSERT_GE(d, tenDiameters) << "pass " << k;
        ASSERT_NEAR(run.w->bodies.screenX[earth], 510.5f, 1) << "centred, pass " << k;
        if (arrived < 0 && d < tenDiameters * 1.01) arrived = k;
        ASSERT_LT(d, arrived < 0 ? last : tenDiameters * 1.03) << "pass " << k;
        ASSERT_LE(last - d, 1.001 * run.w->observer.VAuge) << "at most VAuge nearer, pass " << k;
        last = d;
    }
    EXPECT_GT(arrived, 0);
    EXPECT_EQ(run.w->target.EZiel, float(run.distanceTo(earth)));
    run.press({F(5)});
    run.passes(50);
    EXPECT_GT(run.distanceTo(earth), tenDiameters * 1.5) << "F5 again stops following";
}

// Clicks mark bodies and show their distance; marks 1..800 name their
// entry in the marking line, any other entry 0.
TEST(Simulation, ClicksMarkBodiesAndShowTheirDistance) {
    SolarRun run;
    run.passes(1);
    EXPECT_EQ(run.line(1, 30, 24), " __ m = 0        __m = 0");
    run.clickOn(sun, 1);
    EXPECT_NE(run.line(1, 1, 4), "Entf") << "one mark: no distance";
    run.clickOn(earth, 2);
    EXPECT_EQ(std::tie(run.w->hud.mark1, run.w->hud.mark2), std::make_tuple(sun, earth));
    EXPECT_EQ(run.line(1, 30, 52), "Sonne __ m = 1.98892e+30       Erde __m = 5.98e+24");
    EXPECT_EQ(run.line(1, 1, 14), "Entf_in_AE = 1");
    EXPECT_NEAR(run.w->hud.markDistance / run.w->physics.AU, 1, 0.01);
    run.passes(100);
    run.clickOn(5, 2);  // Mars, off its catalogue distance: seven digits
    const sim::Bodies& b = run.w->bodies;
    const double mars = std::hypot(double(b.x[5]) - b.x[sun], double(b.y[5]) - b.y[sun], double(b.z[5]) - b.z[sun]);
    const std::string distance = "Entf_in_AE = " + display::formatNumber(float(mars / run.w->physics.AU));
    EXPECT_EQ(run.line(1, 1, int(distance.size())), distance);
    run.clickOn(sun, 2);
    EXPECT_EQ(run.line(1, 1, 14), "Entf_in_AE = 0");
    // While stopped nothing is marked, nor with the pointer outside.
    run.press({F(4)});
    run.clickOn(earth, 1);
    run.input().leaveWindow();
    run.press({F(4)});
    run.passes(2);
    EXPECT_EQ(std::tie(run.w->hud.mark1, run.w->hud.mark2), std::make_tuple(sun, sun));
    run.clickOn(earth, 4);
    EXPECT_EQ(std::tie(run.w->hud.mark1, run.w->hud.mark2, run.w->hud.markRingFlag), std::make_tuple(-1, -1, -1));
    run.w->bodies.name[0] = "Null", run.w->bodies.name[800] = "Letzte";
    const std::pair<int32_t, std::string> rows[] = {{0, "Null"}, {1, "Sonne"}, {800, "Letzte"}, {801, "Null"}};
    for (const auto& [mark, shown] : rows) {
        run.w->hud.mark1 = mark, run.w->hud.mark2 = -1;
        run.passes(1);
        EXPECT_EQ(run.line(1, 30, int(shown.size()) + 3), shown + " __") << mark;
    }
}

// Turned 2 degrees right and 1 up, no target, over rows of x: each label, value
// and separator ('|') in its cells, "xZiel =" blank to column 42, the rest untouched.
TEST(Simulation, PanelShowsEveryLabelValueAndSeparatorInItsCell) {
    SolarRun run;
    run.w->target.Ziel = 0;
    for (int row = 33; row <= 38; ++row) {
        display::locate(run.screen, row, 1);
        display::printText(run.screen, std::string(70, 'x'), false);
    }
    run.w->observer.XDREH = 2, run.w->observer.YDREH = 1;
    run.press({F(7)});
    run.passes(1);
    const std::string wi_y = display::printedNumber(run.w->observer.wi_y);
    ASSERT_NE(wi_y, " 0");
    const std::string rows[] = {
        "XAuge =x 0xxxxxxxxxx|YAuge =xx 0xxxxxxxxxx|ZAuge =x-4.476e+11xx|xxx",
        "XDREH =x 2xxxxxxxxxx|YDREH =xx 1xxxxxxxxxx|wi_y =xx" + wi_y + std::string(12 - wi_y.size(), 'x') + "|xxx",
        "VAuge =x 5e+09xxxxxx|ZDre =xxx 0xxxxxxxxxx|wi_x =xx 2xxxxxxxxxx|xxx",
        "XBizi =x 0xxxxxxxxxx|E.Ziel =x 0xxxxxxxxxx|wi_x.Z = 0xxxxxxxxxx|xxx",
        "x.rel =x 0xxxxxxxxxx|zZiel =xx 0xxxxxxxxxx|wi_y.Z = 0xxxxxxxxxx|xxx",
        "Ziel =xx 0xxxxxxxxxx|xZiel =   0         x|yZiel =x 0xxxxxxxxxx|xxx",
    };
    for (int r = 0; r < 6; ++r) {
        std::string want = rows[r];
        for (auto at = want.find('|'); at != std::string::npos; at = want.find('|')) want.replace(at, 1, "\xC2\xB1");
        EXPECT_EQ(run.line(33 + r, 1, 70), want) << "row " << 33 + r;
    }
}
