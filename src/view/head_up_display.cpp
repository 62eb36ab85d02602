// Clock, marking line and diagnostic panel.
#include "view/head_up_display.h"

#include <array>
#include <cmath>

#include "display/number_format.h"

namespace view {

namespace {

// A body number for the marking line: a mark below 1 shows entry 0.
int markEntry(int32_t mark) { return mark >= 1 && mark <= sim::maxBodies ? mark : 0; }

struct PanelCell {
    int row;
    int labelColumn;
    const char* label;
    int valueColumn;
    float value;
};

// The separator closing each panel cell, code page 437 characters 194, 177.
constexpr const char* panelSeparator = "\xC2\xB1";
constexpr int separatorColumns[] = {21, 44, 66};
constexpr int printZone = 14;
// The "xZiel =" cell: its label is followed by blanks to the next print zone.
constexpr std::size_t zoneFilledCell = 16;

}  // namespace

void drawClock(display::Screen& s, const sim::Clock& c) {
    // "Stunde" and blanks fill one 14-column print zone; the value follows.
    display::locate(s, 2, 1);
    display::printText(s, "Stunde        ", false);
    display::printNumber(s, c.elapsedHours, true);
    display::locate(s, 3, 1);
    display::printText(s, "JAHR", false);
    display::printNumber(s, c.elapsedYears, true);
    display::locate(s, 4, 1);
    display::printText(s, "TAG", false);
    display::printNumber(s, c.elapsedDays, true);
}

void drawMarkingLine(display::Screen& s, Hud& h, const sim::Bodies& b, float AU) {
    const int first = markEntry(h.mark1), second = markEntry(h.mark2);
    // Printed piece by piece: the same cells as one concatenated text.
    display::locate(s, 1, 30);
    display::printText(s, b.name[first], false);
    display::printText(s, " __ m = ", false);
    display::printText(s, display::formatNumber(b.mass[first]), false);
    display::printText(s, "       ", false);
    display::printText(s, b.name[second], false);
    display::printText(s, " __m = ", false);
    display::printText(s, display::formatNumber(b.mass[second]), true);
    if (h.mark1 < 1 || h.mark2 < 1) return;
    const double dx = double(b.x[first]) - b.x[second];
    const double dy = double(b.y[first]) - b.y[second];
    const double dz = double(b.z[first]) - b.z[second];
    h.markDistance = float(std::sqrt(dx * dx + dy * dy + dz * dz));
    display::locate(s, 1, 1);
    display::printText(s, "Entf_in_AE = ", false);
    display::printText(s, display::formatNumber(float(double(h.markDistance) / AU)), true);
}

void drawPanel(display::Screen& s, const Observer& o, const Target& t) {
    const std::array<PanelCell, 18> cells{{
        {33, 1, "XAuge =", 9, o.XAuge},   {33, 23, "YAuge =", 32, o.YAuge},   {33, 46, "ZAuge =", 54, o.ZAuge},
        {34, 1, "XDREH =", 9, o.XDREH},   {34, 23, "YDREH =", 32, o.YDREH},   {34, 46, "wi_y =", 54, o.wi_y},
        {35, 1, "VAuge =", 9, o.VAuge},   {35, 23, "ZDre =", 32, o.ZDre},     {35, 46, "wi_x =", 54, o.wi_x},
        {36, 1, "XBizi =", 9, t.XBizi},   {36, 23, "E.Ziel =", 32, t.EZiel},  {36, 46, "wi_x.Z =", 54, t.wi_xZ},
        {37, 1, "x.rel =", 9, t.xrel},    {37, 23, "zZiel =", 32, t.zZiel},   {37, 46, "wi_y.Z =", 54, t.wi_yZ},
        {38, 1, "Ziel =", 9, t.Ziel},     {38, 23, "xZiel =", 32, t.xZiel},   {38, 46, "yZiel =", 54, t.yZiel},
    }};
    for (std::size_t k = 0; k < cells.size(); ++k) {
        const PanelCell& c = cells[k];
        display::locate(s, c.row, c.labelColumn);
        if (k == zoneFilledCell) {
            display::printText(s, c.label, false);
            while ((s.column - 1) % printZone != 0) display::printText(s, " ", false);
        } else {
            display::printText(s, c.label, true);
        }
        display::locate(s, c.row, c.valueColumn);
        display::printNumber(s, c.value, true);
        display::locate(s, c.row, separatorColumns[k % 3]);
        display::printText(s, panelSeparator, true);
    }
}

}  // namespace view
