// The tolerant token reader: numbers and texts in every form a hand-written
// scenario file may use.
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "io/token_reader.h"

using io::parseNumber;
using io::TokenReader;

namespace {

// A reader over a text held in memory.
struct Stream {
    explicit Stream(std::string text)
        : storage(std::move(text)), file(fmemopen(storage.data(), storage.size(), "rb")) {}
    ~Stream() { std::fclose(file); }
    std::string storage;
    std::FILE* file;
};

}  // namespace

TEST(ParseNumber, DecimalFormsAndExponentLetters) {
    const std::pair<const char*, float> cases[] = {
        {"1", 1},          {"-3", -3},         {"+2.5", 2.5f},   {".5", 0.5f},
        {"5.", 5},         {"1.5e3", 1500},    {"1.5d3", 1500},  {"1.5D-3", 0.0015f},
        {"-4.476E+11", -4.476e11f},            {"12abc", 12},    {"1e", 1},
        {"1e+", 1},        {"", 0},            {"abc", 0},       {"-", 0},
        {"0x10", 0},       {"1,5", 1},         {"007", 7},       {"inf", HUGE_VALF},
        {"-Infinity", -HUGE_VALF},             {"5e-1", 0.5f},   {"0.05e1", 0.5f},
    };
    for (auto [token, value] : cases) EXPECT_EQ(parseNumber(token), value) << "'" << token << "'";
}

// Rounded once to the nearest float (ties to even), never first to double: around
// the midpoint between 1 and the next float, and at the ends of the float range.
TEST(ParseNumber, RoundsOnceToTheNearestFloat) {
    const float above1 = std::nextafter(1.f, 2.f);
    const float largest = std::numeric_limits<float>::max();
    const float smallest = std::numeric_limits<float>::denorm_min();
    const std::pair<const char*, float> cases[] = {
        {"1.000000059604644775390624999", 1},        // just below the midpoint
        {"1.000000059604644775390625", 1},           // the midpoint: to even
        {"1.00000005960464477539062500001", above1},  // just above it
        {"1.00000005960464477539062500001d0", above1},
        {"340282356779733661637539395458142568447", largest},  // below half an ulp over
        {"340282356779733661637539395458142568448", HUGE_VALF},  // half an ulp over: to even
        {"-1e39", -HUGE_VALF},
        {"1e99999999999999999999", HUGE_VALF},
        {"1.4e-45", smallest},
        {"7.1e-46", smallest},                       // over half the smallest: rounds up
        {"7e-46", 0},                                // under half of it: zero
        {"0.0000000000000000000000000000000000000000000001e99999999999999999999", HUGE_VALF},
        {"1000000000000000000000000000000000000000000000000e-99999999999999999", 0},
    };
    for (auto [token, value] : cases) EXPECT_EQ(parseNumber(token), value) << "'" << token << "'";
    EXPECT_TRUE(std::signbit(parseNumber("-1e-50")));
}

// Reads in the order given: '#' a number (compared as text), 't' a text.
TEST(TokenReader, ReadsNumbersAndTextsInTurn) {
    const struct { const char* name; std::string text; std::vector<std::pair<char, std::string>> reads; } rows[] = {
        {"numbers after blanks, commas and every line end", " 1   2,3\t,4\n5\r\n6\r7,,\n",
         {{'#', "1"}, {'#', "2"}, {'#', "3"}, {'#', "4"}, {'#', "5"}, {'#', "6"}, {'#', "7"}, {'#', "0"},
          {'#', "0"}, {'#', "0"}}},
        {"texts up to comma or line end", "  Sonne\nhat blanks  ,\"mit, Komma\"\n\"offen\r\nEnde",
         {{'t', "Sonne"}, {'t', "hat blanks  "}, {'t', "mit, Komma"}, {'t', "offen"}, {'t', "Ende"}, {'t', ""}}},
        {"number then name on one line", " 1             8             Mond\n 2            \"\"\n 3             x",
         {{'#', "1"}, {'#', "8"}, {'t', "Mond"}, {'#', "2"}, {'t', ""}, {'#', "3"}, {'t', "x"}}},
    };
    for (const auto& row : rows) {
        Stream s(row.text);
        TokenReader r(s.file);
        for (std::size_t k = 0; k < row.reads.size(); ++k) {
            const auto& [kind, expected] = row.reads[k];
            const std::string read = kind == 't' ? r.readText() : std::to_string(int(r.readNumber()));
            EXPECT_EQ(read, expected) << row.name << ", read " << k + 1;
        }
    }
}

TEST(TokenReader, OverlongTokensAreCutAndTheRestReadsOn) {
    const std::string digits = std::string(57, '0') + "1234567890" + std::string(23, '0') + "42";
    Stream s(digits + "\n" + std::string(5000, 'n') + "\n");
    TokenReader r(s.file);
    EXPECT_EQ(r.readNumber(), 1234567890.f);
    EXPECT_EQ(r.readNumber(), 42.f);
    EXPECT_EQ(r.readText().size(), 4096u);
    EXPECT_EQ(r.readText(), std::string(904, 'n'));
}
