// Graphics primitives on the headless frame: exact pixels, rounding of
// coordinates, clipping at the viewport, and shapes whose coordinates lie
// far beyond the screen.
#include <cmath>
#include <cstdlib>
#include <random>
#include <set>

#include "screen_fixture.h"

using namespace display;

using PixelSet = std::set<std::pair<int, int>>;

namespace {

constexpr int red = 4, yellow = 14, white = 15;

}  // namespace

TEST_F(FramedScreen, OpeningFramesTheViewportInBlue) {
    EXPECT_EQ(pixel(0, 0), 1);
    EXPECT_EQ(pixel(1023, 767), 1);
    EXPECT_EQ(pixel(512, 0), 1);
    EXPECT_EQ(pixel(0, 400), 1);
    EXPECT_EQ(pixel(1, 1), 0);
    EXPECT_EQ(pixel(1022, 766), 0);
    EXPECT_EQ(pixelsOf(1).size(), std::size_t(2 * 1024 + 2 * 766));
    EXPECT_EQ(screen.viewport, (PixelRect{1, 1, 1022, 766}));
}

TEST_F(FramedScreen, PlotRoundsHalvesAwayFromZeroAndOffsetsByTheViewport) {
    plot(screen, 0, 0, red);
    EXPECT_EQ(pixel(1, 1), red);
    plot(screen, 0.5f, 0, yellow);
    EXPECT_EQ(pixel(2, 1), yellow);
    plot(screen, 1021, 765, white);
    EXPECT_EQ(pixel(1022, 766), white);
    EXPECT_EQ(pixelsOf(red).size() + pixelsOf(yellow).size() + pixelsOf(white).size(), 3u);

    // -0.5 rounds to -1, just left of the viewport; so does 1021.5 on the right.
    plot(screen, -0.5f, 0, 9);
    plot(screen, 1021.5f, 10, 9);
    plot(screen, 10, 765.5f, 9);
    plot(screen, -0.49f, 0, 9);  // rounds to 0: drawn
    plot(screen, std::nanf(""), 0, 9);
    EXPECT_EQ(pixelsOf(9), (std::vector<std::pair<int, int>>{{1, 1}}));
    EXPECT_EQ(pixel(0, 1), 1) << "the frame stays";
}

TEST_F(FramedScreen, HorizontalAndVerticalLinesAreSpansClippedAtTheViewport) {
    drawLine(screen, -50, 10, 5000, 10, yellow);
    auto row = pixelsOf(yellow);
    ASSERT_EQ(row.size(), 1022u);
    EXPECT_EQ(row.front(), std::make_pair(1, 11));
    EXPECT_EQ(row.back(), std::make_pair(1022, 11));

    drawLine(screen, 20, 800, 20, 700, red);
    auto column = pixelsOf(red);
    ASSERT_EQ(column.size(), 66u);  // rows 701..766
    EXPECT_EQ(column.front(), std::make_pair(21, 701));
    EXPECT_EQ(column.back(), std::make_pair(21, 766));
}

TEST_F(FramedScreen, SlopedLineHasBothEndsAndOnePixelPerStep) {
    drawLine(screen, 10, 20, 110, 60, white);
    const auto line = pixelsOf(white);
    ASSERT_EQ(line.size(), 101u);
    PixelSet drawn(line.begin(), line.end());
    EXPECT_TRUE(drawn.count({11, 21}));
    EXPECT_TRUE(drawn.count({111, 61}));
    std::set<int> columns;
    for (auto [x, y] : line) {
        columns.insert(x);
        // Never further than half a pixel from the ideal line.
        EXPECT_LE(std::abs((y - 21) - (x - 11) * 0.4), 0.5 + 1e-9) << x << "," << y;
    }
    EXPECT_EQ(columns.size(), 101u);
}

