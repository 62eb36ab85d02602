// Keysyms to PC scan codes.
#include "display/x11/keysyms.h"

#include <X11/keysym.h>

#include "display/keys.h"

namespace display::x11 {

int scanCodeOfKeysym(unsigned long keysym) {
    if (keysym >= XK_F1 && keysym <= XK_F10) return scan::f1 + int(keysym - XK_F1);
    switch (keysym) {
    case XK_F11: return scan::f11;
    case XK_F12: return scan::f12;
    case XK_Home: case XK_KP_Home: return scan::home;
    case XK_Up: case XK_KP_Up: return scan::up;
    case XK_Prior: case XK_KP_Prior: return scan::pageUp;
    case XK_Left: case XK_KP_Left: return scan::left;
    case XK_KP_Begin: return scan::keypadCentre;
    case XK_Right: case XK_KP_Right: return scan::right;
    case XK_End: case XK_KP_End: return scan::end;
    case XK_Down: case XK_KP_Down: return scan::down;
    case XK_Next: case XK_KP_Next: return scan::pageDown;
    case XK_Insert: case XK_KP_Insert: return scan::insert;
    case XK_Delete: case XK_KP_Delete: return scan::del;
    default: return 0;
    }
}

}  // namespace display::x11
