// The text grid (cursor, wrapping at column 128, scrolling at row 48), number texts, font, palette, code page 437.
#include <cmath>
#include <cstdlib>
#include <limits>
#include <tuple>

#include "display/code_page_437.h"
#include "display/font.h"
#include "display/number_format.h"
#include "display/palette.h"
#include "screen_fixture.h"
#include "support/picture.h"

using namespace display;
using testing_support::showsText;

// Each row prints on a fresh screen whose row 1 starts with "T": cells, cursor and whether it scrolled.
TEST_F(FramedScreen, PrintingMovesTheCursorWrapsAndScrolls) {
    struct Cell { int row, column; std::string text; };
    const struct { const char* name; int row, column; std::string text; bool lineEnd; std::vector<Cell> cells;
                   int endRow, endColumn; bool scrolled; } rows[] = {
        {"umlauts are one cell each", 3, 5, "\x81\x84", false, {{3, 5, "\x81\x84"}}, 3, 7, false},
        {"line end: column 1 of the next row", 4, 10, "ab", true, {{4, 10, "ab"}}, 5, 1, false},
        {"column 128 wraps to the next row", 2, 127, "abc", false, {{2, 127, "ab"}, {3, 1, "c"}}, 3, 2, false},
        {"a full row and a line end: no empty row", 10, 1, std::string(128, '-'), true, {{10, 128, "-"}}, 11, 1, false},
        {"line end on row 47 moves to row 48", 47, 1, "X", true, {{47, 1, "X"}}, 48, 1, false},
        {"line end on row 48 scrolls one row", 48, 1, "X", true, {{47, 1, "X"}, {48, 1, " "}}, 48, 1, true},
        {"wrapping on row 48 scrolls", 48, 128, "yz", false, {{47, 128, "y"}, {48, 1, "z"}}, 48, 2, true},
        {"text on the frame covers it", 1, 2, "\xdb", false, {{1, 2, "\xdb"}}, 1, 3, false},
    };
    for (const auto& r : rows) {
        SetUp();
        setColor(screen, 14, 4);
        printText(screen, "T", false);
        locate(screen, r.row, r.column);
        printText(screen, r.text, r.lineEnd);
        for (const Cell& c : r.cells) EXPECT_TRUE(showsText(screen, c.row, c.column, c.text, 14, 4)) << r.name;
        EXPECT_EQ(std::tie(screen.row, screen.column), std::tie(r.endRow, r.endColumn)) << r.name;
        EXPECT_EQ(showsText(screen, 1, 1, "T", 14, 4), !r.scrolled) << r.name;
        // Scrolling moves the frame's bottom edge up 16 pixels; the new bottom row is the background colour.
        EXPECT_EQ(std::make_tuple(pixel(512, 767 - 16) == 1, pixel(512, 767)), std::make_tuple(r.scrolled, r.scrolled ? 4 : 1))
            << r.name;
    }
}

TEST_F(FramedScreen, LocateOutsideTheGridLeavesTheCursor) {
    const struct { int row, column; bool taken; } rows[] = {
        {48, 128, true}, {1, 1, true}, {49, 1, false}, {0, 5, false}, {5, 0, false}, {1, 129, false}};
    for (const auto& r : rows) {
        locate(screen, 7, 9);
        locate(screen, r.row, r.column);
        EXPECT_EQ(std::tie(screen.row, screen.column), r.taken ? std::make_tuple(r.row, r.column) : std::make_tuple(7, 9))
            << r.row << "," << r.column;
    }
    printNumber(screen, -3.f, false);
    printNumber(screen, int32_t{24}, true);
    EXPECT_TRUE(showsText(screen, 7, 9, "-3 24"));
}

TEST(FormatNumber, SevenSignificantDigitsAndABlankBeforeNonNegativeValues) {
    const float inf = std::numeric_limits<float>::infinity();
    const struct { float value; const char* formatted; const char* printed; } rows[] = {
        {0.f, "0", " 0"}, {800.f, "800", " 800"}, {2.f / 3.f, "0.6666667", " 0.6666667"}, {1e7f, "1e+07", " 1e+07"},
        {123456789.f, "1.234568e+08", " 1.234568e+08"}, {-3.f, "-3", "-3"}, {6.67e-11f, "6.67e-11", " 6.67e-11"},
        {-inf, "-inf", "-inf"}, {std::numeric_limits<float>::quiet_NaN(), "nan", " nan"},
    };
    for (const auto& r : rows)
        EXPECT_EQ(std::make_tuple(formatNumber(r.value), printedNumber(r.value)), std::make_tuple(r.formatted, r.printed));
    EXPECT_EQ(printedNumber(int32_t{400}) + printedNumber(int32_t{-7}) + formatNumber(int32_t{24}), " 400-724");
    for (float v : {0.1f, 123456792.f, -1.2345678e-20f, 3.4028235e38f, 1.17549435e-38f})
        EXPECT_EQ(std::strtof(formatNumber(v, 9).c_str(), nullptr), v) << formatNumber(v, 9);
}

TEST(Font, GlyphsAreTheCodePage437Shapes) {
    const struct { const char* name; unsigned char byte; int row, bits; } rows[] = {{"A crossbar", 'A', 7, 0xfe},
        {"u umlaut dots", 0x81, 2, 0xcc}, {"a umlaut letter", 0x84, 6, 0x0c}, {"full block", 0xdb, 0, 0xff}};
    for (const auto& r : rows) EXPECT_EQ(glyphRows(r.byte)[r.row], r.bits) << r.name;
}

TEST(DefaultPalette, StandardColoursGreyRampHuesAndBlackTail) {
    const struct { int index; Rgb colour; } rows[] = {
        {1, {0, 0, 170}}, {6, {170, 85, 0}}, {10, {85, 255, 85}}, {15, {255, 255, 255}}, {16, {0, 0, 0}},
        {31, {255, 255, 255}}, {32, {0, 0, 255}}, {36, {255, 0, 255}}, {40, {255, 0, 0}}, {44, {255, 255, 0}},
        {48, {0, 255, 0}}, {104, {0, 0, 113}}, {176, {0, 0, 65}}, {247, {44, 48, 65}}, {248, {0, 0, 0}}, {255, {0, 0, 0}}};
    for (const auto& r : rows) EXPECT_EQ(defaultPalette()[r.index], r.colour) << "entry " << r.index;
}

// Titles go out in UTF-8 and Latin-1; every byte the font shows can be typed, 1..31 and 127 included.
TEST(CodePage437, TitlesAndEveryByteFromItsUnicodeCharacter) {
    EXPECT_EQ(utf8FromCp437("Gr\x94\xe1" "e \x81\xc4\xdb"), "Gr\xc3\xb6\xc3\x9f" "e \xc3\xbc\xe2\x94\x80\xe2\x96\x88");
    EXPECT_EQ(latin1FromCp437("M\x81hle \xdb"), "M\xfchle ?");
    for (int b = 1; b < 256; ++b) EXPECT_EQ(cp437FromUnicode(unicodeFromCp437(static_cast<unsigned char>(b))), b);
    const struct { char32_t unicode; int byte; } rows[] = {{U'\u00a7', 21}, {U'\u00b6', 20}, {U'\r', 13}, {U'\u00a4', -1}};
    for (const auto& r : rows) EXPECT_EQ(cp437FromUnicode(r.unicode), r.byte) << int(r.unicode);
}
