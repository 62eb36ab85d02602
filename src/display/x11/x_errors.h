// X protocol errors. Xlib's default handler ends the process on any error;
// ours reports unexpected ones in one line and lets the program go on, and
// lets a caller catch the error of a request it expects may fail.
#pragma once
#include <X11/Xlib.h>

namespace display::x11 {

// Installs the handlers (once per process). Losing the connection to the
// server ends the program with one line and exit status 1: without its
// window the program could neither be seen nor ended.
void installErrorHandler();

// The program's window: an error saying it no longer exists ends the program
// as the loss of the connection does. 0 watches nothing.
void watchWindow(XID window);

// Ends the program at once with "orbits: " and what happened, exit status 1.
[[noreturn]] void endWithoutWindow(const char* what);

// Catches the errors of the requests made while it lives (on one thread).
class ErrorTrap {
public:
    explicit ErrorTrap(Display* display);
    ~ErrorTrap();
    // Waits for the server to answer the requests so far; true if any failed.
    bool failed();

private:
    Display* display_;
};

}  // namespace display::x11
