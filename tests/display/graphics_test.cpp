// Graphics primitives on the headless frame: exact pixels against pictures
// drawn here, clipping against whole-shape walks, and the flood fill against
// a plain breadth-first search.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <random>
#include <set>
#include <tuple>

#include "screen_fixture.h"
#include "support/picture.h"

using namespace display;
using testing_support::showsPicture;
using PixelSet = std::set<std::pair<int, int>>;

namespace {
constexpr int red = 4, yellow = 14, white = 15;
constexpr std::size_t frameSize = 2 * 1024 + 2 * 766;
}  // namespace

TEST_F(FramedScreen, OpeningFramesTheViewportAndOpeningAgainResetsEverything) {
    EXPECT_TRUE(showsPicture(screen, 0, 0, white, {"ooo", "o..", "o.."}));
    EXPECT_TRUE(showsPicture(screen, 1021, 765, white, {"..o", "..o", "ooo"}));
    EXPECT_EQ(pixelsOf(1).size(), frameSize);
    locate(screen, 20, 30);
    input.turnWheel(3);
    input.movePointer(5, 5);
    EXPECT_EQ(readMouse(screen).wheel, 3);
    openScreen(screen);
    EXPECT_EQ(pixelsOf(0).size(), std::size_t(1024 * 768)) << "all black, no frame";
    EXPECT_EQ(std::make_tuple(screen.row, screen.column, screen.viewportSet, readMouse(screen).wheel, input.openCount()),
              std::make_tuple(1, 1, false, 0, 2));
}

TEST_F(FramedScreen, PlotRoundsHalvesAwayFromZeroAndClipsAtTheViewport) {
    const struct { const char* name; float x, y; int colour, sx, sy; } rows[] = {
        {"origin is the viewport corner", 0, 0, red, 1, 1}, {"0.5 rounds up", 0.5f, 0, red, 2, 1},
        {"-0.49 rounds to 0", -0.49f, 0.49f, red, 1, 1}, {"-0.5 rounds away: off the left", -0.5f, 0, red, -1, -1},
        {"last pixel", 1021, 765, red, 1022, 766}, {"1021.5: off the right", 1021.5f, 10, red, -1, -1},
        {"765.5: off the bottom", 10, 765.5f, red, -1, -1}, {"NaN draws nothing", NAN, 0, red, -1, -1},
        {"colours are taken modulo 256", 3, 3, 256 + red, 4, 4},
    };
    for (const auto& r : rows) {
        clearView(screen);
        plot(screen, r.x, r.y, r.colour);
        const auto want = r.sx < 0 ? std::vector<std::pair<int, int>>{} : std::vector{std::pair{r.sx, r.sy}};
        EXPECT_EQ(pixelsOf(red), want) << r.name;
    }
}

TEST_F(FramedScreen, LinesBoxesAndCirclesHitThePixelsNearestTheShape) {
    const struct { const char* name; void (*draw)(Screen&); std::vector<std::string> picture; } rows[] = {
        {"shallow line", [](Screen& s) { drawLine(s, 0, 0, 6, 2, white); }, {"##.....", "..###..", ".....##"}},
        {"steep line upwards", [](Screen& s) { drawLine(s, 2, 6, 0, 0, white); },
         {"#..", "#..", ".#.", ".#.", ".#.", "..#", "..#"}},
        {"box outline, corners in any order", [](Screen& s) { drawBox(s, 6, 3, 2, 1, white, false); },
         {".........", "..#####..", "..#...#..", "..#####..", "........."}},
        {"filled box", [](Screen& s) { drawBox(s, 2, 3, 6, 1, white, true); },
         {".........", "..#####..", "..#####..", "..#####..", "........."}},
        {"circle of radius 4", [](Screen& s) { drawCircle(s, 4, 4, 4, white); },
         {"...###...", ".##...##.", ".#.....#.", "#.......#", "#.......#", "#.......#", ".#.....#.", ".##...##.",
          "...###..."}},
        {"circle of radius 0", [](Screen& s) { drawCircle(s, 1, 1, 0, white); }, {"...", ".#.", "..."}},
        {"negative radius", [](Screen& s) { drawCircle(s, 1, 1, -5, white); }, {"...", "...", "..."}},
    };
    for (const auto& r : rows) {
        clearView(screen);
        r.draw(screen);
        EXPECT_TRUE(showsPicture(screen, 1, 1, white, r.picture)) << r.name;
        std::size_t ink = 0;
        for (const std::string& row : r.picture) ink += std::size_t(std::count(row.begin(), row.end(), '#'));
        EXPECT_EQ(pixelsOf(white).size(), ink) << r.name << ": nothing drawn elsewhere";
    }
}

