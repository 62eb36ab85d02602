// The frame as a PNG picture: what the window shows, pixel for pixel,
// through the screen's palette.
#pragma once
#include <optional>
#include <string>

namespace display {

struct Screen;

// Writes the whole 1024 x 768 frame as an 8-bit RGB PNG. The picture is
// written to a temporary file beside path and renamed over it, so a failure
// leaves no half-written file. Returns the reason when it fails.
std::optional<std::string> writePng(Screen& s, const std::string& path);

}  // namespace display
