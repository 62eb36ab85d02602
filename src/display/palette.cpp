// The VGA default palette, built from its 6-bit hardware values.
#include "display/palette.h"

namespace display {

namespace {

// 6-bit DAC value to 8 bits by repeating the top bits: 42 -> 170, 63 -> 255.
uint8_t widen(int v) { return static_cast<uint8_t>((v << 2) | (v >> 4)); }

Rgb rgb6(int r, int g, int b) { return {widen(r), widen(g), widen(b)}; }

// One hue circle: from blue over magenta, red, yellow and green back towards
// blue, each step moving one component by one of the five levels.
void hueCircle(Palette& p, int first, const int (&level)[5]) {
    static constexpr int steps[24][3] = {
        {0, 0, 4}, {1, 0, 4}, {2, 0, 4}, {3, 0, 4}, {4, 0, 4}, {4, 0, 3}, {4, 0, 2}, {4, 0, 1},
        {4, 0, 0}, {4, 1, 0}, {4, 2, 0}, {4, 3, 0}, {4, 4, 0}, {3, 4, 0}, {2, 4, 0}, {1, 4, 0},
        {0, 4, 0}, {0, 4, 1}, {0, 4, 2}, {0, 4, 3}, {0, 4, 4}, {0, 3, 4}, {0, 2, 4}, {0, 1, 4},
    };
    for (int i = 0; i < 24; ++i)
        p[first + i] = rgb6(level[steps[i][0]], level[steps[i][1]], level[steps[i][2]]);
}

Palette buildDefaultPalette() {
    Palette p{};
    static constexpr int standard[16][3] = {
        {0, 0, 0},    {0, 0, 42},   {0, 42, 0},   {0, 42, 42},  {42, 0, 0},   {42, 0, 42},
        {42, 21, 0},  {42, 42, 42}, {21, 21, 21}, {21, 21, 63}, {21, 63, 21}, {21, 63, 63},
        {63, 21, 21}, {63, 21, 63}, {63, 63, 21}, {63, 63, 63},
    };
    for (int i = 0; i < 16; ++i) p[i] = rgb6(standard[i][0], standard[i][1], standard[i][2]);

    static constexpr int grey[16] = {0, 5, 8, 11, 14, 17, 20, 24, 28, 32, 36, 40, 45, 50, 56, 63};
    for (int i = 0; i < 16; ++i) p[16 + i] = rgb6(grey[i], grey[i], grey[i]);

    // High, medium and low intensity, each saturated, paler and palest.
    static constexpr int levels[9][5] = {
        {0, 16, 31, 47, 63},  {31, 39, 47, 55, 63}, {45, 49, 54, 58, 63},
        {0, 7, 14, 21, 28},   {14, 17, 21, 24, 28}, {20, 22, 24, 26, 28},
        {0, 4, 8, 12, 16},    {8, 10, 12, 14, 16},  {11, 12, 13, 15, 16},
    };
    for (int c = 0; c < 9; ++c) hueCircle(p, 32 + 24 * c, levels[c]);
    // 248..255 stay black.
    return p;
}

}  // namespace

const Palette& defaultPalette() {
    static const Palette palette = buildDefaultPalette();
    return palette;
}

}  // namespace display
