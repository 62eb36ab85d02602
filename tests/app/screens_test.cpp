// The menus, the help, the save dialog and the program going from screen to
// screen, each on a headless screen with scripted pointer and keys.
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/main_menu.h"
#include "app/program.h"
#include "app/save_dialog.h"
#include "app/screen_text.h"
#include "app/simulation.h"
#include "app/simulation_menu.h"
#include "io/scenario_file.h"
#include "scenarios/scenario_list.h"
#include "scenarios/solar_system.h"
#include "support/temp_dir.h"

using app::Next;
using testing_support::readFile;
using testing_support::Session;
using testing_support::textAt;

namespace {

constexpr int endX = 820, endY = 10;  // the main menu's "Beenden"
constexpr int cyan = 11, green = 10, blue = 1, magenta = 5;
constexpr std::pair<int, int> saveAs{850, 150}, firstRow{100, 55}, secondRow{100, 67};

// The solar system in the simulation with the " Menue " list opened.
void openSimulationMenu(Session& run) {
    scenarios::startListEntry(*run.w, 7);
    app::enterSimulation(*run.w, run.screen);
    run.pointer(960, 10, 1);
    EXPECT_EQ(app::simulationPass(*run.w, run.screen), std::nullopt);
}

}  // namespace

TEST(MainMenu, StepButtonsKeepTheBodyCountWithin1To800AndStepTheMass) {
    using Clicks = std::vector<std::pair<int, int>>;
    const struct { const char* name; float bodyCount; Clicks clicks; const char *count, *mass; } rows[] = {
        {"+10", 400, {{785, 15}}, "410", "1"},          {"+10 to 800", 790, {{785, 15}}, "800", "1"},
        {"+10 past 800", 791, {{785, 15}}, "800", "1"}, {"+10 below 790", 789, {{785, 15}}, "799", "1"},
        {"-10 to 1", 11, {{540, 15}}, "1", "1"},        {"-10 past 1", 10, {{540, 15}}, "1", "1"},
        {"-10 above 11", 12, {{540, 15}}, "2", "1"},    {"+10%", 400, {{940, 615}}, "400", "1.1"},
        {"-10%", 400, {{440, 615}}, "400", "0.9090909"},
        {"+10% twice, -10%", 400, {{940, 615}, {940, 615}, {440, 615}}, "400", "1.1"},
    };
    for (const auto& row : rows) {
        Session run;
        run.w->bodies.bodyCount = row.bodyCount;
        run.w->maxMass = 3 * run.w->physics.earthMass;  // set back on entry
        long long t = 500;
        for (auto [x, y] : row.clicks) run.click(x, y, t += 500);
        run.pointer(10, 700, 0, t += 500);  // a move redraws the values
        run.click(endX, endY, t += 500);
        EXPECT_EQ(app::runMainMenu(*run.w, run.screen), Next::Exit) << row.name;
        // Shorter values leave the cells of longer ones: read as many as expected.
        const std::string count = std::string("Objekte = ") + row.count + "  ",
                          mass = std::string("Masse maximal in Erdmassem pro Objekt = ") + row.mass + "  ";
        EXPECT_EQ(textAt(run.screen, 1, 77, blue, cyan, int(count.size())), count) << row.name;
        EXPECT_EQ(textAt(run.screen, 39, 64, blue, cyan, int(mass.size())), mass) << row.name;
    }
}

