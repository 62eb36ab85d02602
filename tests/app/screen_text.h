// Reading texts back from the headless frame through the font, and scripted
// headless sessions: a world, a screen and timed pointer and keys.
#pragma once
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <utility>

#include <gtest/gtest.h>

#include "app/simulation.h"
#include "display/font.h"
#include "display/headless.h"
#include "display/screen.h"
#include "scenarios/solar_system.h"
#include "world.h"

namespace testing_support {

// The characters from (row, column) on while each cell shows a glyph in fg on
// bg, at most length: a trailing blank shows where the next cell differs.
inline std::string textAt(display::Screen& s, int row, int column, int fg, int bg, int length = 128) {
    std::string text;
    for (int c = column; c < column + length && c <= 128; ++c) {
        uint8_t rows[16] = {};
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 8; ++x) {
                const int p = display::pixelAt(s, (c - 1) * 8 + x, (row - 1) * 16 + y);
                if (p != fg && p != bg) return text;
                if (p == fg) rows[y] |= uint8_t(0x80 >> x);
            }
        int byte = 32;  // blanks read as blanks, not as the other empty glyphs
        while (std::memcmp(display::glyphRows(static_cast<unsigned char>(byte)), rows, 16) != 0)
            if ((byte = (byte + 1) % 256) == 32) return text;
        text += char(byte);
    }
    return text;
}

struct Session {
    display::HeadlessBackend& input() { return *display::headless(screen); }
    void pointer(int x, int y, int buttons, long long afterMs = 0) {
        input().movePointer(x, y, buttons, fromNow(afterMs));
    }
    // A press at (x, y) afterMs from now, released 100 ms later.
    void click(int x, int y, long long afterMs = 0) {
        pointer(x, y, 1, afterMs);
        pointer(x, y, 0, afterMs + 100);
    }
    void type(const std::string& text, long long afterMs = 0) { input().typeText(text, fromNow(afterMs)); }
    long long fromNow(long long ms) { return input().time() + ms; }

    std::unique_ptr<World> w = std::make_unique<World>();
    display::Screen screen;
};

// The solar system in the simulation loop, played by scripts: one pass, then
// a pass for each word, a key (F1..F10, Enter, Esc, Left or one character) or
// a click held for one pass over a body ("click2:4": buttons 2 over body 4).
struct SolarRun : Session {
    SolarRun() {
        scenarios::setUpSolarSystem(*w);
        app::enterSimulation(*w, screen);
    }
    void passes(int n) {
        for (int k = 0; k < n; ++k) ASSERT_FALSE(app::simulationPass(*w, screen).has_value());
    }
    void play(const std::string& script, int thenPasses = 0) {
        passes(1);
        int queued = 0, buttons = 0, body = 0;  // keys wait for the passes that read them
        std::istringstream words(script);
        for (std::string word; words >> word;) {
            if (std::sscanf(word.c_str(), "click%d:%d", &buttons, &body) != 2) {
                input().pressKey(key(word));
                ++queued;
                continue;
            }
            passes(std::exchange(queued, 0));
            input().movePointer(int(w->bodies.screenX[body]), int(w->bodies.screenY[body]), buttons);
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
    std::string line(int row, int column, int length) { return textAt(screen, row, column, 10, 0, length); }
};

// Runs the test in dir and returns to the previous working directory.
struct InDirectory {
    explicit InDirectory(const std::filesystem::path& dir) { std::filesystem::current_path(dir); }
    ~InDirectory() { std::filesystem::current_path(previous); }
    const std::filesystem::path previous = std::filesystem::current_path();
};

}  // namespace testing_support
