// Keysyms to PC scan codes, for the keys that deliver no character.
#pragma once

namespace display::x11 {

// The scan code of a key by its keysym: F1..F12 and the navigation block,
// keypad variants included; 0 for every other key.
int scanCodeOfKeysym(unsigned long keysym);

}  // namespace display::x11
