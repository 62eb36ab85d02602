// Keys, key translation, the mouse and timed waits, through the screen's
// readers with scripted input on the headless backend's virtual clock.
#include "display/keys.h"
#include "screen_fixture.h"

using namespace display;

namespace {

std::string extended(int scanCode) { return {'\xff', static_cast<char>(scanCode)}; }

// Every key text waiting, oldest first.
std::string drainKeys(Screen& s) {
    std::string all;
    for (std::string key = readKey(s); !key.empty(); key = readKey(s)) all += key;
    return all;
}

}  // namespace

TEST(KeyTranslation, CharactersFunctionAndNavigationKeys) {
    EXPECT_EQ(keyText(keyCode({'a', 30})), "a");
    EXPECT_EQ(keyText(keyCode({'A', 30})), "A");
    EXPECT_EQ(keyText(keyCode({13, 28})), "\r");
    EXPECT_EQ(keyText(keyCode({8, 14})), "\b");
    EXPECT_EQ(keyText(keyCode({9, 15})), "\t");
    EXPECT_EQ(keyText(keyCode({27, 1})), "\x1b");
    EXPECT_EQ(keyText(keyCode({0x81, 26})), "\x81");
    for (int f = 0; f < 10; ++f) EXPECT_EQ(keyText(keyCode({-1, 59 + f})), extended(59 + f)) << "F" << f + 1;
    for (int nav : {71, 72, 73, 75, 76, 77, 79, 80, 81, 82, 83})
        EXPECT_EQ(keyText(keyCode({-1, nav})), extended(nav)) << nav;
}

TEST(KeyTranslation, DelAndCharacter127AreBothExtendedDel) {
    EXPECT_EQ(keyText(keyCode({-1, scan::del})), extended(83));
    EXPECT_EQ(keyText(keyCode({127, 0})), extended(83));
    EXPECT_EQ(keyText(keyCode({127, scan::del})), extended(83));
}

TEST(KeyTranslation, KeysWithoutCharacterOutside59To83GiveNothing) {
    EXPECT_EQ(keyCode({-1, scan::f11}), 0);
    EXPECT_EQ(keyCode({-1, scan::f12}), 0);
    EXPECT_EQ(keyCode({-1, 58}), 0);   // caps lock
    EXPECT_EQ(keyCode({-1, 0}), 0);
    EXPECT_EQ(keyCode({0, 57}), 0) << "the NUL character is no key";
    EXPECT_EQ(keyText(0), "");
}

TEST(KeyRing, HoldsFifteenAndLosesTheOldest) {
    KeyRing ring;
    EXPECT_EQ(ring.pop(), 0);
    for (int k = 1; k <= 15; ++k) ring.push(k);
    EXPECT_EQ(ring.size(), 15);
    ring.push(16);
    EXPECT_EQ(ring.size(), 15);
    for (int k = 2; k <= 16; ++k) EXPECT_EQ(ring.pop(), k);
    EXPECT_TRUE(ring.empty());
}

TEST_F(FramedScreen, TwentyKeysTypedWithoutReadingLeaveTheLastFifteen) {
    input.typeText("abcdefghijklmnopqrst");
    EXPECT_EQ(drainKeys(screen), "fghijklmnopqrst");
    EXPECT_EQ(readKey(screen), "") << "never waits";
}

TEST_F(FramedScreen, ReadKeyGivesExtendedKeysAsTwoBytes) {
    input.pressKey({-1, scan::f1});
    input.pressKey({-1, scan::f11});
    input.pressKey({-1, scan::up});
    input.pressKey({127, 0});
    input.pressCloseButton();
    EXPECT_EQ(readKey(screen), extended(59));
    EXPECT_EQ(readKey(screen), extended(72));
    EXPECT_EQ(readKey(screen), extended(83));
    EXPECT_EQ(readKey(screen), extended(107));
    EXPECT_EQ(readKey(screen), "");
}

TEST_F(FramedScreen, KeysScheduledLaterArriveOnlyWhenTheClockGetsThere) {
    input.typeText("k", 500);
    EXPECT_EQ(readKey(screen), "");
    sleepMs(screen, 90);
    EXPECT_EQ(readKey(screen), "");
    sleepMs(screen, 90);
    sleepMs(screen, 90);
    EXPECT_EQ(input.time(), 270);
    sleepMs(screen, 300);
    EXPECT_EQ(input.time(), 520) << "the 300 ms wait ended at the slice the key arrived in";
    EXPECT_EQ(readKey(screen), "k");
}