// Spans clipped at the viewport, however far their ends lie; the frame stays.
TEST_F(FramedScreen, StraightLinesAndBoxesClipAtTheViewport) {
    using Pixel = std::pair<int, int>;
    const struct { const char* name; void (*draw)(Screen&); std::size_t count; Pixel first, last; } rows[] = {
        {"row", [](Screen& s) { drawLine(s, -50, 10, 5000, 10, white); }, 1022, {1, 11}, {1022, 11}},
        {"column", [](Screen& s) { drawLine(s, 20, 800, 20, 700, white); }, 66, {21, 701}, {21, 766}},
        {"huge ends", [](Screen& s) { drawLine(s, -1e12f, 100, 1e12f, 100, white); }, 1022, {1, 101}, {1022, 101}},
        {"huge diagonal", [](Screen& s) { drawLine(s, -3e9f, -3e9f, 3e9f, 3e9f, white); }, 766, {1, 1}, {766, 766}},
        {"box", [](Screen& s) { drawBox(s, -100, -100, 5000, 5000, white, true); }, 1022 * 766, {1, 1}, {1022, 766}},
    };
    for (const auto& r : rows) {
        clearView(screen);
        r.draw(screen);
        const auto drawn = pixelsOf(white);
        ASSERT_EQ(drawn.size(), r.count) << r.name;
        EXPECT_EQ(std::tie(drawn.front(), drawn.back()), std::tie(r.first, r.last)) << r.name;
        EXPECT_EQ(pixelsOf(1).size(), frameSize) << r.name;
    }
}

// Lines reaching far past the viewport in any direction: the clipped walk
// must land on exactly the pixels a walk over the whole line would.
TEST_F(FramedScreen, ClippedLinesMatchTheWholeWalk) {
    std::mt19937 random(7);
    std::uniform_int_distribution<int> coordinate(-3000, 4000);
    for (int n = 0; n < 300; ++n) {
        const int x1 = coordinate(random), y1 = coordinate(random), x2 = coordinate(random), y2 = coordinate(random);
        clearView(screen);
        drawLine(screen, float(x1), float(y1), float(x2), float(y2), white);
        PixelSet expected;  // the whole walk, step by step, with the same rounding of halves
        const long dx = std::labs(x2 - x1), dy = std::labs(y2 - y1);
        const long major = std::max(dx, dy), minor = std::min(dx, dy);
        for (long i = 0; i <= major; ++i) {
            const long m = major == 0 ? 0 : (2 * i * minor + major) / (2 * major);
            const long x = dx >= dy ? x1 + (x2 > x1 ? i : -i) : x1 + (x2 > x1 ? m : -m);
            const long y = dx >= dy ? y1 + (y2 > y1 ? m : -m) : y1 + (y2 > y1 ? i : -i);
            if (x >= 0 && x <= 1021 && y >= 0 && y <= 765) expected.insert({int(x) + 1, int(y) + 1});
        }
        const auto line = pixelsOf(white);
        ASSERT_EQ(PixelSet(line.begin(), line.end()), expected) << "line " << x1 << "," << y1 << " - " << x2 << "," << y2;
    }
}

