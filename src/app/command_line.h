// The window program's command line: it takes nothing from it but the two
// questions every command-line program answers, --help and --version.
#pragma once
#include <optional>
#include <string>

namespace app {

// The text to print before exiting with status 0 when an argument is -h,
// --help or --version (the first such argument counts); nothing otherwise,
// and the program ignores its arguments.
std::optional<std::string> commandLineAnswer(int argc, const char* const* argv);

}  // namespace app
