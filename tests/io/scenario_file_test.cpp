// Scenario files: the exact text the writer produces, what the reader
// accepts, and what it refuses without touching the running state.
#include <cmath>
#include <filesystem>
#include <sstream>
#include <tuple>
#include <vector>

#include <sys/stat.h>

#include "io/file_fixtures.h"

using namespace file_fixtures;

namespace {

// A header with the given time step, live count and body count, and body lines.
std::string fileWith(const std::string& timeStep, const std::string& live, const std::string& count, int lines = 2) {
    std::string text = " 7 5e9 0 0 0 0 0 -4e11 1 6.67e-11 " + timeStep + " 0 0 1 -1 0 " + live + " " + count + "\n";
    for (int i = 1; i <= lines; ++i) text += " 1 2 3 0 0 0 1 1 1 1 1 K" + std::to_string(i) + "\n";
    return text;
}

}  // namespace

// Numbers as the screen prints them, each padded to the next 14-column zone;
// the cleared entry 19 has an empty name, quoted so that it reads back.
TEST(ScenarioFile, WritesTheProgramStartSolarSystemInPrintZones) {
    auto zones = [](std::vector<std::string> fields) {
        std::string line;
        for (const std::string& f : fields) line += f + std::string(14 - f.size() % 14, ' ');
        return line;
    };
    auto w = solarSystem();
    w->bodies.x[1] = -1.234568e-08f;  // thirteen characters, so one blank
    std::vector<std::string> lines;
    std::istringstream in(io::scenarioText(*w));
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    ASSERT_EQ(lines.size(), 25u);
    EXPECT_EQ(lines[0], zones({" 1", " 5e+09", " 0", " 0", " 0", " 0", " 0", "-4.476e+11", " 1", " 6.67e-11", " 720",
                               " 0", " 0", " 1", "-1", " 0", " 24"}) + " 24");
    EXPECT_EQ(lines[1], zones({"-1.234568e-08", " 0", " 0", " 72", " 11520", " 0", " 1392000", " 696000", " 14",
                               " 1.98892e+30", " 1"}) + "Sonne");
    EXPECT_EQ(lines[19], zones(std::vector<std::string>(11, " 0")) + "\"\"");
}

// Exact digits read back bit for bit, awkward names and values that are not
// finite included; seven digits round the stored values.
TEST(ScenarioFile, ReadsBackWhatItWrote) {
    TempDir dir;
    auto original = solarSystem(700);
    original->observer.wi_x = 1.0f / 3;
    original->reservedNumber = 42;
    auto& b = original->bodies;
    std::tie(original->physics.G, b.x[3], b.vz[4]) = std::tuple(NAN, -HUGE_VALF, HUGE_VALF);
    const std::string names[] = {"Halley, der Komet", " Leer davor", "", "\tTab", "Zitat\"innen",
                                 "Blanks hinten  ", "\x81\x84 cp437"};
    for (int k = 0; k < 7; ++k) b.name[2 + k] = names[k];
    ASSERT_TRUE(io::saveScenario(*original, dir.file("exact.dat"), io::exactDigits).ok);
    const auto back = loaded(dir.file("exact.dat"));
    EXPECT_EQ(state(*back), state(*original));
    b.x[2] = 123456792.f;
    ASSERT_TRUE(io::saveScenario(*original, dir.file("p.dat")).ok);
    EXPECT_EQ(loaded(dir.file("p.dat"))->bodies.x[2], 123456800.f);
}

// One scenario written by hand in every form the reader takes loads as its
// plain form: any blanks, tabs or commas between fields (an empty field is 0),
// every kind of line end, d exponents, names quoted or not (an open quote ends
// with the line, what follows a closing one is dropped).
TEST(ScenarioFile, HandWrittenFormsLoadAsThePlainForm) {
    const std::string plain = " 7 5e9 0 0 0 0 0 -4e11 1 6.67e-11 720 0 0 1 -1 0 2 2\n"
                              " 1500 -0.0015 0.5 0 0 0 1 1 1 1 1 Sonne\n 1 2 3 0 0 0 1 1 1 1 1 \"Erde, Mond\"\n";
    const std::pair<const char*, std::string> variants[] = {
        {"commas and tabs", "7,5e9,0,0\t0\t\t0 ,0,-4e11,1,6.67e-11,720,0,0,1,-1,0,2,2\n"
                            "1500,-0.0015,0.5,0,0,0,1,1,1,1,1,Sonne\n1\t2\t3,0,0,0,1,1,1,1,1,\"Erde, Mond\"\n"},
        {"empty fields", "7, 5e9 ,,,,, ,-4e11,1,6.67e-11,720,,,1,-1,,2,2\n"
                         "1500,-0.0015,0.5,,,,1,1,1,1,1,   Sonne\n1,2,3,,,,1,1,1,1,1,\"Erde, Mond\"\n"},
        {"line ends", "7\n5e9\r\n0\r0 0 0 0 -4e11 1 6.67e-11 720 0 0 1 -1 0 2 2\r\n"
                      "1500 -0.0015 0.5 0 0 0 1 1 1 1 1 \"Sonne\"xy\r1 2 3 0 0 0 1 1 1 1 1 \"Erde, Mond"},
        {"exponents and signs", " +7 5d9 0 0 0 0 0 -4D11 1 6.67d-11 720 0 0 1 -1 0 2 2\n"
                                " 1.5e3 -1.5D-3 .5 0 0 0 1. 1 1 1 1 Sonne\n 1 2 3 0 0 0 1 1 1 1 1 \"Erde, Mond\"\n"},
    };
    TempDir dir;
    writeFile(dir.file("plain.dat"), plain);
    const std::string reference = state(*loaded(dir.file("plain.dat")));
    for (const auto& [label, variant] : variants) {
        writeFile(dir.file("hand.dat"), variant);
        EXPECT_EQ(state(*loaded(dir.file("hand.dat"))), reference) << label;
    }
}

