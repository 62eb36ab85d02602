// The line editor: every key of its table, the prompt, the underline cursor,
// the redrawn tail and scrolling at the bottom of the screen.
#include <tuple>

#include "display/keys.h"
#include "screen_fixture.h"
#include "support/picture.h"

using namespace display;
using testing_support::showsText;

namespace {

std::string extended(int scanCode) { return {'\xff', static_cast<char>(scanCode)}; }
const std::string left = extended(scan::left), right = extended(scan::right), home = extended(scan::home),
                  end = extended(scan::end), up = extended(scan::up), down = extended(scan::down),
                  del = extended(scan::del);

}  // namespace

class LineEditor : public FramedScreen {
protected:
    // Types the keys (characters and two-byte extended texts) and runs
    // readLine. They arrive ten at a time, 25 ms apart, so that the key
    // buffer never overflows.
    std::string edit(const std::vector<std::string>& keys, std::string_view prompt = "", bool questionMark = false) {
        long long at = input.time();
        int inBatch = 0;
        for (const std::string& key : keys) {
            if (key.size() == 2 && key[0] == '\xff') {
                input.pressKey({-1, static_cast<unsigned char>(key[1])}, at);
                at += ++inBatch % 10 == 0 ? 25 : 0;
                continue;
            }
            for (char c : key) {
                input.typeText(std::string(1, c), at);
                at += ++inBatch % 10 == 0 ? 25 : 0;
            }
        }
        return readLine(screen, prompt, questionMark);
    }
};

TEST_F(LineEditor, EveryKeyOfTheTable) {
    auto a = [](int n) { return std::string(std::size_t(n), 'a'); };
    const struct { const char* name; std::vector<std::string> keys; std::string line; } rows[] = {
        {"typing and Enter", {"Planet.dat\r"}, "Planet.dat"}, {"10 ends the line too", {"abc\n"}, "abc"},
        {"empty line", {"\r"}, ""}, {"Left inserts before the last", {"abc", left, "X\r"}, "abXc"},
        {"Home and End", {"abc", home, "X", end, "Y\r"}, "XabcY"}, {"Backspace", {"abc\b\r"}, "ab"},
        {"Right stops at the end", {"ab", right, right, "c\r"}, "abc"},
        {"Left stops at the start", {"ab", home, left, "c\r"}, "cab"},
        {"Backspace at the start does nothing", {"\babc", home, "\b\r"}, "abc"},
        {"Del under the cursor", {"abc", home, del, "\r"}, "bc"}, {"Del at the end", {"abc", del, "\r"}, "abc"},
        {"Esc clears", {"abc\x1b", "xy\r"}, "xy"}, {"Tab to column 8", {"ab\tc\r"}, "ab      c"},
        {"Tab at 8 goes to 16", {"12345678\tx\r"}, "12345678        x"},
        {"Up goes back one screen row", {a(200), up, "X\r"}, a(72) + "X" + a(128)},
        {"Up from exactly 128", {a(128), up, "X\r"}, "X" + a(128)}, {"Up from 127 stays", {a(127), up, "X\r"}, a(127) + "X"},
        {"Down goes on one screen row", {a(200), home, down, "X\r"}, a(128) + "X" + a(72)},
        {"Down to exactly the end", {a(128), home, down, "X\r"}, a(128) + "X"},
        {"Down past the end stays", {a(127), home, down, "X\r"}, "X" + a(127)},
        {"other keys are ignored", {"a\x01", extended(scan::f1), extended(scan::pageUp), "b\r"}, "ab"},
    };
    for (const auto& r : rows) EXPECT_EQ(edit(r.keys), r.line) << r.name;
}

TEST_F(LineEditor, LineHoldsAtMost255Characters) {
    // Fed in parts: the key buffer holds 15 keys at a time.
    for (int i = 0; i < 300; i += 10) input.typeText("0123456789", 25 * i);
    input.typeText("\r", 25 * 300);
    EXPECT_EQ(readLine(screen, "", false).size(), std::size_t(maxLineLength));
}

// The prompt and "? " come first, the line ends with a line end; a shorter
// line leaves no tail of the longer one.
TEST_F(LineEditor, PromptQuestionMarkTailAndLineEnd) {
    locate(screen, 5, 1);
    EXPECT_EQ(edit({"7abc\b\b\b\r"}, "Ziel", true), "7");
    EXPECT_TRUE(showsText(screen, 5, 1, "Ziel? 7   "));
    EXPECT_EQ(std::tie(screen.row, screen.column), std::make_tuple(6, 1));
}

TEST_F(LineEditor, CursorIsAnUnderlineOnTheBottomRowOfItsCell) {
    setColor(screen, 14, 0);
    locate(screen, 10, 20);
    input.typeText("ab");
    input.pressKey({-1, scan::left}, 100);
    input.typeText("\r", 200);
    std::vector<std::pair<long long, std::vector<uint8_t>>> seen;
    input.whileWaiting([&] { seen.emplace_back(input.time(), copyFrame(screen)); });
    readLine(screen, "", false);
    ASSERT_FALSE(seen.empty());
    // Columns 21 and 22 underlined: behind "ab" at first, under the "b" after Left, none after Enter.
    auto underlined = [](const std::vector<uint8_t>& f) {
        auto cell = [&](int column) {
            for (int x = (column - 1) * 8; x < column * 8; ++x)
                if (f[(10 * 16 - 1) * 1024 + x] != 14) return false;
            return true;
        };
        return std::make_pair(cell(21), cell(22));
    };
    EXPECT_EQ(underlined(seen.front().second), std::make_pair(false, true));
    EXPECT_EQ(underlined(seen.back().second), std::make_pair(true, false));
    EXPECT_EQ(underlined(copyFrame(screen)), std::make_pair(false, false));
    EXPECT_EQ(seen.front().first, 25) << "polls are 25 ms apart";
    EXPECT_EQ(input.time(), 200) << "the Enter at 200 ms ends it then";
}

// Started at row 48, column 120, the line scrolls once for its second row
// and once for the line end: it starts on row 46.
TEST_F(LineEditor, LongLineOnTheBottomRowScrollsTheScreen) {
    locate(screen, 48, 120);
    EXPECT_EQ(edit({"0123456789abcdef\r"}), "0123456789abcdef");
    EXPECT_TRUE(showsText(screen, 46, 120, "012345678"));
    EXPECT_TRUE(showsText(screen, 47, 1, "9abcdef "));
    EXPECT_EQ(std::tie(screen.row, screen.column), std::make_tuple(48, 1));
}
