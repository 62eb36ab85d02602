// The default palette and code page 437 conversions.
#include <gtest/gtest.h>

#include "display/code_page_437.h"
#include "display/palette.h"

using namespace display;

TEST(DefaultPalette, StandardColoursGreyRampHuesAndBlackTail) {
    const struct { int index; Rgb colour; } rows[] = {
        {0, {0, 0, 0}},       {1, {0, 0, 170}},     {2, {0, 170, 0}},     {3, {0, 170, 170}},
        {4, {170, 0, 0}},     {5, {170, 0, 170}},   {6, {170, 85, 0}},    {7, {170, 170, 170}},
        {8, {85, 85, 85}},    {9, {85, 85, 255}},   {10, {85, 255, 85}},  {11, {85, 255, 255}},
        {12, {255, 85, 85}},  {13, {255, 85, 255}}, {14, {255, 255, 85}}, {15, {255, 255, 255}},
        {16, {0, 0, 0}},      {31, {255, 255, 255}}, {32, {0, 0, 255}},   {36, {255, 0, 255}},
        {40, {255, 0, 0}},    {44, {255, 255, 0}},  {48, {0, 255, 0}},    {52, {0, 255, 255}},
        {104, {0, 0, 113}},   {176, {0, 0, 65}},    {247, {44, 48, 65}},  {248, {0, 0, 0}}, {255, {0, 0, 0}},
    };
    const Palette& p = defaultPalette();
    for (const auto& r : rows) EXPECT_EQ(p[r.index], r.colour) << "entry " << r.index;
    for (int i = 17; i < 32; ++i) {
        EXPECT_GT(p[i].r, p[i - 1].r) << "grey ramp rises at " << i;
        EXPECT_TRUE(p[i].r == p[i].g && p[i].g == p[i].b) << "grey at " << i;
    }
}

TEST(CodePage437, TitlesInUtf8AndLatin1) {
    EXPECT_EQ(utf8FromCp437("Gr\x94\xe1" "e \x81\x84"), "Gr\xc3\xb6\xc3\x9f" "e \xc3\xbc\xc3\xa4");
    EXPECT_EQ(utf8FromCp437("\xc4\xdb"), "\xe2\x94\x80\xe2\x96\x88");  // box line, full block
    EXPECT_EQ(latin1FromCp437("M\x81hle \xdb"), "M\xfchle ?");
}

// Every byte the font shows can be typed: the symbols at 1..31 ("§" 21,
// "¶" 20) and 127 as well as the upper half.
TEST(CodePage437, EveryByteComesBackFromItsUnicodeCharacter) {
    for (int b = 1; b < 256; ++b) EXPECT_EQ(cp437FromUnicode(unicodeFromCp437(static_cast<unsigned char>(b))), b);
    const struct { char32_t unicode; int byte; } rows[] = {
        {U'\u00a7', 21}, {U'\u00b6', 20}, {U'\r', 13}, {U'\u00fc', 0x81}, {U'A', 'A'}, {U'\u00a4', -1}};
    for (const auto& r : rows) EXPECT_EQ(cp437FromUnicode(r.unicode), r.byte) << int(r.unicode);
}
