// Keys, mouse, waits, the title and the line editor, scripted on the headless backend's virtual clock.
#include <tuple>

#include "display/keys.h"
#include "screen_fixture.h"

using namespace display;

namespace {
std::string extended(int scanCode) { return {'\xff', static_cast<char>(scanCode)}; }
}  // namespace

// Characters stand for themselves, other keys count from F1 (59) to Del (83); 127 is Del. Fifteen keys wait.
// The title keeps 127 bytes.
TEST_F(FramedScreen, KeyTextsTheKeyRingAndTheTitle) {
    const struct { const char* name; int character, scan; std::string text; } rows[] = {
        {"letter", 'a', 30, "a"}, {"u umlaut", 0x81, 26, "\x81"}, {"caps lock (58)", -1, 58, ""},
        {"F1 (59)", -1, 59, extended(59)}, {"Del (83)", -1, 83, extended(83)}, {"84", -1, 84, ""},
        {"character 127 is Del", 127, 0, extended(83)}, {"NUL is no key", 0, 57, ""},
    };
    for (const auto& r : rows) EXPECT_EQ(keyText(keyCode({r.character, r.scan})), r.text) << r.name;
    input.typeText("abcdefghijklmnopqrst");
    std::string keys;
    for (std::string key = readKey(screen); !key.empty(); key = readKey(screen)) keys += key;
    EXPECT_EQ(keys, "fghijklmnopqrst");
    setWindowTitle(screen, std::string(127, 'x') + "y");
    EXPECT_EQ(std::tie(screen.title, input.title()), std::make_tuple(std::string(127, 'x'), std::string(127, 'x')));
}

// A wait goes in 50 ms slices and ends after the slice a key came in (left to read); under 100 ms it runs out.
TEST_F(FramedScreen, SleepEndsAfterTheSliceInWhichAKeyArrives) {
    const struct { int keyAt, sleep; long long elapsed; } rows[] = {{10, 400, 50}, {50, 400, 50}, {51, 400, 100}, {0, 99, 99}};
    for (const auto& r : rows) {
        const long long start = input.time();
        input.typeText("k", start + r.keyAt);
        sleepMs(screen, r.sleep);
        EXPECT_EQ(std::make_tuple(input.time() - start, readKey(screen)), std::make_tuple(r.elapsed, "k")) << r.keyAt;
    }
}

// A click between two polls reads as pressed once; outside the window every field reads -1.
TEST_F(FramedScreen, MouseReadings) {
    input.movePointer(300, 200, 0);
    input.movePointer(300, 200, 1, input.time() + 2);
    input.movePointer(300, 200, 0, input.time() + 4);
    sleepMs(screen, 10);
    EXPECT_EQ(readMouse(screen).buttons, 1) << "pressed and released since the last poll";
    EXPECT_EQ(readMouse(screen).buttons, 0) << "counted once";
    input.leaveWindow();
    const MouseReading m = readMouse(screen);
    EXPECT_EQ(std::make_tuple(m.status != 0, m.x, m.y, m.wheel, m.buttons), std::make_tuple(true, -1, -1, -1, -1));
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
    const std::string home = extended(scan::home), up = extended(scan::up), down = extended(scan::down);
    auto a = [](int n) { return std::string(std::size_t(n), 'a'); };
    const struct { const char* name; std::vector<std::string> keys; std::string line; } rows[] = {
        {"Left, Backspace, Home, Del, End",
         {"abcd", extended(scan::left), "\b", home, extended(scan::del), extended(scan::end), "X\r"}, "bdX"},
        {"Tab to column 8", {"ab\tc\r"}, "ab      c"}, {"Tab at 8 goes to 16", {"12345678\tx\r"}, "12345678        x"},
        {"Up from exactly 128", {a(128), up, "X\r"}, "X" + a(128)}, {"Up from 127 stays", {a(127), up, "X\r"}, a(127) + "X"},
        {"Down to exactly the end", {a(128), home, down, "X\r"}, a(128) + "X"},
        {"Down past the end stays", {a(127), home, down, "X\r"}, "X" + a(127)},
        {"at most 255 characters", {a(250), "bcdefgh\r"}, a(250) + "bcdef"},
    };
    for (const auto& r : rows) EXPECT_EQ(edit(r.keys), r.line) << r.name;
    // The prompt and "? " come first; a shorter line leaves no tail of the longer one.
    locate(screen, 5, 1);
    EXPECT_EQ(edit({"7abc\b\b\b\r"}, "Ziel", true), "7");
    EXPECT_TRUE(showsText(5, 1, "Ziel? 7   "));
}