// Lines reaching far past the viewport in any direction: the clipped walk
// must land on exactly the pixels a walk over the whole line would.
TEST_F(FramedScreen, ClippedLinesMatchTheWholeWalk) {
    std::mt19937 random(7);
    std::uniform_int_distribution<int> coordinate(-3000, 4000);
    for (int n = 0; n < 300; ++n) {
        const int x1 = coordinate(random), y1 = coordinate(random);
        const int x2 = coordinate(random), y2 = coordinate(random);
        openScreen(screen);
        setViewport(screen, 1, 1, 1022, 766, 0, 1);
        drawLine(screen, float(x1), float(y1), float(x2), float(y2), white);

        // The whole walk, step by step, with the same rounding of halves.
        PixelSet expected;
        const long dx = std::labs(x2 - x1), dy = std::labs(y2 - y1);
        const long major = std::max(dx, dy), minor = std::min(dx, dy);
        for (long i = 0; i <= major; ++i) {
            const long m = major == 0 ? 0 : (2 * i * minor + major) / (2 * major);
            const long x = dx >= dy ? x1 + (x2 > x1 ? i : -i) : x1 + (x2 > x1 ? m : -m);
            const long y = dx >= dy ? y1 + (y2 > y1 ? m : -m) : y1 + (y2 > y1 ? i : -i);
            if (x >= 0 && x <= 1021 && y >= 0 && y <= 765) expected.insert({int(x) + 1, int(y) + 1});
        }
        const auto line = pixelsOf(white);
        ASSERT_EQ(PixelSet(line.begin(), line.end()), expected)
            << "line " << x1 << "," << y1 << " - " << x2 << "," << y2;
    }
}

TEST_F(FramedScreen, LinesWithHugeCoordinatesStillClip) {
    drawLine(screen, -1e12f, 100, 1e12f, 100, red);
    EXPECT_EQ(pixelsOf(red).size(), 1022u);
    drawLine(screen, -3e9f, -3e9f, 3e9f, 3e9f, yellow);  // the diagonal through the origin
    const auto diagonal = pixelsOf(yellow);
    ASSERT_EQ(diagonal.size(), 766u);
    for (auto [x, y] : diagonal) EXPECT_EQ(x, y);
}

TEST_F(FramedScreen, BoxesSortTheirCornersAndIncludeBoth) {
    drawBox(screen, 30, 20, 10, 10, red, false);
    const auto outline = pixelsOf(red);
    EXPECT_EQ(outline.size(), std::size_t(2 * 21 + 2 * 9));
    EXPECT_EQ(pixel(11, 11), red);
    EXPECT_EQ(pixel(31, 21), red);
    EXPECT_EQ(pixel(20, 15), 0) << "an outline leaves the inside";

    drawBox(screen, 100, 110, 90, 100, yellow, true);
    EXPECT_EQ(pixelsOf(yellow).size(), 121u);
    EXPECT_EQ(pixel(91, 101), yellow);
    EXPECT_EQ(pixel(101, 111), yellow);

    drawBox(screen, -100, -100, 5000, 5000, white, true);
    EXPECT_EQ(pixelsOf(white).size(), std::size_t(1022 * 766));
    EXPECT_EQ(pixel(0, 0), 1);
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
        auto on = [&](int dx, int dy) {
            const int x = cx + 1 + dx, y = cy + 1 + dy;
            return frame[std::size_t(y) * screenWidth + std::size_t(x)] == white;
        };
        auto visible = [&](int dx, int dy) {
            const int x = cx + 1 + dx, y = cy + 1 + dy;
            return x >= 1 && x <= 1022 && y >= 1 && y <= 766;
        };
        auto mirrorMissing = [&](int dx, int dy) { return visible(dx, dy) && !on(dx, dy); };
        int faults = 0;
        for (int dy = -r - 1; dy <= r + 1; ++dy) {
            for (int dx = -r - 1; dx <= r + 1; ++dx) {
                if (!visible(dx, dy) || !on(dx, dy)) continue;
                faults += std::abs(std::hypot(dx, dy) - r) > 0.75;
                faults += mirrorMissing(dy, dx) + mirrorMissing(-dx, dy) + mirrorMissing(dx, -dy);
            }
        }
        if (r <= 382) {
            EXPECT_TRUE(on(r, 0) && on(-r, 0) && on(0, r) && on(0, -r)) << "radius " << r;
        }
        // The drawing code fills with the outline's own colour: a gap lets
        // the fill out into the corners of the viewport.
        if (r > 0 && r < 600) {
            floodFill(screen, float(cx), float(cy), white);
            faults += (pixel(1, 1) == white) + (pixel(1022, 766) == white);
        }
        EXPECT_EQ(faults, 0) << "radius " << r;
        if (faults) break;
    }
}

