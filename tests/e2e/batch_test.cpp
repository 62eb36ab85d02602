// orbits-batch as a user runs it: files, titles, exit codes and messages.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>

#include <gtest/gtest.h>

#include "io/scenario_file.h"
#include "orbits_version.h"
#include "scenarios/solar_system.h"
#include "sim/stats.h"
#include "support/plain_gravity.h"
#include "support/same_bits.h"
#include "support/temp_dir.h"
#include "world.h"

using testing_support::readFile;
using testing_support::TempDir;

namespace {

struct BatchRun {
    int status;
    std::string out, err;
};

BatchRun batch(const TempDir& dir, const std::string& arguments) {
    const std::string command = "cd '" + dir.path().string() + "' && '" ORBITS_BATCH_PATH "' " +
                                arguments + " >stdout.txt 2>stderr.txt </dev/null";
    const int raw = std::system(command.c_str());
    BatchRun r{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, readFile(dir.file("stdout.txt")),
          readFile(dir.file("stderr.txt"))};
    std::filesystem::remove(dir.file("stdout.txt"));
    std::filesystem::remove(dir.file("stderr.txt"));
    return r;
}

int lineCount(const std::string& text) {
    int n = 0;
    for (char c : text) n += c == '\n';
    return n;
}

}  // namespace

TEST(OrbitsBatch, SavesTheProgramStartSolarSystem) {
    TempDir dir;
    const BatchRun r = batch(dir, "--scenario 7 --save f.dat");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "title: Sonnensystem  24 Objekte von 24\n");
    auto w = std::make_unique<World>();
    scenarios::setUpSolarSystem(*w);
    EXPECT_EQ(readFile(dir.file("f.dat")), io::scenarioText(*w));
}

// Thousands of steps of the solar system, with its close passes and the
// merger of Charon into Pluto, equal the plain step in every float.
TEST(OrbitsBatch, ExactSaveAfterManyStepsMatchesThePlainStep) {
    TempDir dir;
    const BatchRun r = batch(dir, "--scenario 7 --steps 4000 --save run.dat --exact");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "title: Sonnensystem  23 Objekte von 24\n");

    auto start = std::make_unique<World>();
    scenarios::setUpSolarSystem(*start);
    auto plain = testing_support::toPlain(start->bodies, start->physics);
    for (int s = 0; s < 4000; ++s) testing_support::plainStep(plain);

    auto saved = std::make_unique<World>();
    ASSERT_TRUE(io::loadScenario(*saved, dir.file("run.dat")).ok);
    EXPECT_EQ(saved->clock.stepCount, 4001.f);
    // speed is not stored in files; copy it over so that every other field is compared.
    for (std::size_t i = 1; i < plain.body.size(); ++i) saved->bodies.speed[i] = plain.body[i].speed;
    EXPECT_TRUE(testing_support::sameAsPlain(saved->bodies, plain));
}

TEST(OrbitsBatch, LoadsAFileAndTitlesItWithItsName) {
    TempDir dir;
    ASSERT_EQ(batch(dir, "--scenario 7 --save Planet.dat").status, 0);
    const BatchRun r = batch(dir, "--load Planet.dat --steps 3 --save next.dat");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "title: Planet.dat  24 Objekte von 24\n");
    auto w = std::make_unique<World>();
    ASSERT_TRUE(io::loadScenario(*w, dir.file("next.dat")).ok);
    EXPECT_EQ(w->clock.stepCount, 4.f);
}

TEST(OrbitsBatch, RendersTheFrameOfOneDisplayPass) {
    TempDir dir;
    const BatchRun r = batch(dir, "--scenario 7 --steps 10 --render shot.png");
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string png = readFile(dir.file("shot.png"));
    ASSERT_GT(png.size(), 33u);
    EXPECT_EQ(png.substr(0, 8), "\x89PNG\r\n\x1a\n");
    // IHDR: width and height as big-endian 32-bit numbers.
    auto be32 = [&](std::size_t at) {
        return (unsigned char)png[at] << 24 | (unsigned char)png[at + 1] << 16 |
               (unsigned char)png[at + 2] << 8 | (unsigned char)png[at + 3];
    };
    EXPECT_EQ(be32(16), 1024);
    EXPECT_EQ(be32(20), 768);
    EXPECT_EQ(batch(dir, "--scenario 7 --render no/dir/shot.png").status, 2);
}

