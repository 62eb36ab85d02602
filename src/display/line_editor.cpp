// The one-line editor: the line is shown from where the prompt left the
// cursor, continuing over as many rows as it needs, with the edit position
// underlined on the bottom pixel row of its cell.
#include <algorithm>
#include <string>

#include "display/font.h"
#include "display/frame_writer.h"
#include "display/text_grid.h"
#include "display/screen.h"

namespace display {

using detail::FrameWriter;
using detail::paletteIndex;

namespace {

constexpr int gridCells = textRows * textColumns;
constexpr int pollMs = 25;

class LineEditor {
public:
    explicit LineEditor(Screen& s)
        : s_(s), startRow_(s.row), startColumn_(s.column),
          start_((s.row - 1) * textColumns + (s.column - 1)) {}

    // Applies one key text; true when the line is finished.
    bool apply(const std::string& key) {
        if (key.size() == 1) return applyCharacter(static_cast<unsigned char>(key[0]));
        if (key.size() == 2) applyExtended(static_cast<unsigned char>(key[1]));
        return false;
    }

    // Draws the line, blanks where it was longer, and the underline.
    void show(bool withCursor) {
        FrameWriter frame(s_.shared);
        const int length = int(line_.size());
        const int cells = std::max(length + 1, shownCells_);
        while (start_ + cells > gridCells) {
            detail::scrollUp(s_, frame);
            start_ -= textColumns;
            --startRow_;
        }
        const uint8_t fg = paletteIndex(s_.foreground), bg = paletteIndex(s_.background);
        for (int i = 0; i < cells; ++i) {
            const unsigned char byte = i < length ? static_cast<unsigned char>(line_[i]) : ' ';
            detail::drawGlyph(frame, rowOf(start_ + i), columnOf(start_ + i), byte, fg, bg);
        }
        shownCells_ = length + 1;
        if (withCursor) {
            const int cell = start_ + cursor_;
            const int left = (columnOf(cell) - 1) * glyphWidth;
            const int bottom = rowOf(cell) * glyphHeight - 1;
            frame.span(left, left + glyphWidth - 1, bottom, fg);
        }
    }

    // Leaves the text cursor after the line, as printing it would have.
    void finish() {
        show(false);
        if (line_.empty()) {
            s_.row = startRow_;
            s_.column = startColumn_;
        } else {
            const int last = start_ + int(line_.size()) - 1;
            s_.row = rowOf(last);
            s_.column = columnOf(last) + 1;
        }
        printText(s_, "", true);
    }

    const std::string& line() const { return line_; }

private:
    static int rowOf(int cell) { return cell / textColumns + 1; }
    static int columnOf(int cell) { return cell % textColumns + 1; }

    bool applyCharacter(unsigned char c) {
        switch (c) {
        case 13:
        case 10:
            return true;
        case 8:
            if (cursor_ > 0) line_.erase(--cursor_, 1);
            break;
        case 9:
            insert(8 - cursor_ % 8, ' ');
            break;
        case 27:
            line_.clear();
            cursor_ = 0;
            break;
        default:
            if (c >= 32) insert(1, static_cast<char>(c));
        }
        return false;
    }

    void applyExtended(int scanCode) {
        const int length = int(line_.size());
        switch (scanCode) {
        case scan::left: cursor_ = std::max(cursor_ - 1, 0); break;
        case scan::right: cursor_ = std::min(cursor_ + 1, length); break;
        case scan::home: cursor_ = 0; break;
        case scan::end: cursor_ = length; break;
        case scan::up:
            if (cursor_ >= textColumns) cursor_ -= textColumns;
            break;
        case scan::down:
            if (cursor_ + textColumns <= length) cursor_ += textColumns;
            break;
        case scan::del:
            if (cursor_ < length) line_.erase(cursor_, 1);
            break;
        default: break;
        }
    }

    // Inserts up to count characters, as many as the line has room for.
    void insert(int count, char c) {
        count = std::min(count, maxLineLength - int(line_.size()));
        if (count <= 0) return;
        line_.insert(std::size_t(cursor_), std::size_t(count), c);
        cursor_ += count;
    }

    Screen& s_;
    int startRow_, startColumn_;  // the text cursor where the line began
    int start_;                   // cell index of the line's first character
    std::string line_;
    int cursor_ = 0;              // edit position, 0..length
    int shownCells_ = 0;          // cells drawn by the last show
};

}  // namespace

std::string readLine(Screen& s, std::string_view prompt, bool questionMark) {
    if (!prompt.empty()) printText(s, prompt, false);
    if (questionMark) printText(s, "? ", false);
    LineEditor editor(s);
    editor.show(true);
    for (;;) {
        const std::string key = readKey(s);
        if (key.empty()) {
            presentFrame(s, true);
            s.backend->wait(pollMs);
            continue;
        }
        if (editor.apply(key)) break;
        editor.show(true);
    }
    editor.finish();
    return editor.line();
}

}  // namespace display
