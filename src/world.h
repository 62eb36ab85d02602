// The whole state of a running program: one World is the program-start
// state; main creates exactly one, tests as many as they like.
#pragma once
#include <string>

#include "app/menu_state.h"
#include "sim/bodies.h"
#include "sim/clock.h"
#include "sim/fast_gravity.h"
#include "sim/loop_state.h"
#include "view/drawing.h"
#include "view/hud.h"
#include "view/observer.h"
#include "view/target.h"

struct World {
    sim::Bodies bodies;
    sim::Physics physics;
    // The fast gravity step's tables and worker threads.
    sim::GravityEngine gravity;
    sim::Clock clock;
    view::Observer observer;
    view::Target target;
    view::Drawing drawing;
    view::Hud hud;
    sim::LoopState loop;
    app::MenuState menus;
    std::string scenarioTitle;
    // The largest mass of a generated swarm body, kg: the main menu's
    // setting, one earthMass on every entry into the main menu.
    float maxMass = 5.98e24f;
    // The window title as the simulation last set it; the window shows it.
    std::string windowTitle;
    // A number scenario files carry through unchanged: as last read, else 0.
    float reservedNumber = 0;
};
