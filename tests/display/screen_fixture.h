// A headless screen as every screen starts: the blue-framed viewport (1,1)-(1022,766), light green on black.
#pragma once
#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "display/headless.h"
#include "display/screen.h"

class FramedScreen : public ::testing::Test {
protected:
    void SetUp() override {
        display::openScreen(screen);
        display::setViewport(screen, 1, 1, 1022, 766, 0, 1);
        display::setColor(screen, 10);
    }
    int pixel(int x, int y) { return display::pixelAt(screen, x, y); }
    // Screen pixels of the given colour, as (x, y) pairs in row order.
    std::vector<std::pair<int, int>> pixelsOf(int colour) {
        const std::vector<uint8_t> frame = display::copyFrame(screen);
        std::vector<std::pair<int, int>> found;
        for (int i = 0; i < int(frame.size()); ++i)
            if (frame[std::size_t(i)] == colour) found.emplace_back(i % display::screenWidth, i / display::screenWidth);
        return found;
    }
    display::Screen screen;
    display::HeadlessBackend& input = *display::headless(screen);
};