// A scenario row starts its scenario, a file row loads the file under its
// name; rows that name nothing are ignored.
TEST(MainMenu, PicksStartWhatTheyNameAndIgnoreEmptyRows) {
    const struct { const char* name; int x, y, entry; } rows[] = {  // entry: 0 none, -1 the file
        {"empty file row", 100, 55, 0}, {"Listende", 400, 217, 0}, {"entry 1", 400, 55, 1},
        {"solar system", 400, 150, 7},  {"Jupiter", 400, 167, 8},  {"entry 10", 400, 200, 10}, {"file", 100, 55, -1},
    };
    for (const auto& row : rows) {
        testing_support::TempDir dir;
        testing_support::InDirectory in(dir.path());
        Session saved, run, probe;
        scenarios::startListEntry(*saved.w, 7);
        app::simulationStep(*saved.w, saved.screen);
        ASSERT_TRUE(row.entry >= 0 || io::saveScenario(*saved.w, "s.dat").ok);
        if (row.entry > 0) scenarios::startListEntry(*probe.w, row.entry, 1);
        run.click(row.x, row.y, 500);
        run.click(endX, endY, 1500);
        EXPECT_EQ(app::runMainMenu(*run.w, run.screen), row.entry ? Next::Simulation : Next::Exit) << row.name;
        const World& expected = row.entry < 0 ? *saved.w : *probe.w;
        EXPECT_EQ(run.w->scenarioTitle, row.entry < 0 ? "s.dat" : probe.w->scenarioTitle) << row.name;
        EXPECT_EQ(run.w->bodies.bodyCount, expected.bodies.bodyCount) << row.name;
        EXPECT_TRUE(row.entry >= 0 || run.w->menus.fileName + io::scenarioText(*run.w) == "s.dat" + readFile("s.dat"));
    }
}

// Every label and title of the menus, with its trailing blanks: the cell
// after each has another colour.
TEST(Menus, LabelsAndTitlesStandExactly) {
    enum Screen { MenuFirst, MenuMoved, SaveFirst, SaveThird, SimulationMenu };
    const struct { Screen screen; int row, column, fg, bg; const char* text; } rows[] = {
        {MenuFirst, 3, 10, cyan, magenta, "Open file"},           {MenuFirst, 1, 102, blue, cyan, "Beenden  "},
        {MenuFirst, 3, 39, cyan, magenta, "Neustart!                 "},
        {MenuFirst, 10, 39, 7, blue, "Sonnensystem starten"},     {MenuMoved, 3, 10, cyan, magenta, "Open file    "},
        {MenuMoved, 1, 67, blue, cyan, " - 10   "},                {MenuMoved, 1, 92, blue, cyan, " + 10   "},
        {MenuMoved, 39, 54, blue, cyan, " - 10%   "},              {MenuMoved, 39, 117, blue, cyan, " + 10%   "},
        {SaveFirst, 3, 1, cyan, magenta, "Save File As"},          {SaveFirst, 7, 102, blue, cyan, "Beenden - Exit  "},
        {SaveFirst, 10, 102, blue, green, "Speichen als - Save as  "},
        {SaveThird, 1, 1, green, 0, "Save as Planet.dat or input a ather name with sufix .dat ."},
        {SaveThird, 10, 102, blue, green, "Go to Mainnenue   "},
        {SimulationMenu, 3, 102, cyan, magenta, "Mainmenue    "},  {SimulationMenu, 1, 121, blue, green, " Menue  "},
        {SimulationMenu, 4, 102, 7, blue, "Mainmenue "},           {SimulationMenu, 5, 102, 7, blue, "Beenden-Exit "},
        {SimulationMenu, 6, 102, 7, blue, "Speichern-Save "},      {SimulationMenu, 7, 102, 7, blue, "Hilfe "},
        {SimulationMenu, 10, 102, 7, blue, "Listende "},
    };
    testing_support::TempDir dir;
    testing_support::InDirectory in(dir.path());
    Session screens[5];
    Session& first = screens[MenuFirst];
    first.w->loop.mouseX = endX, first.w->loop.mouseY = endY, first.w->loop.mouseButtons = 1;  // as left
    EXPECT_EQ(app::runMainMenu(*first.w, first.screen), Next::Exit);
    Session& moved = screens[MenuMoved];
    moved.pointer(10, 700, 0, 500);
    moved.click(endX, endY, 1000);
    EXPECT_EQ(app::runMainMenu(*moved.w, moved.screen), Next::Exit);
    Session& save = screens[SaveFirst];
    save.click(850, 110, 500);
    EXPECT_EQ(app::runSaveDialog(*save.w, save.screen), Next::Exit);
    Session& third = screens[SaveThird];
    third.click(saveAs.first, saveAs.second, 500);
    third.type("\r", 1000);
    third.click(850, 110, 1500);
    EXPECT_EQ(app::runSaveDialog(*third.w, third.screen), Next::Exit);
    openSimulationMenu(screens[SimulationMenu]);
    for (const auto& row : rows) {
        const int length = row.bg == blue || row.bg == 0 ? int(std::string(row.text).size()) : 128;
        EXPECT_EQ(textAt(screens[row.screen].screen, row.row, row.column, row.fg, row.bg, length), row.text)
            << "screen " << row.screen << ", row " << row.row;
    }
}

