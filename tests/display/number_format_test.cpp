// formatNumber / printedNumber: the seven-digit forms the screen, the window
// title and the scenario files share.
#include <cmath>
#include <cstdlib>
#include <limits>

#include <gtest/gtest.h>

#include "display/number_format.h"

using display::formatNumber;
using display::printedNumber;

TEST(FormatNumber, SevenSignificantDigitsAndABlankBeforeNonNegativeValues) {
    const float inf = std::numeric_limits<float>::infinity();
    const struct { float value; const char* formatted; const char* printed; } rows[] = {
        {0.f, "0", " 0"}, {800.f, "800", " 800"}, {0.1f, "0.1", " 0.1"}, {2.f / 3.f, "0.6666667", " 0.6666667"},
        {1e7f, "1e+07", " 1e+07"}, {123456789.f, "1.234568e+08", " 1.234568e+08"}, {-3.f, "-3", "-3"},
        {6.67e-11f, "6.67e-11", " 6.67e-11"}, {-4.476e11f, "-4.476e+11", "-4.476e+11"},
        {4.563085e-05f, "4.563085e-05", " 4.563085e-05"}, {inf, "inf", " inf"}, {-inf, "-inf", "-inf"},
        {std::numeric_limits<float>::quiet_NaN(), "nan", " nan"},
    };
    for (const auto& r : rows) {
        EXPECT_EQ(formatNumber(r.value), r.formatted) << r.formatted;
        EXPECT_EQ(printedNumber(r.value), r.printed) << r.formatted;
    }
    EXPECT_EQ(formatNumber(int32_t{24}) + formatNumber(int32_t{-7}), "24-7");
    EXPECT_EQ(printedNumber(int32_t{400}) + printedNumber(int32_t{-7}), " 400-7");
}

TEST(FormatNumber, NineDigitsReadBackExactly) {
    for (float v : {0.1f, 123456792.f, -1.2345678e-20f, 3.4028235e38f, 1.17549435e-38f})
        EXPECT_EQ(std::strtof(formatNumber(v, 9).c_str(), nullptr), v) << formatNumber(v, 9);
}
