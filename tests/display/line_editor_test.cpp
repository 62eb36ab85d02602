// The line editor: every key of its table, the prompt, the underline cursor
// and the wait between polls.
#include "display/keys.h"
#include "screen_fixture.h"

using namespace display;

namespace {

std::string extended(int scanCode) { return {'\xff', static_cast<char>(scanCode)}; }

}  // namespace

class LineEditor : public FramedScreen {
protected:
    // Types the keys (characters and two-byte extended texts) and runs
    // readLine. They arrive ten at a time, 25 ms apart, so that the key
    // buffer never overflows.
    std::string edit(const std::vector<std::string>& keys, std::string_view prompt = "",
                     bool questionMark = false) {
        long long at = input.time();
        int inBatch = 0;
        auto next = [&] {
            if (++inBatch == 10) {
                inBatch = 0;
                at += 25;
            }
            return at;
        };
        for (const std::string& key : keys) {
            if (key.size() == 2 && key[0] == '\xff') {
                input.pressKey({-1, static_cast<unsigned char>(key[1])}, next());
            } else {
                for (char c : key) input.typeText(std::string(1, c), next());
            }
        }
        return readLine(screen, prompt, questionMark);
    }
};

TEST_F(LineEditor, TypingAndEnter) {
    EXPECT_EQ(edit({"Planet.dat\r"}), "Planet.dat");
    EXPECT_EQ(edit({"abc\n"}), "abc") << "10 ends the line too";
    EXPECT_EQ(edit({"\r"}), "");
}

TEST_F(LineEditor, CursorMovesAndInsertsWithinTheLine) {
    EXPECT_EQ(edit({"abc", extended(scan::left), "X\r"}), "abXc");
    EXPECT_EQ(edit({"abc", extended(scan::home), "X", extended(scan::end), "Y\r"}), "XabcY");
    EXPECT_EQ(edit({"ab", extended(scan::right), extended(scan::right), "c\r"}), "abc")
        << "Right stops at the end";
    EXPECT_EQ(edit({"ab", extended(scan::home), extended(scan::left), "c\r"}), "cab") << "Left stops at the start";
}

TEST_F(LineEditor, BackspaceDelAndEsc) {
    EXPECT_EQ(edit({"abc\b\r"}), "ab");
    EXPECT_EQ(edit({"\babc", extended(scan::home), "\b\r"}), "abc") << "nothing left of the start";
    EXPECT_EQ(edit({"abc", extended(scan::home), extended(scan::del), "\r"}), "bc");
    EXPECT_EQ(edit({"abc", extended(scan::del), "\r"}), "abc") << "nothing under the cursor at the end";
    EXPECT_EQ(edit({"abc\x1b", "xy\r"}), "xy");
}

TEST_F(LineEditor, TabFillsToTheNextMultipleOfEight) {
    EXPECT_EQ(edit({"ab\tc\r"}), "ab      c");
    EXPECT_EQ(edit({"12345678\tx\r"}), "12345678        x");
}

TEST_F(LineEditor, UpAndDownMoveByOneScreenLineWhenTheLineIsThatLong) {
    const std::string longLine(200, 'a');
    EXPECT_EQ(edit({longLine, extended(scan::up), "X\r"}), std::string(72, 'a') + "X" + std::string(128, 'a'));
    EXPECT_EQ(edit({longLine, extended(scan::home), extended(scan::down), "X\r"}),
              std::string(128, 'a') + "X" + std::string(72, 'a'));
    EXPECT_EQ(edit({"short", extended(scan::up), "X\r"}), "shortX");
    EXPECT_EQ(edit({"short", extended(scan::home), extended(scan::down), "X\r"}), "Xshort");
}

TEST_F(LineEditor, OtherKeysAreIgnored) {
    input.pressKey({-1, scan::f1});
    input.pressKey({-1, scan::pageUp});
    input.pressCloseButton();
    EXPECT_EQ(edit({"a\x01" "b\r"}), "ab");
}

