// The headless backend: a screen without a window. Tests and tools script
// what the window would deliver (key presses, pointer moves, wheel steps),
// each at a moment of a virtual clock that only waits advance; the frame and
// the title are read from the Screen.
#pragma once
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "display/backend.h"
#include "display/keys.h"

namespace display {

struct Screen;

class HeadlessBackend : public Backend {
public:
    // "now" for the scripting calls below.
    static constexpr long long now = -1;

    void attach(SharedState& shared) override;
    void open() override { ++openCount_; }
    void setTitle(std::string_view title) override { title_ = title; }
    // Advances the virtual clock and delivers everything due by then.
    void wait(int ms) override;

    // Called after every wait, once that wait's input has been delivered:
    // a way to look at the screen while a waiting operation runs.
    void whileWaiting(std::function<void()> hook) { whileWaiting_ = std::move(hook); }

    // Virtual milliseconds waited so far.
    long long time() const { return time_; }
    int openCount() const { return openCount_; }
    const std::string& title() const { return title_; }

    // A key press arriving at virtual time atMs; it is translated as a
    // window's key press is, so it may deliver nothing.
    void pressKey(PressedKey press, long long atMs = now);
    // Each byte typed as a key that yields that character.
    void typeText(std::string_view text, long long atMs = now);
    // The window's close button.
    void pressCloseButton(long long atMs = now);
    // The pointer over the focused window at window pixel (x, y).
    void movePointer(int x, int y, int buttons = 0, long long atMs = now);
    // The pointer leaves the window.
    void leaveWindow(long long atMs = now);
    // Wheel steps, positive away from the user.
    void turnWheel(int steps, long long atMs = now);

private:
    struct Event {
        long long at;
        std::function<void(SharedState&)> apply;
    };
    void schedule(long long atMs, std::function<void(SharedState&)> apply);
    void deliverDue();

    SharedState* shared_ = nullptr;
    long long time_ = 0;
    int openCount_ = 0;
    std::string title_;
    std::vector<Event> pending_;  // in order of arrival time
    std::function<void()> whileWaiting_;
};

// The headless backend of a screen, or null when it has a window.
HeadlessBackend* headless(Screen& s);

}  // namespace display
