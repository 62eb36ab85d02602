// Drawing bodies from their projection: points, discs, rings, names, order and the erase cycle.
#include <cmath>
#include <memory>

#include <gtest/gtest.h>

#include "display/screen.h"
#include "support/picture.h"
#include "view/drawing.h"
#include "world.h"

using testing_support::showsPicture;
using testing_support::showsText;

namespace {

constexpr int red = 4, yellow = 14, green = 10;

// The simulation's screen and a world whose bodies are placed straight on it, unprojected.
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
        b.bodyCount = float(i), b.diameter[i] = 1e6f, b.distance[i] = 1e11f, b.name[i] = "Body", b.color[i] = float(colour);
        b.screenX[i] = x, b.screenY[i] = y, b.depth[i] = depth, b.apparentSize[i] = apparentSize;
        return i;
    }
    void draw() { view::drawBodies(w->drawing, w->hud, w->bodies, w->observer, screen); }
    // Colour at drawing coordinates (x, y): screen pixel (x + 1, y + 1).
    int at(int x, int y) { return display::pixelAt(screen, x + 1, y + 1); }
    int count(int colour) {
        const auto frame = display::copyFrame(screen);
        return int(std::count(frame.begin(), frame.end(), colour));
    }

    display::Screen screen;
    std::unique_ptr<World> w = std::make_unique<World>();
};

}  // namespace

// Radius sizeScale x apparentSize: below 1 a pixel, else a filled outline; above 2 extra fill seeds.
TEST(DrawBodies, PointsAndDiscs) {
    const std::vector<std::string> dot = {".....", ".....", "..#..", ".....", "....."};
    const struct { const char* name; float size, scale; bool pointBelow; std::vector<std::string> picture; } rows[] = {
        {"0.99: a pixel", 0.99f, 1, false, dot},
        {"1.0: outline and fill", 1.0f, 1, false, {".....", "..#..", ".###.", "..#..", "....."}},
        {"1.0 at the simulation's scale: a pixel", 1.0f, view::simulationSizeScale, false, dot},
        {"2: a filled disc", 2, 1, false, {".###.", "#####", "#####", "#####", ".###."}},
        {"2 over a pixel of its colour: no extra seeds", 2, 1, true, {".###.", "#...#", "#.#.#", "#...#", ".###."}},
        {"2 at scale 2 over a pixel of its colour: no extra seeds", 2, 2, true,
         {"...###...", ".##...##.", ".#.....#.", "#...#...#", "#..###..#", "#...#...#", ".#.....#.", ".##...##.", "...###..."}},
        {"2.5 over a pixel of its colour: filled by the extra seeds", 2.5f, 1, true,
         {"..###..", ".#####.", "#######", "#######", "#######", ".#####.", "..###.."}},
    };
    for (const auto& r : rows) {
        Scene scene;
        scene.w->drawing.sizeScale = r.scale;
        if (r.pointBelow) scene.add(100, 100, 0.5f, red);
        scene.add(100, 100, r.size, red);
        scene.draw();
        const int half = int(r.picture.size()) / 2;
        EXPECT_TRUE(showsPicture(scene.screen, 101 - half, 101 - half, red, r.picture)) << r.name;
    }
    Scene scene;
    scene.w->hud.mark1 = scene.add(300, 300, 50, yellow);
    scene.draw();
    for (int d : {-46, -22, 22, 46})
        EXPECT_EQ(std::make_tuple(scene.at(300 + d, 300), scene.at(300, 300 + d)), std::make_tuple(yellow, yellow)) << d;
}

// A ring of radius 20 round either mark while markRingFlag is 1; nothing behind the eye (depth < -0.5).
TEST(DrawBodies, RingsAndTheDepthRule) {
    const struct { const char* name; bool asMark2; int flag; float depth; int body, ring; } rows[] = {
        {"mark1, flag 1", false, 1, 1e11f, 1, 1}, {"mark2, flag 1", true, 1, 1e11f, 1, 1},
        {"flag -1: no ring", false, -1, 1e11f, 1, 0}, {"flag 0: no ring", false, 0, 1e11f, 1, 0},
        {"depth -0.5 is in front", false, 1, -0.5f, 1, 1}, {"depth -0.51 is behind: nothing", false, 1, -0.51f, 0, 0},
    };
    for (const auto& r : rows) {
        Scene scene;
        const int i = scene.add(400, 300, 0.5f, red, r.depth);
        (r.asMark2 ? scene.w->hud.mark2 : scene.w->hud.mark1) = i;
        scene.w->hud.markRingFlag = r.flag;
        scene.draw();
        const bool ring = scene.at(420, 300) == red && scene.at(400, 280) == red && scene.at(421, 300) == 0;
        EXPECT_EQ(std::make_tuple(scene.at(400, 300) == red, ring), std::make_tuple(r.body == 1, r.ring == 1)) << r.name;
        EXPECT_EQ(scene.count(red) > 1, r.ring == 1) << r.name;
    }
}

