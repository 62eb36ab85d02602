// The screen: primitives against pictures and a plain flood fill, the text grid, palette, code page 437; keys, mouse,
// waits, the title and the line editor, scripted on the headless backend's virtual clock.
#include <cmath>
#include <random>
#include <tuple>

#include "display/code_page_437.h"
#include "display/keys.h"
#include "display/palette.h"
#include "screen_fixture.h"

using namespace display;

// Each row draws in white on a clear viewport: the picture stands at screen pixel (x, y), nothing white elsewhere.
// Points round halves away from zero; shapes take the pixels nearest them, clipped lines step as the whole walk.
TEST_F(FramedScreen, PointsLinesBoxesAndCirclesHitThePixelsNearestTheShape) {
    const struct { const char* name; void (*draw)(Screen&); int x, y; std::vector<std::string> picture; } rows[] = {
        {"0.5 rounds up", [](Screen& s) { plot(s, 0.5f, 0, white); }, 1, 1, {".#"}},
        {"-0.5 rounds away: off the left", [](Screen& s) { plot(s, -0.5f, 0, white); }, 1, 1, {"."}},
        {"the last pixel", [](Screen& s) { plot(s, 1021, 765, white); }, 1021, 765, {"..", ".#"}},
        {"one beyond it, right or down", [](Screen& s) { plot(s, 1022, 764, white), plot(s, 1020, 766, white); }, 1, 1, {"."}},
        {"colour taken modulo 256", [](Screen& s) { plot(s, 2, 0, white + 256); }, 1, 1, {"..#"}},
        {"filled box", [](Screen& s) { drawBox(s, 3, 1, 1, 0, white, true); }, 2, 1, {"###", "###"}},
        {"line from far above left, two across one down", [](Screen& s) { drawLine(s, -1000, -500, 4, 2, white); }, 1, 1,
         {"#....", ".##..", "...##"}},
        {"steep line from below the bottom", [](Screen& s) { drawLine(s, 7, 775, 3, 759, white); }, 3, 760,
         {".#..", ".#..", ".#..", "..#.", "..#.", "..#.", "..#."}},
        {"line out at the right", [](Screen& s) { drawLine(s, 1019, 3, 2000, -500, white); }, 1019, 3, {"..##o", ".#..o"}},
        {"box, any corner order", [](Screen& s) { drawBox(s, 6, 3, 2, 1, white, false); }, 3, 2, {"#####", "#...#", "#####"}},
        {"circle of radius 0", [](Screen& s) { drawCircle(s, 1, 1, 0, white); }, 2, 2, {"#"}},
        {"negative radius", [](Screen& s) { drawCircle(s, 1, 1, -5, white); }, 1, 1, {"."}},
    };
    for (const auto& r : rows) {
        clearView(screen);
        r.draw(screen);
        EXPECT_TRUE(showsPicture(r.x, r.y, white, r.picture)) << r.name;
    }
}

// At every radius the outline is round, symmetric eight ways and closed: a fill from the centre stays inside.
TEST_F(FramedScreen, CircleOutlinesAreRoundSymmetricAndHoldTheirFill) {
    const int cx = 511, cy = 383;  // screen pixel (512, 384)
    for (int r = 0; r <= 1500; r += r < 420 ? 1 : 360) {
        clearView(screen);
        drawCircle(screen, float(cx), float(cy), float(r), white);
        const std::vector<uint8_t> frame = copyFrame(screen);
        auto visible = [&](int dx, int dy) { return std::abs(dx) <= 510 && dy >= -383 && dy <= 382; };
        auto on = [&](int dx, int dy) { return frame[std::size_t(cy + 1 + dy) * 1024 + std::size_t(cx + 1 + dx)] == white; };
        auto gap = [&](int dx, int dy) { return visible(dx, dy) && !on(dx, dy); };  // a mirror image not drawn
        int faults = 0;
        for (int dy = -r - 1; dy <= r + 1; ++dy)
            for (int dx = -r - 1; dx <= r + 1; ++dx)
                if (visible(dx, dy) && on(dx, dy))
                    faults += (std::abs(std::hypot(dx, dy) - r) > 0.75) + gap(dy, dx) + gap(-dx, dy) + gap(dx, -dy);
        if (r <= 382) faults += !(on(r, 0) && on(-r, 0) && on(0, r) && on(0, -r));
        if (r > 0 && r < 600) floodFill(screen, float(cx), float(cy), white);  // a gap lets the fill out to the corners
        faults += (pixel(1, 1) == white) + (pixel(1022, 766) == white);
        ASSERT_EQ(faults, 0) << "radius " << r;
    }
}