// Files that are refused leave the state as it was and say why; the
// header's bounds are inclusive.
TEST(ScenarioFile, RefusesWhatItCannotLoadAndAcceptsTheBounds) {
    TempDir dir;
    std::filesystem::create_directory(dir.file("folder.dat"));
    ASSERT_EQ(mkfifo(dir.file("fifo.dat").c_str(), 0600), 0);
    std::filesystem::create_symlink("/dev/null", dir.file("null.dat"));
    // text: written unless empty (then the name stands for itself); reason: null when it loads.
    const struct { const char* name; std::string text; const char* reason; float step = 720; int live = 2; } rows[] = {
        {"missing.dat", "", "cannot open"},     {"folder.dat", "", "is a directory"},
        {"fifo.dat", "", "is a FIFO"},          {"null.dat", "", "is a device"},
        {"blank.dat", " \t\r\n\n", "is empty"}, {"words.dat", "Dies ist keine Szenariodatei\n", "announces 0 bodies"},
        {"801.dat", fileWith("720", "1", "800.6"), "announces 800.6 bodies"},
        {"800.dat", fileWith("720", "800", "800", 800), nullptr, 720, 800},
        {"1.dat", fileWith("720", "1", "1", 1), nullptr, 720, 1},
        {"0.dat", fileWith("720", "0", "0.4"), "announces 0.4 bodies"},
        {"inf.dat", fileWith("720", "1", "inf"), "bodies"},
        {"step-10000.6.dat", fileWith("10000.6", "2", "2"), "time step of 10000.6 s"},
        {"step-10000.5.dat", fileWith("10000.5", "2", "2"), nullptr, 10000.5f},
        {"step-nan.dat", fileWith("nan", "2", "2"), "time step"}, {"step-inf.dat", fileWith("-inf", "2", "2"), "step"},
        {"step--720.dat", fileWith("-720", "2", "2"), nullptr, -720},
        {"live--0.6.dat", fileWith("720", "-0.6", "2"), "counts -0.6 existing bodies of 2"},
        {"live--0.5.dat", fileWith("720", "-0.5", "2"), nullptr, 720, 0},
        {"live-2.5.dat", fileWith("720", "2.5", "2"), nullptr, 720, 2},
        {"live-2.6.dat", fileWith("720", "2.6", "2"), "existing bodies"},
        {"live-3.5.dat", fileWith("720", "3.5", "3.4", 3), "counts 3.5 existing bodies of 3"},
        {"live-nan.dat", fileWith("720", "nan", "2"), "existing bodies"},
    };
    for (const auto& row : rows) {
        if (!row.text.empty()) writeFile(dir.file(row.name), row.text);
        auto w = solarSystem(10);
        const std::string before = state(*w);
        const io::FileResult r = io::loadScenario(*w, dir.file(row.name));
        EXPECT_EQ(r.ok, !row.reason) << row.name << ": " << r.reason;
        if (!row.reason) {
            EXPECT_EQ(std::make_pair(w->physics.timeStep, w->bodies.liveCount), std::make_pair(row.step, row.live))
                << row.name;
            continue;
        }
        EXPECT_TRUE(r.reason.find(dir.file(row.name)) != r.reason.npos && r.reason.find(row.reason) != r.reason.npos)
            << row.name << ": " << r.reason;
        EXPECT_EQ(state(*w), before) << row.name;
    }
}

// A file that ends early fills what is missing with zeros and says so; a
// whole one, with or without its last line end, says nothing.
TEST(ScenarioFile, ShortFileFillsTheMissingBodiesWithZeros) {
    TempDir dir;
    const std::string whole = fileWith("720", "2", "2");
    const struct { const char* name; std::string text; const char* warning; } rows[] = {
        {"short.dat", " 7 5e9 0 0 0 1 2 3 4 6.67e-11 60 0 0 -1 1 9 3 3\n 1 2 3 4 5 6 7 8 9 10 1 Erster\n 5",
         " ends after 1 of 3 bodies; the rest are left empty"},
        {"one short.dat", fileWith("720", "2", "2", 1), " ends after 1 of 2 bodies; the rest are left empty"},
        {"whole.dat", whole, ""}, {"no line end.dat", whole.substr(0, whole.size() - 1), ""},
    };
    for (const auto& row : rows) {
        writeFile(dir.file(row.name), row.text);
        auto w = solarSystem();
        std::string warning = "old";
        ASSERT_TRUE(io::loadScenario(*w, dir.file(row.name), &warning).ok) << row.name;
        EXPECT_EQ(warning, *row.warning ? dir.file(row.name) + row.warning : "") << row.name;
        EXPECT_EQ(w->bodies.name[4], "Erde") << "entries above the file's keep their contents";
        if (std::string(row.name) != "short.dat") continue;
        const sim::Bodies& b = w->bodies;
        EXPECT_EQ(std::make_tuple(w->clock.stepCount, w->physics.timeStep, w->target.targetSwitch, w->reservedNumber,
                                  b.liveCount, b.name[1], b.mass[1], b.x[2]),
                  std::make_tuple(7.f, 60.f, -1.f, 9.f, 3, std::string("Erster"), 10.f, 5.f));
        const auto empty = std::make_tuple(0.f, 0.f, 0.f, std::string());
        for (int i : {2, 3}) EXPECT_EQ(std::make_tuple(b.active[i], b.mass[i], b.diameter[i], b.name[i]), empty) << i;
    }
}
