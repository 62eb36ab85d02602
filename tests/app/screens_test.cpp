// The menus, the help, the save dialog and the program going from screen to
// screen, each on a headless screen with scripted pointer and keys.
#include <cstdio>
#include <filesystem>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>

#include <gtest/gtest.h>

#include "app/program.h"
#include "app/screen_text.h"
#include "app/simulation_menu.h"
#include "io/scenario_file.h"
#include "scenarios/scenario_list.h"
#include "support/temp_dir.h"

using app::Next;
using testing_support::readFile;
using testing_support::Session;
using testing_support::textAt;

namespace {

constexpr int cyan = 11, green = 10, blue = 1, magenta = 5;
const std::string end = " 820,10";  // the main menu's "Beenden"

// Runs a screen on a script, a word every 500 ms: "x,y" clicks there,
// "move:x,y" moves the pointer there, "Enter" presses it, any other word is typed.
Next play(Session& run, Next screen, const std::string& script) {
    std::istringstream words(script);
    long long t = 0;
    for (std::string word; words >> word;) {
        int x = 0, y = 0;
        if (std::sscanf(word.c_str(), "move:%d,%d", &x, &y) == 2) run.pointer(x, y, 0, t += 500);
        else if (std::sscanf(word.c_str(), "%d,%d", &x, &y) == 2) run.click(x, y, t += 500);
        else run.type(word == "Enter" ? "\r" : word, t += 500);
    }
    return app::runScreen(*run.w, run.screen, screen);
}

// The solar system in the simulation with the " Menue " list opened.
void openSimulationMenu(Session& run) {
    scenarios::startListEntry(*run.w, 7);
    app::enterSimulation(*run.w, run.screen);
    run.pointer(960, 10, 1);
    EXPECT_EQ(app::simulationPass(*run.w, run.screen), std::nullopt);
}

}  // namespace

TEST(MainMenu, StepButtonsKeepTheBodyCountWithin1To800AndStepTheMass) {
    const struct { const char* name; float bodyCount; const char *script, *count, *mass; } rows[] = {
        {"+10", 400, "785,15", "410", "1"},
        {"+10 to 800", 790, "785,15", "800", "1"},
        {"+10 past 800", 791, "785,15", "800", "1"},
        {"+10 below 790", 789, "785,15", "799", "1"},
        {"-10 to 1", 11, "540,15", "1", "1"},
        {"-10 past 1", 10, "540,15", "1", "1"},
        {"-10 above 11", 12, "540,15", "2", "1"},
        {"+10%", 400, "940,615", "400", "1.1"},
        {"-10%", 400, "440,615", "400", "0.9090909"},
    };
    for (const auto& row : rows) {
        Session run;
        run.w->bodies.bodyCount = row.bodyCount;
        run.w->maxMass = 3 * run.w->physics.earthMass;  // set back on entry
        EXPECT_EQ(play(run, Next::MainMenu, row.script + std::string(" move:10,700") + end), Next::Exit) << row.name;
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
    const struct { const char* name; const char* script; int entry; } rows[] = {  // entry: 0 none, -1 the file
        {"empty file row", "100,55", 0},
        {"Listende", "400,217", 0},
        {"solar system", "400,150", 7},
        {"file", "100,55", -1},
    };
    for (const auto& row : rows) {
        testing_support::TempDir dir;
        testing_support::InDirectory in(dir.path());
        Session saved, run, probe;
        scenarios::startListEntry(*saved.w, 7);
        app::simulationStep(*saved.w, saved.screen);
        ASSERT_TRUE(row.entry >= 0 || io::saveScenario(*saved.w, "s.dat").ok);
        if (row.entry > 0) scenarios::startListEntry(*probe.w, row.entry, 1);
        EXPECT_EQ(play(run, Next::MainMenu, row.script + end), row.entry ? Next::Simulation : Next::Exit) << row.name;
        const World& expected = row.entry < 0 ? *saved.w : *probe.w;
        EXPECT_EQ(run.w->scenarioTitle, row.entry < 0 ? "s.dat" : probe.w->scenarioTitle) << row.name;
        EXPECT_EQ(run.w->bodies.bodyCount, expected.bodies.bodyCount) << row.name;
        EXPECT_TRUE(row.entry >= 0 || run.w->menus.fileName + io::scenarioText(*run.w) == "s.dat" + readFile("s.dat"));
    }
}

// Labels and titles of the menus with their trailing blanks: the cell after
// each has another colour.
TEST(Menus, LabelsAndTitlesStandExactly) {
    enum Screen { MenuFirst, MenuMoved, SaveThird, SimulationMenu };
    const struct { Screen screen; int row, column, fg, bg; const char* text; } rows[] = {
        {MenuFirst, 1, 102, blue, cyan, "Beenden  "},
        {MenuFirst, 3, 39, cyan, magenta, "Neustart!                 "},
        {MenuMoved, 1, 92, blue, cyan, " + 10   "},
        {SaveThird, 7, 102, blue, cyan, "Beenden - Exit  "},
        {SaveThird, 10, 102, blue, green, "Go to Mainnenue   "},
        {SimulationMenu, 1, 121, blue, green, " Menue  "},
        {SimulationMenu, 3, 102, cyan, magenta, "Mainmenue    "},
    };
    testing_support::TempDir dir;
    testing_support::InDirectory in(dir.path());
    Session screens[4];
    Session& first = screens[MenuFirst];
    first.w->loop.mouseX = 820, first.w->loop.mouseY = 10, first.w->loop.mouseButtons = 1;  // as left
    EXPECT_EQ(app::runScreen(*first.w, first.screen, Next::MainMenu), Next::Exit);
    EXPECT_EQ(play(screens[MenuMoved], Next::MainMenu, "move:10,700" + end), Next::Exit);
    EXPECT_EQ(play(screens[SaveThird], Next::SaveDialog, "850,150 Enter 850,110"), Next::Exit);
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
        {"Mainmenue", 55, Next::MainMenu, -1},
        {"Beenden-Exit", 66, Next::Exit, -1},
        {"Speichern-Save", 83, Next::SaveDialog, -1},
        {"Hilfe", 100, std::nullopt, 1},
        {"Listende", 150, std::nullopt, -1},
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
        {10, "< F9 > =  Schneller "},
        {31, ""},
    };
    for (const auto& [row, text] : rows) EXPECT_EQ(textAt(run.screen, row, row == 1 ? 1 : 2, green, 0), text) << row;
}

