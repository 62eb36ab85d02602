// The IBM VGA 8 x 16 font, converted by tools/psf_to_font.
#include "display/font.h"

namespace display {

namespace {

constexpr uint8_t font[256 * glyphHeight] = {
#include "display/font_8x16.inc"
};

}  // namespace

const uint8_t* glyphRows(unsigned char byte) { return font + byte * glyphHeight; }

}  // namespace display
