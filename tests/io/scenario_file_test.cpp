// Scenario files: the exact text the writer produces, what the reader
// accepts, and what it refuses without touching the running state.
#include <cmath>
#include <filesystem>
#include <sys/stat.h>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "io/scenario_file.h"
#include "scenarios/solar_system.h"
#include "sim/clock.h"
#include "sim/gravity.h"
#include "support/same_bits.h"
#include "support/temp_dir.h"
#include "world.h"

using testing_support::readFile;
using testing_support::sameBodies;
using testing_support::TempDir;
using testing_support::writeFile;

namespace {

std::unique_ptr<World> solarSystem(int steps = 0) {
    auto w = std::make_unique<World>();
    scenarios::setUpSolarSystem(*w);
    for (int s = 0; s < steps; ++s) {
        sim::advanceClock(w->clock, w->physics.timeStep);
        sim::gravityStep(w->bodies, w->physics, w->scenarioTitle, w->windowTitle);
    }
    return w;
}

// A field as it stands in a print zone: the text, then blanks to 14 columns.
std::string zone(const std::string& text) { return text + std::string(14 - text.size(), ' '); }

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) result.push_back(line);
    return result;
}

// Every header value and body field, bit for bit: the exact text prints
// every float with the digits that read back to it.
void expectSameState(const World& a, const World& b) {
    EXPECT_EQ(io::scenarioText(a, io::exactDigits), io::scenarioText(b, io::exactDigits));
    EXPECT_EQ(a.bodies.liveCount, b.bodies.liveCount);
    EXPECT_TRUE(sameBodies(a.bodies, b.bodies, sim::usedEntries(a.bodies)));
}

// The text with every occurrence of what replaced by with.
std::string replaced(std::string text, const std::string& what, const std::string& with) {
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + with.size())) {
        text.replace(at, what.size(), with);
    }
    return text;
}

// Each line's blank-separated fields joined by separator instead of print
// zones (the names used here have no blanks).
std::string rejoin(const std::string& text, const std::string& separator) {
    std::string result;
    for (const std::string& line : lines(text)) {
        std::istringstream fields(line);
        std::string field, joined;
        while (fields >> field) joined += (joined.empty() ? "" : separator) + field;
        result += joined + "\n";
    }
    return result;
}

std::unique_ptr<World> loaded(const std::string& path) {
    auto w = std::make_unique<World>();
    const io::FileResult r = io::loadScenario(*w, path);
    EXPECT_TRUE(r.ok) << r.reason;
    return w;
}

}  // namespace

TEST(ScenarioFile, WritesTheProgramStartSolarSystem) {
    const auto text = io::scenarioText(*solarSystem());
    const auto rows = lines(text);
    ASSERT_EQ(rows.size(), 25u);
    EXPECT_EQ(text.back(), '\n');
    EXPECT_EQ(text.find('\r'), std::string::npos);
    EXPECT_EQ(rows[0], zone(" 1") + zone(" 5e+09") + zone(" 0") + zone(" 0") + zone(" 0") +
                           zone(" 0") + zone(" 0") + zone("-4.476e+11") + zone(" 1") +
                           zone(" 6.67e-11") + zone(" 720") + zone(" 0") + zone(" 0") +
                           zone(" 1") + zone("-1") + zone(" 0") + zone(" 24") + " 24");
    EXPECT_EQ(rows[1], zone(" 0") + zone(" 0") + zone(" 0") + zone(" 72") + zone(" 11520") +
                           zone(" 0") + zone(" 1392000") + zone(" 696000") + zone(" 14") +
                           zone(" 1.98892e+30") + zone(" 1") + "Sonne");
    EXPECT_EQ(rows[4], zone(" 1.492e+11") + zone(" 0") + zone(" 0") + zone(" 0") +
                           zone("-2.1456e+07") + zone(" 0") + zone(" 1.2756e+07") +
                           zone(" 6378000") + zone(" 1") + zone(" 5.98e+24") + zone(" 1") + "Erde");
    // The cleared entry 19 has an empty name, quoted so that it reads back.
    std::string cleared;
    for (int k = 0; k < 11; ++k) cleared += zone(" 0");
    EXPECT_EQ(rows[19], cleared + "\"\"");
    for (std::size_t i = 1; i < rows.size(); ++i) EXPECT_GE(rows[i].size(), 154u) << i;
}

