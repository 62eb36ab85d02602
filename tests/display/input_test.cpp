// Keys, mouse, waits, presenting and the line editor, scripted on the headless backend's virtual clock.
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

// Characters stand for themselves, other keys count from F1 (59) to Del (83); 127 is Del. Fifteen keys wait.
TEST_F(FramedScreen, KeyTextsAndTheKeyRing) {
    const struct { const char* name; int character, scan; std::string text; } rows[] = {
        {"letter", 'a', 30, "a"}, {"Enter", 13, 28, "\r"}, {"u umlaut", 0x81, 26, "\x81"}, {"caps lock (58)", -1, 58, ""},
        {"F1 (59)", -1, 59, extended(59)}, {"Del (83)", -1, 83, extended(83)}, {"84", -1, 84, ""},
        {"F11", -1, scan::f11, ""}, {"character 127 is Del", 127, 0, extended(83)}, {"NUL is no key", 0, 57, ""},
    };
    for (const auto& r : rows) EXPECT_EQ(keyText(keyCode({r.character, r.scan})), r.text) << r.name;
    input.typeText("abcdefghijklmnopqrst");
    EXPECT_EQ(drainKeys(screen), "fghijklmnopqrst");
    input.pressKey({-1, scan::f1});
    input.pressCloseButton();
    EXPECT_EQ(drainKeys(screen), extended(59) + extended(107));
}

// A wait goes in 50 ms slices and ends after the slice a key came in (left to read); under 100 ms it runs out.
TEST_F(FramedScreen, SleepEndsAfterTheSliceInWhichAKeyArrives) {
    const struct { const char* name; int keyAt; int sleep; long long elapsed; } rows[] = {
        {"no key: the whole wait", -1, 400, 400}, {"key at 10 ms: end of the first slice", 10, 400, 50},
        {"key at 50 ms: end of the first slice", 50, 400, 50}, {"key at 51 ms: end of the second", 51, 400, 100},
        {"key waiting, 100 ms: at once", 0, 100, 0}, {"key waiting, 99 ms: runs out", 0, 99, 99}, {"negative", -1, -20, 0},
    };
    for (const auto& r : rows) {
        drainKeys(screen);
        const long long start = input.time();
        if (r.keyAt >= 0) input.typeText("k", start + r.keyAt);
        sleepMs(screen, r.sleep);
        EXPECT_EQ(std::make_tuple(input.time() - start, readKey(screen)), std::make_tuple(r.elapsed, r.keyAt >= 0 ? "k" : ""))
            << r.name;
        sleepMs(screen, 300);
    }
}

// Outside the window every field reads -1; a click between two polls reads as pressed once.
TEST_F(FramedScreen, MouseReadings) {
    auto read = [&] {
        const MouseReading m = readMouse(screen);
        return std::make_tuple(m.status != 0, m.x, m.y, m.wheel, m.buttons);
    };
    EXPECT_EQ(read(), std::make_tuple(true, -1, -1, -1, -1)) << "no pointer yet";
    input.movePointer(300, 200, 1 | 2);
    input.turnWheel(2);
    input.turnWheel(-1);
    EXPECT_EQ(read(), std::make_tuple(false, 300, 200, 1, 3));
    input.movePointer(300, 200, 0);
    readMouse(screen);
    input.movePointer(300, 200, 1, input.time() + 2);
    input.movePointer(300, 200, 0, input.time() + 4);
    sleepMs(screen, 10);
    EXPECT_EQ(readMouse(screen).buttons, 1) << "pressed and released since the last poll";
    EXPECT_EQ(readMouse(screen).buttons, 0) << "counted once";
    input.leaveWindow();
    EXPECT_EQ(read(), std::make_tuple(true, -1, -1, -1, -1));
}

