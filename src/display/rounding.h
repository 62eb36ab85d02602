// The system's two ways of turning a number into a whole number. Halves go
// to even for its own counts, rows and distances; graphics coordinates round
// halves away from zero. Both saturate instead of overflowing: NaN gives 0,
// values beyond the int range give its nearest end.
#pragma once
#include <cmath>
#include <limits>

namespace display {

namespace detail {
inline int saturate(double whole) {
    if (std::isnan(whole)) return 0;
    if (whole >= static_cast<double>(std::numeric_limits<int>::max())) return std::numeric_limits<int>::max();
    if (whole <= static_cast<double>(std::numeric_limits<int>::min())) return std::numeric_limits<int>::min();
    return static_cast<int>(whole);
}
}  // namespace detail

// Nearest whole number, halves to even (2.5 -> 2, 3.5 -> 4).
inline int roundHalfEven(double value) { return detail::saturate(std::nearbyint(value)); }

// Nearest whole number, halves away from zero (0.5 -> 1, -0.5 -> -1).
inline int roundHalfAway(double value) { return detail::saturate(std::round(value)); }

// Towards zero, where a computation says truncate.
inline int truncate(double value) { return detail::saturate(std::trunc(value)); }

}  // namespace display
