// Keys, the mouse and timed waits.
#include <algorithm>
#include <mutex>

#include "display/screen.h"

namespace display {

std::string readKey(Screen& s) {
    int code;
    {
        std::lock_guard lock(s.shared.mutex);
        code = s.shared.keys.pop();
    }
    return keyText(code);
}

MouseReading readMouse(Screen& s) {
    MouseState m;
    {
        std::lock_guard lock(s.shared.mutex);
        m = s.shared.mouse;
    }
    if (!m.inside || !m.focused) return {};
    return {0, m.x, m.y, m.wheel, m.buttons};
}

void sleepMs(Screen& s, int ms) {
    if (ms <= 0) return;
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

void waitForInput(Screen& s, int maxMs) {
    auto changed = [&, start = MouseState{}, first = true]() mutable {
        std::lock_guard lock(s.shared.mutex);
        const MouseState& m = s.shared.mouse;
        if (first) {
            start = m;
            first = false;
        }
        return !s.shared.keys.empty() || m.x != start.x || m.y != start.y ||
               m.buttons != start.buttons || m.wheel != start.wheel || m.inside != start.inside;
    };
    for (int waited = 0; waited < maxMs && !changed(); ++waited) s.backend->wait(1);
}

}  // namespace display