TEST(OrbitsBatch, BenchReportsRates) {
    TempDir dir;
    const BatchRun r = batch(dir, "--scenario 7 --steps 50 --bench");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("steps per second: "), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("pair interactions per second: "), std::string::npos) << r.out;
}

TEST(OrbitsBatch, BadRequestsGiveOneLineAndStatusTwo) {
    TempDir dir;
    testing_support::writeFile(dir.file("bad.dat"), " 1 2 3\n");
    const char* requests[] = {
        "",
        "--scenario",
        "--scenario 11",
        "--scenario seven",
        "--scenario 0 --save out.dat",
        "--scenario 7 --load bad.dat",
        "--load missing.dat --save out.dat",
        "--load bad.dat --save out.dat",
        "--scenario 7 --steps -1 --save out.dat",
        "--scenario 7 --exact",
        "--scenario 7 --bodies 801",
        "--scenario 1 --bodies 0 --save out.dat",
        "--scenario 5 --max-mass 9.9e-21 --save out.dat",
        "--scenario 5 --max-mass 1.01e12 --save out.dat",
        "--scenario 7 --frobnicate",
        "--scenario 7 --save no/such/dir/out.dat",
    };
    for (const char* arguments : requests) {
        const BatchRun r = batch(dir, arguments);
        EXPECT_EQ(r.status, 2) << arguments;
        EXPECT_EQ(r.out, "") << arguments;
        EXPECT_GE(lineCount(r.err), 1) << arguments;
        EXPECT_EQ(r.err.rfind("orbits-batch: ", 0), 0u) << arguments << ": " << r.err;
        EXPECT_FALSE(std::filesystem::exists(dir.file("out.dat"))) << arguments;
    }
}

