// The screen's 256 colours: the standard VGA default palette with 8-bit
// components. The system draws only with 0..15; the rest are there because
// the palette has them.
#pragma once
#include <array>
#include <cstdint>

namespace display {

struct Rgb {
    uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

using Palette = std::array<Rgb, 256>;

// 0..15 the sixteen standard colours, 16..31 a grey ramp, 32..247 nine hue
// circles of 24 entries (three intensities, three saturations each),
// 248..255 black.
const Palette& defaultPalette();

}  // namespace display