// In a maze the fill reaches what a plain search reaches.
TEST_F(FramedScreen, FloodFillReachesWhatAPlainSearchReaches) {
    std::mt19937 random(11);
    std::uniform_int_distribution<int> x(0, 1021), y(0, 765), length(5, 300);
    for (int i = 0; i < 200; ++i) {
        const int x1 = x(random), y1 = y(random), l = length(random);
        drawLine(screen, float(x1), float(y1), float(x1 + (i % 2) * l), float(y1 + (1 - i % 2) * l), red);
    }
    const std::vector<uint8_t> before = copyFrame(screen);
    std::vector<uint8_t> reached(before.size());
    std::vector<int> queue{301 * 1024 + 401};  // pixel indices; the seed is not on a wall
    for (std::size_t q = 0; q < queue.size(); ++q)
        for (int i : {queue[q] + 1, queue[q] - 1, queue[q] + 1024, queue[q] - 1024}) {
            const int x = i % 1024, y = i / 1024;
            if (x >= 1 && x <= 1022 && y >= 1 && y <= 766 && !reached[std::size_t(i)] && before[std::size_t(i)] != red)
                reached[std::size_t(i)] = 1, queue.push_back(i);
        }
    floodFill(screen, 400, 300, red);
    const std::vector<uint8_t> after = copyFrame(screen);
    for (std::size_t i = 0; i < after.size(); ++i)
        ASSERT_EQ(after[i], reached[i] ? red : before[i]) << "pixel " << i % 1024 << "," << i / 1024;
}

// Each row locates and prints on a fresh screen whose row 1 starts with "T": cells, cursor and whether it
// scrolled. A place off the grid leaves the cursor after the "T". Then numbers, and clearing.
TEST_F(FramedScreen, PrintingMovesTheCursorWrapsAndScrolls) {
    struct Cell { int row, column; std::string text; };
    const struct { const char* name; int row, column; std::string text; bool lineEnd; std::vector<Cell> cells;
                   int endRow, endColumn; bool scrolled; } rows[] = {
        {"column 128 wraps to the next row", 2, 127, "abc", false, {{2, 127, "ab"}, {3, 1, "c"}}, 3, 2, false},
        {"a full row and a line end: no empty row", 10, 1, std::string(128, '-'), true, {{10, 128, "-"}}, 11, 1, false},
        {"line end on row 47 moves to row 48", 47, 1, "X", true, {{47, 1, "X"}}, 48, 1, false},
        {"line end on row 48 scrolls one row", 48, 1, "X", true, {{47, 1, "X"}, {48, 1, " "}}, 48, 1, true},
        {"wrapping on row 48 scrolls", 48, 128, "yz", false, {{47, 128, "y"}, {48, 1, "z"}}, 48, 2, true},
        {"row 49 is off", 49, 1, "X", false, {{1, 2, "X"}}, 1, 3, false},
        {"column 129 is off", 1, 129, "X", false, {{1, 2, "X"}}, 1, 3, false},
        {"row 0 is off", 0, 1, "X", false, {{1, 2, "X"}}, 1, 3, false},
        {"column 0 is off", 1, 0, "X", false, {{1, 2, "X"}}, 1, 3, false},
    };
    for (const auto& r : rows) {
        SetUp();
        setColor(screen, 14, 4);
        printText(screen, "T", false);
        locate(screen, r.row, r.column);
        printText(screen, r.text, r.lineEnd);
        for (const Cell& c : r.cells) EXPECT_TRUE(showsText(c.row, c.column, c.text, 14, 4)) << r.name;
        // Scrolling moves the "T" and the frame's bottom edge up 16 pixels; the new bottom row is the background.
        const bool scrolled = !bool(showsText(1, 1, "T", 14, 4));
        EXPECT_EQ(std::make_tuple(screen.row, screen.column, scrolled, pixel(512, 751) == 1, pixel(512, 767)),
                  std::make_tuple(r.endRow, r.endColumn, r.scrolled, r.scrolled, r.scrolled ? 4 : 1)) << r.name;
    }
    locate(screen, 7, 9);
    printNumber(screen, -3.f, false);
    printNumber(screen, int32_t{24}, true);
    EXPECT_TRUE(showsText(7, 9, "-3 24", 14, 4));
    SetUp();
    setColor(screen, 10, 4);
    locate(screen, 20, 30);
    clearView(screen);  // the framed viewport in the background colour; the cursor stays
    EXPECT_EQ(std::make_tuple(count(1), count(4), screen.row), std::make_tuple(frameSize, 1022u * 766, 20));
    openScreen(screen);  // unframed: the whole screen, and the cursor goes home
    locate(screen, 5, 7);
    clearView(screen);
    EXPECT_EQ(std::make_tuple(count(4), screen.row, screen.column), std::make_tuple(1024u * 768, 1, 1));
}

// The palette's standard colours, grey ramp, hues and black tail; every byte the font shows can be typed.
TEST(DefaultPaletteAndCodePage437, ColoursAndEveryByteFromItsUnicodeCharacter) {
    const struct { int index; Rgb colour; } rows[] = {
        {1, {0, 0, 170}}, {6, {170, 85, 0}}, {15, {255, 255, 255}}, {16, {0, 0, 0}}, {31, {255, 255, 255}},
        {36, {255, 0, 255}}, {104, {0, 0, 113}}, {176, {0, 0, 65}}, {247, {44, 48, 65}}, {248, {0, 0, 0}}};
    for (const auto& r : rows) EXPECT_EQ(defaultPalette()[r.index], r.colour) << "entry " << r.index;
    for (int b = 1; b < 256; ++b) EXPECT_EQ(cp437FromUnicode(unicodeFromCp437(static_cast<unsigned char>(b))), b);
    EXPECT_EQ(cp437FromUnicode(U'\u00a4'), -1);
}