// The command line: help and version, and every range taken at its edges.
// Runs: status 0 and the title. Parsed: the parser took it, whatever the run
// made of it (a missing file). Usage: one line
// naming the argument, with a hint to --help, status 2 and nothing on stdout.
TEST(OrbitsBatch, CommandLineTable) {
    enum Outcome { Runs, Parsed, Usage };
    struct Row {
        const char* name;
        const char* arguments;
        Outcome outcome;
        const char* named;  // Usage: the text the message must name
    };
    const Row rows[] = {
        {"no arguments", "", Usage, "--scenario"},
        {"unknown flag", "--scenario 7 --frobnicate", Usage, "--frobnicate"},
        {"stray word", "--scenario 7 extra", Usage, "extra"},
        {"value missing", "--scenario 7 --steps", Usage, "--steps"},
        {"both sources", "--scenario 7 --load x.dat", Usage, "--load"},
        {"exact without save", "--scenario 7 --exact", Usage, "--exact"},
        {"exact with save", "--scenario 7 --exact --save e.dat", Runs, ""},
        {"repeated flag, last wins", "--scenario 3 --scenario 7", Runs, ""},
        {"value after =", "--scenario=7", Runs, ""},
        {"stats", "--scenario 7 --stats", Runs, ""},
        {"gravity plain", "--scenario 7 --steps 2 --gravity plain", Runs, ""},
        {"gravity other", "--scenario 7 --gravity quick", Usage, "--gravity"},
        {"scenario 0", "--scenario 0", Usage, "--scenario"},
        {"scenario 1", "--scenario 1 --seed 1", Runs, ""},
        {"scenario 10", "--scenario 10 --seed 1", Runs, ""},
        {"scenario 11", "--scenario 11", Usage, "--scenario"},
        {"scenario octal-looking", "--scenario 07", Runs, ""},
        {"scenario hex", "--scenario 0x7", Usage, "--scenario"},
        {"bodies 0", "--scenario 7 --bodies 0", Usage, "--bodies"},
        {"bodies 1", "--scenario 7 --bodies 1", Runs, ""},
        {"bodies 800", "--scenario 7 --bodies 800", Runs, ""},
        {"bodies 801", "--scenario 7 --bodies 801", Usage, "--bodies"},
        {"max-mass 0", "--scenario 7 --max-mass 0", Usage, "--max-mass"},
        {"max-mass below 1e-20", "--scenario 7 --max-mass 9.9999999e-21", Usage, "--max-mass"},
        {"max-mass 1e-20", "--scenario 7 --max-mass 1e-20", Runs, ""},
        {"max-mass 1e12", "--scenario 7 --max-mass 1e12", Runs, ""},
        {"max-mass above 1e12", "--scenario 7 --max-mass 1.0000001e12", Usage, "--max-mass"},
        {"max-mass nan", "--scenario 7 --max-mass nan", Usage, "--max-mass"},
        {"max-mass inf", "--scenario 7 --max-mass inf", Usage, "--max-mass"},
        {"seed -1", "--scenario 7 --seed -1", Usage, "--seed"},
        {"seed 0", "--scenario 7 --seed 0", Runs, ""},
        {"seed 2^64-1", "--scenario 7 --seed 18446744073709551615", Runs, ""},
        {"seed 2^64", "--scenario 7 --seed 18446744073709551616", Usage, "--seed"},
        {"steps -1", "--scenario 7 --steps -1", Usage, "--steps"},
        {"steps 0", "--scenario 7 --steps 0", Runs, ""},
        {"steps 10^12", "--load missing.dat --steps 1000000000000", Parsed, ""},
        {"steps 10^12+1", "--load missing.dat --steps 1000000000001", Usage, "--steps"},
        {"steps 1e3", "--scenario 7 --steps 1e3", Usage, "--steps"},
    };
    TempDir dir;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const BatchRun r = batch(dir, row.arguments);
        const bool usageLine = r.err.find("--help") != std::string::npos;
        switch (row.outcome) {
            case Runs:
                EXPECT_EQ(r.status, 0) << r.err;
                EXPECT_EQ(r.out.rfind("title: ", 0), 0u) << r.out;
                break;
            case Parsed:
                EXPECT_FALSE(usageLine) << r.err;
                break;
            case Usage:
                EXPECT_EQ(r.status, 2);
                EXPECT_EQ(r.out, "");
                EXPECT_EQ(lineCount(r.err), 1) << r.err;
                EXPECT_EQ(r.err.rfind("orbits-batch: ", 0), 0u) << r.err;
                EXPECT_NE(r.err.find(row.named), std::string::npos) << r.err;
                EXPECT_TRUE(usageLine) << r.err;
                break;
        }
    }
}

// --help and --version answer on stdout with status 0, whatever else is given.
TEST(OrbitsBatch, HelpAndVersion) {
    const std::string version = std::string("orbits-batch ") + orbitsVersion + "\n";
    struct Row {
        const char* arguments;
        const char* starts;  // the start of stdout; empty: the version line
    };
    const Row rows[] = {
        {"--help", "orbits-batch runs"},          {"-h", "orbits-batch runs"},
        {"--scenario 99 --help", "orbits-batch runs"}, {"--version", ""},
        {"--frobnicate --version", ""},
    };
    TempDir dir;
    for (const Row& row : rows) {
        const BatchRun r = batch(dir, row.arguments);
        EXPECT_EQ(r.status, 0) << row.arguments << ": " << r.err;
        EXPECT_EQ(r.err, "") << row.arguments;
        if (*row.starts) {
            EXPECT_EQ(r.out.rfind(row.starts, 0), 0u) << row.arguments << ": " << r.out;
            for (const char* flag : {"--scenario", "--load", "--bodies", "--max-mass", "--seed", "--steps",
                                     "--save", "--exact", "--render", "--bench", "--stats", "--gravity", "--version"}) {
                EXPECT_NE(r.out.find(flag), std::string::npos) << row.arguments << ": help lacks " << flag;
            }
        } else {
            EXPECT_EQ(r.out, version) << row.arguments;
        }
    }
}

