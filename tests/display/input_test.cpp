// Keys, key translation, the mouse and timed waits, through the screen's
// readers with scripted input on the headless backend's virtual clock.
#include <tuple>

#include "display/keys.h"
#include "screen_fixture.h"

using namespace display;

namespace {

std::string extended(int scanCode) { return {'\xff', static_cast<char>(scanCode)}; }

std::string drainKeys(Screen& s) {
    std::string all;
    for (std::string key = readKey(s); !key.empty(); key = readKey(s)) all += key;
    return all;
}

}  // namespace

// Characters stand for themselves, keys without one count from F1 (59) to
// Del (83), and the character 127 is Del.
TEST(KeyTranslation, CharactersAndExtendedKeys) {
    const struct { const char* name; int character, scan; std::string text; } rows[] = {
        {"letter", 'a', 30, "a"}, {"capital", 'A', 30, "A"}, {"Enter", 13, 28, "\r"}, {"Backspace", 8, 14, "\b"},
        {"Tab", 9, 15, "\t"}, {"Esc", 27, 1, "\x1b"}, {"u umlaut", 0x81, 26, "\x81"},
        {"caps lock (58)", -1, 58, ""}, {"F1 (59)", -1, 59, extended(59)}, {"F10 (68)", -1, 68, extended(68)},
        {"Up (72)", -1, 72, extended(72)}, {"Del (83)", -1, 83, extended(83)}, {"84", -1, 84, ""},
        {"F11", -1, scan::f11, ""}, {"F12", -1, scan::f12, ""}, {"no scan code", -1, 0, ""},
        {"character 127 is Del", 127, 0, extended(83)}, {"NUL is no key", 0, 57, ""},
    };
    for (const auto& r : rows) EXPECT_EQ(keyText(keyCode({r.character, r.scan})), r.text) << r.name;
}

TEST_F(FramedScreen, FifteenKeysWaitAndTheOldestAreLost) {
    KeyRing ring;
    EXPECT_EQ(ring.pop(), 0);
    for (int k = 1; k <= 16; ++k) ring.push(k);
    EXPECT_EQ(ring.size(), 15);
    for (int k = 2; k <= 16; ++k) EXPECT_EQ(ring.pop(), k);
    EXPECT_TRUE(ring.empty());

    input.typeText("abcdefghijklmnopqrst");
    EXPECT_EQ(drainKeys(screen), "fghijklmnopqrst");
    input.pressKey({-1, scan::f1});
    input.pressKey({-1, scan::f11});
    input.pressKey({127, 0});
    input.pressCloseButton();
    EXPECT_EQ(drainKeys(screen), extended(59) + extended(83) + extended(107)) << "F11 gives nothing";
}

// A long wait goes in 50 ms slices and ends after the slice in which a key
// is there; the key stays to be read. Waits under 100 ms always run out.
TEST_F(FramedScreen, SleepEndsAfterTheSliceInWhichAKeyArrives) {
    const struct { const char* name; int keyAt; int sleep; long long elapsed; } rows[] = {
        {"no key: the whole wait", -1, 400, 400}, {"key at 10 ms: end of the first slice", 10, 400, 50},
        {"key at 230 ms: end of the fifth slice", 230, 300, 250}, {"key waiting: at once", 0, 200, 0},
        {"key waiting, 100 ms: at once", 0, 100, 0}, {"key waiting, 99 ms: runs out", 0, 99, 99},
        {"0 ms", 0, 0, 0}, {"negative", -1, -20, 0},
    };
    for (const auto& r : rows) {
        drainKeys(screen);
        const long long start = input.time();
        if (r.keyAt == 0) input.typeText("k");
        if (r.keyAt > 0) input.typeText("k", start + r.keyAt);
        sleepMs(screen, r.sleep);
        EXPECT_EQ(input.time() - start, r.elapsed) << r.name;
        if (r.keyAt >= 0 && r.keyAt <= r.elapsed) {
            EXPECT_EQ(readKey(screen), "k") << r.name;
        }
        sleepMs(screen, 300);
    }
}

TEST_F(FramedScreen, MouseOutsideTheWindowReadsMinusOne) {
    auto read = [&] {
        const MouseReading m = readMouse(screen);
        return std::make_tuple(m.status != 0, m.x, m.y, m.wheel, m.buttons);
    };
    EXPECT_EQ(read(), std::make_tuple(true, -1, -1, -1, -1)) << "no pointer yet";
    input.movePointer(300, 200, 1 | 2);
    input.turnWheel(2);
    input.turnWheel(-1);
    EXPECT_EQ(read(), std::make_tuple(false, 300, 200, 1, 3));
    input.leaveWindow();
    EXPECT_EQ(read(), std::make_tuple(true, -1, -1, -1, -1));
}

// A press released again before the next poll still reads as pressed, once;
// a button held down reads as pressed on every poll.
TEST_F(FramedScreen, AClickBetweenTwoPollsIsReadByTheNextPoll) {
    input.movePointer(300, 200);
    readMouse(screen);
    input.movePointer(300, 200, 1, input.time() + 2);
    input.movePointer(300, 200, 0, input.time() + 4);
    sleepMs(screen, 10);
    EXPECT_EQ(readMouse(screen).buttons, 1) << "pressed and released since the last poll";
    EXPECT_EQ(readMouse(screen).buttons, 0) << "counted once";
    input.movePointer(300, 200, 2);
    EXPECT_EQ(readMouse(screen).buttons, 2);
    EXPECT_EQ(readMouse(screen).buttons, 2) << "held";
}

TEST_F(FramedScreen, WindowTitleKeepsTheFirst127Bytes) {
    setWindowTitle(screen, "Sonnensystem  24 Objekte von 24");
    EXPECT_EQ(input.title(), "Sonnensystem  24 Objekte von 24");
    setWindowTitle(screen, std::string(200, 'x'));
    EXPECT_EQ(screen.title, std::string(127, 'x'));
    EXPECT_EQ(input.title(), std::string(127, 'x'));
}

// The window shows only presented frames: drawing alone does not reach it;
// reading input presents when the window is ready for a frame, a wait always.
TEST_F(FramedScreen, OnlyPresentedFramesAreShown) {
    const struct { const char* what; bool windowReady; void (*point)(Screen&); bool shown; } rows[] = {
        {"drawing only", true, [](Screen&) {}, false}, {"readKey, window busy", false, [](Screen& s) { readKey(s); }, false},
        {"readKey, window ready", true, [](Screen& s) { readKey(s); }, true},
        {"readMouse, window ready", true, [](Screen& s) { readMouse(s); }, true},
        {"a wait, window busy", false, [](Screen& s) { sleepMs(s, 1); }, true},
        {"forced present", false, [](Screen& s) { presentFrame(s, true); }, true},
    };
    uint8_t colour = 1;
    for (const auto& row : rows) {
        presentFrame(screen, true);
        screen.shared.frameWanted = row.windowReady;
        plot(screen, 100, 100, ++colour);
        row.point(screen);
        EXPECT_EQ(screen.shared.shown[101 * screenWidth + 101] == colour, row.shown) << row.what;
    }
}