// The save dialog on the solar system, offered "test.dat": it saves under the
// picked or typed name, or says it failed, and Enter leads to the solar system.
TEST(SaveDialog, SavesUnderThePickedOrTypedNameOrSaysItFailed) {
    const struct { const char *name, *script, *written; } rows[] = {  // written: null when none
        {"typed", "850,150 mine.dat Enter Enter", "mine.dat"},
        {"first item of the line", "850,150 a,b.dat Enter Enter", "a"},
        {"empty line keeps the offered name", "850,150 Enter Enter", "test.dat"},
        {"picked file is overwritten", "100,55 Enter", "old.dat"},
        {"missing directory", "850,150 none/x.dat Enter Enter", nullptr},
    };
    for (const auto& row : rows) {
        testing_support::TempDir dir;
        testing_support::InDirectory in(dir.path());
        testing_support::writeFile("old.dat", "old");
        Session run;
        scenarios::startListEntry(*run.w, 7);
        run.w->menus.fileName = "test.dat";
        EXPECT_EQ(play(run, Next::SaveDialog, row.script), Next::SolarSystem) << row.name;
        EXPECT_TRUE(!row.written || readFile(row.written) == io::scenarioText(*run.w)) << row.name;
        const std::string failed = "Fehler: Datei konnte nicht gespeichert werden";
        EXPECT_EQ(textAt(run.screen, 3, 1, green, 0, int(failed.size())) == failed, !row.written) << row.name;
    }
}

// The program starts in the main menu, whose "Beenden" ends it (a slow pace
// would make a simulation that ran instead pause); the solar system starts anew.
TEST(Program, BeendenInTheMainMenuEndsWithStatus0AndTheSolarSystemStartsAnew) {
    Session run;
    run.w->clock.speedFactor = 0.01f;
    run.input().whileWaiting([&] {
        if (run.input().time() > 3000) throw std::runtime_error("still running after 3 s");
    });
    run.click(820, 10, 500);
    EXPECT_EQ(app::runProgram(*run.w, run.screen), 0);
    World fresh;
    scenarios::setUpSolarSystem(fresh);
    run.w->bodies.x[4] = 0;
    ASSERT_EQ(app::runScreen(*run.w, run.screen, Next::SolarSystem), Next::Simulation);
    EXPECT_EQ(std::tie(run.w->bodies.x, run.w->bodies.vy), std::tie(fresh.bodies.x, fresh.bodies.vy));
}