// What orbits-batch says about files it loads and saves: one line each,
// a warning (and status 0) only for a file that ends early.
TEST(OrbitsBatch, MessagesOnFiles) {
    TempDir dir;
    ASSERT_EQ(batch(dir, "--scenario 7 --save whole.dat").status, 0);
    const std::string whole = readFile(dir.file("whole.dat"));
    std::size_t third = 0;
    for (int k = 0; k < 3; ++k) third = whole.find('\n', third) + 1;
    testing_support::writeFile(dir.file("short.dat"), whole.substr(0, third));
    testing_support::writeFile(dir.file("empty.dat"), "");
    ASSERT_EQ(mkfifo(dir.file("fifo.dat").c_str(), 0600), 0);
    std::filesystem::create_symlink("/dev/null", dir.file("null.dat"));
    struct Case {
        const char* arguments;
        int status;
        const char* err;
    };
    const Case cases[] = {
        {"--load whole.dat", 0, ""},
        {"--load short.dat", 0, "orbits-batch: short.dat ends after 2 of 24 bodies; the rest are left empty\n"},
        {"--load empty.dat", 2, "orbits-batch: empty.dat is empty\n"},
        {"--load fifo.dat", 2, "orbits-batch: fifo.dat is a FIFO, not a scenario file\n"},
        {"--scenario 7 --save null.dat", 2,
         "orbits-batch: cannot save to null.dat: /dev/null is a device and is left as it is\n"},
        {"--scenario 7 --save fifo.dat", 2,
         "orbits-batch: cannot save to fifo.dat: fifo.dat is a FIFO and is left as it is\n"},
    };
    for (const Case& c : cases) {
        const BatchRun r = batch(dir, c.arguments);
        EXPECT_EQ(r.status, c.status) << c.arguments;
        EXPECT_EQ(r.err, c.err) << c.arguments;
    }
}

// The edges of the settings are accepted; a seed reproduces a whole swarm
// file byte for byte, the clock does not.
TEST(OrbitsBatch, SettingsAtTheirEdgesAndSeeds) {
    TempDir dir;
    for (const char* arguments : {"--scenario 1 --bodies 1", "--scenario 10 --bodies 800",
                                  "--scenario 5 --max-mass 1e-20 --seed 3", "--scenario 6 --max-mass 1e12"}) {
        EXPECT_EQ(batch(dir, arguments).status, 0) << arguments;
    }
    for (const std::string seed : {" --seed 9", ""}) {
        std::string files[2];
        for (std::string& file : files) {
            ASSERT_EQ(batch(dir, "--scenario 5 --steps 3 --save s.dat --exact" + seed).status, 0);
            file = readFile(dir.file("s.dat"));
        }
        EXPECT_EQ(files[0] == files[1], !seed.empty()) << seed;
    }
}

// --stats on the Jupiter system: Jupiter's momentum and its moons' nearly
// cancel (4.75e27 against -4.62e27 kg m/s), and a short run keeps the energy.
TEST(OrbitsBatch, StatsOfTheJupiterSystem) {
    TempDir dir;
    const BatchRun r = batch(dir, "--scenario 8 --stats --steps 100");
    ASSERT_EQ(r.status, 0) << r.err;
    sim::Stats s;
    double change = 1;
    const int read = std::sscanf(
        r.out.c_str() + r.out.find("before:"),
        "before: live %d, mass %lg kg, momentum (%lg, %lg, %lg) kg m/s, energy %lg J, "
        "centre of mass (%lg, %lg, %lg) m\n%*[^\n]\nrelative energy change: %lg",
        &s.live, &s.mass, &s.px, &s.py, &s.pz, &s.energy, &s.cx, &s.cy, &s.cz, &change);
    ASSERT_EQ(read, 10) << r.out;
    EXPECT_EQ(s.live, 5);
    EXPECT_NEAR(s.mass, 1.901e27, 0.001e27);
    EXPECT_NEAR(s.py, 0.13e27, 0.01e27);
    EXPECT_EQ(s.px + s.pz + s.cy + s.cz, 0);
    EXPECT_GT(s.cx, 0);
    EXPECT_LT(s.energy, 0);
    EXPECT_LT(std::fabs(change), 1e-5);
}