TEST(ScenarioFile, NumbersFillPrintZonesOfFourteen) {
    auto w = std::make_unique<World>();
    w->bodies.bodyCount = 1;
    w->bodies.name[1] = "X";
    const std::pair<float, std::string> cases[] = {
        {1.f, " 1" + std::string(12, ' ')},     {-3.f, "-3" + std::string(12, ' ')},
        {720.f, " 720" + std::string(10, ' ')}, {1.492e11f, " 1.492e+11" + std::string(4, ' ')},
        {-1.234568e-08f, "-1.234568e-08 "},
    };
    for (const auto& [value, text] : cases) {
        w->bodies.x[1] = value;
        EXPECT_EQ(lines(io::scenarioText(*w))[1].substr(0, 14), text) << value;
    }
}

// Exact digits read back bit for bit, awkward names included.
TEST(ScenarioFile, ExactFilesReadBackBitForBit) {
    TempDir dir;
    auto original = solarSystem(700);
    original->observer.wi_x = 1.0f / 3;
    original->reservedNumber = 42;
    const std::string names[] = {"Halley, der Komet", " Leer davor", "", "\tTab", "Zitat\"innen",
                                 "Blanks hinten  ", "\x81\x84 cp437"};
    for (int k = 0; k < 7; ++k) original->bodies.name[2 + k] = names[k];
    ASSERT_TRUE(io::saveScenario(*original, dir.file("exact.dat"), io::exactDigits).ok);
    const auto back = loaded(dir.file("exact.dat"));
    expectSameState(*original, *back);
}

TEST(ScenarioFile, SevenDigitsRoundTheStoredValues) {
    TempDir dir;
    auto w = solarSystem();
    w->bodies.x[2] = 123456792.f;
    ASSERT_TRUE(io::saveScenario(*w, dir.file("p.dat")).ok);
    EXPECT_NE(readFile(dir.file("p.dat")).find(" 1.234568e+08 "), std::string::npos);
    EXPECT_EQ(loaded(dir.file("p.dat"))->bodies.x[2], 123456800.f);
}

TEST(ScenarioFile, HandWrittenFormsLoadAsTheWrittenFile) {
    TempDir dir;
    auto original = solarSystem(50);
    const std::string text = io::scenarioText(*original, io::exactDigits);
    writeFile(dir.file("written.dat"), text);
    const auto reference = loaded(dir.file("written.dat"));

    const std::pair<const char*, std::string> variants[] = {
        {"commas", rejoin(text, ",")},
        {"one number per line", rejoin(text, "\n")},
        {"tabs", rejoin(text, "\t\t")},
        {"d exponents", replaced(replaced(text, "e+", "d+"), "e-", "D-")},
        {"CRLF", replaced(text, "\n", "\r\n")},
        {"CR", replaced(text, "\n", "\r")},
    };
    for (const auto& [label, variant] : variants) {
        SCOPED_TRACE(label);
        ASSERT_NE(variant, text);
        writeFile(dir.file("hand.dat"), variant);
        expectSameState(*reference, *loaded(dir.file("hand.dat")));
    }
}

// A header with the given time step, live count and body count, and the
// body lines for that count.
std::string fileWith(const std::string& timeStep, const std::string& live, const std::string& count,
                     int lines = 2) {
    std::string text = " 7 5e9 0 0 0 0 0 -4e11 1 6.67e-11 " + timeStep + " 0 0 1 -1 0 " + live + " " + count + "\n";
    for (int i = 1; i <= lines; ++i) text += " 1 2 3 0 0 0 1 1 1 1 1 K" + std::to_string(i) + "\n";
    return text;
}

