// The list box, the button and the file list, driven frame by frame.
#include <filesystem>
#include <string>

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "app/screen_text.h"
#include "app/widgets.h"
#include "support/temp_dir.h"

using app::Pointer;
using testing_support::textAt;

namespace {

// choice: what the list picks; for a button, 1 when it reports a press.
struct Hit { const char* name; Pointer pointer; int choice; };

}  // namespace

// The scenario box (300, 50, 550 x 500) is hit strictly inside; the picked
// number drifts ahead of the text rows further down.
TEST(ListBox, PicksStrictlyInsideWithTheDriftingRowNumber) {
    const Hit rows[] = {
        {"left edge", {300, 100, 1}, -1},     {"one right of it", {301, 100, 1}, 4},
        {"top edge", {400, 50, 1}, -1},       {"one below it", {400, 51, 1}, 1},
        {"right edge", {850, 100, 1}, -1},    {"one left of it", {849, 100, 1}, 4},
        {"bottom edge", {400, 550, 1}, -1},   {"one above it", {400, 549, 1}, 31},
        {"y 150 is row 7", {400, 150, 4}, 7}, {"no button", {400, 100, 0}, -1},
        {"outside the window", {-1, -1, -1}, -1},
    };
    for (const Hit& row : rows) {
        testing_support::Session run;
        app::TextList list = app::scenarioList();
        list.active = 1;
        app::listBox(run.screen, row.pointer, 300, 50, 550, 500, list, "Neustart");
        EXPECT_EQ(std::make_tuple(list.choice, list.active, run.input().time()),
                  std::make_tuple(row.choice, row.choice > 0 ? 0 : 1, row.choice > 0 ? 300 : 0))
            << row.name;
    }
}

TEST(ListBox, DrawsTitleThirtyRowsAndTheHighlightUntilPicked) {
    testing_support::Session run;
    app::startScreen(run.screen);
    app::TextList list;
    for (int i = 1; i <= 31; ++i) list.text[std::size_t(i)] = "e" + std::to_string(i);
    list.active = 1;
    app::listBox(run.screen, {400, 100, 0}, 300, 50, 550, 500, list, "Neustart");
    EXPECT_EQ(textAt(run.screen, 33, 39, 7, 1, 4) + textAt(run.screen, 34, 39, 7, 1, 4), "e30     ");
    // Row 4 is outlined from graphics y 94 to 112: screen rows 95 and 113.
    for (auto [y, colour] : {std::pair{94, 1}, {95, 10}, {113, 10}, {114, 1}})
        EXPECT_EQ(display::pixelAt(run.screen, 320, y), colour) << "y " << y;
    app::listBox(run.screen, {400, 100, 1}, 300, 50, 550, 500, list, "Neustart");
    const auto frame = display::copyFrame(run.screen);
    app::listBox(run.screen, {400, 300, 1}, 300, 50, 550, 500, list, "Neustart");
    EXPECT_EQ(display::copyFrame(run.screen), frame) << "a picked list is no longer drawn";
    EXPECT_EQ(list.choice, 4);
}

// The save dialog's buttons (800, 100, 120 x 20): hit strictly inside an
// area that reaches 20 pixels past the width.
TEST(Button, ReportsAPressStrictlyInsideItsWidenedArea) {
    const Hit rows[] = {
        {"left edge", {800, 110, 1}, 0},   {"one right of it", {801, 110, 1}, 1},
        {"width + 19", {939, 110, 1}, 1},  {"width + 20", {940, 110, 1}, 0},
        {"top edge", {850, 100, 1}, 0},    {"one below it", {850, 101, 1}, 1},
        {"bottom edge", {850, 120, 1}, 0}, {"one above it", {850, 119, 1}, 1},
        {"no button", {850, 110, 0}, 0},   {"outside the window", {-1, -1, -1}, 0},
    };
    for (const Hit& row : rows) {
        testing_support::Session run;
        EXPECT_EQ(app::button(run.screen, row.pointer, 800, 100, 120, 20, "Exit", 1, 11), row.choice == 1) << row.name;
        EXPECT_EQ(run.input().time(), row.choice == 1 ? 200 : 0) << row.name;
    }
}

// Regular .dat files (links to them too) in byte order, at most 999, then
// "Listende"; what a longer list left behind is cleared.
TEST(FileList, RegularDatFilesInByteOrderThenListende) {
    testing_support::TempDir dir, empty;
    for (const char* name : {"b.dat", "a.dat", "B.dat", "A.DAT", ".hidden.dat", "x.dat.txt", "data"})
        testing_support::writeFile(dir.file(name), "");
    std::filesystem::create_directory(dir.file("sub.dat"));
    mkfifo(dir.file("pipe.dat").c_str(), 0600);
    std::filesystem::create_symlink("a.dat", dir.file("link.dat"));
    app::TextList list;
    list.text[6] = "left over";
    app::fillFileList(list, dir.path());
    std::string names;
    for (std::size_t i = 1; i <= 6; ++i) names += list.text[i] + "|";
    EXPECT_EQ(names, "B.dat|a.dat|b.dat|link.dat|Listende||");
    app::fillFileList(list, empty.path());
    EXPECT_EQ(list.text[1] + "|" + list.text[2] + "|" + list.text[3], "|Listende|");
    for (int i = 0; i < 1000; ++i) testing_support::writeFile(empty.file("f" + std::to_string(1000 + i) + ".dat"), "");
    app::fillFileList(list, empty.path());
    EXPECT_EQ(list.text[999] + "|" + list.text[1000], "f1998.dat|Listende") << "at most 999 names";
}

// A row names an entry when it lies in 1..listCapacity, holds a text and
// comes before "Listende".
TEST(TextList, NamesAnEntryOnlyInsideTheListAndBeforeItsEnd) {
    app::TextList list;
    for (std::size_t i = 1; i <= std::size_t(app::listCapacity); ++i) list.text[i] = "e";
    list.text[3] = "";
    const std::pair<int, bool> rows[] = {{0, false}, {1, true}, {3, false}, {app::listCapacity, true},
                                         {app::listCapacity + 1, false}};
    for (auto [n, names] : rows) EXPECT_EQ(app::namesAnEntry(list, n), names) << "row " << n;
    list.text[2] = app::listEnd;
    EXPECT_FALSE(app::namesAnEntry(list, 4)) << "behind Listende";
}
