// The save dialog's three screens.
#include "app/save_dialog.h"

#include <cstdio>
#include <optional>
#include <string>

#include "app/widgets.h"
#include "io/scenario_file.h"
#include "io/token_reader.h"

namespace app {

namespace {

constexpr int enterKey = 13;

void keepPoll(World& w, Pointer m) {
    w.loop.mouseX = m.x;
    w.loop.mouseY = m.y;
    w.loop.mouseButtons = m.buttons;
}

void startDialogScreen(display::Screen& s) {
    startScreen(s);
    display::setColor(s, 10, 0);
}

bool exitButton(display::Screen& s, Pointer m) {
    return button(s, m, 800, 100, 120, 20, "Beenden - Exit", 1, 11);
}

// The first screen: a pick in the file list, or "Save as" (typed = true).
// Reads no keys: a key still waiting from the simulation is left for the
// name editor. Exit when "Beenden - Exit" was clicked.
std::optional<Next> chooseFile(World& w, display::Screen& s, bool& typed) {
    TextList& files = w.menus.files;
    startDialogScreen(s);
    fillFileList(files);
    typed = false;
    for (;;) {
        files.active = 1;
        Pointer previous;
        bool first = true;
        while (files.active != 0) {
            const Pointer m = readPointer(s);
            keepPoll(w, m);
            // An unchanged poll cannot make the widgets react otherwise than
            // last time, and redrawing them would change no pixel: wait. A
            // plain wait, since waiting keys are not read here.
            if (!first && m == previous) {
                display::sleepMs(s, idleWaitMs);
                continue;
            }
            first = false;
            previous = m;
            listBox(s, m, 1, 50, 200, 600, files, "Save File As");
            if (exitButton(s, m)) return Next::Exit;
            if (button(s, m, 800, 140, 120, 20, "Speichen als - Save as", 1, 10)) {
                files.active = 0;
                typed = true;
            }
        }
        // A pick on "Listende" or an empty row names no file: offer the list again.
        if (typed || namesAnEntry(files, files.choice)) return std::nullopt;
    }
}

// The second screen: the name (asked for when typed) and the save itself.
// False when the file could not be written.
bool saveUnderChosenName(World& w, display::Screen& s, bool typed) {
    std::string& fileName = w.menus.fileName;
    startDialogScreen(s);
    if (typed) {
        display::clearView(s);
        display::printText(s, "Save as " + fileName + " or input a ather name with sufix .dat .", true);
        const std::string name = firstItem(display::readLine(s, "", true));
        // An empty entry keeps the name the prompt offered.
        if (!name.empty()) fileName = name;
    } else {
        fileName = w.menus.files.text[std::size_t(w.menus.files.choice)];
    }
    return io::saveScenario(w, fileName).ok;
}

// The third screen, over what the second left: Enter, or one of two buttons.
Next afterSaving(World& w, display::Screen& s) {
    Pointer previous;
    bool first = true;
    for (;;) {
        const std::string key = display::readKey(s);
        if (key.size() == 1 && static_cast<unsigned char>(key[0]) == enterKey) return Next::SolarSystem;
        const Pointer m = readPointer(s);
        keepPoll(w, m);
        if (first || m != previous) {
            if (exitButton(s, m)) return Next::Exit;
            if (button(s, m, 800, 140, 120, 20, "Go to Mainnenue ", 1, 10)) return Next::MainMenu;
        } else if (key.empty()) {
            // A plain wait: it costs less than polling for input every
            // millisecond, and a key or click waits for the next poll.
            display::sleepMs(s, idleWaitMs);
        }
        first = false;
        previous = m;
    }
}

}  // namespace

std::string firstItem(const std::string& line) {
    if (line.empty()) return {};
    std::string buffer = line;
    std::FILE* stream = fmemopen(buffer.data(), buffer.size(), "r");
    if (!stream) return {};
    std::string item = io::TokenReader(stream).readText();
    std::fclose(stream);
    return item;
}

Next runSaveDialog(World& w, display::Screen& s) {
    bool typed = false;
    if (std::optional<Next> leave = chooseFile(w, s, typed)) return *leave;
    if (!saveUnderChosenName(w, s, typed)) {
        display::printText(s, saveFailedText, true);
    }
    return afterSaving(w, s);
}

}  // namespace app