TEST(ScenarioFile, RefusedFilesLeaveTheStateUnchanged) {
    TempDir dir;
    std::filesystem::create_directory(dir.file("folder.dat"));
    ASSERT_EQ(mkfifo(dir.file("fifo.dat").c_str(), 0600), 0);
    struct Case {
        const char* name;
        std::string text;  // written unless the name exists already
        const char* reason;
    };
    const Case cases[] = {
        {"missing.dat", "", "cannot open"},
        {"folder.dat", "", "is a directory"},
        {"fifo.dat", "", "is a FIFO"},
        {"null.dat", "", "is a device"},
        {"empty.dat", "", "is empty"},
        {"blank.dat", " \t\r\n\n", "is empty"},
        {"900.dat", fileWith("720", "1", "900"), "announces 900 bodies"},
        {"minus.dat", fileWith("720", "0", "-5"), "bodies"},
        {"zero.dat", fileWith("720", "0", "0"), "bodies"},
        {"801.dat", fileWith("720", "1", "800.6"), "bodies"},
        {"nan.dat", fileWith("720", "1", "nan"), "bodies"},
        {"inf.dat", fileWith("720", "1", "inf"), "bodies"},
        {"words.dat", "Dies ist keine Szenariodatei\n", "bodies"},
        {"step-10000.6.dat", fileWith("10000.6", "2", "2"), "time step of 10000.6 s"},
        {"step-3e9.dat", fileWith("3e9", "2", "2"), "time step"},
        {"step-inf.dat", fileWith("inf", "2", "2"), "time step"},
        {"step--inf.dat", fileWith("-inf", "2", "2"), "time step"},
        {"step-nan.dat", fileWith("nan", "2", "2"), "time step"},
        {"live--1.dat", fileWith("720", "-1", "2"), "counts -1 existing bodies of 2"},
        {"live--0.6.dat", fileWith("720", "-0.6", "2"), "existing bodies"},
        {"live-3.dat", fileWith("720", "3", "2"), "existing bodies"},
        {"live-3.5.dat", fileWith("720", "3.5", "3.4", 3), "existing bodies"},
        {"live--3e9.dat", fileWith("720", "-3e9", "2"), "existing bodies"},
        {"live-nan.dat", fileWith("720", "nan", "2"), "existing bodies"},
    };
    for (const Case& c : cases) {
        if (c.text.size() || std::string(c.name) == "empty.dat") writeFile(dir.file(c.name), c.text);
    }
    std::filesystem::create_symlink("/dev/null", dir.file("null.dat"));

    auto w = solarSystem(10);
    const std::string before = io::scenarioText(*w, io::exactDigits);
    for (const Case& c : cases) {
        const io::FileResult r = io::loadScenario(*w, dir.file(c.name));
        EXPECT_FALSE(r.ok) << c.name;
        EXPECT_NE(r.reason.find(c.name), std::string::npos) << r.reason;
        EXPECT_NE(r.reason.find(c.reason), std::string::npos) << c.name << ": " << r.reason;
        EXPECT_EQ(io::scenarioText(*w, io::exactDigits), before) << c.name;
    }
}

// The bounds of the header's counts and time step, each just inside.
TEST(ScenarioFile, HeaderBoundsAreInclusive) {
    TempDir dir;
    struct Case {
        const char* label;
        std::string text;
        float timeStep;
        int live;
    };
    const Case cases[] = {
        {"step at the bound", fileWith("10000", "2", "2"), 10000, 2},
        {"step rounding to the bound (halves to even)", fileWith("10000.5", "2", "2"), 10000.5f, 2},
        {"negative step", fileWith("-720", "2", "2"), -720, 2},
        {"no body left", fileWith("720", "0", "2"), 720, 0},
        {"live count rounding to 0", fileWith("720", "-0.5", "2"), 720, 0},
        {"live count rounding to the body count", fileWith("720", "2.5", "2"), 720, 2},
        {"live count at a rounded body count", fileWith("720", "3", "3.4", 3), 720, 3},
        {"live count of 800", fileWith("720", "800", "800", 800), 720, 800},
    };
    for (const Case& c : cases) {
        writeFile(dir.file("f.dat"), c.text);
        auto w = solarSystem();
        const io::FileResult r = io::loadScenario(*w, dir.file("f.dat"));
        EXPECT_TRUE(r.ok) << c.label << ": " << r.reason;
        EXPECT_EQ(w->physics.timeStep, c.timeStep) << c.label;
        EXPECT_EQ(w->bodies.liveCount, c.live) << c.label;
    }
}

