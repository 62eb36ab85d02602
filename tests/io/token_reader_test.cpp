// Numbers as a hand-written scenario file may write them, each rounded once
// to the nearest float.
#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "io/token_reader.h"

// The forms, then rounding straight to the float (ties to even), never first
// to double: around the midpoint between 1 and the next float, and at the ends
// of the float range.
TEST(ParseNumber, FormsRoundOnceToTheNearestFloat) {
    const float above1 = std::nextafter(1.f, 2.f);
    const float largest = std::numeric_limits<float>::max();
    const float smallest = std::numeric_limits<float>::denorm_min();
    const std::pair<const char*, float> cases[] = {
        {"-3", -3},        {"+2.5", 2.5f},      {".5", 0.5f},     {"5.", 5},
        {"1.5d3", 1500},   {"1.5D-3", 0.0015f}, {"-4.476E+11", -4.476e11f},            {"12abc", 12},
        {"1e", 1},         {"1e+", 1},          {"", 0},          {"abc", 0},          {"-", 0},
        {"0x10", 0},       {"1,5", 1},          {"007", 7},       {"inf", HUGE_VALF},  {"-Infinity", -HUGE_VALF},
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
    for (auto [token, value] : cases) EXPECT_EQ(io::parseNumber(token), value) << "'" << token << "'";
    EXPECT_TRUE(std::signbit(io::parseNumber("-1e-50")));
}
