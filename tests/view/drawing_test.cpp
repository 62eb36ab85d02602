// Drawing bodies from their projection: points, discs, rings, names, order and the erase cycle.
#include <cmath>
#include <memory>

#include "display/screen_fixture.h"
#include "view/drawing.h"
#include "world.h"

// The framed screen and a world whose bodies are placed straight on it, unprojected.
class DrawBodies : public FramedScreen {
protected:
    void SetUp() override { FramedScreen::SetUp(), w = std::make_unique<World>(), w->bodies.bodyCount = 0; }
    int add(float x, float y, float apparentSize, float depth = 1e11f) {
        sim::Bodies& b = w->bodies;
        const int i = int(b.bodyCount) + 1;
        b.bodyCount = float(i), b.diameter[i] = 1e6f, b.distance[i] = 1e11f, b.name[i] = "Body", b.color[i] = red;
        b.screenX[i] = x, b.screenY[i] = y, b.depth[i] = depth, b.apparentSize[i] = apparentSize;
        return i;
    }
    void draw() { view::drawBodies(w->drawing, w->hud, w->bodies, w->observer, screen); }
    int at(int x, int y) { return pixel(x + 1, y + 1); }  // drawing coordinates
    std::unique_ptr<World> w;
};

// Radius sizeScale x apparentSize: below 1 a pixel, else a filled outline; above 2 extra fill seeds. The picture
// stands round (100, 100), nothing red elsewhere.
TEST_F(DrawBodies, PointsAndDiscs) {
    const std::vector<std::string> dot = {"#"};
    const struct { const char* name; float size, scale; bool pointBelow; std::vector<std::string> picture;
                   float x = 100, y = 100; } rows[] = {
        {"0.99: a pixel", 0.99f, 1, false, dot},
        {"1.0: outline and fill", 1.0f, 1, false, {".#.", "###", ".#."}},
        {"1.0 at the simulation's scale: a pixel", 1.0f, view::simulationSizeScale, false, dot},
        {"2 over a pixel of its colour: no extra seeds", 2, 1, true, {".###.", "#...#", "#.#.#", "#...#", ".###."}},
        {"2 at scale 2 over a pixel of its colour: no extra seeds", 2, 2, true,
         {"...###...", ".##...##.", ".#.....#.", "#...#...#", "#..###..#", "#...#...#", ".#.....#.", ".##...##.", "...###..."}},
        {"2.5 over a pixel of its colour: filled by the extra seeds", 2.5f, 1, true,
         {"..###..", ".#####.", "#######", "#######", "#######", ".#####.", "..###.."}},
        {"x not finite: no mark", 30, 1, false, {"."}, NAN},
    };
    for (const auto& r : rows) {
        SetUp();
        w->drawing.sizeScale = r.scale;
        if (r.pointBelow) add(100, 100, 0.5f);
        add(r.x, r.y, r.size);
        draw();
        const int half = int(r.picture.size()) / 2;
        EXPECT_TRUE(showsPicture(101 - half, 101 - half, red, r.picture)) << r.name;
    }
}

// A ring of radius 20 round either mark while markRingFlag is 1; nothing behind the eye (depth < -0.5).
TEST_F(DrawBodies, RingsAndTheDepthRule) {
    const struct { const char* name; bool asMark2; int flag; float depth; bool body, ring; } rows[] = {
        {"mark2, flag 1", true, 1, 1e11f, true, true}, {"flag -1: no ring", false, -1, 1e11f, true, false},
        {"-0.5: in front", false, 1, -0.5f, true, true}, {"-0.51: behind, nothing drawn", false, 1, -0.51f, false, false},
    };
    for (const auto& r : rows) {
        SetUp();
        (r.asMark2 ? w->hud.mark2 : w->hud.mark1) = add(400, 300, 0.5f, r.depth);
        w->hud.markRingFlag = r.flag;
        draw();
        const bool ring = at(420, 300) == red && at(400, 280) == red && at(421, 300) == 0;
        EXPECT_EQ(std::make_tuple(at(400, 300) == red, ring, count(red) > 1), std::tie(r.body, r.ring, r.ring)) << r.name;
    }
}

// Names at row y / 16, column x / 8 + 1 when 1 < x < 941, 32 < y < 751, for bodies 1..16 or closer than 222 m.
TEST_F(DrawBodies, NamesAtTheEdgesOfTheirRules) {
    const struct { const char* name; int body; float x, y, distance; bool named; float namesSwitch = 1; } rows[] = {
        {"body 16, far", 16, 400, 400, 1e9f, true}, {"body 17, far", 17, 400, 400, 1e9f, false},
        {"body 17 at 221.99 m", 17, 400, 400, 221.99f, true}, {"body 17 at 222 m", 17, 400, 400, 222, false},
        {"x = 1", 1, 1, 400, 1e9f, false}, {"x = 2", 1, 2, 400, 1e9f, true}, {"x = 940", 1, 940, 400, 1e9f, true},
        {"x = 941", 1, 941, 400, 1e9f, false}, {"y = 32", 1, 400, 32, 1e9f, false}, {"y = 33", 1, 400, 33, 1e9f, true},
        {"y = 750", 1, 400, 750, 1e9f, true}, {"y = 751", 1, 400, 751, 1e9f, false}, {"off", 1, 400, 400, 1e9f, false, -1},
    };
    for (const auto& r : rows) {
        SetUp();
        w->drawing.namesSwitch = r.namesSwitch;
        for (int i = 1; i <= r.body; ++i) w->bodies.diameter[add(r.x, r.y, 0.5f)] = i == r.body;
        w->bodies.distance[r.body] = r.distance;
        draw();
        EXPECT_EQ(count(green) > 0, r.named) << r.name;
        EXPECT_TRUE(!r.named || showsText(int(r.y) / 16, int(r.x) / 8 + 1, "Body")) << r.name;
    }
}

// The viewport is cleared in the fifth frame and then every sixth, inside the frame.
TEST_F(DrawBodies, EraseCycleFifthFrameThenEverySixth) {
    std::vector<int> erased;
    for (int frame = 1; frame <= 18; ++frame) {
        display::plot(screen, 10, 10, red);
        view::eraseCycle(w->drawing, screen, w->observer);
        if (at(10, 10) == 0) erased.push_back(frame);
    }
    EXPECT_EQ(erased, (std::vector<int>{5, 11, 17}));
    EXPECT_EQ(std::make_tuple(w->drawing.frameCounter, count(1)), std::make_tuple(0.f, frameSize));
    w->drawing.eraseSwitch = -1;  // F2: the trails stay
    for (int frame = 1; frame <= 6; ++frame) view::eraseCycle(w->drawing, screen, w->observer);
    EXPECT_EQ(at(10, 10), red);
}