TEST(ScenarioFile, ShortFileFillsTheMissingBodiesWithZeros) {
    TempDir dir;
    writeFile(dir.file("short.dat"),
              " 7 5e9 0 0 0 1 2 3 4 6.67e-11 60 0 0 -1 1 9 3 3\n 1 2 3 4 5 6 7 8 9 10 1 Erster\n 5");
    auto w = solarSystem();
    std::string warning;
    ASSERT_TRUE(io::loadScenario(*w, dir.file("short.dat"), &warning).ok);
    EXPECT_EQ(warning, dir.file("short.dat") + " ends after 1 of 3 bodies; the rest are left empty");
    const sim::Bodies& b = w->bodies;
    EXPECT_EQ(w->clock.stepCount, 7.f);
    EXPECT_EQ(w->physics.timeStep, 60.f);
    EXPECT_EQ(w->target.targetSwitch, -1.f);
    EXPECT_EQ(w->reservedNumber, 9.f);
    EXPECT_EQ(b.liveCount, 3);
    EXPECT_EQ(b.name[1], "Erster");
    EXPECT_EQ(b.mass[1], 10.f);
    EXPECT_EQ(b.x[2], 5.f);
    for (int i : {2, 3}) {
        EXPECT_EQ(b.active[i], 0.f);
        EXPECT_EQ(b.mass[i], 0.f);
        EXPECT_EQ(b.diameter[i], 0.f);
        EXPECT_EQ(b.name[i], "");
    }
    EXPECT_EQ(b.name[4], "Erde") << "entries above the file's bodies keep their contents";

    // One body short warns too.
    writeFile(dir.file("one short.dat"), fileWith("720", "2", "2", 1));
    ASSERT_TRUE(io::loadScenario(*w, dir.file("one short.dat"), &warning).ok);
    EXPECT_EQ(warning, dir.file("one short.dat") + " ends after 1 of 2 bodies; the rest are left empty");

    // A whole file, also one whose last line has no line end, warns of nothing.
    for (const bool lineEnd : {true, false}) {
        std::string text = fileWith("720", "2", "2");
        if (!lineEnd) text.pop_back();
        writeFile(dir.file("whole.dat"), text);
        ASSERT_TRUE(io::loadScenario(*w, dir.file("whole.dat"), &warning).ok);
        EXPECT_EQ(warning, "") << "line end " << lineEnd;
    }
}

TEST(ScenarioFile, NonFiniteValuesAndOddCountsLoadAsWritten) {
    TempDir dir;
    writeFile(dir.file("odd.dat"),
              " 1 5e9 0 0 0 0 0 0 1 nan 720 0 0 1 -1 0 2.5 2.5\n inf -inf nan 0 0 0 1 1 1 1 1 A\n");
    auto w = std::make_unique<World>();
    ASSERT_TRUE(io::loadScenario(*w, dir.file("odd.dat")).ok);
    EXPECT_TRUE(std::isnan(w->physics.G));
    EXPECT_EQ(w->bodies.liveCount, 2) << "halves round to even";
    EXPECT_EQ(sim::usedEntries(w->bodies), 2);
    EXPECT_TRUE(std::isinf(w->bodies.x[1]) && w->bodies.x[1] > 0);
    EXPECT_TRUE(std::isinf(w->bodies.y[1]) && w->bodies.y[1] < 0);
    EXPECT_TRUE(std::isnan(w->bodies.z[1]));
    ASSERT_TRUE(io::saveScenario(*w, dir.file("again.dat")).ok);
    const auto back = loaded(dir.file("again.dat"));
    EXPECT_TRUE(std::isinf(back->bodies.x[1]) && std::isnan(back->bodies.z[1]));
}

// A sound header followed by one enormous line reads no further than the table.
TEST(ScenarioFile, OverlongLineIsCut) {
    TempDir dir;
    writeFile(dir.file("long.dat"), " 1 5e9 0 0 0 0 0 0 1 6.67e-11 720 0 0 1 -1 0 800 800\n" +
                                        std::string(10 << 20, 'x') + "\n");
    auto w = std::make_unique<World>();
    ASSERT_TRUE(io::loadScenario(*w, dir.file("long.dat")).ok);
    EXPECT_EQ(w->bodies.x[1], 0.f);
    EXPECT_EQ(sim::usedEntries(w->bodies), 800);
}
