// Scenario files: the whole running state (observer, view, clock, constants
// and every body of the table) as plain text. Line 1 holds 18 numbers, then
// one line per body: 11 numbers and the name. Numbers are written as the
// screen prints them, each followed by blanks up to the next 14-column zone.
#pragma once
#include <string>

#include "world.h"

namespace io {

// Outcome of a save or a load; reason is one line for the user when !ok.
struct FileResult {
    bool ok = true;
    std::string reason;
};

// Significant digits of the numbers written: 7 as the program writes them,
// 9 for files whose floats read back bit for bit.
inline constexpr int normalDigits = 7;
inline constexpr int exactDigits = 9;

// The file's text for the current state.
std::string scenarioText(const World& w, int digits = normalDigits);

// Writes the state to path through a temporary file in the same directory
// that is renamed over the target, so a failed save leaves the old file.
FileResult saveScenario(const World& w, const std::string& path, int digits = normalDigits);

// Reads a scenario file into the state. A file that cannot be opened, or
// whose header announces a body count outside 1..800, is refused and leaves
// the state unchanged. A file that merely ends early loads with zeros and
// empty names for what is missing. The derived fields of the table are
// cleared; the scenario title is the caller's to set.
FileResult loadScenario(World& w, const std::string& path);

}  // namespace io