TEST_F(FramedScreen, SleepEndsAfterTheSliceInWhichAKeyArrivesAndKeepsTheKey) {
    input.typeText("q", 10);
    sleepMs(screen, 400);
    EXPECT_EQ(input.time(), 50);
    EXPECT_EQ(readKey(screen), "q");

    sleepMs(screen, 400);
    EXPECT_EQ(input.time(), 450) << "no key: the whole wait";

    input.typeText("w");
    sleepMs(screen, 200);
    EXPECT_EQ(input.time(), 450) << "a key already waiting ends the wait at once";
    EXPECT_EQ(readKey(screen), "w");
}

TEST_F(FramedScreen, ShortWaitsRunToTheEndDespiteKeys) {
    input.typeText("x");
    sleepMs(screen, 99);
    EXPECT_EQ(input.time(), 99);
    sleepMs(screen, 0);
    sleepMs(screen, -20);
    EXPECT_EQ(input.time(), 99);
    EXPECT_EQ(readKey(screen), "x");
}

TEST_F(FramedScreen, MouseOutsideTheWindowReadsMinusOne) {
    MouseReading m = readMouse(screen);  // no pointer yet
    EXPECT_NE(m.status, 0);
    EXPECT_EQ(m.x, -1);
    EXPECT_EQ(m.y, -1);
    EXPECT_EQ(m.wheel, -1);
    EXPECT_EQ(m.buttons, -1);

    input.movePointer(300, 200, 1 | 2);
    input.turnWheel(2);
    input.turnWheel(-1);
    m = readMouse(screen);
    EXPECT_EQ(m.status, 0);
    EXPECT_EQ(m.x, 300);
    EXPECT_EQ(m.y, 200);
    EXPECT_EQ(m.buttons, 3);
    EXPECT_EQ(m.wheel, 1);

    input.leaveWindow();
    m = readMouse(screen);
    EXPECT_NE(m.status, 0);
    EXPECT_EQ(m.x, -1);
    EXPECT_EQ(m.buttons, -1);
    EXPECT_EQ(m.wheel, -1);
}

TEST_F(FramedScreen, WindowTitleKeepsTheFirst127Bytes) {
    setWindowTitle(screen, "Sonnensystem  24 Objekte von 24");
    EXPECT_EQ(input.title(), "Sonnensystem  24 Objekte von 24");
    setWindowTitle(screen, std::string(200, 'x'));
    EXPECT_EQ(screen.title, std::string(127, 'x'));
    EXPECT_EQ(input.title(), std::string(127, 'x'));
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

// An idle screen waits for input instead of spinning: until the first key or
// mouse change, at most the given time.
TEST_F(FramedScreen, WaitingForInputEndsAtTheFirstChangeOrTheLimit) {
    struct Row {
        const char* what;
        int arrivesAfterMs;  // -1: nothing arrives
        long long waitedMs;
    };
    const Row rows[] = {{"nothing", -1, 10}, {"a key", 3, 3}, {"a pointer move", 9, 9}, {"too late", 11, 10}};
    for (const Row& row : rows) {
        drainKeys(screen);
        input.movePointer(10, 10);
        readMouse(screen);
        const long long start = input.time();
        if (std::string(row.what) == "a key") input.typeText("x", start + row.arrivesAfterMs);
        else if (row.arrivesAfterMs >= 0) input.movePointer(20, 20, 0, start + row.arrivesAfterMs);
        waitForInput(screen, 10);
        EXPECT_EQ(input.time() - start, row.waitedMs) << row.what;
        sleepMs(screen, 5);
    }
}

// The window shows only presented frames: drawing alone does not reach it;
// reading input presents when the window is ready for a frame, a wait always.
TEST_F(FramedScreen, OnlyPresentedFramesAreShown) {
    struct Row {
        const char* what;
        bool windowReady;
        void (*point)(Screen&);
        bool shown;
    };
    const Row rows[] = {
        {"drawing only", true, [](Screen&) {}, false},
        {"readKey, window busy", false, [](Screen& s) { readKey(s); }, false},
        {"readKey, window ready", true, [](Screen& s) { readKey(s); }, true},
        {"readMouse, window ready", true, [](Screen& s) { readMouse(s); }, true},
        {"a wait, window busy", false, [](Screen& s) { sleepMs(s, 1); }, true},
        {"forced present", false, [](Screen& s) { presentFrame(s, true); }, true},
    };
    uint8_t colour = 1;
    for (const Row& row : rows) {
        presentFrame(screen, true);
        screen.shared.frameWanted = row.windowReady;
        ++colour;
        plot(screen, 100, 100, colour);
        row.point(screen);
        const bool shown = screen.shared.shown[101 * screenWidth + 101] == colour;
        EXPECT_EQ(shown, row.shown) << row.what;
    }
}
