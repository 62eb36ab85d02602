// Number texts shared by the screen, the window title and the scenario files.
#include "display/number_format.h"

#include <cstdio>

namespace display {

namespace {

std::string withSignBlank(std::string text) {
    if (text.empty() || text[0] != '-') text.insert(text.begin(), ' ');
    return text;
}

}  // namespace

std::string formatNumber(float value, int digits) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*g", digits, static_cast<double>(value));
    std::string text(buffer);
    if (!text.empty() && text.back() == '.') text.pop_back();
    return text;
}

std::string formatNumber(int32_t value) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%d", static_cast<int>(value));
    return buffer;
}

std::string printedNumber(float value, int digits) {
    return withSignBlank(formatNumber(value, digits));
}

std::string printedNumber(int32_t value) { return withSignBlank(formatNumber(value)); }

}  // namespace display
