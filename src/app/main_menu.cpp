// The main menu's screen, its settings and the dispatch of a pick.
#include "app/main_menu.h"

#include <algorithm>
#include <optional>
#include <string>

#include "app/widgets.h"
#include "display/number_format.h"
#include "io/scenario_file.h"
#include "scenarios/scenario_list.h"

namespace app {

namespace {

constexpr int entryPauseMs = 400;
constexpr int buttonFg = 1, buttonBg = 11;
constexpr int solarSystemEntry = 7, jupiterEntry = 8;

Pointer lastPoll(const World& w) { return {w.loop.mouseX, w.loop.mouseY, w.loop.mouseButtons}; }

void keepPoll(World& w, Pointer m) {
    w.loop.mouseX = m.x;
    w.loop.mouseY = m.y;
    w.loop.mouseButtons = m.buttons;
}

bool endButton(display::Screen& s, Pointer m) { return button(s, m, 800, 1, 60, 20, "Beenden", buttonFg, buttonBg); }

// Everything but the lists' first drawing. False when "Beenden" was clicked;
// stepped tells whether a step button acted.
bool redraw(World& w, display::Screen& s, Pointer m, bool& stepped) {
    MenuState& menus = w.menus;
    float& bodyCount = w.bodies.bodyCount;
    listBox(s, m, 70, 50, 200, 600, menus.files, "Open file    ");
    listBox(s, m, 300, 50, 550, 500, menus.scenarios, "Neustart       ");
    if (endButton(s, m)) return false;
    button(s, m, 600, 1, 160, 20, "Objekte = " + display::formatNumber(bodyCount), buttonFg, buttonBg);
    if (button(s, m, 520, 1, 50, 30, " - 10 ", buttonFg, buttonBg)) {
        bodyCount = std::max(float(double(bodyCount) - 10), minBodyCount);
        stepped = true;
    }
    if (button(s, m, 720, 1, 50, 30, " + 10 ", buttonFg, buttonBg)) {
        bodyCount = std::min(float(double(bodyCount) + 10), maxBodyCount);
        stepped = true;
    }
    const float earths = float(double(w.maxMass) / w.physics.earthMass);
    button(s, m, 500, 600, 160, 20, "Masse maximal in Erdmassem pro Objekt = " + display::formatNumber(earths),
           buttonFg, buttonBg);
    if (button(s, m, 420, 600, 50, 30, " - 10% ", buttonFg, buttonBg)) {
        w.maxMass = float(double(w.maxMass) / 1.1);
        stepped = true;
    }
    if (button(s, m, 920, 600, 50, 30, " + 10% ", buttonFg, buttonBg)) {
        w.maxMass = float(double(w.maxMass) * 1.1);
        stepped = true;
    }
    display::locate(s, 1, 1);
    return true;
}

// Sets up what was picked; nothing when the picked row starts nothing.
std::optional<Next> dispatch(World& w) {
    MenuState& menus = w.menus;
    const int entry = menus.scenarios.choice;
    if (entry == solarSystemEntry || entry == jupiterEntry) {
        if (scenarios::startListEntry(w, entry)) return Next::Simulation;
        return std::nullopt;
    }
    if (menus.files.choice > 0) {
        if (!namesAnEntry(menus.files, menus.files.choice)) return std::nullopt;
        const std::string& name = menus.files.text[std::size_t(menus.files.choice)];
        // A refused file leaves the state as it was; the next visit lists the directory anew.
        if (!io::loadScenario(w, name).ok) return Next::MainMenu;
        menus.fileName = name;
        w.scenarioTitle = name;
        return Next::Simulation;
    }
    if (scenarios::hasScenario(entry) && scenarios::startListEntry(w, entry)) return Next::Simulation;
    return std::nullopt;
}

}  // namespace

Next runMainMenu(World& w, display::Screen& s) {
    MenuState& menus = w.menus;
    display::sleepMs(s, entryPauseMs);
    startScreen(s);
    fillFileList(menus.files);
    w.maxMass = w.physics.earthMass;
    menus.files.choice = menus.scenarios.choice = menus.simMenu.choice = 0;
    menus.files.active = menus.scenarios.active = 1;
    menus.simMenu.active = 0;

    // The first drawing sees the mouse as the previous screen left it.
    Pointer m = lastPoll(w);
    listBox(s, m, 70, 50, 200, 400, menus.files, "Open file");
    listBox(s, m, 300, 50, 400, 500, menus.scenarios, "Neustart!                 ");
    if (endButton(s, m)) return Next::Exit;

    for (;;) {
        while (menus.files.active != 0 && menus.scenarios.active != 0) {
            const Pointer previous = m;
            m = readPointer(s);
            keepPoll(w, m);
            bool stepped = false;
            if (m.overWindow() && (m.x != menus.lastMouseX || m.y != menus.lastMouseY || m.buttons != 0)) {
                if (!redraw(w, s, m, stepped)) return Next::Exit;
            }
            menus.lastMouseX = m.x;
            menus.lastMouseY = m.y;
            // Nothing new since the last poll: wait instead of spinning. A
            // plain wait, since keys wait unread here and would cut short a
            // wait for input at once.
            if (m == previous && !stepped && menus.files.active != 0 && menus.scenarios.active != 0) {
                display::sleepMs(s, idleWaitMs);
            }
        }
        if (std::optional<Next> next = dispatch(w)) return *next;
        // A row that starts nothing: the lists are offered again.
        menus.files.choice = menus.scenarios.choice = 0;
        menus.files.active = menus.scenarios.active = 1;
    }
}

}  // namespace app
