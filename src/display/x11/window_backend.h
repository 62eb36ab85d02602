// The X11 window: a background thread that alone talks to the X server. It
// turns window events into keys and mouse state and copies the changed rows
// of the frame to a fixed 1024 x 768 window about 60 times a second, through
// MIT shared memory where the server allows it and plain XPutImage
// otherwise. Xlib itself stays inside this directory's .cpp files.
#pragma once
#include <memory>
#include <string>
#include <string_view>

#include "display/backend.h"

namespace display::x11 {

struct Options {
    std::string displayName;   // empty: $DISPLAY
    bool sharedMemory = true;  // false: always XPutImage
};

class WindowBackend : public Backend {
public:
    struct Impl;
    explicit WindowBackend(std::unique_ptr<Impl> impl);
    ~WindowBackend() override;

    void attach(SharedState& shared) override;
    // The first call maps the window and waits (up to a few seconds) until
    // the server has mapped it.
    void open() override;
    void setTitle(std::string_view title) override;
    void wait(int ms) override;

    // Whether frame rows travel through MIT shared memory.
    bool usesSharedMemory() const;
    // The X window id.
    unsigned long windowId() const;
    // Presents the whole frame as it stands and returns when the server has
    // it.
    void presentFullFrame();

private:
    std::unique_ptr<Impl> impl_;
};

// Connects to the X server and creates the (still unmapped) window. On
// failure returns null and says why in one line in error.
std::unique_ptr<WindowBackend> openWindowBackend(const Options& options, std::string& error);

}  // namespace display::x11
