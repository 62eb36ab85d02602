// The default palette and code page 437 conversions.
#include <gtest/gtest.h>

#include "display/code_page_437.h"
#include "display/palette.h"

using namespace display;

TEST(DefaultPalette, SixteenStandardColours) {
    const Rgb expected[16] = {
        {0, 0, 0},     {0, 0, 170},    {0, 170, 0},    {0, 170, 170},  {170, 0, 0},    {170, 0, 170},
        {170, 85, 0},  {170, 170, 170}, {85, 85, 85},  {85, 85, 255},  {85, 255, 85},  {85, 255, 255},
        {255, 85, 85}, {255, 85, 255},  {255, 255, 85}, {255, 255, 255},
    };
    for (int i = 0; i < 16; ++i) EXPECT_EQ(defaultPalette()[i], expected[i]) << i;
}

TEST(DefaultPalette, GreyRampHueCirclesAndBlackTail) {
    const Palette& p = defaultPalette();
    EXPECT_EQ(p[16], (Rgb{0, 0, 0}));
    EXPECT_EQ(p[31], (Rgb{255, 255, 255}));
    for (int i = 17; i < 32; ++i) {
        EXPECT_GT(p[i].r, p[i - 1].r);
        EXPECT_EQ(p[i].r, p[i].g);
        EXPECT_EQ(p[i].g, p[i].b);
    }
    EXPECT_EQ(p[32], (Rgb{0, 0, 255}));     // bright blue
    EXPECT_EQ(p[36], (Rgb{255, 0, 255}));   // magenta
    EXPECT_EQ(p[40], (Rgb{255, 0, 0}));     // red
    EXPECT_EQ(p[44], (Rgb{255, 255, 0}));   // yellow
    EXPECT_EQ(p[48], (Rgb{0, 255, 0}));     // green
    EXPECT_EQ(p[52], (Rgb{0, 255, 255}));   // cyan
    EXPECT_EQ(p[104], (Rgb{0, 0, 113}));    // dark blue
    EXPECT_EQ(p[176], (Rgb{0, 0, 65}));     // darkest blue
    EXPECT_EQ(p[247], (Rgb{44, 48, 65}));   // last pale dark entry
    for (int i = 248; i < 256; ++i) EXPECT_EQ(p[i], (Rgb{0, 0, 0})) << i;
}

TEST(CodePage437, TitlesInUtf8AndLatin1) {
    EXPECT_EQ(utf8FromCp437("Gr\x94\xe1" "e \x81\x84"), "Gr\xc3\xb6\xc3\x9f" "e \xc3\xbc\xc3\xa4");
    EXPECT_EQ(utf8FromCp437("\xc4\xdb"), "\xe2\x94\x80\xe2\x96\x88");  // box line, full block
    EXPECT_EQ(latin1FromCp437("M\x81hle \xdb"), "M\xfchle ?");
    EXPECT_EQ(utf8FromCp437("Sonnensystem  24"), "Sonnensystem  24");
}

// Every byte the font shows can be typed: the symbols at 1..31 ("§" 21,
// "¶" 20) and 127 as well as the upper half.
TEST(CodePage437, EveryByteComesBackFromItsUnicodeCharacter) {
    for (int b = 1; b < 256; ++b) EXPECT_EQ(cp437FromUnicode(unicodeFromCp437(static_cast<unsigned char>(b))), b);
    EXPECT_EQ(cp437FromUnicode(U'\u00a7'), 21);
    EXPECT_EQ(cp437FromUnicode(U'\u00b6'), 20);
    EXPECT_EQ(cp437FromUnicode(U'\r'), 13) << "control characters stand for themselves";
    EXPECT_EQ(cp437FromUnicode(U'\u00fc'), 0x81);
    EXPECT_EQ(cp437FromUnicode(U'A'), 'A');
    EXPECT_EQ(cp437FromUnicode(U'\u00a4'), -1) << "currency sign is not in the code page";
}
