// orbits-batch as a user runs it: files, titles, exit codes and messages.
#include <cstdlib>

#include <sys/stat.h>
#include <sys/wait.h>

#include "io/file_fixtures.h"
#include "orbits_version.h"
#include "support/plain_gravity.h"
#include "support/same_bits.h"

using namespace file_fixtures;

namespace {

struct BatchRun { int status; std::string out, err; };

BatchRun batch(const TempDir& dir, const std::string& arguments) {
    const std::string command = "cd '" + dir.path().string() + "' && '" ORBITS_BATCH_PATH "' " + arguments +
                                " >stdout.txt 2>stderr.txt </dev/null";
    const int raw = std::system(command.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, readFile(dir.file("stdout.txt")), readFile(dir.file("stderr.txt"))};
}

}  // namespace

// 4000 steps of the solar system, close passes and Charon's merger into Pluto
// included, equal the plain step in every float; the file holds the clock.
TEST(OrbitsBatch, ExactSaveAfterManyStepsMatchesThePlainStep) {
    TempDir dir;
    const BatchRun r = batch(dir, "--scenario 7 --steps 4000 --save run.dat --exact");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "title: Sonnensystem  23 Objekte von 24\n");
    const auto start = solarSystem();
    auto plain = testing_support::toPlain(start->bodies, start->physics);
    for (int s = 0; s < 4000; ++s) testing_support::plainStep(plain);
    auto saved = loaded(dir.file("run.dat"));
    EXPECT_EQ(saved->clock.stepCount, 4001.f);
    // speed is not stored in files; copy it over so that every other field is compared.
    for (std::size_t i = 1; i < plain.body.size(); ++i) saved->bodies.speed[i] = plain.body[i].speed;
    EXPECT_TRUE(testing_support::sameAsPlain(saved->bodies, plain));
}

