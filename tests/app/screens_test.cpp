// The main menu, the in-simulation menu with the help, and the save dialog,
// each run on a headless screen with scripted pointer and keys.
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/main_menu.h"
#include "app/save_dialog.h"
#include "app/screen_text.h"
#include "app/simulation.h"
#include "app/simulation_menu.h"
#include "io/scenario_file.h"
#include "scenarios/scenario_list.h"
#include "support/temp_dir.h"

using app::Next;
using testing_support::showsText;

namespace {

constexpr int endButtonX = 820, endButtonY = 10;  // the main menu's "Beenden"

struct Setting {
    const char* name;
    float bodyCount;
    std::vector<std::pair<int, int>> clicks;
    const char* count;
    const char* mass;
};

}  // namespace

TEST(MainMenu, StepButtonsKeepTheBodyCountWithin1To800AndStepTheMass) {
    const Setting cases[] = {
        {"+10", 400, {{785, 15}}, "410", "1"},          {"+10 to 800", 790, {{785, 15}}, "800", "1"},
        {"+10 past 800", 791, {{785, 15}}, "800", "1"}, {"+10 below 790", 789, {{785, 15}}, "799", "1"},
        {"-10 to 1", 11, {{540, 15}}, "1", "1"},        {"-10 past 1", 10, {{540, 15}}, "1", "1"},
        {"-10 above 11", 12, {{540, 15}}, "2", "1"},    {"+10%", 400, {{940, 615}}, "400", "1.1"},
        {"-10%", 400, {{440, 615}}, "400", "0.9090909"},
        {"+10% twice, -10%", 400, {{940, 615}, {940, 615}, {440, 615}}, "400", "1.1"},
    };
    for (const Setting& c : cases) {
        testing_support::Session run;
        run.w->bodies.bodyCount = c.bodyCount;
        run.w->maxMass = 3 * run.w->physics.earthMass;  // set back on entry
        long long t = 500;
        for (auto [x, y] : c.clicks) run.click(x, y, t += 500);
        run.pointer(10, 700, 0, t += 500);  // a move redraws the values
        run.click(endButtonX, endButtonY, t += 500);
        EXPECT_EQ(app::runMainMenu(*run.w, run.screen), Next::Exit) << c.name;
        EXPECT_TRUE(showsText(run.screen, 1, 77, std::string("Objekte = ") + c.count + "  ", 1, 11)) << c.name;
        EXPECT_TRUE(showsText(run.screen, 39, 64,
                              std::string("Masse maximal in Erdmassem pro Objekt = ") + c.mass + "  ", 1, 11))
            << c.name;
    }
}

// Rows that name nothing are ignored: an empty directory's empty first row,
// the scenario list's "Listende".
TEST(MainMenu, RowsWithoutAScenarioAreIgnored) {
    testing_support::TempDir dir;
    testing_support::InDirectory in(dir.path());
    testing_support::Session run;
    run.click(100, 55, 500);
    run.click(400, 217, 1500);
    run.click(endButtonX, endButtonY, 2500);
    EXPECT_EQ(app::runMainMenu(*run.w, run.screen), Next::Exit);
    EXPECT_EQ(run.w->scenarioTitle, "");
    EXPECT_GE(run.input().time(), 2500);
}

TEST(MainMenu, AFilePickLoadsItUnderItsName) {
    testing_support::TempDir dir;
    testing_support::InDirectory in(dir.path());
    testing_support::Session saved;
    scenarios::startListEntry(*saved.w, 7);
    for (int k = 0; k < 5; ++k) app::simulationStep(*saved.w, saved.screen);
    ASSERT_TRUE(io::saveScenario(*saved.w, "s.dat").ok);

    testing_support::Session run;
    run.click(100, 55, 500);
    EXPECT_EQ(app::runMainMenu(*run.w, run.screen), Next::Simulation);
    EXPECT_EQ(run.w->scenarioTitle, "s.dat");
    EXPECT_EQ(run.w->menus.fileName, "s.dat");
    EXPECT_EQ(io::scenarioText(*run.w), testing_support::readFile("s.dat"));
}

TEST(MainMenu, JupiterEntryStartsTheJupiterSystem) {
    testing_support::Session probe;
    if (!scenarios::startListEntry(*probe.w, 8)) GTEST_SKIP() << "the Jupiter system is not built yet";
    testing_support::Session run;
    run.click(400, 167, 500);
    EXPECT_EQ(app::runMainMenu(*run.w, run.screen), Next::Simulation);
    EXPECT_EQ(run.w->scenarioTitle, probe.w->scenarioTitle);
    EXPECT_EQ(run.w->bodies.bodyCount, probe.w->bodies.bodyCount);
}

