// The list box, the button and the file list.
#include "app/widgets.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <system_error>
#include <vector>

#include "display/rounding.h"

namespace app {

namespace {

constexpr int boxColour = 1, highlightColour = 10;
constexpr int listPickPauseMs = 300, buttonPauseMs = 200;

// Text column of pixel x, as the menus place their texts.
int columnOf(int x) { return display::roundHalfEven(x / 7.9 + 1); }

bool endsWith(const std::string& name, std::string_view suffix) {
    return name.size() >= suffix.size() && name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0;
}

}  // namespace

void listBox(display::Screen& s, Pointer m, int x, int y, int width, int height, TextList& list,
             std::string_view title) {
    if (list.active == 0) return;
    list.choice = -1;
    display::drawBox(s, float(x), float(y - 20), float(x + width), float(y + height), boxColour, true);
    const int row0 = int(std::floor(y / 16.0)), column0 = columnOf(x);
    display::setColor(s, 11, 5);
    display::locate(s, row0, column0);
    display::printText(s, title, true);
    display::setColor(s, 7, 1);
    for (int i = 1; i <= listBoxRows; ++i) {
        display::locate(s, row0 + i, column0);
        display::printText(s, list.text[std::size_t(i)], true);
    }
    if (m.x > x && m.x < x + width && m.y > y && m.y < y + height) {
        // 766 is the bottom edge of the viewport; 46 rows of it make a row here.
        const float rowHeight = float(766.0 / 46);
        const int k = display::roundHalfEven((m.y - y) / double(rowHeight) + 1);
        display::drawBox(s, float(x), float(y + 16 * k - 20), float(x + width), float(y + 16 * k - 2),
                         highlightColour, false);
        if (m.buttons > 0) {
            list.choice = k;
            display::sleepMs(s, listPickPauseMs);
        }
    }
    if (list.choice > 0) list.active = 0;
}

bool button(display::Screen& s, Pointer m, int x, int y, int width, int height,
            std::string_view label, int foreground, int background) {
    display::setColor(s, foreground, background);
    display::locate(s, display::roundHalfEven(y / 15.75 + 1), columnOf(x));
    display::printText(s, label, false);
    display::printText(s, "  ", true);
    // The area reaches 20 pixels past the width, over the two trailing blanks.
    const bool pressed = m.x > x && m.x < x + width + 20 && m.y > y && m.y < y + height && m.buttons > 0;
    if (pressed) display::sleepMs(s, buttonPauseMs);
    return pressed;
}

void fillFileList(TextList& list, const std::filesystem::path& dir) {
    std::vector<std::string> names;
    std::error_code error;
    for (std::filesystem::directory_iterator it(dir, error), end; !error && it != end; it.increment(error)) {
        std::string name = it->path().filename().string();
        if (name.empty() || name[0] == '.' || !endsWith(name, ".dat")) continue;
        std::error_code statError;
        if (!it->is_regular_file(statError)) continue;  // follows a symlink to its file
        names.push_back(std::move(name));
    }
    std::sort(names.begin(), names.end());  // byte order: a stable list whatever the directory's order
    if (names.size() > std::size_t(maxListedFiles)) names.resize(std::size_t(maxListedFiles));
    if (names.empty()) names.emplace_back();
    std::size_t i = 1;
    for (std::string& name : names) list.text[i++] = std::move(name);
    list.text[i++] = listEnd;
    // Rows behind the end would show names from an earlier listing.
    for (; i < list.text.size(); ++i) list.text[i].clear();
}

void startScreen(display::Screen& s) {
    display::clearView(s);
    display::openScreen(s);
    display::setViewport(s, 1, 1, 1022, 766, 0, 1);
    display::setColor(s, 10);
}

Pointer readPointer(display::Screen& s) {
    const display::MouseReading r = display::readMouse(s);
    if (r.status != 0) return {};
    return {r.x, r.y, r.buttons};
}

}  // namespace app
