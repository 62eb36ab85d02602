// Answers of the window program to --help and --version.
#include "app/command_line.h"

#include <string_view>

#include "orbits_version.h"

namespace app {

namespace {

constexpr const char* helpText =
    "usage: orbits [--help | --version]\n"
    "\n"
    "orbits opens a 1024 x 768 window on the X display and starts in its main menu,\n"
    "where you pick a scenario: the solar system, Jupiter, swarms, discs or a\n"
    "scenario file. The keys are listed in the manual page orbits(6).\n"
    "\n"
    "  -h, --help     print this help and exit\n"
    "  --version      print the version and exit\n"
    "\n"
    "Any other argument is ignored.\n";

}  // namespace

std::optional<std::string> commandLineAnswer(int argc, const char* const* argv) {
    for (int k = 1; k < argc; ++k) {
        const std::string_view argument = argv[k];
        if (argument == "-h" || argument == "--help") return helpText;
        if (argument == "--version") return std::string("orbits ") + orbitsVersion + "\n";
    }
    return std::nullopt;
}

}  // namespace app
