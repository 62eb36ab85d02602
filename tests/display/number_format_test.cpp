// formatNumber / printedNumber: the seven-digit forms the screen, the window
// title and the scenario files share.
#include <cmath>
#include <limits>
#include <utility>

#include <gtest/gtest.h>

#include "display/number_format.h"

using display::formatNumber;
using display::printedNumber;

TEST(FormatNumber, SevenSignificantDigits) {
    const std::pair<float, const char*> cases[] = {
        {0.f, "0"},           {800.f, "800"},         {720.f, "720"},
        {0.1f, "0.1"},        {2.f / 3.f, "0.6666667"}, {1e7f, "1e+07"},
        {123456789.f, "1.234568e+08"}, {1.492e11f, "1.492e+11"}, {-3.f, "-3"},
        {6.67e-11f, "6.67e-11"}, {-4.476e11f, "-4.476e+11"}, {4.563085e-05f, "4.563085e-05"},
    };
    for (auto [value, text] : cases) EXPECT_EQ(formatNumber(value), text) << value;
}

TEST(FormatNumber, NonFiniteAndWholeNumbers) {
    const float inf = std::numeric_limits<float>::infinity();
    EXPECT_EQ(formatNumber(inf), "inf");
    EXPECT_EQ(formatNumber(-inf), "-inf");
    EXPECT_EQ(formatNumber(std::numeric_limits<float>::quiet_NaN()), "nan");
    EXPECT_EQ(printedNumber(inf), " inf");
    EXPECT_EQ(printedNumber(-inf), "-inf");
    EXPECT_EQ(formatNumber(int32_t{24}), "24");
    EXPECT_EQ(formatNumber(int32_t{-7}), "-7");
    EXPECT_EQ(printedNumber(int32_t{400}), " 400");
}

TEST(PrintedNumber, BlankBeforeNonNegativeValues) {
    EXPECT_EQ(printedNumber(800.f), " 800");
    EXPECT_EQ(printedNumber(1.5e11f), " 1.5e+11");
    EXPECT_EQ(printedNumber(0.f), " 0");
    EXPECT_EQ(printedNumber(-3.f), "-3");
}

TEST(FormatNumber, NineDigitsReadBackExactly) {
    for (float v : {0.1f, 123456792.f, -1.2345678e-20f, 3.4028235e38f, 1.17549435e-38f}) {
        const float back = std::strtof(formatNumber(v, 9).c_str(), nullptr);
        EXPECT_EQ(back, v) << formatNumber(v, 9);
    }
}
