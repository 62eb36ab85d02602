// Drawing bodies from their projection: points and discs, the erase cycle,
// rings, names and the order of drawing.
#include <cmath>
#include <memory>

#include <gtest/gtest.h>

#include "display/screen.h"
#include "view/drawing.h"
#include "world.h"

namespace {

constexpr int red = 4, yellow = 14, green = 10, blue = 1, magenta = 13;

// A screen set up as the simulation sets it up, and a world whose bodies are
// placed straight on the screen (drawing coordinates) without projecting.
struct Scene {
    Scene() {
        display::openScreen(screen);
        display::setViewport(screen, 1, 1, 1022, 766, 0, 1);
        display::setColor(screen, green);
        w->bodies.bodyCount = 0;
    }
    int add(float x, float y, float apparentSize, int colour, float depth = 1e11f) {
        sim::Bodies& b = w->bodies;
        const int i = int(b.bodyCount) + 1;
        b.bodyCount = float(i);
        b.diameter[i] = 1e6f;
        b.screenX[i] = x;
        b.screenY[i] = y;
        b.apparentSize[i] = apparentSize;
        b.depth[i] = depth;
        b.distance[i] = 1e11f;
        b.color[i] = float(colour);
        b.name[i] = "Body";
        return i;
    }
    void draw() { view::drawBodies(w->drawing, w->hud, w->bodies, w->observer, screen); }
    // Colour at drawing coordinates (x, y): screen pixel (x + 1, y + 1).
    int at(int x, int y) { return display::pixelAt(screen, x + 1, y + 1); }
    int count(int colour) {
        int n = 0;
        for (uint8_t p : display::copyFrame(screen)) n += p == colour;
        return n;
    }

    display::Screen screen;
    std::unique_ptr<World> w = std::make_unique<World>();
};

}  // namespace

TEST(DrawBodies, SmallBodiesArePointsLargerOnesFilledDiscs) {
    Scene point;
    point.add(100, 100, 0.99f, red);
    point.draw();
    EXPECT_EQ(point.count(red), 1);
    EXPECT_EQ(point.at(100, 100), red);

    Scene disc;
    disc.add(100, 100, 1.0f, red);
    disc.draw();
    EXPECT_EQ(disc.at(100, 100), red);
    EXPECT_EQ(disc.at(101, 100), red);
    EXPECT_EQ(disc.at(100, 99), red);
    EXPECT_GT(disc.count(red), 1);

    // A large disc is solid: no hole inside its outline.
    Scene big;
    big.add(300, 300, 40, yellow);
    big.draw();
    for (int dx = -38; dx <= 38; dx += 2) {
        for (int dy = -38; dy <= 38; dy += 2) {
            if (dx * dx + dy * dy < 37 * 37) {
                ASSERT_EQ(big.at(300 + dx, 300 + dy), yellow) << dx << "," << dy;
            }
        }
    }
    EXPECT_EQ(big.at(300 + 45, 300), 0);
}

TEST(DrawBodies, DrawnRadiusFollowsTheSizeScale) {
    Scene scene;
    scene.w->drawing.sizeScale = view::simulationSizeScale;
    scene.add(200, 200, 1.0f, red);  // 1021/1024 < 1: a point
    scene.draw();
    EXPECT_EQ(scene.count(red), 1);
}

TEST(DrawBodies, BehindTheObserverNothingIsDrawnNotEvenTheRing) {
    Scene scene;
    const int front = scene.add(100, 100, 0.5f, red, -0.5f);
    const int behind = scene.add(200, 200, 0.5f, yellow, -0.6f);
    scene.w->hud.mark1 = behind;
    scene.w->hud.mark2 = front;
    scene.draw();
    EXPECT_EQ(scene.at(100, 100), red);
    EXPECT_EQ(scene.count(yellow), 0);
    EXPECT_EQ(scene.at(120, 100), red) << "ring of radius 20 round the front body";
}

