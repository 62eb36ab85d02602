// X protocol errors. Xlib's default handler ends the process on any error;
// ours reports unexpected ones in one line and lets the program go on, and
// lets a caller catch the error of a request it expects may fail.
#pragma once
#include <X11/Xlib.h>

namespace display::x11 {

// Installs the handler (once per process).
void installErrorHandler();

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