TEST_F(FramedScreen, CircleOfRadiusZeroIsAPointAndNegativeDrawsNothing) {
    drawCircle(screen, 10, 10, 0, red);
    EXPECT_EQ(pixelsOf(red), (std::vector<std::pair<int, int>>{{11, 11}}));
    drawCircle(screen, 10, 10, -5, yellow);
    EXPECT_TRUE(pixelsOf(yellow).empty());
}

// A circle cut by a small viewport shows exactly the part of it that the
// full viewport shows there, however large the radius.
TEST_F(FramedScreen, ClippedCirclesMatchTheirUnclippedPart) {
    const float cases[][3] = {{500, 380, 300}, {-200, 100, 400}, {511, 2000, 1700}, {100000, 380, 99600}};
    for (auto [x, y, r] : cases) {
        openScreen(screen);
        setViewport(screen, 1, 1, 1022, 766, 0, 1);
        drawCircle(screen, x, y, r, white);
        PixelSet inWindow;
        for (auto p : pixelsOf(white))
            if (p.first >= 301 && p.first <= 700 && p.second >= 201 && p.second <= 500) inWindow.insert(p);

        openScreen(screen);
        setViewport(screen, 301, 201, 700, 500, 0, 1);
        drawCircle(screen, x - 300, y - 200, r, white);
        const auto clipped = pixelsOf(white);
        EXPECT_EQ(PixelSet(clipped.begin(), clipped.end()), inWindow)
            << "circle " << x << "," << y << " r " << r;
    }
}

TEST_F(FramedScreen, HugeCircleCrossingTheViewportIsDrawnAsAnArc) {
    // Centre a million pixels below the viewport; its top crosses row 100.
    drawCircle(screen, 500, 1e6f + 100, 1e6f, yellow);
    const auto arc = pixelsOf(yellow);
    EXPECT_GE(arc.size(), 1022u);
    for (auto [x, y] : arc) EXPECT_NEAR(y, 101, 1) << x;
}

TEST_F(FramedScreen, FloodFillCoversTheWholeViewportWithoutRecursion) {
    floodFill(screen, 500, 300, white);
    EXPECT_EQ(pixelsOf(white).size(), std::size_t(1022 * 766));
    EXPECT_EQ(pixelsOf(1).size(), std::size_t(2 * 1024 + 2 * 766)) << "the frame is outside the viewport";
}

TEST_F(FramedScreen, FloodFillStopsAtItsOwnColourOnly) {
    drawBox(screen, 10, 10, 60, 40, yellow, false);
    drawLine(screen, 20, 15, 50, 35, red);  // another colour inside: filled over
    floodFill(screen, 30, 20, yellow);
    EXPECT_EQ(pixelsOf(yellow).size(), std::size_t(51 * 31));
    EXPECT_TRUE(pixelsOf(red).empty());
    EXPECT_EQ(pixel(10, 10), 0) << "outside the box stays";
}

TEST_F(FramedScreen, FloodFillDoesNothingOutsideTheViewportOrOnItsColour) {
    floodFill(screen, -1, 5, white);
    floodFill(screen, 5, 766, white);
    EXPECT_TRUE(pixelsOf(white).empty());
    plot(screen, 5, 5, white);
    floodFill(screen, 5, 5, white);
    EXPECT_EQ(pixelsOf(white).size(), 1u);
}

