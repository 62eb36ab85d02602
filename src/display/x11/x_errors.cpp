// The process-wide X error handler and the trap for expected errors.
#include "display/x11/x_errors.h"

#include <atomic>
#include <cstdio>

#include <unistd.h>

namespace display::x11 {

namespace {

std::atomic<bool> trapping{false};
std::atomic<int> trappedErrors{0};
std::atomic<XID> watchedWindow{0};

int handleError(Display* display, XErrorEvent* event) {
    if (trapping) {
        ++trappedErrors;
        return 0;
    }
    const bool windowGone = event->error_code == BadWindow || event->error_code == BadDrawable;
    if (windowGone && event->resourceid != 0 && event->resourceid == watchedWindow) {
        endWithoutWindow("the window was destroyed by another program");
    }
    char text[128];
    XGetErrorText(display, event->error_code, text, sizeof text);
    std::fprintf(stderr, "orbits: X error: %s (request %d.%d)\n", text, event->request_code,
                 event->minor_code);
    return 0;
}

int handleIOError(Display*) { endWithoutWindow("lost the connection to the X server"); }

}  // namespace

void endWithoutWindow(const char* what) {
    std::fprintf(stderr, "orbits: %s\n", what);
    std::fflush(stderr);
    // The other thread may be anywhere, holding any lock: end without
    // running destructors or exit handlers.
    _exit(1);
}

void watchWindow(XID window) { watchedWindow = window; }

void installErrorHandler() {
    static const bool installed = (XSetErrorHandler(handleError), XSetIOErrorHandler(handleIOError), true);
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
