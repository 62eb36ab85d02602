// A headless screen as every screen starts: the blue-framed viewport (1,1)-(1022,766), light green on black;
// its pixels are read against small pictures drawn in the test and against the font's glyphs.
#pragma once
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "display/font.h"
#include "display/headless.h"
#include "display/screen.h"

class FramedScreen : public ::testing::Test {
protected:
    static constexpr int red = 4, green = 10, white = 15;
    static constexpr std::size_t frameSize = 2 * 1024 + 2 * 766;  // pixels of the blue frame
    void SetUp() override {
        display::openScreen(screen);
        display::setViewport(screen, 1, 1, 1022, 766, 0, 1);
        display::setColor(screen, 10);
    }
    int pixel(int x, int y) { return display::pixelAt(screen, x, y); }
    static std::string extended(int scanCode) { return {'\xff', static_cast<char>(scanCode)}; }  // an extended key
    std::size_t count(int colour) {
        const std::vector<uint8_t> frame = display::copyFrame(screen);
        return std::size_t(std::count(frame.begin(), frame.end(), colour));
    }
    // The pixels from (x0, y0) as rows of '.' colour 0, '#' ink, 'o' frame blue (1), '?' anything else; no ink elsewhere.
    ::testing::AssertionResult showsPicture(int x0, int y0, int ink, const std::vector<std::string>& want) {
        std::size_t inked = 0;
        for (int r = 0; r < int(want.size()); ++r) {
            std::string row;
            for (int x = x0; x < x0 + int(want[0].size()); ++x) {
                const int p = pixel(x, y0 + r);
                row += p == ink ? '#' : p == 0 ? '.' : p == 1 ? 'o' : '?';
            }
            if (row != want[std::size_t(r)]) return ::testing::AssertionFailure() << "picture row " << r << " is " << row;
            inked += std::size_t(std::count(row.begin(), row.end(), '#'));
        }
        if (count(ink) != inked) return ::testing::AssertionFailure() << count(ink) << " pixels in the ink, not " << inked;
        return ::testing::AssertionSuccess();
    }
    // The text cells from (row, column) on show the bytes' glyphs in fg on bg.
    ::testing::AssertionResult showsText(int row, int column, const std::string& text, int fg = 10, int bg = 0) {
        for (int k = 0; k < int(text.size()); ++k)
            for (int r = 0; r < 16; ++r)
                for (int b = 0; b < 8; ++b) {
                    const int x = (column - 1 + k) * 8 + b, y = (row - 1) * 16 + r;
                    const bool ink = display::glyphRows(static_cast<unsigned char>(text[std::size_t(k)]))[r] & (0x80 >> b);
                    if (pixel(x, y) != (ink ? fg : bg))
                        return ::testing::AssertionFailure() << "cell " << row << "," << column + k << " at " << x << "," << y;
                }
        return ::testing::AssertionSuccess();
    }
    display::Screen screen;
    display::HeadlessBackend& input = *display::headless(screen);
};
