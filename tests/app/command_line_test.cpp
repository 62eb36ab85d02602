// The window program's command line: --help and --version answer, the first counts, the rest is ignored.
#include "app/command_line.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "orbits_version.h"

TEST(CommandLine, AnswersHelpAndVersionAndIgnoresTheRest) {
    const std::string version = std::string("orbits ") + orbitsVersion + "\n", help = "usage: orbits";
    const struct { const char* name; std::vector<const char*> arguments; const std::string* answer; } rows[] = {
        {"no arguments", {}, nullptr},  // answer: the start of the answer; null: none
        {"other arguments", {"--frobnicate", "Planet.dat", "-v"}, nullptr},
        {"near misses", {"--help=1", "-help", "--versions", "-H"}, nullptr},
        {"--help", {"--help"}, &help},       {"-h", {"-h"}, &help},
        {"--version", {"--version"}, &version}, {"after other arguments", {"x", "--version"}, &version},
        {"the first one counts", {"--version", "--help"}, &version},
        {"the first one counts, help", {"-h", "--version"}, &help},
    };
    for (const auto& row : rows) {
        std::vector<const char*> argv = {"orbits"};
        argv.insert(argv.end(), row.arguments.begin(), row.arguments.end());
        const auto answer = app::commandLineAnswer(int(argv.size()), argv.data());
        ASSERT_EQ(answer.has_value(), row.answer != nullptr) << row.name;
        if (!answer) continue;
        EXPECT_EQ(row.answer == &version ? *answer : answer->substr(0, help.size()), *row.answer) << row.name;
        EXPECT_EQ(answer->find("--version") != std::string::npos, row.answer == &help) << row.name;
    }
}
