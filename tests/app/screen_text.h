// Scripted headless sessions, and their texts read back through the font.
#pragma once
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <utility>

#include <gtest/gtest.h>

#include "app/program.h"
#include "app/simulation.h"
#include "display/font.h"
#include "display/headless.h"
#include "scenarios/solar_system.h"

namespace testing_support {

// The text in as many cells from (row, column) on as expected has, read
// through the font in the two commonest colours there; a cell in other
// colours or without a glyph ends it. A '|' ending expected stands for such a cell.
inline std::string textLike(display::Screen& s, int row, int column, const std::string& expected) {
    const bool ends = expected.ends_with('|');
    const int cells = std::max(int(expected.size()) - ends, 1);
    std::map<int, int> count;
    for (int x = (column - 1) * 8; x < (column - 1 + cells) * 8; ++x)
        for (int y = (row - 1) * 16; y < row * 16; ++y) ++count[display::pixelAt(s, x, y)];
    std::multimap<int, int> colours;  // by count, the commonest last; a single colour is both
    for (auto [colour, n] : count) colours.emplace(n, colour);
    const int bg = colours.rbegin()->second, fg = std::next(colours.rbegin(), colours.size() > 1)->second;
    std::string text;
    const auto end = [&] { return ends && text.size() + 1 == expected.size() ? text + "|" : text; };
    for (int c = column; c < column + int(expected.size()) && c <= 128; ++c) {
        uint8_t rows[16] = {};
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 8; ++x) {
                const int p = display::pixelAt(s, (c - 1) * 8 + x, (row - 1) * 16 + y);
                if (p != fg && p != bg) return end();
                if (p == fg) rows[y] |= uint8_t(0x80 >> x);
            }
        int byte = 32;  // blanks read as blanks, not as the other empty glyphs
        while (std::memcmp(display::glyphRows(static_cast<unsigned char>(byte)), rows, 16) != 0)
            if ((byte = (byte + 1) % 256) == 32) return end();
        text += char(byte);
    }
    return end();
}

// A world and a headless screen with input scripted as words 500 ms apart: "x,y"
// a click, "move:x,y", "left:x,y" the pointer as a previous screen left it,
// held; "Enter", any other word typed.
struct Session {
    display::HeadlessBackend& input() { return *display::headless(screen); }
    void script(const std::string& words) {
        std::istringstream in(words);
        long long t = input().time();
        for (std::string word; in >> word;) {
            int x = 0, y = 0;
            if (std::sscanf(word.c_str(), "move:%d,%d", &x, &y) == 2) {
                input().movePointer(x, y, 0, t += 500);
            } else if (std::sscanf(word.c_str(), "left:%d,%d", &x, &y) == 2) {
                w->loop.mouseX = x, w->loop.mouseY = y, w->loop.mouseButtons = 1;
            } else if (std::sscanf(word.c_str(), "%d,%d", &x, &y) == 2) {
                input().movePointer(x, y, 1, t += 500);
                input().movePointer(x, y, 0, t + 100);
            } else {
                input().typeText(word == "Enter" ? "\r" : word, t += 500);
            }
        }
    }
    // Runs a screen on a script; where it leads.
    app::Next run(app::Next next, const std::string& words) {
        script(words);
        return app::runScreen(*w, screen, next);
    }

    std::unique_ptr<World> w = std::make_unique<World>();
    display::Screen screen;
};

// The solar system in the simulation, played by scripts: a pass, then one for
// each word, a key (F1..F10, Enter, Esc, Left or a character) or a click held for one
// pass over a body ("click2:4": buttons 2 over body 4) or a point
// ("click1@960,10"); "x-rows" fills text rows 1 to 38 with x. No pass once it left.
struct SolarRun : Session {
    SolarRun() {
        scenarios::setUpSolarSystem(*w);
        app::enterSimulation(*w, screen);
    }
    void passes(int n) {
        for (int k = 0; k < n && !left; ++k) left = app::simulationPass(*w, screen);
    }
    void play(const std::string& script, int thenPasses = 0) {
        passes(1);
        int queued = 0, buttons = 0, x = 0, y = 0;  // keys wait for the passes that read them
        std::istringstream words(script);
        for (std::string word; words >> word;) {
            if (word == "x-rows") {
                for (int row = 1; row <= 38; ++row) {
                    display::locate(screen, row, 1);
                    display::printText(screen, std::string(70, 'x'), false);
                }
                continue;
            }
            if (std::sscanf(word.c_str(), "click%d:%d", &buttons, &x) == 2) {
                y = int(w->bodies.screenY[x]), x = int(w->bodies.screenX[x]);
            } else if (std::sscanf(word.c_str(), "click%d@%d,%d", &buttons, &x, &y) != 3) {
                input().pressKey(key(word));
                ++queued;
                continue;
            }
            passes(std::exchange(queued, 0));
            input().movePointer(x, y, buttons);
            passes(1);
            input().movePointer(0, 0, 0);
        }
        passes(queued + thenPasses);
    }
    static display::PressedKey key(const std::string& name) {
        if (name == "Enter" || name == "Esc") return {name == "Enter" ? '\r' : '\x1b', 0};
        if (name == "Left") return {-1, 75};
        if (name.size() > 1 && name[0] == 'F') return {-1, 58 + std::stoi(name.substr(1))};
        return {name[0], 0};
    }
    std::optional<app::Next> left;
};

// Runs the test in dir and returns to the previous working directory.
struct InDirectory {
    explicit InDirectory(const std::filesystem::path& dir) { std::filesystem::current_path(dir); }
    ~InDirectory() { std::filesystem::current_path(previous); }
    const std::filesystem::path previous = std::filesystem::current_path();
};

}  // namespace testing_support