// " Menue " opens the list (and closes it again); a row's choice acts in the
// same pass and not again when the simulation is entered anew.
TEST(SimulationMenu, EachEntryActs) {
    const struct { const char* name; int y; std::optional<Next> next; float help; } rows[] = {
        {"Mainmenue", 55, Next::MainMenu, -1}, {"Beenden-Exit", 66, Next::Exit, -1},
        {"Speichern-Save", 83, Next::SaveDialog, -1}, {"Hilfe", 100, std::nullopt, 1},
        {"blank row", 116, std::nullopt, -1}, {"Listende", 150, std::nullopt, -1},
        {" Menue  again", 10, std::nullopt, -1},
    };
    for (const auto& row : rows) {
        Session run;
        openSimulationMenu(run);
        EXPECT_EQ(run.w->menus.simMenu.active, 1) << row.name;
        run.pointer(row.y == 10 ? 960 : 900, row.y, 1);
        EXPECT_EQ(app::simulationPass(*run.w, run.screen), row.next) << row.name;
        EXPECT_EQ(std::make_pair(run.w->loop.helpSwitch, run.w->menus.simMenu.active), std::make_pair(row.help, 0))
            << row.name;
        run.pointer(300, 300, 0);
        app::enterSimulation(*run.w, run.screen);
        EXPECT_EQ(app::simulationPass(*run.w, run.screen), std::nullopt) << row.name;
    }
}

// The help page over rows of red x: each row's text ends where the x resume,
// so trailing blanks show. Row 1 starts in column 1, the others in column 2.
TEST(Help, PrintsEachRowOverThePicture) {
    Session run;
    app::enterSimulation(*run.w, run.screen);
    display::setColor(run.screen, 12, 0);
    for (int row = 1; row <= 31; ++row) {
        display::locate(run.screen, row, 1);
        display::printText(run.screen, std::string(100, 'x'), false);
    }
    display::setColor(run.screen, green, 0);
    app::showHelp(*run.w, run.screen);
    EXPECT_EQ(run.w->clock.clockSwitch, -1.f);
    const std::pair<int, std::string> rows[] = {
        {1, "FUNKTIONSTASTEN"},
        {2, "Einmahl Taste gedr\x81" "ckt Funktion AN ,nochmahl gedr\x81" "ckt Funktion AUS  "},
        {3, "< F1 > =  Hilfe"}, {4, "< F2 > =  Bahnanzeigen "}, {9, "< F8 > =  Langsamer "},
        {10, "< F9 > =  Schneller "}, {16, "< Entf > =  Nach links schwenken  -- Nur wenn Drehschwenk ein."},
        {24, "< v > = Vorw\x84" "rts  *******  < h > = R\x81" "ckw\x84" "rts  "},
        {29, "dann wirt oben Namme, Masse & und die Entrernung der Objekte zueinander angezeigt."},
        {30, "Mit der dritten Maustaste wirt die Kennzeichnung wieder aufgehoben"}, {31, ""},
    };
    for (const auto& [row, text] : rows) EXPECT_EQ(textAt(run.screen, row, row == 1 ? 1 : 2, green, 0), text) << row;
}