// The title keeps 127 bytes. Reading input presents the frame when the window is ready, a wait always.
TEST_F(FramedScreen, TitleAndPresentedFrames) {
    setWindowTitle(screen, std::string(127, 'x') + "y");
    EXPECT_EQ(std::tie(screen.title, input.title()), std::make_tuple(std::string(127, 'x'), std::string(127, 'x')));
    const struct { const char* what; bool windowReady; void (*point)(Screen&); bool shown; } rows[] = {
        {"drawing only", true, [](Screen&) {}, false}, {"readKey, window busy", false, [](Screen& s) { readKey(s); }, false},
        {"readKey, window ready", true, [](Screen& s) { readKey(s); }, true},
        {"readMouse, window ready", true, [](Screen& s) { readMouse(s); }, true},
        {"a wait, window busy", false, [](Screen& s) { sleepMs(s, 1); }, true},
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

// Each row types its keys (characters or extended texts), ten every 25 ms so none overflow, and reads a line.
TEST_F(FramedScreen, LineEditorTakesEveryKeyOfItsTableAndThePrompt) {
    auto edit = [&](const std::vector<std::string>& keys, std::string_view prompt = "", bool questionMark = false) {
        long long at = input.time();
        int typed = 0;
        for (const std::string& key : keys)
            for (std::size_t k = 0; k < key.size(); ++k, at += ++typed % 10 == 0 ? 25 : 0) {
                if (key.size() == 2 && key[0] == '\xff') input.pressKey({-1, static_cast<unsigned char>(key[++k])}, at);
                else input.typeText(key.substr(k, 1), at);
            }
        return readLine(screen, prompt, questionMark);
    };
    const std::string left = extended(scan::left), right = extended(scan::right), home = extended(scan::home),
                      end = extended(scan::end), up = extended(scan::up), down = extended(scan::down);
    auto a = [](int n) { return std::string(std::size_t(n), 'a'); };
    const struct { const char* name; std::vector<std::string> keys; std::string line; } rows[] = {
        {"10 ends the line too", {"abc\n"}, "abc"}, {"Left inserts before the last", {"abc", left, "X\r"}, "abXc"},
        {"Home and End", {"abc", home, "X", end, "Y\r"}, "XabcY"}, {"Backspace", {"abc\b\r"}, "ab"},
        {"Right stops at the end", {"ab", right, right, "c\r"}, "abc"},
        {"Left stops at the start", {"ab", home, left, "c\r"}, "cab"},
        {"Backspace at the start does nothing", {"\babc", home, "\b\r"}, "abc"},
        {"Del under the cursor", {"abc", home, extended(scan::del), "\r"}, "bc"}, {"Esc clears", {"abc\x1b", "xy\r"}, "xy"},
        {"Tab to column 8", {"ab\tc\r"}, "ab      c"}, {"Tab at 8 goes to 16", {"12345678\tx\r"}, "12345678        x"},
        {"Up goes back one screen row", {a(200), up, "X\r"}, a(72) + "X" + a(128)},
        {"Up from exactly 128", {a(128), up, "X\r"}, "X" + a(128)}, {"Up from 127 stays", {a(127), up, "X\r"}, a(127) + "X"},
        {"Down to exactly the end", {a(128), home, down, "X\r"}, a(128) + "X"},
        {"Down past the end stays", {a(127), home, down, "X\r"}, "X" + a(127)},
        {"other keys are ignored", {"a\x01", extended(scan::f1), extended(scan::pageUp), "b\r"}, "ab"},
        {"at most 255 characters", {a(250), "bcdefgh\r"}, a(250) + "bcdef"},
    };
    for (const auto& r : rows) EXPECT_EQ(edit(r.keys), r.line) << r.name;
    // The prompt and "? " come first; a shorter line leaves no tail of the longer one.
    locate(screen, 5, 1);
    EXPECT_EQ(edit({"7abc\b\b\b\r"}, "Ziel", true), "7");
    EXPECT_TRUE(showsText(5, 1, "Ziel? 7   "));
    EXPECT_EQ(std::tie(screen.row, screen.column), std::make_tuple(6, 1));
}
