// The simulation loop and its key table.
#include "app/simulation.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <string>

#include "app/simulation_menu.h"
#include "display/rounding.h"
#include "sim/gravity.h"
#include "view/camera.h"
#include "view/drawing.h"
#include "view/head_up_display.h"
#include "view/marking.h"
#include "view/target_view.h"

namespace app {

namespace {

constexpr int extendedKey = 255;
constexpr int escapeKey = 27;

// Scan codes of the function keys.
enum FunctionKey {
    keyF1 = 59, keyF2, keyF3, keyF4, keyF5, keyF6, keyF7, keyF8, keyF9, keyF10,
};

void flip(float& sw) { sw = -sw; }

// The function keys: switches, pace and the visor.
void applyFunctionKey(World& w, display::Screen& s, int scanCode) {
    switch (scanCode) {
        case keyF1: flip(w.loop.helpSwitch); break;
        case keyF2: flip(w.drawing.eraseSwitch); break;
        case keyF3: flip(w.drawing.namesSwitch); break;
        case keyF4: flip(w.clock.stopSwitch); break;
        case keyF5: flip(w.target.courseSwitch); break;
        case keyF6:
            flip(w.clock.clockSwitch);
            w.hud.diagSwitch = -1;
            break;
        case keyF7:
            flip(w.hud.diagSwitch);
            w.clock.clockSwitch = -1;
            break;
        case keyF8: w.clock.speedFactor = float(double(w.clock.speedFactor) * 0.9); break;
        case keyF9: w.clock.speedFactor = float(double(w.clock.speedFactor) * 1.1); break;
        case keyF10:
            flip(w.target.visorSwitch);
            // Gives the key time to be released; a waiting key cuts it short.
            display::sleepMs(s, 300);
            break;
        default: break;
    }
}

// Applies the pass's key; returns where to go when it leaves the simulation.
std::optional<Next> applyKey(World& w, display::Screen& s) {
    const int keyCode = w.loop.keyCode, scanCode = w.loop.scanCode;
    if (view::applyObserverKey(w.observer, keyCode, scanCode)) return std::nullopt;
    if (keyCode == extendedKey) {
        applyFunctionKey(w, s, scanCode);
        return std::nullopt;
    }
    switch (keyCode) {
        case escapeKey: return Next::SaveDialog;
        case 'u': flip(w.loop.displaySwitch); break;
        case 'd': flip(w.target.targetSwitch); break;
        case 'i': view::enterTargetNumber(w.target, s); break;
        default: break;
    }
    return std::nullopt;
}

void readInput(World& w, display::Screen& s) {
    const std::string key = display::readKey(s);
    w.loop.keyCode = key.empty() ? 0 : static_cast<unsigned char>(key[0]);
    w.loop.scanCode = key.size() < 2 ? 0 : static_cast<unsigned char>(key[1]);
    const display::MouseReading mouse = display::readMouse(s);
    w.loop.mouseX = mouse.x;
    w.loop.mouseY = mouse.y;
    w.loop.mouseButtons = mouse.buttons;
}

}  // namespace

void enterSimulation(World& w, display::Screen& s) {
    display::clearView(s);
    display::openScreen(s);
    display::setViewport(s, 1, 1, 1022, 766, 0, 1);
    display::setColor(s, 10);
    w.drawing.sizeScale = view::simulationSizeScale;
    w.windowTitle = sim::windowTitleText(w.scenarioTitle, w.bodies.liveCount, w.bodies.bodyCount);
    display::setWindowTitle(s, w.windowTitle);
    w.menus.simMenu.active = 0;
}

void simulationStep(World& w, display::Screen& s) {
    sim::advanceClock(w.clock, w.physics.timeStep);
    if (sim::fastGravityStep(w.gravity, w.bodies, w.physics, w.scenarioTitle, w.windowTitle) > 0) {
        display::setWindowTitle(s, w.windowTitle);
    }
    view::steerCourse(w.observer, w.target, w.bodies);
}

void displayPass(World& w, display::Screen& s) {
    view::updateTargetValues(w.target, w.observer, w.bodies);
    const view::ViewRotation rotation = view::updateViewAngles(w.observer, w.target);
    view::projectAll(w.observer, rotation, w.bodies);
    view::pickMarks(w.hud, w.bodies, w.loop.mouseX, w.loop.mouseY, w.loop.mouseButtons);
    view::eraseCycle(w.drawing, s, w.observer);
    view::drawBodies(w.drawing, w.hud, w.bodies, w.observer, s);
    if (w.target.visorSwitch == 1) view::drawVisor(s, w.observer);
    showSimulationMenu(w, s);
    if (w.clock.clockSwitch == 1) view::drawClock(s, w.clock);
}

std::optional<Next> simulationPass(World& w, display::Screen& s) {
    readInput(w, s);
    if (auto next = applyKey(w, s)) return next;
    if (w.clock.stopSwitch == -1) {
        for (int k = stepsThisPass(w.loop, w.clock.speedFactor); k > 0; --k) simulationStep(w, s);
        if (w.loop.displaySwitch == 1) {
            displayPass(w, s);
            if (auto next = simulationMenuExit(w.menus)) return next;
        }
        if (w.loop.helpSwitch == 1) showHelp(w, s);
        if (w.hud.diagSwitch == 1) view::drawPanel(s, w.observer, w.target);
    }
    view::drawMarkingLine(s, w.hud, w.bodies, w.physics.AU);
    return std::nullopt;
}

Next runSimulation(World& w, display::Screen& s) {
    using Clock = std::chrono::steady_clock;
    using Ms = std::chrono::duration<double, std::milli>;
    enterSimulation(w, s);
    for (;;) {
        const Clock::time_point start = Clock::now();
        if (auto next = simulationPass(w, s)) return *next;
        const Clock::time_point end = Clock::now();
        if (const int pause = pauseAfterPass(w.loop, w.clock.speedFactor, Ms(end - start).count()); pause > 0) {
            display::sleepMs(s, pause);
            pausedFor(w.loop, Ms(Clock::now() - end).count());
        }
    }
}

int stepsThisPass(sim::LoopState& loop, float speedFactor) {
    if (!(speedFactor > 1)) {
        loop.stepCarry = 0;
        return 1;
    }
    loop.stepCarry += speedFactor;
    if (!(loop.stepCarry < maxStepsPerPass)) {
        loop.stepCarry = 0;
        return maxStepsPerPass;
    }
    const double whole = std::floor(loop.stepCarry);
    loop.stepCarry -= whole;
    return int(whole);
}

int pauseAfterPass(sim::LoopState& loop, float speedFactor, double passMs) {
    if (speedFactor != loop.pacedFactor) {
        loop.pacedFactor = speedFactor;
        loop.pauseOwedMs = 0;
    }
    if (!(speedFactor < 1) || !(passMs > 0)) return 0;
    const double earned = (1 / double(speedFactor) - 1) * passMs;
    loop.pauseOwedMs = std::min(loop.pauseOwedMs + earned, double(maxPauseMs));
    return int(loop.pauseOwedMs);
}

void pausedFor(sim::LoopState& loop, double sleptMs) {
    loop.pauseOwedMs = std::max(loop.pauseOwedMs - std::max(sleptMs, 0.0), 0.0);
}

}  // namespace app
