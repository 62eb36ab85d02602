// Reading texts back from the headless frame through the font, and a
// scripted headless session: a world, a screen and timed pointer and keys.
#pragma once
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

#include "display/font.h"
#include "display/headless.h"
#include "display/screen.h"
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

// Runs the test in dir and returns to the previous working directory.
struct InDirectory {
    explicit InDirectory(const std::filesystem::path& dir) { std::filesystem::current_path(dir); }
    ~InDirectory() { std::filesystem::current_path(previous); }
    const std::filesystem::path previous = std::filesystem::current_path();
};

}  // namespace testing_support
