// Keys, the mouse and timed waits.
#include <algorithm>
#include <cstring>
#include <mutex>

#include "display/screen.h"

namespace display {

namespace {

// Copies the rows drawn since the last present into the shown frame.
void presentLocked(SharedState& shared) {
    for (int y = 0; y < screenHeight; ++y) {
        if (!shared.dirtyRows[y]) continue;
        const std::size_t row = std::size_t(y) * screenWidth;
        std::memcpy(&shared.shown[row], &shared.pixels[row], screenWidth);
        shared.dirtyRows[y] = 0;
        shared.shownDirty[y] = 1;
    }
    shared.frameWanted = false;
}

}  // namespace

void presentFrame(Screen& s, bool force) {
    std::lock_guard lock(s.shared.mutex);
    if (force || s.shared.frameWanted) presentLocked(s.shared);
}

std::string readKey(Screen& s) {
    int code;
    {
        std::lock_guard lock(s.shared.mutex);
        if (s.shared.frameWanted) presentLocked(s.shared);
        code = s.shared.keys.pop();
    }
    return keyText(code);
}

MouseReading readMouse(Screen& s) {
    MouseState m;
    {
        std::lock_guard lock(s.shared.mutex);
        if (s.shared.frameWanted) presentLocked(s.shared);
        m = s.shared.mouse;
        s.shared.mouse.pressedSinceRead = 0;
    }
    if (!m.inside || !m.focused) return {};
    return {0, m.x, m.y, m.wheel, m.buttons | m.pressedSinceRead};
}

void sleepMs(Screen& s, int ms) {
    if (ms <= 0) return;
    presentFrame(s, true);
    if (ms < 100) {
        s.backend->wait(ms);
        return;
    }
    constexpr int slice = 50;
    for (int remaining = ms; remaining > 0; remaining -= slice) {
        {
            std::lock_guard lock(s.shared.mutex);
            if (!s.shared.keys.empty()) return;
        }
        s.backend->wait(std::min(slice, remaining));
    }
}

}  // namespace display