// Every radius, also those whose octants meet off the 45-degree pixel, and
// circles reaching past the viewport: the outline is round, symmetric eight
// ways and closed, so a fill from the centre never leaves the disc.
TEST_F(FramedScreen, CircleOutlinesAreRoundSymmetricAndHoldTheirFill) {
    std::vector<int> radii;
    for (int r = 0; r <= 420; ++r) radii.push_back(r);
    for (int r : {500, 700, 1000, 1500}) radii.push_back(r);
    const int cx = 511, cy = 383;  // screen pixel (512, 384)
    for (int r : radii) {
        clearView(screen);
        drawCircle(screen, float(cx), float(cy), float(r), white);
        const std::vector<uint8_t> frame = copyFrame(screen);
        auto visible = [&](int dx, int dy) { return std::abs(dx) <= 510 && dy >= -383 && dy <= 382; };
        auto on = [&](int dx, int dy) { return frame[std::size_t(cy + 1 + dy) * screenWidth + std::size_t(cx + 1 + dx)] == white; };
        auto mirrorMissing = [&](int dx, int dy) { return visible(dx, dy) && !on(dx, dy); };
        int faults = 0;
        for (int dy = -r - 1; dy <= r + 1; ++dy)
            for (int dx = -r - 1; dx <= r + 1; ++dx) {
                if (!visible(dx, dy) || !on(dx, dy)) continue;
                faults += std::abs(std::hypot(dx, dy) - r) > 0.75;
                faults += mirrorMissing(dy, dx) + mirrorMissing(-dx, dy) + mirrorMissing(dx, -dy);
            }
        if (r <= 382) faults += !(on(r, 0) && on(-r, 0) && on(0, r) && on(0, -r));
        // The drawing code fills with the outline's own colour: a gap lets
        // the fill out into the corners of the viewport.
        if (r > 0 && r < 600) {
            floodFill(screen, float(cx), float(cy), white);
            faults += (pixel(1, 1) == white) + (pixel(1022, 766) == white);
        }
        ASSERT_EQ(faults, 0) << "radius " << r;
    }
}

// A circle cut by a small viewport shows exactly the part of it that the
// full viewport shows there, however large the radius; a huge one is an arc.
TEST_F(FramedScreen, ClippedCirclesMatchTheirUnclippedPart) {
    const float cases[][3] = {{500, 380, 300}, {-200, 100, 400}, {511, 2000, 1700}, {100000, 380, 99600}};
    auto frameWith = [&](int x1, int y1, int x2, int y2) {
        openScreen(screen);
        setViewport(screen, x1, y1, x2, y2, 0, 1);
    };
    for (auto [x, y, r] : cases) {
        frameWith(1, 1, 1022, 766);
        drawCircle(screen, x, y, r, white);
        PixelSet inWindow;
        for (auto p : pixelsOf(white))
            if (p.first >= 301 && p.first <= 700 && p.second >= 201 && p.second <= 500) inWindow.insert(p);
        frameWith(301, 201, 700, 500);
        drawCircle(screen, x - 300, y - 200, r, white);
        const auto clipped = pixelsOf(white);
        EXPECT_EQ(PixelSet(clipped.begin(), clipped.end()), inWindow) << "circle " << x << "," << y << " r " << r;
    }
    frameWith(1, 1, 1022, 766);
    drawCircle(screen, 500, 1e6f + 100, 1e6f, yellow);  // its top crosses row 100
    const auto arc = pixelsOf(yellow);
    EXPECT_GE(arc.size(), 1022u);
    for (auto [x, y] : arc) ASSERT_NEAR(y, 101, 1) << x;
}

