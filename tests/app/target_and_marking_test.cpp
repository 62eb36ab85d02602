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
#include "display/number_format.h"
#include "display/screen.h"
#include "scenarios/scenario_list.h"
#include "scenarios/solar_system.h"
#include "support/picture.h"
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
    bool shows(int row, int column, const std::string& text) {
        return bool(testing_support::showsText(screen, row, column, text));
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
    EXPECT_EQ(std::tie(run.w->target.Ziel, run.w->target.targetSwitch), std::make_tuple(4.f, -1.f));
    for (int k = 0; k < 300; ++k) {
        ASSERT_TRUE(run.centred(earth)) << "pass " << k;
        run.passes(1);
    }
    EXPECT_EQ(run.w->target.EZiel, float(run.distanceTo(earth)));
    run.input().typeText("dd");
    run.passes(2);
    EXPECT_TRUE(run.centred(earth)) << "d twice changes nothing";
    run.input().typeText("d");
    run.passes(1);
    EXPECT_EQ(std::tie(run.w->observer.wi_x, run.w->bodies.screenX[sun]), std::make_tuple(0.f, 510.f));

    // Letters give Ziel 0, no body: the target values keep theirs.
    const view::Target before = run.w->target;
    run.input().typeText("iabc\r");
    run.passes(200);
    EXPECT_EQ(std::tie(run.w->target.Ziel, run.w->target.wi_xZ, run.w->target.EZiel, run.w->observer.wi_x),
              std::make_tuple(0.f, before.wi_xZ, before.EZiel, before.wi_xZ));
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

// The cross's centre is viewport (511, 384), screen (512, 385); its arms
// reach from 2 to 10 pixels out, the centre stays open.
TEST(Visor, F10DrawsTheOpenCrossAfterTheBodies) {
    Session run;
    run.key(68);
    run.passes(1);
    for (int dy = -12; dy <= 12; ++dy)
        for (int dx = -12; dx <= 12; ++dx) {
            const int out = std::abs(dx) + std::abs(dy);
            const bool arm = (dx == 0 || dy == 0) && out >= 2 && out <= 10;
            ASSERT_EQ(display::pixelAt(run.screen, 512 + dx, 385 + dy) == 11, arm) << dx << "," << dy;
        }
}

TEST(Marking, ClicksMarkSunAndEarthAndShowTheirDistance) {
    Session run;
    run.passes(1);
    EXPECT_TRUE(run.shows(1, 30, " __ m = 0        __m = 0"));
    run.click(sun, 1);
    EXPECT_FALSE(run.shows(1, 1, "Entf")) << "one mark: no distance";
    run.click(earth, 2);
    EXPECT_EQ(std::tie(run.w->hud.mark1, run.w->hud.mark2), std::make_tuple(sun, earth));
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
    EXPECT_EQ(std::tie(run.w->hud.mark1, run.w->hud.mark2), std::make_tuple(sun, sun));

    run.click(earth, 4);
    EXPECT_EQ(std::tie(run.w->hud.mark1, run.w->hud.mark2, run.w->hud.markRingFlag), std::make_tuple(-1, -1, -1));
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

// Turned 2 degrees right and 1 up, with no target body, over rows of x:
// each label, value and separator in its cells, the "xZiel =" label followed
// by blanks to column 42, every other cell untouched.
TEST(DiagnosticPanel, EveryLabelValueAndSeparatorInItsCell) {
    Session run;
    run.w->target.Ziel = 0;
    for (int row = 33; row <= 38; ++row) {
        display::locate(run.screen, row, 1);
        display::printText(run.screen, std::string(70, 'x'), false);
    }
    run.w->observer.XDREH = 2, run.w->observer.YDREH = 1;
    run.key(65);  // F7
    run.passes(1);
    const std::string wi_y = display::printedNumber(run.w->observer.wi_y), sep = "\xC2\xB1";
    ASSERT_NE(wi_y, " 0");
    auto row = [&](std::vector<std::pair<int, std::string>> cells) {
        std::string line(70, 'x');
        for (auto& [column, text] : cells) line.replace(std::size_t(column - 1), text.size(), text);
        return line;
    };
    const std::string rows[] = {
        row({{1, "XAuge ="}, {9, " 0"}, {21, sep}, {23, "YAuge ="}, {32, " 0"}, {44, sep}, {46, "ZAuge ="},
             {54, "-4.476e+11"}, {66, sep}}),
        row({{1, "XDREH ="}, {9, " 2"}, {21, sep}, {23, "YDREH ="}, {32, " 1"}, {44, sep}, {46, "wi_y ="}, {54, wi_y},
             {66, sep}}),
        row({{1, "VAuge ="}, {9, " 5e+09"}, {21, sep}, {23, "ZDre ="}, {32, " 0"}, {44, sep}, {46, "wi_x ="},
             {54, " 2"}, {66, sep}}),
        row({{1, "XBizi ="}, {9, " 0"}, {21, sep}, {23, "E.Ziel ="}, {32, " 0"}, {44, sep}, {46, "wi_x.Z ="},
             {54, " 0"}, {66, sep}}),
        row({{1, "x.rel ="}, {9, " 0"}, {21, sep}, {23, "zZiel ="}, {32, " 0"}, {44, sep}, {46, "wi_y.Z ="},
             {54, " 0"}, {66, sep}}),
        row({{1, "Ziel ="}, {9, " 0"}, {21, sep}, {23, "xZiel =             "}, {32, " 0"}, {44, sep},
             {46, "yZiel ="}, {54, " 0"}, {66, sep}}),
    };
    for (int r = 0; r < 6; ++r)
        EXPECT_TRUE(testing_support::showsText(run.screen, 33 + r, 1, rows[r])) << "row " << 33 + r;
}