// Characters stand for themselves, other keys count from F1 (59) to Del (83); 127 is Del. The title keeps 127 bytes.
// A wait goes in 50 ms slices and ends after the slice a key came in; under 100 ms it runs out. A click between two
// polls of the mouse reads as pressed once.
TEST_F(FramedScreen, KeysTitleWaitsAndClicks) {
    const struct { const char* name; int character, scan; std::string text; } rows[] = {
        {"letter", 'a', 30, "a"}, {"u umlaut", 0x81, 26, "\x81"}, {"caps lock (58)", -1, 58, ""},
        {"F1 (59)", -1, 59, extended(59)}, {"Del (83)", -1, 83, extended(83)}, {"84", -1, 84, ""},
        {"character 127 is Del", 127, 0, extended(83)}, {"NUL is no key", 0, 57, ""}, {"character 255", 255, 0, "\xff"},
    };
    for (const auto& r : rows) EXPECT_EQ(keyText(keyCode({r.character, r.scan})), r.text) << r.name;
    KeyRing ring;
    for (int k = 1; k <= 16; ++k) ring.push(k);
    const int waiting = ring.size();
    EXPECT_EQ(std::make_pair(waiting, ring.pop()), std::make_pair(15, 2)) << "of 16 keys the oldest is lost";
    setWindowTitle(screen, std::string(127, 'x') + "y");
    EXPECT_EQ(std::tie(screen.title, input.title()), std::make_tuple(std::string(127, 'x'), std::string(127, 'x')));
    const struct { int keyAt, wait; long long took; } waits[] = {{10, 400, 50}, {50, 400, 50}, {51, 400, 100}, {0, 99, 99}};
    for (const auto& r : waits) {
        const long long start = input.time();
        input.typeText("k", start + r.keyAt);
        sleepMs(screen, r.wait);
        EXPECT_EQ(std::make_tuple(input.time() - start, readKey(screen)), std::make_tuple(r.took, "k")) << r.keyAt;
    }
    input.movePointer(300, 200, 0);
    input.movePointer(300, 200, 1, input.time() + 2);
    input.movePointer(300, 200, 0, input.time() + 4);
    sleepMs(screen, 10);
    EXPECT_EQ(readMouse(screen).buttons, 1) << "pressed and released since the last poll";
    EXPECT_EQ(readMouse(screen).buttons, 0) << "counted once";
}

// Each row types its keys (characters or extended texts), ten every 25 ms so none overflow, and reads a line.
TEST_F(FramedScreen, LineEditorTakesEveryKeyOfItsTable) {
    auto edit = [&](const std::string& keys) {
        long long at = input.time();
        for (std::size_t k = 0; k < keys.size(); ++k, at += k % 10 == 0 ? 25 : 0)
            if (keys[k] == '\xff') input.pressKey({-1, static_cast<unsigned char>(keys[++k])}, at);
            else input.typeText(keys.substr(k, 1), at);
        return readLine(screen, "", false);
    };
    const std::string home = extended(scan::home), up = extended(scan::up), down = extended(scan::down);
    const std::string left = extended(scan::left), right = extended(scan::right);
    auto a = [](int n) { return std::string(std::size_t(n), 'a'); };
    const struct { const char* name; std::string keys, line; } rows[] = {
        {"Left, Backspace, Home, Del, End",
         "abcd" + left + "\b" + home + extended(scan::del) + extended(scan::end) + "X\r", "bdX"},
        {"Tab to column 8", "ab\tc\r", "ab      c"}, {"Tab at 8 goes to 16", "12345678\tx\r", "12345678        x"},
        {"Up from exactly 128", a(128) + up + "X\r", "X" + a(128)}, {"Up from 127 stays", a(127) + up + "X\r", a(127) + "X"},
        {"Down to exactly the end", a(128) + home + down + "X\r", a(128) + "X"},
        {"Down past the end stays", a(127) + home + down + "X\r", "X" + a(127)},
        {"at most 255 characters", a(250) + "bcdefgh\r", a(250) + "bcdef"},
        {"Left stops at the start, Backspace there deletes nothing", "ab" + left + left + left + "\bX\r", "Xab"},
        {"Right stops at the end", "ab" + left + right + right + "X\r", "abX"},
        {"Esc clears, control characters are ignored, 10 ends the line (the last row)", "ab\x1b" "c\x01" "d\nz\r", "cd"},
    };
    for (const auto& r : rows) EXPECT_EQ(edit(r.keys), r.line) << r.name;
}
