// The headless frame against small pictures drawn in the test and against the font's glyphs.
#pragma once
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "display/font.h"
#include "display/screen.h"

namespace testing_support {

// The pixels from (x0, y0) as rows of '.' colour 0, '#' ink, 'o' frame blue (1), '?' anything else.
inline ::testing::AssertionResult showsPicture(display::Screen& s, int x0, int y0, int ink,
                                               const std::vector<std::string>& want) {
    for (int r = 0; r < int(want.size()); ++r) {
        std::string row;
        for (int x = x0; x < x0 + int(want[0].size()); ++x) {
            const int p = display::pixelAt(s, x, y0 + r);
            row += p == ink ? '#' : p == 0 ? '.' : p == 1 ? 'o' : '?';
        }
        if (row != want[r]) return ::testing::AssertionFailure() << "picture row " << r << " is " << row;
    }
    return ::testing::AssertionSuccess();
}

// The text cells from (row, column) on show the bytes' glyphs in fg on bg.
inline ::testing::AssertionResult showsText(display::Screen& s, int row, int column, const std::string& text,
                                            int fg = 10, int bg = 0) {
    for (int k = 0; k < int(text.size()); ++k)
        for (int r = 0; r < 16; ++r)
            for (int b = 0; b < 8; ++b) {
                const int x = (column - 1 + k) * 8 + b, y = (row - 1) * 16 + r;
                const bool ink = display::glyphRows(static_cast<unsigned char>(text[k]))[r] & (0x80 >> b);
                if (display::pixelAt(s, x, y) != (ink ? fg : bg))
                    return ::testing::AssertionFailure() << "cell " << row << "," << column + k << " ('" << text[k]
                                                         << "') differs at pixel " << x << "," << y;
            }
    return ::testing::AssertionSuccess();
}

}  // namespace testing_support
