// Number texts: the seven-significant-digit form that the screen, the window
// title and the scenario files share.
#pragma once
#include <cstdint>
#include <string>

namespace display {

// "%.7g" of the value widened to double, a trailing "." removed, no leading
// blank. Non-finite values read "inf", "-inf", "nan" or "-nan". With more
// digits (9 gives an exact round trip of every float) the same rules apply.
std::string formatNumber(float value, int digits = 7);

// Whole numbers as "%d".
std::string formatNumber(int32_t value);

// The text printNumber shows: formatNumber with one blank in front unless it
// starts with a minus sign.
std::string printedNumber(float value, int digits = 7);
std::string printedNumber(int32_t value);

}  // namespace display
