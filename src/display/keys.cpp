// Key translation and the key ring.
#include "display/keys.h"

namespace display {

int keyCode(const PressedKey& press) {
    if (press.character >= 1 && press.character <= 255) {
        // The character 127 comes from the Delete key on most layouts.
        return press.character == 127 ? extendedKey(scan::del) : press.character;
    }
    if (press.scanCode >= scan::f1 && press.scanCode <= scan::del) return extendedKey(press.scanCode);
    return 0;
}

std::string keyText(int code) {
    if (code <= 0) return {};
    if (code <= 255) return std::string(1, static_cast<char>(code));
    return {static_cast<char>(255), static_cast<char>(code >> 8)};
}

void KeyRing::push(int code) {
    codes_[tail_] = code;
    tail_ = (tail_ + 1) % slots;
    if (tail_ == head_) head_ = (head_ + 1) % slots;  // full: the oldest key is lost
}

int KeyRing::pop() {
    if (empty()) return 0;
    const int code = codes_[head_];
    head_ = (head_ + 1) % slots;
    return code;
}

}  // namespace display
