// What the simulation loop keeps from pass to pass: its own switches, the
// key and mouse of the current pass, and the pace set with F8 / F9.
#pragma once

namespace sim {

struct LoopState {
    float displaySwitch = 1;  // +1: each pass draws a frame; -1: steps only (u)
    float helpSwitch = -1;    // +1: the help text is shown (F1)
    int keyCode = 0;          // first byte of this pass's key text, 0 for none
    int scanCode = 0;         // second byte of an extended key, else 0
    int mouseX = 0, mouseY = 0, mouseButtons = 0;  // -1 outside the window
    double stepCarry = 0;     // fraction of a step that speedFactor has accumulated
    double pauseOwedMs = 0;   // pause earned below speedFactor 1 and not yet slept
    float pacedFactor = 1;    // the speedFactor pauseOwedMs was earned at
};

}  // namespace sim
