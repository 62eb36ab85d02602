// The X11 tests' own X server: an Xvfb on a free display, started once for
// the whole test program, and helpers to wait on what happens meanwhile.
#pragma once
// GoogleTest before Xlib: Xlib's macros (None, Status, ...) would break it.
#include <gtest/gtest.h>

#include <X11/Xlib.h>

#include <chrono>
#include <string>
#include <thread>

namespace xvfb {

// ":N" of the running server, or empty when none could be started.
const std::string& displayName();

// Skips the current test when there is no server.
#define REQUIRE_XVFB() \
    if (xvfb::displayName().empty()) GTEST_SKIP() << "Xvfb is not available"

// The text of the window's property, or "" when it has none.
std::string property(Display* d, ::Window w, const char* name);

// Polls until done() holds, for at most timeout; true if it did.
template <typename Done>
bool eventually(Done done, std::chrono::milliseconds timeout = std::chrono::milliseconds(5000)) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

}  // namespace xvfb
