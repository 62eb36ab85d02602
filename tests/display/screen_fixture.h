// A headless screen set up as every screen of the program starts: opened,
// the blue-framed viewport (1,1)-(1022,766), light green on black.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "display/headless.h"
#include "display/screen.h"

class FramedScreen : public ::testing::Test {
protected:
    void SetUp() override {
        using namespace display;
        clearView(screen);
        openScreen(screen);
        setViewport(screen, 1, 1, 1022, 766, 0, 1);
        setColor(screen, 10);
    }

    int pixel(int x, int y) { return display::pixelAt(screen, x, y); }

    // Screen pixels of the given colour, as (x, y) pairs in row order.
    std::vector<std::pair<int, int>> pixelsOf(int colour) {
        const std::vector<uint8_t> frame = display::copyFrame(screen);
        std::vector<std::pair<int, int>> found;
        for (int y = 0; y < display::screenHeight; ++y)
            for (int x = 0; x < display::screenWidth; ++x)
                if (frame[std::size_t(y) * display::screenWidth + std::size_t(x)] == colour)
                    found.emplace_back(x, y);
        return found;
    }

    display::Screen screen;
    display::HeadlessBackend& input = *display::headless(screen);
};
