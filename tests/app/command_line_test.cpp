// The window program's command line: --help and --version answer, the first counts, the rest is ignored.
#include "app/command_line.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "orbits_version.h"

TEST(CommandLine, AnswersHelpAndVersionAndIgnoresTheRest) {
    const std::string version = std::string("orbits ") + orbitsVersion + "\n", help = "usage: orbits";
    const struct { const char* name; std::vector<const char*> arguments; std::string answer; } rows[] = {
        {"no arguments", {}, "none"},  // answer: how the answer starts
        {"other arguments", {"--frobnicate", "Planet.dat", "-v"}, "none"},
        {"near misses", {"--help=1", "-help", "--versions", "-H"}, "none"},
        {"--help", {"--help"}, help},
        {"-h", {"-h"}, help},
        {"--version", {"--version"}, version},
        {"the first one counts", {"--version", "--help"}, version},
    };
    for (const auto& row : rows) {
        std::vector<const char*> argv = {"orbits"};
        argv.insert(argv.end(), row.arguments.begin(), row.arguments.end());
        const std::string answer = app::commandLineAnswer(int(argv.size()), argv.data()).value_or("none");
        EXPECT_EQ(row.answer == version ? answer : answer.substr(0, row.answer.size()), row.answer) << row.name;
        EXPECT_EQ(answer.find("--version") != std::string::npos, row.answer == help) << row.name;
    }
}
