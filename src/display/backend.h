// The way from a Screen to the world outside: a window (x11/) or nothing but
// scripted input and a virtual clock (headless.h). A backend shares the
// frame, the dirty-row marks, the key ring and the mouse state with the
// screen under SharedState::mutex; everything else it is told through these
// calls, always from the program's own thread.
#pragma once
#include <string_view>

namespace display {

struct SharedState;

class Backend {
public:
    virtual ~Backend() = default;

    // Called once by the Screen that owns the backend, before anything else.
    virtual void attach(SharedState& shared) = 0;

    // The screen was opened (or opened afresh): the frame was reset and every
    // row marked dirty. The first call shows the window.
    virtual void open() = 0;

    // The window title, code page 437, at most 127 bytes.
    virtual void setTitle(std::string_view title) = 0;

    // Waits ms milliseconds (ms > 0). Keys and mouse changes that arrive in
    // the meantime land in the shared state.
    virtual void wait(int ms) = 0;
};

}  // namespace display
