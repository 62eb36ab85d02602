// Reading the headless frame back as small pictures and as text cells, so
// that tests compare against a picture drawn in the test or against the
// font's glyphs, not against the drawing code itself.
#pragma once
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "display/font.h"
#include "display/screen.h"

namespace testing_support {

// Screen pixels from (x0, y0), width by height, one text row per pixel row:
// '.' colour 0, '#' the given ink, 'o' the frame blue (1), '?' anything else.
inline std::vector<std::string> picture(display::Screen& s, int x0, int y0, int width, int height, int ink) {
    std::vector<std::string> rows;
    for (int y = y0; y < y0 + height; ++y) {
        std::string row;
        for (int x = x0; x < x0 + width; ++x) {
            const int p = display::pixelAt(s, x, y);
            row += p == ink ? '#' : p == 0 ? '.' : p == 1 ? 'o' : '?';
        }
        rows.push_back(row);
    }
    return rows;
}

// The picture of the same size at (x0, y0) equals want; the first row that
// differs is reported with its number.
inline ::testing::AssertionResult showsPicture(display::Screen& s, int x0, int y0, int ink,
                                               const std::vector<std::string>& want) {
    const auto got = picture(s, x0, y0, int(want.at(0).size()), int(want.size()), ink);
    for (std::size_t r = 0; r < want.size(); ++r)
        if (got[r] != want[r])
            return ::testing::AssertionFailure() << "picture row " << r << " is " << got[r] << ", not " << want[r];
    return ::testing::AssertionSuccess();
}

// The text cells from (row, column) on show the bytes' glyphs in fg on bg.
inline ::testing::AssertionResult showsText(display::Screen& s, int row, int column, const std::string& text,
                                            int fg = 10, int bg = 0) {
    for (std::size_t k = 0; k < text.size(); ++k) {
        const uint8_t* glyph = display::glyphRows(static_cast<unsigned char>(text[k]));
        for (int r = 0; r < 16; ++r)
            for (int b = 0; b < 8; ++b) {
                const int x = (column - 1 + int(k)) * 8 + b, y = (row - 1) * 16 + r;
                if (display::pixelAt(s, x, y) != ((glyph[r] & (0x80 >> b)) ? fg : bg))
                    return ::testing::AssertionFailure() << "cell " << row << "," << column + int(k) << " ('"
                                                         << text[k] << "') differs at pixel " << x << "," << y;
            }
    }
    return ::testing::AssertionSuccess();
}

// Whether any pixel of the text cell (row, column) has the colour.
inline bool cellHas(display::Screen& s, int row, int column, int colour) {
    for (int y = (row - 1) * 16; y < row * 16; ++y)
        for (int x = (column - 1) * 8; x < column * 8; ++x)
            if (display::pixelAt(s, x, y) == colour) return true;
    return false;
}

}  // namespace testing_support
