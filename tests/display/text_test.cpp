// The text grid on the headless frame: opaque glyph cells, the cursor,
// wrapping, scrolling and printed numbers.
#include "display/font.h"
#include "screen_fixture.h"

using namespace display;

namespace {

// The cell at (row, column) holds the glyph of byte in fg on bg, exactly.
::testing::AssertionResult cellShows(Screen& s, int row, int column, unsigned char byte, int fg, int bg) {
    const uint8_t* rows = glyphRows(byte);
    for (int r = 0; r < 16; ++r) {
        for (int b = 0; b < 8; ++b) {
            const int x = (column - 1) * 8 + b, y = (row - 1) * 16 + r;
            const int want = (rows[r] & (0x80 >> b)) ? fg : bg;
            if (pixelAt(s, x, y) != want)
                return ::testing::AssertionFailure() << "pixel " << x << "," << y << " is "
                                                     << int(pixelAt(s, x, y)) << ", not " << want;
        }
    }
    return ::testing::AssertionSuccess();
}

}  // namespace

TEST(Font, GlyphsAreTheCodePage437Shapes) {
    // 'A' has its apex on row 2 and its crossbar on row 7.
    EXPECT_EQ(glyphRows('A')[2], 0x10);
    EXPECT_EQ(glyphRows('A')[7], 0xfe);
    // u and a with diaeresis: the dots on row 2, the letter below.
    EXPECT_EQ(glyphRows(0x81)[2], 0xcc);
    EXPECT_EQ(glyphRows(0x81)[11], 0x76);
    EXPECT_EQ(glyphRows(0x84)[2], 0xcc);
    EXPECT_EQ(glyphRows(0x84)[6], 0x0c);
    EXPECT_EQ(glyphRows(' ')[8], 0);
    EXPECT_EQ(glyphRows(0xdb)[0], 0xff) << "full block";
}

TEST_F(FramedScreen, GlyphsAreOpaqueInForegroundAndBackground) {
    setColor(screen, 14, 1);
    locate(screen, 3, 5);
    printText(screen, "A", false);
    EXPECT_TRUE(cellShows(screen, 3, 5, 'A', 14, 1));
    EXPECT_EQ(screen.column, 6);
    // Text ignores the viewport: the top-left cell covers the frame.
    locate(screen, 1, 1);
    printText(screen, "\xdb", false);
    EXPECT_TRUE(cellShows(screen, 1, 1, 0xdb, 14, 1));
    EXPECT_EQ(pixel(0, 0), 14);
}

TEST_F(FramedScreen, UmlautsAreSingleCellsAndUtf8BytesAreTwo) {
    printText(screen, "\x81\x84", false);
    EXPECT_TRUE(cellShows(screen, 1, 1, 0x81, 10, 0));
    EXPECT_TRUE(cellShows(screen, 1, 2, 0x84, 10, 0));
    EXPECT_EQ(screen.column, 3);
    printText(screen, "\xc3\xbc", false);  // u-umlaut in UTF-8 shows as two glyphs
    EXPECT_TRUE(cellShows(screen, 1, 3, 0xc3, 10, 0));
    EXPECT_TRUE(cellShows(screen, 1, 4, 0xbc, 10, 0));
    EXPECT_EQ(screen.column, 5);
}

TEST_F(FramedScreen, LineEndMovesToColumnOneOfTheNextRow) {
    locate(screen, 4, 10);
    printText(screen, "ab", true);
    EXPECT_EQ(screen.row, 5);
    EXPECT_EQ(screen.column, 1);
    printText(screen, "c", false);
    EXPECT_TRUE(cellShows(screen, 5, 1, 'c', 10, 0));
}

TEST_F(FramedScreen, LocateOutsideTheGridLeavesTheCursor) {
    locate(screen, 7, 9);
    locate(screen, 49, 1);
    locate(screen, 1, 129);
    locate(screen, 0, 5);
    locate(screen, 5, 0);
    EXPECT_EQ(screen.row, 7);
    EXPECT_EQ(screen.column, 9);
    printText(screen, "x", false);
    EXPECT_TRUE(cellShows(screen, 7, 9, 'x', 10, 0));
    locate(screen, 48, 128);
    EXPECT_EQ(screen.row, 48);
    EXPECT_EQ(screen.column, 128);
}

TEST_F(FramedScreen, TextPastColumn128ContinuesOnTheNextRow) {
    locate(screen, 2, 127);
    printText(screen, "abc", false);
    EXPECT_TRUE(cellShows(screen, 2, 127, 'a', 10, 0));
    EXPECT_TRUE(cellShows(screen, 2, 128, 'b', 10, 0));
    EXPECT_TRUE(cellShows(screen, 3, 1, 'c', 10, 0));
    EXPECT_EQ(screen.row, 3);
    EXPECT_EQ(screen.column, 2);

    // A text that exactly fills a row and then ends its line leaves no empty row.
    locate(screen, 10, 1);
    printText(screen, std::string(128, '-'), true);
    EXPECT_EQ(screen.row, 11);
    EXPECT_EQ(screen.column, 1);
}

TEST_F(FramedScreen, LineEndOnRow48ScrollsTheWholeScreenUpOneRow) {
    setColor(screen, 14, 4);
    locate(screen, 1, 1);
    printText(screen, "T", false);
    locate(screen, 48, 1);
    printText(screen, "X", true);
    EXPECT_EQ(screen.row, 48);
    EXPECT_EQ(screen.column, 1);
    EXPECT_TRUE(cellShows(screen, 47, 1, 'X', 14, 4)) << "moved up 16 pixels";
    EXPECT_EQ(pixel(512, 767 - 16), 1) << "the old bottom frame edge moved up too";
    for (int x : {0, 500, 1023})
        for (int y : {752, 760, 767}) EXPECT_EQ(pixel(x, y), 4) << "new bottom row in the background colour";
    EXPECT_EQ(pixel(0, 0), 1) << "row 1 now holds what row 2 held";
    EXPECT_TRUE(pixelsOf(14).size() < 40) << "the T scrolled off";
}

TEST_F(FramedScreen, WrappingOnRow48Scrolls) {
    locate(screen, 48, 128);
    printText(screen, "yz", false);
    EXPECT_TRUE(cellShows(screen, 47, 128, 'y', 10, 0));
    EXPECT_TRUE(cellShows(screen, 48, 1, 'z', 10, 0));
    EXPECT_EQ(screen.row, 48);
    EXPECT_EQ(screen.column, 2);
}

TEST_F(FramedScreen, PrintNumberPutsABlankBeforeNonNegativeValues) {
    setColor(screen, 15, 0);
    locate(screen, 2, 1);
    printNumber(screen, 800.f, false);
    EXPECT_EQ(screen.column, 5);
    EXPECT_TRUE(cellShows(screen, 2, 1, ' ', 15, 0));
    EXPECT_TRUE(cellShows(screen, 2, 2, '8', 15, 0));
    EXPECT_TRUE(cellShows(screen, 2, 4, '0', 15, 0));

    locate(screen, 3, 1);
    printNumber(screen, -3.f, true);
    EXPECT_TRUE(cellShows(screen, 3, 1, '-', 15, 0));
    EXPECT_TRUE(cellShows(screen, 3, 2, '3', 15, 0));
    EXPECT_EQ(screen.row, 4);

    printNumber(screen, int32_t{24}, false);
    EXPECT_TRUE(cellShows(screen, 4, 1, ' ', 15, 0));
    EXPECT_TRUE(cellShows(screen, 4, 3, '4', 15, 0));
    EXPECT_EQ(screen.column, 4);
}
