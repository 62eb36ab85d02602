// The screen: one 1024 x 768 frame of palette indices that the window shows,
// with its viewport for graphics, a text grid of 128 x 48 cells with a
// cursor, the current colours, the waiting keys, the mouse and the window
// title. Every operation is a free function taking the screen first.
//
// Graphics take float coordinates relative to the viewport's top-left pixel,
// rounded halves away from zero; whatever lands outside the viewport is
// skipped. Text takes rows and columns from 1 in screen cells and ignores
// the viewport. Colours are palette indices; an int colour is taken modulo
// 256.
#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "display/backend.h"
#include "display/keys.h"
#include "display/palette.h"

namespace display {

inline constexpr int screenWidth = 1024;
inline constexpr int screenHeight = 768;
inline constexpr int textColumns = 128;
inline constexpr int textRows = 48;

// Inclusive rectangle of screen pixels.
struct PixelRect {
    int x1 = 0, y1 = 0, x2 = screenWidth - 1, y2 = screenHeight - 1;
    friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

// The pointer as the window last reported it: window pixels, button bits
// (1 left, 2 right, 4 middle) and the wheel counter (+1 per step away from
// the user).
struct MouseState {
    int x = -1, y = -1;
    int buttons = 0;
    int wheel = 0;
    bool inside = false;   // the pointer is over the window
    bool focused = false;  // the window has the input focus
    // Buttons pressed since the last readMouse, also those released again
    // before it: a short click between two polls still counts.
    int pressedSinceRead = 0;
};

// What the screen shares with a backend that serves the window in the
// background. Hold mutex for every access.
//
// The program draws into pixels; the window shows only shown, which the
// program fills at the points where its picture is complete (presentFrame),
// so the window never catches a frame half erased or half drawn.
struct SharedState {
    std::mutex mutex;
    std::vector<uint8_t> pixels = std::vector<uint8_t>(screenWidth * screenHeight);  // row by row
    std::array<uint8_t, screenHeight> dirtyRows{};  // 1: drawn since last presented
    std::vector<uint8_t> shown = std::vector<uint8_t>(screenWidth * screenHeight);
    std::array<uint8_t, screenHeight> shownDirty{};  // 1: presented, not yet copied to the window
    bool frameWanted = false;  // the window is ready for the next frame
    KeyRing keys;
    MouseState mouse;
};

struct Screen {
    // A screen without a window (the headless backend).
    Screen();
    explicit Screen(std::unique_ptr<Backend> backend);
    ~Screen();
    Screen(const Screen&) = delete;
    Screen& operator=(const Screen&) = delete;

    SharedState shared;
    Palette palette = defaultPalette();
    PixelRect viewport;
    bool viewportSet = false;  // false until setViewport: the viewport is the whole screen
    bool isOpen = false;       // openScreen has been called
    int foreground = 15;
    int background = 0;
    int row = 1, column = 1;   // text cursor; column 129 after a text that filled its row
    std::string title;         // code page 437, at most 127 bytes
    std::unique_ptr<Backend> backend;
    // Seeds of floodFill, kept between fills so that a frame of many filled
    // discs allocates nothing.
    std::vector<std::pair<int, int>> fillSeeds;
};

// ---- Screen, viewport, colours, title ------------------------------------

// Opens the window, or opens it afresh: frame cleared to 0, default palette,
// viewport the whole screen, cursor at row 1, column 1, wheel counter 0.
void openScreen(Screen& s);

// Frames (x1 - 1, y1 - 1)..(x2 + 1, y2 + 1) in frameColour, makes
// (x1, y1)..(x2, y2) the viewport and fills it with fillColour. Screen pixels;
// corners are sorted and clipped to the screen.
void setViewport(Screen& s, int x1, int y1, int x2, int y2, int fillColour, int frameColour);

// Fills the viewport with the background colour. While no viewport is set it
// clears the whole screen and puts the cursor at row 1, column 1. Before the
// screen is opened it does nothing.
void clearView(Screen& s);

void setColor(Screen& s, int foreground);
void setColor(Screen& s, int foreground, int background);

// The window title: the first 127 bytes of a code page 437 text.
void setWindowTitle(Screen& s, std::string_view title);

// The palette index of screen pixel (x, y); 0 outside the screen.
uint8_t pixelAt(Screen& s, int x, int y);

// A copy of the whole frame, row by row.
std::vector<uint8_t> copyFrame(Screen& s);

// ---- Graphics (viewport coordinates) -------------------------------------

void plot(Screen& s, float x, float y, int colour);
// Both end points and every pixel between (integer Bresenham).
void drawLine(Screen& s, float x1, float y1, float x2, float y2, int colour);
// The rectangle between two corners in any order, both included.
void drawBox(Screen& s, float x1, float y1, float x2, float y2, int colour, bool filled);
// The outline of a circle of radius pixels; a negative radius draws nothing.
void drawCircle(Screen& s, float x, float y, float radius, int colour);
// Fills the 4-connected region round (x, y) bounded by pixels of colour and
// by the viewport. Nothing happens when the start lies outside the viewport
// or already has the colour.
void floodFill(Screen& s, float x, float y, int colour);

// ---- Text grid -----------------------------------------------------------

// Moves the cursor; a row outside 1..48 or a column outside 1..128 leaves it
// where it was.
void locate(Screen& s, int row, int column);

// Draws each byte's glyph opaque in the current colours and advances the
// cursor, continuing in column 1 of the next row past column 128; lineEnd
// then moves to column 1 of the next row. Going down from row 48 scrolls
// the whole screen up one row and clears the bottom row to the background.
void printText(Screen& s, std::string_view text, bool lineEnd);

// The number as formatNumber gives it, with a blank in front unless it
// starts with a minus sign.
void printNumber(Screen& s, float value, bool lineEnd);
void printNumber(Screen& s, int32_t value, bool lineEnd);

// ---- Input and waits -----------------------------------------------------

struct MouseReading {
    int status = 1;  // 0: the pointer is over the focused window
    int x = -1, y = -1, wheel = -1, buttons = -1;
};

// The oldest waiting key as its key text, or "" at once when none waits.
std::string readKey(Screen& s);

// The pointer in window pixels. Outside the window or without the input
// focus: nonzero status and -1 for every value.
MouseReading readMouse(Screen& s);

// Waits ms milliseconds. From 100 ms on the wait runs in 50 ms slices and
// ends as soon as a key is waiting (the key stays waiting).
void sleepMs(Screen& s, int ms);

// Hands the picture as it stands to the window: at once when force is set,
// otherwise only when the window is ready for the next frame (about 60 times
// a second). Reading keys and the mouse present unforced, every wait forced,
// so a program that draws and then reads input or waits is seen whole.
void presentFrame(Screen& s, bool force);

// Prints the prompt (when not empty) and "? " (when questionMark), lets the
// user edit one line at the cursor and returns it after Enter, followed by a
// line end. The line holds at most maxLineLength characters.
inline constexpr int maxLineLength = 255;
std::string readLine(Screen& s, std::string_view prompt, bool questionMark);

}  // namespace display