// Every option at the edges of its range, and files in and out. Runs: status 0,
// stdout holding the text named (--help and --version answer so whatever else
// is given), stderr empty or the warning given. Usage: one line naming the
// text, with a hint to --help, status 2, no stdout. Fails: the same without
// the hint. Parsed: the parser took it (the file is missing).
TEST(OrbitsBatch, CommandLineTable) {
    TempDir dir;
    ASSERT_EQ(batch(dir, "--scenario 7 --save whole.dat").status, 0);
    const std::string whole = readFile(dir.file("whole.dat"));
    EXPECT_EQ(whole, io::scenarioText(*solarSystem()));
    std::size_t third = 0;
    for (int k = 0; k < 3; ++k) third = whole.find('\n', third) + 1;
    writeFile(dir.file("short.dat"), whole.substr(0, third));
    ASSERT_EQ(mkfifo(dir.file("fifo.dat").c_str(), 0600), 0);
    enum Outcome { Runs, Parsed, Usage, Fails };
    const std::string version = std::string("orbits-batch ") + orbitsVersion + "\n";
    const struct { const char* arguments; Outcome outcome; std::string named; const char* warning = ""; } rows[] = {
        {"", Usage, "--scenario"},                                {"--scenario 7 --frobnicate", Usage, "--frobnicate"},
        {"--scenario 7 extra", Usage, "extra"},                   {"--scenario 7 --steps", Usage, "--steps"},
        {"--scenario 7 --load x.dat", Usage, "--load"},           {"--scenario 7 --exact", Usage, "--exact"},
        {"--scenario 7 --exact --save e.dat", Runs, "title: Sonnensystem  24 Objekte von 24\n"},
        {"--scenario 3 --scenario 7", Runs, "title: Sonnensystem "},
        {"--scenario=7 --steps 50 --bench", Runs, "pair interactions per second: "},
        {"--scenario 7 --steps 2 --gravity plain", Runs, "title: "},
        {"--scenario 7 --gravity quick", Usage, "--gravity"},
        {"--scenario 0", Usage, "--scenario"},                    {"--scenario 11", Usage, "--scenario"},
        {"--scenario 1 --seed 1 --bodies 1", Runs, "  1 Objekte von 1\n"},
        {"--scenario 10 --seed 1 --bodies 800", Runs, " Objekte von 800\n"},
        {"--scenario 07", Runs, "title: Sonnensystem "},          {"--scenario 0x7", Usage, "--scenario"},
        {"--scenario 7 --bodies 0", Usage, "--bodies"},           {"--scenario 7 --bodies 801", Usage, "--bodies"},
        {"--scenario 7 --max-mass 0", Usage, "--max-mass"},       {"--scenario 7 --max-mass nan", Usage, "--max-mass"},
        {"--scenario 7 --max-mass 9.9999999e-21", Usage, "--max-mass"},
        {"--scenario 5 --max-mass 1e-20 --seed 3", Runs, "title: "},
        {"--scenario 6 --max-mass 1e12 --seed 3", Runs, "title: "},
        {"--scenario 7 --max-mass 1.0000001e12", Usage, "--max-mass"},
        {"--scenario 7 --seed -1", Usage, "--seed"},              {"--scenario 7 --seed 0", Runs, "title: "},
        {"--scenario 7 --seed 18446744073709551615", Runs, "title: "},
        {"--scenario 7 --seed 18446744073709551616", Usage, "--seed"},
        {"--scenario 7 --steps -1", Usage, "--steps"},            {"--scenario 7 --steps 1e3", Usage, "--steps"},
        {"--load missing.dat --steps 1000000000000", Parsed, ""},
        {"--load missing.dat --steps 1000000000001", Usage, "--steps"},
        {"--help", Runs, "orbits-batch runs"},                    {"-h", Runs, "--gravity"},
        {"--scenario 99 --help", Runs, "orbits-batch runs"},      {"--version", Runs, version},
        {"--frobnicate --version", Runs, version},
        {"--load whole.dat --steps 3 --save next.dat", Runs, "title: whole.dat  24 Objekte von 24\n"},
        {"--load short.dat", Runs, "title: short.dat  24 Objekte von 24\n",
         "orbits-batch: short.dat ends after 2 of 24 bodies; the rest are left empty\n"},
        {"--scenario 7 --save fifo.dat", Fails, "cannot save to fifo.dat: fifo.dat is a FIFO and is left as it is\n"},
        {"--scenario 7 --render no/dir/shot.png", Fails, "no/dir/shot.png"},
        {"--scenario 7 --steps 10 --render shot.png", Runs, "title: Sonnensystem  24 Objekte von 24\n"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.arguments);
        const BatchRun r = batch(dir, row.arguments);
        EXPECT_EQ(r.err.find("(see orbits-batch --help)\n") != std::string::npos, row.outcome == Usage) << r.err;
        if (row.outcome == Runs) {
            EXPECT_EQ(std::make_pair(r.status, r.err), std::make_pair(0, std::string(row.warning))) << r.err;
            EXPECT_NE(r.out.find(row.named), std::string::npos) << r.out;
            EXPECT_TRUE(row.named != version || r.out == version) << r.out;
        } else if (row.outcome != Parsed) {
            EXPECT_EQ(std::make_tuple(r.status, r.out, r.err.rfind("orbits-batch: ", 0), r.err.find('\n')),
                      std::make_tuple(2, "", 0u, r.err.size() - 1));
            EXPECT_NE(r.err.find(row.named), std::string::npos) << r.err;
        }
    }
    EXPECT_EQ(loaded(dir.file("next.dat"))->clock.stepCount, 4.f);
    // The PNG signature, then the IHDR width and height as big-endian numbers.
    const std::string png = readFile(dir.file("shot.png"));
    EXPECT_EQ(png.substr(0, 8) + png.substr(16, 8), std::string("\x89PNG\r\n\x1a\n\0\0\x04\0\0\0\x03\0", 16));
}
