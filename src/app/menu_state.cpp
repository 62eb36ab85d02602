// The lists the program starts with.
#include "app/menu_state.h"

namespace app {

TextList scenarioList() {
    TextList list;
    const char* texts[] = {
        "Ein-Sonnensystem mit Kleinplanetenguettel",
        "Doppel-Sonnensystem mit Kleinplanetenguettel",
        "Ein-Sonnensystem mit Scheibe Aus Kleinplanetenguettel",
        "Ein-Sonnensystem im Kugelraum mit Kleinplaneten",
        "Kugelraum mit Kleinplaneten ",
        "Scheibe aus Kleinplaneten ",
        "Sonnensystem starten",
        "Jupiter und seine Monde starten",
        "Stern mit rotierender Scheibe & Planetenloch",
        "TW Hydrae - roter Zwerg & Scheibe & Planet",
        listEnd,
    };
    std::size_t i = 1;
    for (const char* text : texts) list.text[i++] = text;
    return list;
}

TextList simulationMenuList() {
    TextList list;
    const char* texts[] = {"Mainmenue", "Beenden-Exit", "Speichern-Save", "Hilfe", " ", " ", listEnd};
    std::size_t i = 1;
    for (const char* text : texts) list.text[i++] = text;
    return list;
}

bool namesAnEntry(const TextList& list, int n) {
    if (n < 1 || n > listCapacity) return false;
    for (int i = 1; i <= n; ++i) {
        if (list.text[std::size_t(i)] == listEnd) return false;
    }
    return !list.text[std::size_t(n)].empty();
}

}  // namespace app