// Index order, not depth; a body of no finite position or size leaves no mark.
TEST(DrawBodies, LaterBodiesCoverEarlierOnesAndNonFiniteOnesLeaveNoMark) {
    Scene scene;
    scene.add(300, 300, 20, red, 1e9f);
    scene.add(305, 300, 20, yellow, 1e12f);
    scene.add(NAN, 100, 30, red);
    scene.add(100, INFINITY, 30, red);
    scene.add(100, 100, NAN, red);
    scene.draw();
    EXPECT_EQ(std::make_tuple(scene.at(303, 300), scene.at(282, 300)), std::make_tuple(yellow, red));
    EXPECT_EQ(scene.at(100, 100), 0);
    EXPECT_EQ(scene.count(1), 2 * 1024 + 2 * 766);
}

// Names at row y / 16, column x / 8 + 1 when 1 < x < 941, 32 < y < 751, for bodies 1..16 or closer than 222 m.
TEST(DrawBodies, NamesAtTheEdgesOfTheirRules) {
    const struct { const char* name; int body; float x, y, distance; bool named; } rows[] = {
        {"body 16, far", 16, 400, 400, 1e9f, true}, {"body 17, far", 17, 400, 400, 1e9f, false},
        {"body 17 at 221.99 m", 17, 400, 400, 221.99f, true}, {"body 17 at 222 m", 17, 400, 400, 222, false},
        {"x = 1", 1, 1, 400, 1e9f, false}, {"x = 2", 1, 2, 400, 1e9f, true}, {"x = 940", 1, 940, 400, 1e9f, true},
        {"x = 941", 1, 941, 400, 1e9f, false}, {"y = 32", 1, 400, 32, 1e9f, false}, {"y = 33", 1, 400, 33, 1e9f, true},
        {"y = 750", 1, 400, 750, 1e9f, true}, {"y = 751", 1, 400, 751, 1e9f, false},
    };
    for (const auto& r : rows) {
        for (float namesSwitch : {1.f, -1.f}) {
            Scene scene;
            scene.w->drawing.namesSwitch = namesSwitch;
            for (int i = 1; i <= r.body; ++i) scene.w->bodies.diameter[scene.add(r.x, r.y, 0.5f, red)] = i == r.body;
            scene.w->bodies.distance[r.body] = r.distance;
            scene.draw();
            const bool named = r.named && namesSwitch == 1;
            EXPECT_EQ(scene.count(green) > 0, named) << r.name << ", names " << namesSwitch;
            EXPECT_TRUE(!named || showsText(scene.screen, int(r.y) / 16, int(r.x) / 8 + 1, "Body")) << r.name;
        }
    }
}

// The picture (not its frame) is erased on the 5th frame and every 6th after, unless erasing is off.
TEST(EraseCycle, FifthFrameThenEverySixthUnlessOff) {
    for (float eraseSwitch : {1.f, -1.f}) {
        Scene scene;
        scene.w->drawing.eraseSwitch = eraseSwitch;
        std::vector<int> erased;
        for (int frame = 1; frame <= 18; ++frame) {
            display::plot(scene.screen, 10, 10, red);
            view::eraseCycle(scene.w->drawing, scene.screen, scene.w->observer);
            if (scene.at(10, 10) == 0) erased.push_back(frame);
        }
        const std::vector<int> want = eraseSwitch == 1 ? std::vector<int>{5, 11, 17} : std::vector<int>{};
        EXPECT_EQ(erased, want) << eraseSwitch;
        EXPECT_EQ(std::make_tuple(scene.w->drawing.frameCounter, scene.count(1)), std::make_tuple(0.f, 2 * 1024 + 2 * 766));
    }
}