TEST_F(LineEditor, LineIsLimitedInLength) {
    // Fed in parts: the key buffer holds 15 keys at a time.
    for (int i = 0; i < 300; i += 10) input.typeText("0123456789", 25 * i);
    input.typeText("\r", 25 * 300);
    const std::string line = readLine(screen, "", false);
    EXPECT_EQ(line.size(), std::size_t(maxLineLength));
}

TEST_F(LineEditor, PromptQuestionMarkAndLineEndFollowTheText) {
    locate(screen, 5, 1);
    EXPECT_EQ(edit({"7\r"}, "Ziel", true), "7");
    EXPECT_EQ(screen.row, 6);
    EXPECT_EQ(screen.column, 1);
    locate(screen, 5, 1);
    printText(screen, "", false);
    // "Ziel? 7" on row 5.
    const std::vector<uint8_t> frame = copyFrame(screen);
    Screen expected;
    openScreen(expected);
    setViewport(expected, 1, 1, 1022, 766, 0, 1);
    setColor(expected, 10);
    locate(expected, 5, 1);
    printText(expected, "Ziel? 7 ", false);
    for (int y = 64; y < 80; ++y)
        for (int x = 0; x < 8 * 8; ++x)
            ASSERT_EQ(frame[y * 1024 + x], pixelAt(expected, x, y)) << x << "," << y;
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
    auto underlined = [](const std::vector<uint8_t>& f, int column) {
        const int y = 10 * 16 - 1, x0 = (column - 1) * 8;
        for (int x = x0; x < x0 + 8; ++x)
            if (f[y * 1024 + x] != 14) return false;
        return true;
    };
    // At first behind "ab" (column 22), after Left under the "b" (column 21).
    EXPECT_TRUE(underlined(seen.front().second, 22));
    EXPECT_FALSE(underlined(seen.front().second, 21));
    EXPECT_TRUE(underlined(seen.back().second, 21));
    EXPECT_FALSE(underlined(seen.back().second, 22));
    // Polls are 25 ms apart; the Enter at 200 ms ends it then.
    EXPECT_EQ(seen.front().first, 25);
    EXPECT_EQ(input.time(), 200);
    // Finished: no underline left.
    EXPECT_FALSE(underlined(copyFrame(screen), 21));
    EXPECT_FALSE(underlined(copyFrame(screen), 22));
}

TEST_F(LineEditor, ShorterLineIsRedrawnWithoutItsOldTail) {
    locate(screen, 3, 1);
    setColor(screen, 15, 0);
    EXPECT_EQ(edit({"abcdef\b\b\b\r"}), "abc");
    Screen expected;
    openScreen(expected);
    setViewport(expected, 1, 1, 1022, 766, 0, 1);
    setColor(expected, 15, 0);
    locate(expected, 3, 1);
    printText(expected, "abc", false);
    for (int y = 32; y < 48; ++y)
        for (int x = 0; x < 8 * 10; ++x) ASSERT_EQ(pixel(x, y), pixelAt(expected, x, y)) << x << "," << y;
}

TEST_F(LineEditor, LongLineOnTheBottomRowScrollsTheScreen) {
    locate(screen, 48, 120);
    EXPECT_EQ(edit({"0123456789abcdef\r"}), "0123456789abcdef");
    // The line started on row 48; two scrolls later (one for the line, one
    // for the line end) its start is on row 46.
    Screen expected;
    openScreen(expected);
    locate(expected, 46, 120);
    setColor(expected, 10);
    printText(expected, "0123456789abcdef", false);
    for (int y = 45 * 16; y < 46 * 16; ++y)
        for (int x = 119 * 8; x < 1024; ++x) ASSERT_EQ(pixel(x, y), pixelAt(expected, x, y)) << x << "," << y;
    for (int y = 46 * 16; y < 47 * 16; ++y)
        for (int x = 0; x < 8 * 8; ++x) ASSERT_EQ(pixel(x, y), pixelAt(expected, x, y)) << x << "," << y;
    EXPECT_EQ(screen.row, 48);
    EXPECT_EQ(screen.column, 1);
}
