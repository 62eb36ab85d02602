// Finding, following and marking bodies in the running solar system on a
// screen without a window: the target number typed after i, target view,
// the course automation, the visor, mouse marks, the marking line and the
// diagnostic panel.
#include <cmath>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "app/simulation.h"
#include "display/headless.h"
#include "display/screen.h"
#include "scenarios/scenario_list.h"
#include "scenarios/solar_system.h"
#include "world.h"

namespace {

constexpr int sun = 1, earth = 4;

struct Session {
    Session() {
        scenarios::setUpSolarSystem(*w);
        app::enterSimulation(*w, screen);
    }
    display::HeadlessBackend& input() { return *display::headless(screen); }
    void passes(int n) {
        for (int k = 0; k < n; ++k) ASSERT_FALSE(app::simulationPass(*w, screen).has_value());
    }
    void key(int scanCode) { input().pressKey(display::PressedKey{-1, scanCode}); }
    // A click held for one pass on the body's projected position.
    void click(int body, int buttons) {
        input().movePointer(int(w->bodies.screenX[body]), int(w->bodies.screenY[body]), buttons);
        passes(1);
        input().movePointer(0, 0, 0);
    }
    // Eye to body, in double from the stored floats.
    double distanceTo(int i) const {
        const auto& b = w->bodies;
        const auto& o = w->observer;
        return std::hypot(double(b.x[i]) - o.XAuge, double(b.y[i]) - o.YAuge, double(b.z[i]) - o.ZAuge);
    }
    bool centred(int i) const {
        return std::fabs(w->bodies.screenX[i] - 510.5f) <= 1 && std::fabs(w->bodies.screenY[i] - 383.5f) <= 1 &&
               w->bodies.depth[i] > 0;
    }
    // Whether the cells from row, column show the text in light green on black.
    bool shows(int row, int column, const std::string& text) {
        display::Screen expected;
        display::openScreen(expected);
        display::setColor(expected, 10, 0);
        display::locate(expected, row, column);
        display::printText(expected, text, false);
        for (int y = (row - 1) * 16; y < row * 16; ++y)
            for (int x = (column - 1) * 8; x < (column - 1 + int(text.size())) * 8; ++x)
                if (display::pixelAt(expected, x, y) != display::pixelAt(screen, x, y)) return false;
        return true;
    }

    std::unique_ptr<World> w = std::make_unique<World>();
    display::Screen screen;
};

}  // namespace

TEST(TargetNumber, EarthStaysCentredUntilDTurnsBack) {
    Session run;
    run.passes(1);
    run.input().typeText("i4\r");
    run.passes(1);
    EXPECT_TRUE(run.shows(12, 20, "Zielnumer =4"));
    EXPECT_EQ(run.w->target.Ziel, 4.f);
    EXPECT_EQ(run.w->target.targetSwitch, -1.f);
    for (int k = 0; k < 1000; ++k) {
        ASSERT_TRUE(run.centred(earth)) << "pass " << k;
        run.passes(1);
    }
    EXPECT_EQ(run.w->target.EZiel, float(run.distanceTo(earth)));
    run.input().typeText("dd");
    run.passes(2);
    EXPECT_TRUE(run.centred(earth)) << "d twice changes nothing";
    run.input().typeText("d");
    run.passes(1);
    EXPECT_EQ(run.w->observer.wi_x, 0.f);
    EXPECT_EQ(run.w->bodies.screenX[sun], 510.f);

    // Letters give Ziel 0, no body: the target values keep theirs.
    const view::Target before = run.w->target;
    run.input().typeText("iabc\r");
    run.passes(200);
    EXPECT_EQ(run.w->target.Ziel, 0.f);
    EXPECT_EQ(run.w->target.wi_xZ, before.wi_xZ);
    EXPECT_EQ(run.w->target.EZiel, before.EZiel);
    EXPECT_EQ(run.w->observer.wi_x, before.wi_xZ);
    EXPECT_FALSE(run.centred(earth)) << "the view holds while the Earth moves on";
}

TEST(CourseAutomation, ApproachesEarthToTenDiametersAndHovers) {
    Session run;
    run.input().typeText("i4\r");
    run.key(63);  // F5
    run.passes(1);
    const double tenDiameters = 10.0 * run.w->bodies.diameter[earth];
    double last = run.distanceTo(earth);
    int arrived = -1;
    for (int k = 1; k <= 1500; ++k) {
        run.passes(1);
        const double d = run.distanceTo(earth);
        ASSERT_GE(d, tenDiameters) << "pass " << k;
        ASSERT_TRUE(run.centred(earth)) << "pass " << k;
        if (arrived < 0) {
            ASSERT_LT(d, last) << "pass " << k;
            if (d < tenDiameters * 1.01) arrived = k;
        } else {
            ASSERT_LT(d, tenDiameters * 1.03) << "pass " << k;
        }
        last = d;
    }
    EXPECT_GT(arrived, 0);
    EXPECT_GE(run.w->bodies.apparentSize[earth] * run.w->drawing.sizeScale, 1.f) << "a disc";
    run.key(63);
    run.passes(50);
    EXPECT_GT(run.distanceTo(earth), tenDiameters * 1.5) << "F5 again stops following";
}

