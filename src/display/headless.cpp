// Scripted input on a virtual clock.
#include "display/headless.h"

#include <algorithm>
#include <mutex>

#include "display/screen.h"

namespace display {

void HeadlessBackend::attach(SharedState& shared) { shared_ = &shared; }

void HeadlessBackend::wait(int ms) {
    time_ += std::max(ms, 0);
    deliverDue();
    if (whileWaiting_) whileWaiting_();
}

void HeadlessBackend::schedule(long long atMs, std::function<void(SharedState&)> apply) {
    const long long at = std::max(atMs, time_);
    const auto after = std::upper_bound(pending_.begin(), pending_.end(), at,
                                        [](long long t, const Event& e) { return t < e.at; });
    pending_.insert(after, Event{at, std::move(apply)});
    deliverDue();
}

void HeadlessBackend::deliverDue() {
    if (!shared_) return;
    std::lock_guard lock(shared_->mutex);
    auto due = pending_.begin();
    while (due != pending_.end() && due->at <= time_) (due++)->apply(*shared_);
    pending_.erase(pending_.begin(), due);
}

void HeadlessBackend::pressKey(PressedKey press, long long atMs) {
    const int code = keyCode(press);
    if (code == 0) return;
    schedule(atMs, [code](SharedState& s) { s.keys.push(code); });
}

void HeadlessBackend::typeText(std::string_view text, long long atMs) {
    for (char c : text) pressKey({static_cast<unsigned char>(c), 0}, atMs);
}

void HeadlessBackend::pressCloseButton(long long atMs) {
    schedule(atMs, [](SharedState& s) { s.keys.push(extendedKey(scan::closeButton)); });
}

void HeadlessBackend::movePointer(int x, int y, int buttons, long long atMs) {
    schedule(atMs, [x, y, buttons](SharedState& s) {
        s.mouse.x = x;
        s.mouse.y = y;
        s.mouse.pressedSinceRead |= buttons & ~s.mouse.buttons;
        s.mouse.buttons = buttons;
        s.mouse.inside = s.mouse.focused = true;
    });
}

void HeadlessBackend::leaveWindow(long long atMs) {
    schedule(atMs, [](SharedState& s) { s.mouse.inside = false; });
}

void HeadlessBackend::turnWheel(int steps, long long atMs) {
    schedule(atMs, [steps](SharedState& s) { s.mouse.wheel += steps; });
}

HeadlessBackend* headless(Screen& s) { return dynamic_cast<HeadlessBackend*>(s.backend.get()); }

}  // namespace display
