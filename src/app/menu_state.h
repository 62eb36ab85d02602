// What the menus keep for the whole run: the numbered text lists behind the
// list boxes with their open flags and choices, the current scenario file
// name and the pointer position the main menu saw last. A fresh MenuState is
// the program-start state: the scenario list and the in-simulation menu are
// filled, the file list is empty until a screen reads the directory.
#pragma once
#include <string>
#include <vector>

namespace app {

// Entries a text list can hold (1..listCapacity; entry 0 is never used).
inline constexpr int listCapacity = 1000;

// The text that ends every list.
inline constexpr const char* listEnd = "Listende";

// A numbered list of texts as a list box shows it, with its open flag
// (non-zero while the list is offered) and the entry last picked: -1 after a
// display without a pick, 0 only when a caller resets it.
struct TextList {
    std::vector<std::string> text = std::vector<std::string>(listCapacity + 1);
    int active = 0;
    int choice = 0;
};

// The main menu's scenario list: entries 1..10 and "Listende".
TextList scenarioList();
// The in-simulation menu: its four actions, two blank rows and "Listende".
TextList simulationMenuList();

struct MenuState {
    TextList files = {};                      // scenario files of the working directory
    TextList scenarios = scenarioList();      // the main menu's built-in scenarios
    TextList simMenu = simulationMenuList();  // active = menuOpen, choice = menuChoice
    std::string fileName = "Planet.dat";      // loaded last, offered by the save dialog
    int lastMouseX = 0, lastMouseY = 0;       // the main menu's previous poll, kept across visits
};

// Whether entry n of the list lies before its "Listende" and is not empty:
// a row that names something.
bool namesAnEntry(const TextList& list, int n);

}  // namespace app
