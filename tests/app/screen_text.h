// Whether a screen shows a text: its cells compared pixel for pixel with the
// same text printed on a fresh screen, and a scripted headless session.
#pragma once
#include <filesystem>
#include <memory>
#include <string>

#include "display/headless.h"
#include "display/screen.h"
#include "world.h"

namespace testing_support {

inline bool showsText(display::Screen& s, int row, int column, const std::string& text, int fg, int bg) {
    display::Screen reference;
    display::openScreen(reference);
    display::setColor(reference, fg, bg);
    display::locate(reference, row, column);
    display::printText(reference, text, false);
    for (int y = (row - 1) * 16; y < row * 16; ++y)
        for (int x = (column - 1) * 8; x < (column - 1 + int(text.size())) * 8; ++x)
            if (display::pixelAt(reference, x, y) != display::pixelAt(s, x, y)) return false;
    return true;
}

// A world and a headless screen; input is scripted relative to the virtual
// time of the call.
struct Session {
    display::HeadlessBackend& input() { return *display::headless(screen); }
    void pointer(int x, int y, int buttons, long long afterMs = 0) {
        input().movePointer(x, y, buttons, input().time() + afterMs);
    }
    // A press at (x, y) afterMs from now, released 100 ms later.
    void click(int x, int y, long long afterMs = 0) {
        pointer(x, y, 1, afterMs);
        pointer(x, y, 0, afterMs + 100);
    }
    void type(const std::string& text, long long afterMs = 0) { input().typeText(text, input().time() + afterMs); }

    std::unique_ptr<World> w = std::make_unique<World>();
    display::Screen screen;
};

// Runs the test in dir and returns to the previous working directory.
class InDirectory {
public:
    explicit InDirectory(const std::filesystem::path& dir) { std::filesystem::current_path(dir); }
    ~InDirectory() { std::filesystem::current_path(previous_); }

private:
    std::filesystem::path previous_ = std::filesystem::current_path();
};

}  // namespace testing_support
