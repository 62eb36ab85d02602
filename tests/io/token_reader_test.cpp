// The tolerant token reader: numbers and texts in every form a hand-written
// scenario file may use.
#include <cmath>
#include <cstdio>
#include <string>
#include <utility>

#include <gtest/gtest.h>

#include "io/token_reader.h"

using io::parseNumber;
using io::TokenReader;

namespace {

// A reader over a text held in memory.
struct Stream {
    explicit Stream(const std::string& text)
        : file(fmemopen(const_cast<char*>(storage.assign(text).data()), text.size(), "rb")) {}
    ~Stream() { std::fclose(file); }
    std::string storage;
    std::FILE* file;
};

}  // namespace

TEST(ParseNumber, DecimalFormsAndExponentLetters) {
    const std::pair<const char*, double> cases[] = {
        {"1", 1},         {"-3", -3},       {"+2.5", 2.5},   {".5", 0.5},
        {"5.", 5},        {"1.5e3", 1500},  {"1.5d3", 1500}, {"1.5D-3", 0.0015},
        {"-4.476E+11", -4.476e11},          {"12abc", 12},   {"1e", 1},
        {"1e+", 1},       {"", 0},          {"abc", 0},      {"-", 0},
        {"0x10", 0},      {"1,5", 1},       {"007", 7},
    };
    for (auto [token, value] : cases) EXPECT_EQ(parseNumber(token), value) << "'" << token << "'";
}

TEST(ParseNumber, NonFiniteWordsAsTheWriterWritesThem) {
    EXPECT_EQ(parseNumber("inf"), HUGE_VAL);
    EXPECT_EQ(parseNumber("-inf"), -HUGE_VAL);
    EXPECT_TRUE(std::isnan(parseNumber("nan")));
    EXPECT_TRUE(std::isnan(parseNumber("-nan")));
    EXPECT_TRUE(std::signbit(parseNumber("-nan")));
    EXPECT_EQ(parseNumber("1e999"), HUGE_VAL);
}

TEST(TokenReader, NumbersSeparatedByBlanksCommasAndEveryLineEnd) {
    Stream s(" 1   2,3\t,4\n5\r\n6\r7,,\n");
    TokenReader r(s.file);
    for (double expected : {1, 2, 3, 4, 5, 6, 7, 0}) EXPECT_EQ(r.readNumber(), expected);
    // The end of the file reads as zeros for ever.
    EXPECT_EQ(r.readNumber(), 0);
    EXPECT_EQ(r.readNumber(), 0);
}

TEST(TokenReader, TextsUpToCommaOrLineEnd) {
    Stream s("  Sonne\nhat blanks  ,\"mit, Komma\"\n\"offen\r\nEnde");
    TokenReader r(s.file);
    EXPECT_EQ(r.readText(), "Sonne");
    EXPECT_EQ(r.readText(), "hat blanks  ");
    EXPECT_EQ(r.readText(), "mit, Komma");
    EXPECT_EQ(r.readText(), "offen");
    EXPECT_EQ(r.readText(), "Ende");
    EXPECT_EQ(r.readText(), "");
}

TEST(TokenReader, NumberThenNameOnOneLine) {
    Stream s(" 1             8             Mond\n 2            \"\"\n 3             x");
    TokenReader r(s.file);
    EXPECT_EQ(r.readNumber(), 1);
    EXPECT_EQ(r.readNumber(), 8);
    EXPECT_EQ(r.readText(), "Mond");
    EXPECT_EQ(r.readNumber(), 2);
    EXPECT_EQ(r.readText(), "");
    EXPECT_EQ(r.readNumber(), 3);
    EXPECT_EQ(r.readText(), "x");
}

TEST(TokenReader, OverlongTokensAreCutAndTheRestReadsOn) {
    const std::string digits(100, '7');
    Stream s(digits + "\n" + std::string(5000, 'n') + "\n");
    TokenReader r(s.file);
    EXPECT_EQ(r.readNumber(), std::stod(std::string(67, '7')));
    EXPECT_EQ(r.readNumber(), std::stod(std::string(33, '7')));
    EXPECT_EQ(r.readText().size(), 4096u);
    EXPECT_EQ(r.readText(), std::string(904, 'n'));
}