TEST(SaveDialog, SavesUnderThePickedOrTypedNameOrSaysItFailed) {
    // clicks: on the first screen; typed: null for a pick; written: null when none; waiting: keys left
    // waiting by the simulation.
    const struct { const char* name; std::vector<std::pair<int, int>> clicks; const char *typed, *written, *waiting; }
        rows[] = {
            {"typed", {saveAs}, "mine.dat", "mine.dat", ""},
            {"first item of the line", {saveAs}, "a, b.dat", "a", ""},
            {"empty line keeps the offered name", {saveAs}, "", "test.dat", ""},
            {"picked file is overwritten", {firstRow}, nullptr, "old.dat", ""},
            {"Listende is ignored", {secondRow, saveAs}, "n.dat", "n.dat", ""},
            {"missing directory", {saveAs}, "none/x.dat", nullptr, ""},
            {"a directory", {saveAs}, "sub.dat", nullptr, ""},
            {"the first screen reads no keys", {saveAs}, "y.dat", "xy.dat", "x"},
        };
    for (const auto& row : rows) {
        testing_support::TempDir dir;
        testing_support::InDirectory in(dir.path());
        testing_support::writeFile("old.dat", "old");
        std::filesystem::create_directory("sub.dat");
        Session run;
        scenarios::startListEntry(*run.w, 7);
        run.w->menus.fileName = "test.dat";
        run.type(row.waiting);
        long long t = 0;
        for (auto [x, y] : row.clicks) run.click(x, y, t += 500);
        if (row.typed) run.type(std::string(row.typed) + "\r", t += 500);
        run.type("\r", t += 500);
        EXPECT_EQ(app::runSaveDialog(*run.w, run.screen), Next::SolarSystem) << row.name;
        EXPECT_TRUE(!row.written || readFile(row.written) == io::scenarioText(*run.w)) << row.name;
        const std::string failed = "Fehler: Datei konnte nicht gespeichert werden";
        EXPECT_EQ(textAt(run.screen, row.typed ? 3 : 1, 1, green, 0, int(failed.size())) == failed, !row.written)
            << row.name;
        // Nothing else is left behind: no temporary file, no file for a failed save.
        const bool newFile = row.written && std::string(row.written) != "old.dat";
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator("."), {}), 2 + newFile) << row.name;
    }
}

// Screen after screen as the program runs them: main menu, solar system,
// Esc, save dialog, and the solar system started anew.
TEST(Program, StartSaveWithEscAndStartTheSolarSystemAgain) {
    testing_support::TempDir dir;
    testing_support::InDirectory in(dir.path());
    Session run;
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
    run.click(saveAs.first, saveAs.second, 500);
    run.type("mine.dat\r", 1000);
    run.type("\r", 1500);
    ASSERT_EQ(app::runScreen(w, run.screen, Next::SaveDialog), Next::SolarSystem);
    EXPECT_EQ(readFile("mine.dat"), atEsc);
    ASSERT_EQ(app::runScreen(w, run.screen, Next::SolarSystem), Next::Simulation);
    EXPECT_EQ(std::tie(w.bodies.x, w.bodies.vy), std::tie(fresh.bodies.x, fresh.bodies.vy));
}

// The program starts in the main menu, whose "Beenden" ends it. A slow pace
// makes a simulation pause, which ends a run that went there instead.
TEST(Program, BeendenInTheMainMenuEndsWithStatus0) {
    Session run;
    run.w->clock.speedFactor = 0.01f;
    run.input().whileWaiting([&] {
        if (run.input().time() > 3000) throw std::runtime_error("still running after 3 s");
    });
    run.click(endX, endY, 500);
    EXPECT_EQ(app::runProgram(*run.w, run.screen), 0);
}
