// The 8 x 16 glyphs of code page 437 that the text grid draws.
#pragma once
#include <cstdint>

namespace display {

inline constexpr int glyphWidth = 8;
inline constexpr int glyphHeight = 16;

// The 16 rows of the glyph for a byte, top row first; bit 7 is the leftmost
// pixel.
const uint8_t* glyphRows(unsigned char byte);

}  // namespace display
