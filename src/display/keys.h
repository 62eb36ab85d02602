// Key codes and key texts: what a key press becomes on its way to readKey,
// and the ring that holds waiting keys.
//
// A key code is an ordinary character 1..255, or an extended key
// 255 + 256 * scan code. Its key text is one byte, or 255 followed by the
// scan code.
#pragma once
#include <array>
#include <string>

namespace display {

// PC scan codes of the keys that have extended codes (59..83), and the code
// the window's close button is given.
namespace scan {
inline constexpr int f1 = 59;       // F1..F10 are 59..68
inline constexpr int f10 = 68;
inline constexpr int home = 71;
inline constexpr int up = 72;
inline constexpr int pageUp = 73;
inline constexpr int left = 75;
inline constexpr int keypadCentre = 76;
inline constexpr int right = 77;
inline constexpr int end = 79;
inline constexpr int down = 80;
inline constexpr int pageDown = 81;
inline constexpr int insert = 82;
inline constexpr int del = 83;
inline constexpr int f11 = 87;
inline constexpr int f12 = 88;
inline constexpr int closeButton = 107;
}  // namespace scan

// A key press as the keyboard reports it: the one character it yields after
// layout and shift state (code page 437, -1 when it yields none or several),
// and the key's PC scan code (0 when unknown).
struct PressedKey {
    int character = -1;
    int scanCode = 0;
};

// The key code of a press, or 0 when the press delivers nothing: a character
// is delivered as itself except 127, which becomes Del; without a character
// only scan codes 59..83 are delivered.
int keyCode(const PressedKey& press);

// The extended key code of a scan code.
constexpr int extendedKey(int scanCode) { return 255 + 256 * scanCode; }

// The key text of a key code: "" for 0, one byte, or 255 and the scan code.
std::string keyText(int code);

// Waiting keys, oldest first. Sixteen slots of which one stays free, so at
// most 15 keys wait; a key that arrives when 15 are waiting pushes out the
// oldest.
class KeyRing {
public:
    void push(int code);
    // The oldest waiting key, or 0 when none is waiting.
    int pop();
    bool empty() const { return head_ == tail_; }
    int size() const { return (tail_ - head_ + slots) % slots; }
    void clear() { head_ = tail_ = 0; }

private:
    static constexpr int slots = 16;
    std::array<int, slots> codes_{};
    int head_ = 0;  // oldest waiting key
    int tail_ = 0;  // next free slot
};

}  // namespace display