// The " Menue " button opens the list; a row's choice acts in the same pass.
TEST(SimulationMenu, EachEntryActs) {
    const struct {
        const char* name;
        int y;
        std::optional<Next> next;
        float help;
    } cases[] = {
        {"Mainmenue", 55, Next::MainMenu, -1}, {"Beenden-Exit", 66, Next::Exit, -1},
        {"Speichern-Save", 83, Next::SaveDialog, -1}, {"Hilfe", 100, std::nullopt, 1},
        {"blank row", 116, std::nullopt, -1}, {"Listende", 150, std::nullopt, -1},
    };
    for (const auto& c : cases) {
        testing_support::Session run;
        scenarios::startListEntry(*run.w, 7);
        app::enterSimulation(*run.w, run.screen);
        run.pointer(960, 10, 1);
        EXPECT_EQ(app::simulationPass(*run.w, run.screen), std::nullopt) << c.name;
        EXPECT_EQ(run.w->menus.simMenu.active, 1) << c.name;
        run.pointer(900, c.y, 1);
        EXPECT_EQ(app::simulationPass(*run.w, run.screen), c.next) << c.name;
        EXPECT_EQ(run.w->loop.helpSwitch, c.help) << c.name;
        EXPECT_EQ(run.w->menus.simMenu.active, 0) << c.name;
        // A choice that left does not act again when the simulation is entered anew.
        run.pointer(300, 300, 0);
        app::enterSimulation(*run.w, run.screen);
        EXPECT_EQ(app::simulationPass(*run.w, run.screen), std::nullopt) << c.name;
    }
}

TEST(Help, F1PrintsThePageAndSwitchesTheClockOff) {
    testing_support::Session run;
    scenarios::startListEntry(*run.w, 7);
    app::enterSimulation(*run.w, run.screen);
    run.input().pressKey({-1, 59});
    app::simulationPass(*run.w, run.screen);
    const struct {
        int row, column;
        std::string text;
    } rows[] = {
        {1, 1, "FUNKTIONSTASTEN"},
        {2, 2, "Einmahl Taste gedr\x81" "ckt Funktion AN ,nochmahl gedr\x81" "ckt Funktion AUS  "},
        {3, 2, "< F1 > =  Hilfe"},
        {24, 2, "< v > = Vorw\x84" "rts  *******  < h > = R\x81" "ckw\x84" "rts  "},
        {29, 2, "dann wirt oben Namme, Masse & und die Entrernung der Objekte zueinander angezeigt."},
        {30, 2, "Mit der dritten Maustaste wirt die Kennzeichnung wieder aufgehoben"},
    };
    for (const auto& r : rows) EXPECT_TRUE(showsText(run.screen, r.row, r.column, r.text, 10, 0)) << r.row;
    EXPECT_EQ(run.w->clock.clockSwitch, -1.f);
    run.input().pressKey({-1, 59});
    app::simulationPass(*run.w, run.screen);
    EXPECT_EQ(run.w->loop.helpSwitch, -1.f);
    EXPECT_EQ(run.w->clock.clockSwitch, -1.f);
}

namespace {

struct SaveCase {
    const char* name;
    std::vector<std::pair<int, int>> clicks;  // on the first screen
    const char* typed;                        // after "Speichen als - Save as"; null for a pick
    const char* written;                      // the file written, null when none
    int errorRow;                             // the failure line's row, 0 when saved
    const char* waiting = "";                 // keys left waiting by the simulation
};

constexpr std::pair<int, int> saveAs{850, 150}, firstRow{100, 55}, secondRow{100, 67};

}  // namespace

TEST(SaveDialog, SavesUnderThePickedOrTypedNameOrSaysItFailed) {
    const SaveCase cases[] = {
        {"typed", {saveAs}, "mine.dat", "mine.dat", 0},
        {"first item of the line", {saveAs}, "a, b.dat", "a", 0},
        {"empty line keeps the offered name", {saveAs}, "", "test.dat", 0},
        {"picked file is overwritten", {firstRow}, nullptr, "old.dat", 0},
        {"Listende is ignored", {secondRow, saveAs}, "n.dat", "n.dat", 0},
        {"missing directory", {saveAs}, "none/x.dat", nullptr, 3},
        {"a directory", {saveAs}, "sub.dat", nullptr, 3},
        {"the first screen reads no keys", {saveAs}, "y.dat", "xy.dat", 0, "x"},
    };
    for (const SaveCase& c : cases) {
        testing_support::TempDir dir;
        testing_support::InDirectory in(dir.path());
        testing_support::writeFile("old.dat", "old");
        std::filesystem::create_directory("sub.dat");
        testing_support::Session run;
        scenarios::startListEntry(*run.w, 7);
        run.w->menus.fileName = "test.dat";
        run.type(c.waiting);
        long long t = 0;
        for (auto [x, y] : c.clicks) run.click(x, y, t += 500);
        if (c.typed) run.type(std::string(c.typed) + "\r", t += 500);
        run.type("\r", t += 500);
        EXPECT_EQ(app::runSaveDialog(*run.w, run.screen), Next::SolarSystem) << c.name;
        if (c.written) {
            EXPECT_EQ(testing_support::readFile(c.written), io::scenarioText(*run.w)) << c.name;
        }
        EXPECT_TRUE(std::filesystem::is_directory("sub.dat")) << c.name;
        if (c.typed) {
            EXPECT_TRUE(showsText(run.screen, 1, 1, "Save as test.dat or input a ather name with sufix .dat .", 10, 0))
                << c.name;
        }
        EXPECT_EQ(c.errorRow > 0 && showsText(run.screen, c.errorRow, 1, app::saveFailedText, 10, 0), c.errorRow > 0)
            << c.name;
        // Nothing else is left behind: no temporary file, no file for a failed save.
        const bool newFile = c.written && std::string(c.written) != "old.dat";
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator("."), {}), 2 + newFile) << c.name;
    }
}
