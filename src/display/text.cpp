// The text grid: 128 x 48 cells of 8 x 16 pixels over the whole screen, the
// cursor, opaque glyphs and scrolling.
#include "display/font.h"
#include "display/frame_writer.h"
#include "display/number_format.h"
#include "display/screen.h"
#include "display/text_grid.h"

namespace display {

using detail::FrameWriter;
using detail::paletteIndex;

namespace detail {

void drawGlyph(FrameWriter& frame, int row, int column, unsigned char byte, uint8_t fg, uint8_t bg) {
    const int left = (column - 1) * glyphWidth, top = (row - 1) * glyphHeight;
    const uint8_t* rows = glyphRows(byte);
    for (int r = 0; r < glyphHeight; ++r) {
        uint8_t* pixels = frame.rowAt(left, top + r);
        const unsigned bits = rows[r];
        for (int b = 0; b < glyphWidth; ++b) pixels[b] = (bits & (0x80u >> b)) ? fg : bg;
    }
}

void scrollUp(const Screen& s, FrameWriter& frame) {
    frame.moveRowsUp(glyphHeight);
    const PixelRect bottom{0, screenHeight - glyphHeight, screenWidth - 1, screenHeight - 1};
    frame.fill(bottom, bottom, paletteIndex(s.background));
}

void lineEnd(Screen& s, FrameWriter& frame) {
    s.column = 1;
    if (s.row < textRows) {
        ++s.row;
    } else {
        scrollUp(s, frame);
    }
}

void printCells(Screen& s, FrameWriter& frame, std::string_view text) {
    const uint8_t fg = paletteIndex(s.foreground), bg = paletteIndex(s.background);
    for (char ch : text) {
        // A row that is full moves on only when the next glyph comes, so a
        // text that just fills it does not leave an empty row behind.
        if (s.column > textColumns) lineEnd(s, frame);
        drawGlyph(frame, s.row, s.column, static_cast<unsigned char>(ch), fg, bg);
        ++s.column;
    }
}

}  // namespace detail

void locate(Screen& s, int row, int column) {
    if (row < 1 || row > textRows || column < 1 || column > textColumns) return;
    s.row = row;
    s.column = column;
}

void printText(Screen& s, std::string_view text, bool lineEnd) {
    FrameWriter frame(s.shared);
    detail::printCells(s, frame, text);
    if (lineEnd) detail::lineEnd(s, frame);
}

void printNumber(Screen& s, float value, bool lineEnd) { printText(s, printedNumber(value), lineEnd); }

void printNumber(Screen& s, int32_t value, bool lineEnd) { printText(s, printedNumber(value), lineEnd); }

}  // namespace display