TEST(Visor, F10DrawsTheOpenCrossAfterTheBodies) {
    Session run;
    run.key(68);
    run.passes(1);
    // Screen pixels: the viewport starts at (1, 1), the cross's centre is (512, 385).
    const struct { int x, y; bool cyan; } cases[] = {
        {501, 385, false}, {502, 385, true},  {510, 385, true},  {511, 385, false}, {512, 385, false},
        {513, 385, false}, {514, 385, true},  {522, 385, true},  {523, 385, false}, {512, 374, false},
        {512, 375, true},  {512, 383, true},  {512, 384, false}, {512, 386, false}, {512, 387, true},
        {512, 395, true},  {512, 396, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(display::pixelAt(run.screen, c.x, c.y) == 11, c.cyan) << c.x << ", " << c.y;
}

TEST(Marking, ClicksMarkSunAndEarthAndShowTheirDistance) {
    Session run;
    run.passes(1);
    EXPECT_TRUE(run.shows(1, 30, " __ m = 0        __m = 0"));
    run.click(sun, 1);
    run.click(earth, 2);
    EXPECT_EQ(run.w->hud.mark1, sun);
    EXPECT_EQ(run.w->hud.mark2, earth);
    EXPECT_TRUE(run.shows(1, 30, "Sonne __ m = 1.98892e+30       Erde __m = 5.98e+24"));
    EXPECT_TRUE(run.shows(1, 1, "Entf_in_AE = 1"));
    EXPECT_NEAR(run.w->hud.markDistance / run.w->physics.AU, 1, 0.01);

    run.click(sun, 2);
    EXPECT_EQ(run.w->hud.markDistance, 0.f);
    EXPECT_TRUE(run.shows(1, 1, "Entf_in_AE = 0"));

    // While stopped nothing is marked, nor with the pointer outside.
    run.key(62);  // F4
    run.click(earth, 1);
    run.input().leaveWindow();
    run.key(62);
    run.passes(2);
    EXPECT_EQ(run.w->hud.mark1, sun);
    EXPECT_EQ(run.w->hud.mark2, sun);

    run.click(earth, 4);
    EXPECT_EQ(run.w->hud.mark1, -1);
    EXPECT_EQ(run.w->hud.mark2, -1);
    EXPECT_EQ(run.w->hud.markRingFlag, -1);
}

// The star with the disc starts with its planet marked: named in the
// marking line and ringed in its colour.
TEST(Marking, PlanetOfTheDiscIsMarkedFromTheStart) {
    Session run;
    ASSERT_TRUE(scenarios::startListEntry(*run.w, 9, 7));
    app::enterSimulation(*run.w, run.screen);
    run.passes(1);
    EXPECT_EQ(run.w->hud.mark1, 3);
    EXPECT_TRUE(run.shows(1, 30, "P3 __ m = 1.23409e+29"));
    const auto& b = run.w->bodies;
    EXPECT_EQ(display::pixelAt(run.screen, int(b.screenX[3]) + 1 + 20, int(b.screenY[3]) + 1), 12)
        << "the ring, 20 pixels right of the planet";
}

// With no target body every target value reads 0.
TEST(DiagnosticPanel, StartViewCells) {
    Session run;
    run.w->target.Ziel = 0;
    run.key(65);  // F7
    run.passes(1);
    const struct { int row, column; const char* text; } cells[] = {
        {33, 1, "XAuge ="}, {33, 9, " 0"}, {33, 21, "\xC2\xB1"}, {33, 23, "YAuge ="}, {33, 32, " 0"},
        {33, 44, "\xC2\xB1"}, {33, 46, "ZAuge ="}, {33, 54, "-4.476e+11"}, {33, 66, "\xC2\xB1"},
        {35, 1, "VAuge ="}, {35, 9, " 5e+09"}, {36, 23, "E.Ziel ="}, {36, 32, " 0"},
        {37, 46, "wi_y.Z ="}, {38, 1, "Ziel ="}, {38, 9, " 0"}, {38, 23, "xZiel =   0         "},
        {38, 44, "\xC2\xB1"},
    };
    for (const auto& c : cells) EXPECT_TRUE(run.shows(c.row, c.column, c.text)) << c.row << ", " << c.column;
}
