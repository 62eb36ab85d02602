// The menus, the save dialog and the program on headless screens with scripted pointer and keys.
#include <stdexcept>

#include "app/screen_text.h"
#include "io/scenario_file.h"
#include "scenarios/scenario_list.h"
#include "support/temp_dir.h"

using app::Next;
using testing_support::readFile;
using testing_support::Session;

// Menu screens on scripts, the main menu from the program's start to a move and "Beenden" (status
// 0): the text at (row, column). A slow pace ends a program that went elsewhere first.
TEST(Menus, ShowTheirLabelsAndValues) {
    const std::string count = "Objekte = ", mass = "Masse maximal in Erdmassem pro Objekt = ";
    const struct { const char* name; Next screen; float count; const char* script; int row, column; std::string text; }
        rows[] = {
            {"+10 to 800", Next::MainMenu, 790, "785,15", 1, 77, count + "800  "},
            {"+10 past 800", Next::MainMenu, 791, "785,15", 1, 77, count + "800  "},
            {"+10 below 790", Next::MainMenu, 789, "785,15", 1, 77, count + "799  "},
            {"-10 to 1", Next::MainMenu, 11, "540,15", 1, 77, count + "1  "},
            {"-10 past 1", Next::MainMenu, 10, "540,15", 1, 77, count + "1  "},
            {"-10 above 11", Next::MainMenu, 12, "540,15", 1, 77, count + "2  "},
            {"+10%", Next::MainMenu, 400, "940,615", 39, 64, mass + "1.1  "},
            {"-10%", Next::MainMenu, 400, "440,615", 39, 64, mass + "0.9090909  "},
            {"the first title", Next::MainMenu, 400, "left:820,10", 3, 39, "Neustart!                 |"},
            {"+ 10 button", Next::MainMenu, 400, "", 1, 92, " + 10   |"},
            {"+ 10% button", Next::MainMenu, 400, "", 39, 117, " + 10%   |"},
            {"a failed save says so", Next::SaveDialog, 400, "850,150 none/x.dat Enter Enter", 3, 1,
             "Fehler: Datei konnte nicht gespeichert werden"},
            {"Beenden - Exit", Next::SaveDialog, 400, "850,150 Enter 850,110", 7, 102, "Beenden - Exit  |"},
            {"Go to Mainnenue", Next::SaveDialog, 400, "850,150 Enter 850,110", 10, 102, "Go to Mainnenue   |"},
        };
    for (const auto& row : rows) {
        testing_support::TempDir dir;
        testing_support::InDirectory in(dir.path());
        Session session;
        session.w->bodies.bodyCount = row.count, session.w->clock.speedFactor = 0.01f;
        session.input().whileWaiting([&] {
            if (session.input().time() > 9000) throw std::runtime_error("still running after 9 s");
        });
        if (row.screen == Next::MainMenu) {
            session.script(row.script + std::string(" move:10,700 820,10"));
            EXPECT_EQ(app::runProgram(*session.w, session.screen), 0) << row.name;
        } else {
            session.run(row.screen, row.script);
        }
        EXPECT_EQ(testing_support::textLike(session.screen, row.row, row.column, row.text), row.text) << row.name;
    }
}

// The save dialog saves under the first item of a typed line or a picked file,
// Enter leads to the solar system; the main menu's file row loads such a file.
TEST(SaveDialog, SavesWhatTheMainMenuLoads) {
    testing_support::TempDir dir;
    testing_support::InDirectory in(dir.path());
    testing_support::writeFile("Old.dat", "old");
    const std::pair<const char*, const char*> rows[] = {
        {"850,150 a,b.dat Enter Enter", "a"}, {"850,150 Enter Enter", "Planet.dat"}, {"100,55 Enter", "Old.dat"}};
    for (auto [script, written] : rows) {
        Session session;
        scenarios::startListEntry(*session.w, 7);
        app::simulationStep(*session.w, session.screen);
        EXPECT_EQ(session.run(Next::SaveDialog, script), Next::SolarSystem) << script;
        EXPECT_EQ(readFile(written), io::scenarioText(*session.w)) << script;
    }
    Session session;
    EXPECT_EQ(session.run(Next::MainMenu, "100,55"), Next::Simulation);
    EXPECT_EQ(session.w->scenarioTitle + session.w->menus.fileName + io::scenarioText(*session.w),
              "Old.datOld.dat" + readFile("Old.dat"));
    testing_support::writeFile("A.dat", "not a scenario");  // a refused file: back to the main menu
    EXPECT_EQ(Session().run(Next::MainMenu, "100,55"), Next::MainMenu);
}
