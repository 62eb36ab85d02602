// The marks of the head-up display: the two bodies marked with the mouse and
// whether rings are drawn round them. A fresh Hud is the program-start state.
#pragma once
#include <cstdint>

namespace view {

struct Hud {
    int32_t mark1 = 0;         // left button; below 1: no body
    int32_t mark2 = 0;         // right button; below 1: no body
    int32_t markRingFlag = 1;  // 1 while rings are drawn round the marked bodies
    float diagSwitch = -1;     // +1: the diagnostic panel is shown
};

}  // namespace view