TEST(DrawBodies, MarkRingsOnlyWhileTheFlagIsSet) {
    Scene scene;
    scene.w->hud.mark1 = scene.add(400, 300, 0.5f, magenta);
    scene.draw();
    EXPECT_EQ(scene.at(420, 300), magenta);
    EXPECT_EQ(scene.at(400, 280), magenta);

    Scene off;
    off.w->hud.mark1 = off.add(400, 300, 0.5f, magenta);
    off.w->hud.markRingFlag = -1;
    off.draw();
    EXPECT_EQ(off.count(magenta), 1) << "only the body's own pixel";
}

TEST(DrawBodies, LaterBodiesCoverEarlierOnesWhateverTheirDepth) {
    Scene scene;
    scene.add(300, 300, 20, red, 1e9f);
    scene.add(305, 300, 20, yellow, 1e12f);  // further away, drawn later
    scene.draw();
    EXPECT_EQ(scene.at(303, 300), yellow);
    EXPECT_EQ(scene.at(282, 300), red);
}

TEST(DrawBodies, NonFinitePositionsLeaveNoMark) {
    Scene scene;
    scene.add(NAN, 100, 30, red);
    scene.add(100, INFINITY, 30, red);
    scene.add(100, 100, NAN, red);
    const auto before = display::copyFrame(scene.screen);
    scene.draw();
    EXPECT_EQ(display::copyFrame(scene.screen), before);
}

TEST(DrawBodies, NamesOnlyWhereTheyFitAndForTheFirstSixteen) {
    Scene scene;
    scene.w->drawing.namesSwitch = 1;
    for (int i = 1; i <= 16; ++i) scene.add(0, 0, 0.5f, red);  // left edge: no names
    const int named = scene.add(400, 320, 0.5f, red);           // 17th, far away: no name
    scene.w->bodies.distance[named] = 1e9f;
    const int close = scene.add(400, 400, 0.5f, red);           // 18th, closer than 222 m
    scene.w->bodies.distance[close] = 200;
    scene.w->bodies.screenX[3] = 400;
    scene.w->bodies.screenY[3] = 480;  // body 3: name in row 30, column 51
    scene.draw();
    auto cellHasText = [&](int row, int column) {
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 8; ++x) {
                if (display::pixelAt(scene.screen, (column - 1) * 8 + x, (row - 1) * 16 + y) == green) {
                    return true;
                }
            }
        }
        return false;
    };
    EXPECT_TRUE(cellHasText(30, 51));
    EXPECT_FALSE(cellHasText(20, 51)) << "body 17 is far: no name";
    EXPECT_TRUE(cellHasText(25, 51)) << "body 18 is close: named";

    // The position limits: x > 1, x < 941, y > 32, y < 751.
    const std::pair<float, float> outside[] = {{1, 400}, {941, 400}, {400, 32}, {400, 751}};
    for (auto [x, y] : outside) {
        Scene edge;
        edge.w->drawing.namesSwitch = 1;
        edge.add(x, y, 0.5f, red);
        edge.draw();
        EXPECT_EQ(edge.count(green), 0) << x << "," << y;
    }
}

TEST(EraseCycle, FifthFrameThenEverySixth) {
    Scene scene;
    std::vector<int> erased;
    for (int frame = 1; frame <= 18; ++frame) {
        display::plot(scene.screen, 10, 10, red);
        view::eraseCycle(scene.w->drawing, scene.screen, scene.w->observer);
        if (scene.at(10, 10) == 0) erased.push_back(frame);
    }
    EXPECT_EQ(erased, (std::vector<int>{5, 11, 17}));
    // The blue frame round the drawing area stays.
    EXPECT_EQ(display::pixelAt(scene.screen, 0, 0), blue);
    EXPECT_EQ(display::pixelAt(scene.screen, 1023, 767), blue);
}

TEST(EraseCycle, FullTrailsWhileErasingIsOff) {
    Scene scene;
    scene.w->drawing.eraseSwitch = -1;
    for (int frame = 1; frame <= 12; ++frame) {
        display::plot(scene.screen, float(frame), 10, red);
        view::eraseCycle(scene.w->drawing, scene.screen, scene.w->observer);
    }
    EXPECT_EQ(scene.count(red), 12);
    EXPECT_EQ(scene.w->drawing.frameCounter, 0.f) << "the cycle runs on";
}
