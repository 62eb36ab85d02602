// The menu widgets: a list box that offers up to 30 entries of a text list
// for a pick with the mouse, a button that prints its label and reports a
// press on it, and the file list of the working directory's scenario files.
// Immediate mode: the caller polls the mouse once per pass of its loop and
// redraws every widget in every pass; the widgets draw, test that mouse
// state and report.
#pragma once
#include <filesystem>
#include <string_view>

#include "app/menu_state.h"
#include "display/screen.h"

namespace app {

// The mouse as the caller's last poll saw it: window pixels and button bits,
// all -1 while the pointer is outside the window.
struct Pointer {
    int x = -1, y = -1, buttons = -1;
    // Whether the poll succeeded: the pointer is over the focused window.
    bool overWindow() const { return buttons >= 0; }
    friend bool operator==(const Pointer&, const Pointer&) = default;
};

// Rows a list box shows, whatever the list's length and the box's height.
inline constexpr int listBoxRows = 30;

// While list.active: draws the blue box (x, y - 20)..(x + width, y + height)
// with the title and entries 1..30 on the text grid, highlights the entry
// under the pointer and, when a button is held there, picks it: list.choice
// = its number, a 300 ms pause, and the list closes (active = 0). The box is
// hit strictly inside its edges. The picked number drifts ahead of the text
// row further down the box: a row is 16.65 pixels here, not 16.
void listBox(display::Screen& s, Pointer m, int x, int y, int width, int height, TextList& list,
             std::string_view title);

// Prints the label and two blanks at the button's cell; reports a press held
// over the button (strictly inside, its area 20 pixels wider than width) and
// pauses 200 ms so that one press counts once.
bool button(display::Screen& s, Pointer m, int x, int y, int width, int height,
            std::string_view label, int foreground, int background);

// Refills the list with the names of the regular "*.dat" files in dir (case
// matters; no names beginning with "."), sorted by byte order, at most 999,
// then "Listende"; the rows behind it are cleared. No such file gives an
// empty first row and "Listende" in the second.
void fillFileList(TextList& list, const std::filesystem::path& dir = ".");

inline constexpr int maxListedFiles = listCapacity - 1;

// Starts a menu screen afresh: the window opened anew, the blue-framed black
// viewport (1,1)-(1022,766), light green text.
void startScreen(display::Screen& s);

// Polls the mouse: the pointer, or all -1 while it is outside the window.
Pointer readPointer(display::Screen& s);

// How long an idle menu waits for the next input before it polls again.
inline constexpr int idleWaitMs = 10;

}  // namespace app