// A box outline with a red line inside, filled from each seed in turn.
TEST_F(FramedScreen, FloodFillStopsAtItsOwnColourOnly) {
    const std::size_t outline = 2 * 51 + 2 * 29, inside = 49 * 29;
    const struct { const char* name; float x, y; std::size_t yellow; bool redLeft; } rows[] = {
        {"inside: over the red line up to the outline", 30, 20, outline + inside, false},
        {"outside: everything but the inside", 5, 5, 1022 * 766 - inside, true},
        {"on its own colour: nothing", 10, 10, outline, true}, {"left of the viewport", -1, 5, outline, true},
        {"below the viewport", 5, 766, outline, true}, {"NaN", NAN, 5, outline, true},
    };
    for (const auto& r : rows) {
        clearView(screen);
        drawBox(screen, 10, 10, 60, 40, yellow, false);
        drawLine(screen, 20, 15, 50, 35, red);
        floodFill(screen, r.x, r.y, yellow);
        EXPECT_EQ(std::make_tuple(pixelsOf(yellow).size(), !pixelsOf(red).empty(), pixelsOf(1).size()),
                  std::make_tuple(r.yellow, r.redLeft, frameSize)) << r.name;
    }
}

// The whole viewport from one seed (a recursive fill would overflow the
// stack), then a maze of walls with gaps: the fill must reach exactly what a
// plain breadth-first search over the same picture reaches.
TEST_F(FramedScreen, FloodFillReachesWhatAPlainSearchReaches) {
    floodFill(screen, 500, 300, white);
    EXPECT_EQ(pixelsOf(white).size(), std::size_t(1022 * 766));
    clearView(screen);
    std::mt19937 random(11);
    std::uniform_int_distribution<int> x(0, 1021), y(0, 765), length(5, 300);
    for (int i = 0; i < 400; ++i) {
        const int x1 = x(random), y1 = y(random), l = length(random);
        drawLine(screen, float(x1), float(y1), float(x1 + (i % 2) * l), float(y1 + (1 - i % 2) * l), red);
    }
    const std::vector<uint8_t> before = copyFrame(screen);
    std::vector<uint8_t> reached(before.size());
    std::vector<std::pair<int, int>> queue{{401, 301}};
    reached[301 * 1024 + 401] = before[301 * 1024 + 401] != red;
    for (std::size_t q = 0; q < queue.size() && reached[301 * 1024 + 401]; ++q) {
        const auto [px, py] = queue[q];
        for (auto [nx, ny] : {std::pair{px + 1, py}, {px - 1, py}, {px, py + 1}, {px, py - 1}}) {
            const std::size_t i = std::size_t(ny) * 1024 + std::size_t(nx);
            if (nx < 1 || nx > 1022 || ny < 1 || ny > 766 || reached[i] || before[i] == red) continue;
            reached[i] = 1;
            queue.emplace_back(nx, ny);
        }
    }
    floodFill(screen, 400, 300, red);
    const std::vector<uint8_t> after = copyFrame(screen);
    for (std::size_t i = 0; i < after.size(); ++i)
        ASSERT_EQ(after[i], reached[i] ? red : before[i]) << "pixel " << i % 1024 << "," << i / 1024;
}

// With a viewport only the viewport is cleared and the cursor stays; without
// one the whole screen is cleared and the cursor goes home.
TEST(Screen, ClearViewClearsTheViewportOrTheWholeScreen) {
    for (bool viewport : {true, false}) {
        Screen s;
        clearView(s);  // before the screen is opened: no effect
        EXPECT_FALSE(s.isOpen);
        openScreen(s);
        if (viewport) setViewport(s, 1, 1, 1022, 766, 0, 1);
        locate(s, 5, 7);
        setColor(s, 10, 4);
        clearView(s);
        const auto frame = copyFrame(s);
        EXPECT_EQ(std::make_tuple(std::count(frame.begin(), frame.end(), 4), s.row, s.column),
                  viewport ? std::make_tuple(1022L * 766, 5, 7) : std::make_tuple(1024L * 768, 1, 1)) << viewport;
    }
}
