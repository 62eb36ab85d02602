// The head-up display's state: the two bodies marked with the mouse, the pick
// of the current frame, the distance between the marks and the diagnostic
// panel switch. A fresh Hud is the program-start state.
#pragma once
#include <cstdint>

namespace view {

struct Hud {
    int32_t mark1 = 0;         // left button; below 1: no body
    int32_t mark2 = 0;         // right button; below 1: no body
    int32_t markPick = 0;      // mark the current frame picks: 0 none, 1 mark1, 2 mark2
    int32_t pickDistance = 0;  // pixels from the pointer to the nearest body so far
    float markDistance = 0;    // m between the two marked bodies
    int32_t markRingFlag = 1;  // 1 while rings are drawn round the marked bodies
    float diagSwitch = -1;     // +1: the diagnostic panel is shown
};

}  // namespace view
