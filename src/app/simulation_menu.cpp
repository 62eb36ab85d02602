// The in-simulation menu and the help text.
#include "app/simulation_menu.h"

#include <string_view>

#include "app/widgets.h"

namespace app {

namespace {

enum MenuEntry { toMainMenu = 1, toExit = 2, toSaveDialog = 3, toggleHelp = 4 };

// The help page, row by row from row 1; code page 437 (0x81 is u umlaut,
// 0x84 a umlaut, one cell each).
constexpr std::string_view helpRows[] = {
    "FUNKTIONSTASTEN",
    "Einmahl Taste gedr\x81" "ckt Funktion AN ,nochmahl gedr\x81" "ckt Funktion AUS  ",
    "< F1 > =  Hilfe",
    "< F2 > =  Bahnanzeigen ",
    "< F3 > =  Namensanzeige ",
    "< F4 > =  Stop ",
    "< F5 > =  Kursautomatik ",
    "< F6 > =  Zeitanzeige ",
    "< F8 > =  Langsamer ",
    "< F9 > =  Schneller ",
    "< F10 > =  Visier ",
    "< l > =  Nach links ",
    "< r > =  Nach rechts ",
    "< o > =  Nach oben  ",
    "< u > =  Nach unten  ",
    "< Entf > =  Nach links schwenken  -- Nur wenn Drehschwenk ein.",
    "< Ende > =  Nach rechts schwenken  -- Nur wenn Drehschwenk ein.",
    "< Pfeil nach links > = Bewegungav_beschleuin Richtungav_beschleu-x ",
    "< Pfeil nach rechts > = Bewegungav_beschleuin Richtungav_beschleu+x ",
    "< Pfeil nach oben > = Bewegungav_beschleuin Richtungav_beschleu+y ",
    "< Pfeil nach unten > = Bewegungav_beschleuin Richtungav_beschleu-y ",
    "< Bild nach oben > = Bewegungav_beschleuin Richtungav_beschleu-z ",
    "< Bild nach unten > = Bewegungav_beschleuin Richtungav_beschleu+z ",
    "< v > = Vorw\x84" "rts  *******  < h > = R\x81" "ckw\x84" "rts  ",
    "< + > , < - > = Geschwindigkeit des Beobachters + oder - ",
    "< F11 > = Drehschwenk oder Drehungav_beschleu ",
    "In den Menues benutze die Maus !",
    "Mit der linken & rechten Maustaete kannst du Objekte kennzeichnen,",
    "dann wirt oben Namme, Masse & und die Entrernung der Objekte zueinander angezeigt.",
    "Mit der dritten Maustaste wirt die Kennzeichnung wieder aufgehoben",
};

}  // namespace

void showSimulationMenu(World& w, display::Screen& s) {
    TextList& menu = w.menus.simMenu;
    const Pointer m{w.loop.mouseX, w.loop.mouseY, w.loop.mouseButtons};
    // Held down, the button flips the list once per 200 ms pause.
    if (button(s, m, 950, 1, 60, 20, " Menue ", 1, 10)) menu.active = menu.active == 1 ? 0 : 1;
    listBox(s, m, 800, 50, 200, 600, menu, "Mainmenue    ");
    display::setColor(s, 10, 0);
    if (menu.choice == toggleHelp) {
        w.loop.helpSwitch = -w.loop.helpSwitch;
        menu.choice = 0;
    }
}

std::optional<Next> simulationMenuExit(MenuState& menus) {
    int& choice = menus.simMenu.choice;
    std::optional<Next> next;
    switch (choice) {
        case toMainMenu: next = Next::MainMenu; break;
        case toExit: next = Next::Exit; break;
        case toSaveDialog: next = Next::SaveDialog; break;
        default: return std::nullopt;
    }
    choice = 0;
    return next;
}

void showHelp(World& w, display::Screen& s) {
    w.clock.clockSwitch = -1;
    int row = 1;
    for (std::string_view text : helpRows) {
        display::locate(s, row, row == 1 ? 1 : 2);
        display::printText(s, text, true);
        ++row;
    }
}

}  // namespace app
