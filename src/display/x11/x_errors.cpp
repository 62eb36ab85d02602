// The process-wide X error handler and the trap for expected errors.
#include "display/x11/x_errors.h"

#include <atomic>
#include <cstdio>

namespace display::x11 {

namespace {

std::atomic<bool> trapping{false};
std::atomic<int> trappedErrors{0};

int handleError(Display* display, XErrorEvent* event) {
    if (trapping) {
        ++trappedErrors;
        return 0;
    }
    char text[128];
    XGetErrorText(display, event->error_code, text, sizeof text);
    std::fprintf(stderr, "orbits: X error: %s (request %d.%d)\n", text, event->request_code,
                 event->minor_code);
    return 0;
}

}  // namespace

void installErrorHandler() {
    static const bool installed = (XSetErrorHandler(handleError), true);
    (void)installed;
}

ErrorTrap::ErrorTrap(Display* display) : display_(display) {
    XSync(display_, False);
    trappedErrors = 0;
    trapping = true;
}

ErrorTrap::~ErrorTrap() {
    XSync(display_, False);
    trapping = false;
}

bool ErrorTrap::failed() {
    XSync(display_, False);
    return trappedErrors > 0;
}

}  // namespace display::x11
