// Text grid internals shared by printText and the line editor. Each runs
// under a FrameWriter that the caller holds.
#pragma once
#include <string_view>

#include "display/frame_writer.h"

namespace display::detail {

// One glyph, opaque: set bits in fg, clear bits in bg.
void drawGlyph(FrameWriter& frame, int row, int column, unsigned char byte, uint8_t fg, uint8_t bg);

// Moves the whole screen up one text row and clears the bottom row to the
// background colour.
void scrollUp(const Screen& s, FrameWriter& frame);

// Column 1 of the next row; from row 48 the screen scrolls up one row and
// the new bottom row is cleared to the background colour.
void lineEnd(Screen& s, FrameWriter& frame);

// Glyphs at the cursor in the current colours, wrapping past column 128.
void printCells(Screen& s, FrameWriter& frame, std::string_view text);

}  // namespace display::detail
