// The tolerant token reader: numbers and texts in every form a hand-written
// scenario file may use.
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>
#include <utility>

#include <gtest/gtest.h>

#include "io/token_reader.h"

using io::parseNumber;
using io::TokenReader;

namespace {

// A reader over a text held in memory.
struct Stream {
    explicit Stream(const std::string& text)
        : file(fmemopen(const_cast<char*>(storage.assign(text).data()), text.size(), "rb")) {}
    ~Stream() { std::fclose(file); }
    std::string storage;
    std::FILE* file;
};

}  // namespace

TEST(ParseNumber, DecimalFormsAndExponentLetters) {
    const std::pair<const char*, float> cases[] = {
        {"1", 1},          {"-3", -3},         {"+2.5", 2.5f},   {".5", 0.5f},
        {"5.", 5},         {"1.5e3", 1500},    {"1.5d3", 1500},  {"1.5D-3", 0.0015f},
        {"-4.476E+11", -4.476e11f},            {"12abc", 12},    {"1e", 1},
        {"1e+", 1},        {"", 0},            {"abc", 0},       {"-", 0},
        {"0x10", 0},       {"1,5", 1},         {"007", 7},
    };
    for (auto [token, value] : cases) EXPECT_EQ(parseNumber(token), value) << "'" << token << "'";
}

// The decimal is rounded once to the nearest float (ties to even), never
// first to double: around the midpoint between 1 and the next float, and at
// the ends of the float range.
TEST(ParseNumber, RoundsOnceToTheNearestFloat) {
    const float above1 = std::nextafter(1.f, 2.f);
    const float largest = std::numeric_limits<float>::max();
    const float smallest = std::numeric_limits<float>::denorm_min();
    const std::pair<const char*, float> cases[] = {
        {"1.000000059604644775390624999", 1},        // just below the midpoint
        {"1.000000059604644775390625", 1},           // the midpoint: to even
        {"1.00000005960464477539062500001", above1},  // just above it
        {"1.00000005960464477539062500001d0", above1},
        {"340282356779733661637539395458142568447", largest},  // below half an ulp over
        {"340282356779733661637539395458142568448", HUGE_VALF},  // half an ulp over: to even
        {"-1e39", -HUGE_VALF},
        {"1e99999999999999999999", HUGE_VALF},
        {"1.4e-45", smallest},
        {"7.1e-46", smallest},                       // over half the smallest: rounds up
        {"7e-46", 0},                                // under half of it: zero
        {"0.0000000000000000000000000000000000000000000001e99999999999999999999", HUGE_VALF},
        {"1000000000000000000000000000000000000000000000000e-99999999999999999", 0},
    };
    for (auto [token, value] : cases) EXPECT_EQ(parseNumber(token), value) << "'" << token << "'";
    EXPECT_TRUE(std::signbit(parseNumber("-1e-50")));
}

TEST(TokenReader, NumbersSeparatedByBlanksCommasAndEveryLineEnd) {
    Stream s(" 1   2,3\t,4\n5\r\n6\r7,,\n");
    TokenReader r(s.file);
    for (double expected : {1, 2, 3, 4, 5, 6, 7, 0}) EXPECT_EQ(r.readNumber(), expected);
    // The end of the file reads as zeros for ever.
    EXPECT_EQ(r.readNumber(), 0);
    EXPECT_EQ(r.readNumber(), 0);
}

TEST(TokenReader, TextsUpToCommaOrLineEnd) {
    Stream s("  Sonne\nhat blanks  ,\"mit, Komma\"\n\"offen\r\nEnde");
    TokenReader r(s.file);
    EXPECT_EQ(r.readText(), "Sonne");
    EXPECT_EQ(r.readText(), "hat blanks  ");
    EXPECT_EQ(r.readText(), "mit, Komma");
    EXPECT_EQ(r.readText(), "offen");
    EXPECT_EQ(r.readText(), "Ende");
    EXPECT_EQ(r.readText(), "");
}

TEST(TokenReader, NumberThenNameOnOneLine) {
    Stream s(" 1             8             Mond\n 2            \"\"\n 3             x");
    TokenReader r(s.file);
    EXPECT_EQ(r.readNumber(), 1);
    EXPECT_EQ(r.readNumber(), 8);
    EXPECT_EQ(r.readText(), "Mond");
    EXPECT_EQ(r.readNumber(), 2);
    EXPECT_EQ(r.readText(), "");
    EXPECT_EQ(r.readNumber(), 3);
    EXPECT_EQ(r.readText(), "x");
}

TEST(TokenReader, OverlongTokensAreCutAndTheRestReadsOn) {
    const std::string digits = std::string(57, '0') + "1234567890" + std::string(23, '0') + "42";
    Stream s(digits + "\n" + std::string(5000, 'n') + "\n");
    TokenReader r(s.file);
    EXPECT_EQ(r.readNumber(), 1234567890.f);
    EXPECT_EQ(r.readNumber(), 42.f);
    EXPECT_EQ(r.readText().size(), 4096u);
    EXPECT_EQ(r.readText(), std::string(904, 'n'));
}