// A maze of walls with gaps: the fill must reach exactly what a plain
// breadth-first search over the same picture reaches.
TEST_F(FramedScreen, FloodFillReachesWhatAPlainSearchReaches) {
    std::mt19937 random(11);
    std::uniform_int_distribution<int> x(0, 1021), y(0, 765), length(5, 300);
    for (int i = 0; i < 400; ++i) {
        const int x1 = x(random), y1 = y(random);
        if (i % 2) drawLine(screen, float(x1), float(y1), float(x1 + length(random)), float(y1), red);
        else drawLine(screen, float(x1), float(y1), float(x1), float(y1 + length(random)), red);
    }
    const std::vector<uint8_t> before = copyFrame(screen);
    std::vector<uint8_t> reached(before.size());
    std::vector<std::pair<int, int>> queue{{401, 301}};
    reached[301 * 1024 + 401] = before[301 * 1024 + 401] != red;
    for (std::size_t q = 0; q < queue.size() && reached[301 * 1024 + 401]; ++q) {
        const auto [px, py] = queue[q];
        const std::pair<int, int> next[] = {{px + 1, py}, {px - 1, py}, {px, py + 1}, {px, py - 1}};
        for (auto [nx, ny] : next) {
            if (nx < 1 || nx > 1022 || ny < 1 || ny > 766) continue;
            const std::size_t i = std::size_t(ny) * 1024 + std::size_t(nx);
            if (reached[i] || before[i] == red) continue;
            reached[i] = 1;
            queue.emplace_back(nx, ny);
        }
    }
    floodFill(screen, 400, 300, red);
    const std::vector<uint8_t> after = copyFrame(screen);
    for (std::size_t i = 0; i < after.size(); ++i)
        ASSERT_EQ(after[i], reached[i] ? red : before[i]) << "pixel " << i % 1024 << "," << i / 1024;
}

TEST_F(FramedScreen, ClearViewFillsTheViewportInTheBackgroundAndKeepsTheCursor) {
    locate(screen, 5, 7);
    setColor(screen, 10, 4);
    clearView(screen);
    EXPECT_EQ(pixelsOf(4).size(), std::size_t(1022 * 766));
    EXPECT_EQ(pixel(0, 0), 1);
    EXPECT_EQ(screen.row, 5);
    EXPECT_EQ(screen.column, 7);
}

TEST(Screen, ClearViewWithoutViewportClearsAllAndHomesTheCursor) {
    Screen s;
    clearView(s);  // before the screen is opened: no effect
    EXPECT_FALSE(s.isOpen);
    openScreen(s);
    plot(s, 0, 0, 3);
    locate(s, 10, 10);
    setColor(s, 7, 2);
    clearView(s);
    EXPECT_EQ(pixelAt(s, 0, 0), 2);
    EXPECT_EQ(pixelAt(s, 1023, 767), 2);
    EXPECT_EQ(s.row, 1);
    EXPECT_EQ(s.column, 1);
}

TEST_F(FramedScreen, OpeningAfreshResetsFrameViewportCursorAndWheel) {
    drawBox(screen, 0, 0, 100, 100, red, true);
    locate(screen, 20, 30);
    input.turnWheel(3);
    input.movePointer(5, 5);
    EXPECT_EQ(readMouse(screen).wheel, 3);
    openScreen(screen);
    EXPECT_TRUE(pixelsOf(red).empty());
    EXPECT_TRUE(pixelsOf(1).empty());
    EXPECT_EQ(screen.viewport, PixelRect{});
    EXPECT_FALSE(screen.viewportSet);
    EXPECT_EQ(screen.row, 1);
    EXPECT_EQ(screen.column, 1);
    EXPECT_EQ(readMouse(screen).wheel, 0);
    EXPECT_EQ(input.openCount(), 2);
    plot(screen, 0, 0, red);
    EXPECT_EQ(pixel(0, 0), red) << "graphics count from the screen corner again";
}

TEST(Screen, ViewportReachingPastTheScreenClipsButKeepsItsCorner) {
    Screen s;
    openScreen(s);
    setViewport(s, -10, -10, 2000, 50, 0, 1);
    plot(s, 10, 10, 5);
    EXPECT_EQ(pixelAt(s, 0, 0), 5);
    drawLine(s, 0, 20, 5000, 20, 6);
    EXPECT_EQ(pixelAt(s, 0, 10), 6);
    EXPECT_EQ(pixelAt(s, 1023, 10), 6);
    EXPECT_EQ(pixelAt(s, 0, 51), 1) << "bottom edge of the frame";
}

TEST_F(FramedScreen, ColoursAreTakenModulo256) {
    plot(screen, 3, 3, 256 + 14);
    EXPECT_EQ(pixel(4, 4), 14);
}
