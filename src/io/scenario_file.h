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

// The longest time step a scenario file may set, in seconds (rounded): a
// step kicks a close pair up to round(timeStep) times, so the step sets how
// long one pass of the simulation can take.
inline constexpr int maxTimeStep = 10000;

// Significant digits of the numbers written: 7 as the program writes them,
// 9 for files whose floats read back bit for bit.
inline constexpr int normalDigits = 7;
inline constexpr int exactDigits = 9;

// The file's text for the current state.
std::string scenarioText(const World& w, int digits = normalDigits);

// Writes the state to path through a new file in the same directory that is
// renamed over the target, so a failed or killed save leaves the old file
// whole. The new file stays unnamed until just before the rename where the
// file system allows it, so a killed save very rarely leaves a stray
// "NAME.tmpPID" file; a failed one never does. A symbolic link is followed
// and the file it finally names is replaced, the link kept. A replaced
// file keeps its permissions. A target that exists but is not a regular
// file (a directory, device, FIFO, socket) is refused and left alone.
FileResult saveScenario(const World& w, const std::string& path, int digits = normalDigits);

// Reads a scenario file into the state. Refused, with the state unchanged:
// a name that cannot be opened or is not a regular file (checked without
// waiting, so a FIFO never blocks), an empty file, and a header whose body
// count rounds outside 1..800, whose live count rounds outside 0 to the
// body count, or whose time step is not finite or rounds above maxTimeStep.
// A file that merely ends early loads with zeros and empty names for what
// is missing; warning, when given, then gets one line that says so (for
// command-line users; the window program stays silent), and is cleared
// otherwise. The derived fields of the table are cleared; the scenario
// title is the caller's to set.
FileResult loadScenario(World& w, const std::string& path, std::string* warning = nullptr);

}  // namespace io
