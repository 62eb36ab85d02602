// The screen itself: opening, the viewport, colours, the title and reading
// the frame back.
#include "display/screen.h"

#include <algorithm>
#include <cassert>

#include "display/frame_writer.h"
#include "display/headless.h"

namespace display {

using detail::FrameWriter;
using detail::paletteIndex;

namespace {

constexpr PixelRect wholeScreen{};

}  // namespace

Screen::Screen() : Screen(std::make_unique<HeadlessBackend>()) {}

Screen::Screen(std::unique_ptr<Backend> b) : backend(std::move(b)) {
    assert(backend && "a screen needs a backend");
    backend->attach(shared);
}

// The backend goes first: a background thread must stop before the state it
// shares goes away.
Screen::~Screen() { backend.reset(); }

void openScreen(Screen& s) {
    {
        FrameWriter frame(s.shared);
        frame.fill(wholeScreen, wholeScreen, 0);
        s.shared.mouse.wheel = 0;
    }
    s.palette = defaultPalette();
    s.viewport = wholeScreen;
    s.viewportSet = false;
    s.row = 1;
    s.column = 1;
    s.isOpen = true;
    s.backend->open();
}

void setViewport(Screen& s, int x1, int y1, int x2, int y2, int fillColour, int frameColour) {
    // Far beyond the screen every corner means the same; the bound keeps the
    // arithmetic below and in the primitives from overflowing.
    constexpr int bound = 1 << 20;
    x1 = std::clamp(x1, -bound, bound);
    y1 = std::clamp(y1, -bound, bound);
    x2 = std::clamp(x2, -bound, bound);
    y2 = std::clamp(y2, -bound, bound);
    if (x1 > x2) std::swap(x1, x2);
    if (y1 > y2) std::swap(y1, y2);
    const PixelRect outline{x1 - 1, y1 - 1, x2 + 1, y2 + 1};
    const PixelRect view{x1, y1, x2, y2};
    {
        FrameWriter frame(s.shared);
        const uint8_t edge = paletteIndex(frameColour);
        frame.fill({outline.x1, outline.y1, outline.x2, outline.y1}, wholeScreen, edge);
        frame.fill({outline.x1, outline.y2, outline.x2, outline.y2}, wholeScreen, edge);
        frame.fill({outline.x1, outline.y1, outline.x1, outline.y2}, wholeScreen, edge);
        frame.fill({outline.x2, outline.y1, outline.x2, outline.y2}, wholeScreen, edge);
        frame.fill(view, wholeScreen, paletteIndex(fillColour));
    }
    // Kept as given, so graphics count from its corner even where it reaches
    // past the screen; drawing clips it to the screen.
    s.viewport = view;
    s.viewportSet = true;
}

void clearView(Screen& s) {
    if (!s.isOpen) return;
    {
        FrameWriter frame(s.shared);
        frame.fill(s.viewport, wholeScreen, paletteIndex(s.background));
    }
    if (!s.viewportSet) {
        s.row = 1;
        s.column = 1;
    }
}

void setColor(Screen& s, int foreground) { s.foreground = foreground; }

void setColor(Screen& s, int foreground, int background) {
    s.foreground = foreground;
    s.background = background;
}

void setWindowTitle(Screen& s, std::string_view title) {
    s.title = std::string(title.substr(0, 127));
    s.backend->setTitle(s.title);
}

uint8_t pixelAt(Screen& s, int x, int y) {
    if (!detail::contains(wholeScreen, x, y)) return 0;
    FrameWriter frame(s.shared);
    return frame.get(x, y);
}

std::vector<uint8_t> copyFrame(Screen& s) {
    std::lock_guard lock(s.shared.mutex);
    return s.shared.pixels;
}

}  // namespace display
