// The text grid on the headless frame: opaque glyph cells, the cursor,
// wrapping at column 128, line ends and scrolling at row 48.
#include <tuple>

#include "display/font.h"
#include "screen_fixture.h"
#include "support/picture.h"

using namespace display;
using testing_support::showsText;

TEST(Font, GlyphsAreTheCodePage437Shapes) {
    const struct { const char* name; unsigned char byte; int row, bits; } rows[] = {
        {"A apex", 'A', 2, 0x10}, {"A crossbar", 'A', 7, 0xfe}, {"u umlaut dots", 0x81, 2, 0xcc},
        {"u umlaut letter", 0x81, 11, 0x76}, {"a umlaut dots", 0x84, 2, 0xcc}, {"a umlaut letter", 0x84, 6, 0x0c},
        {"blank", ' ', 8, 0}, {"full block", 0xdb, 0, 0xff},
    };
    for (const auto& r : rows) EXPECT_EQ(glyphRows(r.byte)[r.row], r.bits) << r.name;
}

// Each row prints on a fresh screen whose row 1 starts with "T"; the cells
// written, where the cursor ends and whether the screen scrolled.
TEST_F(FramedScreen, PrintingMovesTheCursorWrapsAndScrolls) {
    struct Cell { int row, column; std::string text; };
    const struct { const char* name; int row, column; std::string text; bool lineEnd; std::vector<Cell> cells;
                   int endRow, endColumn; bool scrolled; } rows[] = {
        {"glyph at the cursor", 3, 5, "A", false, {{3, 5, "A"}}, 3, 6, false},
        {"umlauts are one cell each", 3, 5, "\x81\x84", false, {{3, 5, "\x81\x84"}}, 3, 7, false},
        {"UTF-8 bytes are two cells", 3, 5, "\xc3\xbc", false, {{3, 5, "\xc3\xbc"}}, 3, 7, false},
        {"line end: column 1 of the next row", 4, 10, "ab", true, {{4, 10, "ab"}}, 5, 1, false},
        {"column 128 wraps to the next row", 2, 127, "abc", false, {{2, 127, "ab"}, {3, 1, "c"}}, 3, 2, false},
        {"a full row and a line end: no empty row", 10, 1, std::string(128, '-'), true, {{10, 128, "-"}}, 11, 1, false},
        {"line end on row 47 moves to row 48", 47, 1, "X", true, {{47, 1, "X"}}, 48, 1, false},
        {"line end on row 48 scrolls one row", 48, 1, "X", true, {{47, 1, "X"}, {48, 1, " "}}, 48, 1, true},
        {"wrapping on row 48 scrolls", 48, 128, "yz", false, {{47, 128, "y"}, {48, 1, "z"}}, 48, 2, true},
        {"text on the frame covers it", 1, 2, "\xdb", false, {{1, 2, "\xdb"}}, 1, 3, false},
    };
    for (const auto& r : rows) {
        openScreen(screen);
        setViewport(screen, 1, 1, 1022, 766, 0, 1);
        setColor(screen, 14, 4);
        printText(screen, "T", false);
        locate(screen, r.row, r.column);
        printText(screen, r.text, r.lineEnd);
        for (const Cell& c : r.cells) EXPECT_TRUE(showsText(screen, c.row, c.column, c.text, 14, 4)) << r.name;
        EXPECT_EQ(std::tie(screen.row, screen.column), std::tie(r.endRow, r.endColumn)) << r.name;
        EXPECT_EQ(showsText(screen, 1, 1, "T", 14, 4), !r.scrolled) << r.name;
        // Scrolling moves the frame's bottom edge up 16 pixels and leaves a
        // new bottom row in the background colour.
        EXPECT_EQ(pixel(512, 767 - 16) == 1, r.scrolled) << r.name;
        EXPECT_EQ(pixel(512, 767), r.scrolled ? 4 : 1) << r.name;
    }
}

TEST_F(FramedScreen, LocateOutsideTheGridLeavesTheCursor) {
    const struct { int row, column; bool taken; } rows[] = {
        {48, 128, true}, {1, 1, true}, {49, 1, false}, {0, 5, false}, {5, 0, false}, {1, 129, false},
    };
    for (const auto& r : rows) {
        locate(screen, 7, 9);
        locate(screen, r.row, r.column);
        EXPECT_EQ(std::tie(screen.row, screen.column), r.taken ? std::make_tuple(r.row, r.column) : std::make_tuple(7, 9))
            << r.row << "," << r.column;
    }
}

TEST_F(FramedScreen, PrintNumberPutsABlankBeforeNonNegativeValues) {
    setColor(screen, 15, 0);
    locate(screen, 2, 1);
    printNumber(screen, 800.f, false);
    printNumber(screen, -3.f, true);
    printNumber(screen, int32_t{24}, false);
    EXPECT_TRUE(showsText(screen, 2, 1, " 800-3", 15, 0));
    EXPECT_TRUE(showsText(screen, 3, 1, " 24", 15, 0));
    EXPECT_EQ(std::tie(screen.row, screen.column), std::make_tuple(3, 4));
}
