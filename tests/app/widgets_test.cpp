// The list box, the button and the file list, driven frame by frame.
#include <filesystem>
#include <string>

#include <sys/stat.h>

#include "app/screen_text.h"
#include "app/widgets.h"
#include "support/temp_dir.h"

using app::Pointer;

// The scenario box (300, 50, 550 x 500) and a button (800, 100, 120 x 20, hit 20 pixels wider) are
// hit strictly inside; the box's number drifts ahead of the text rows further down. A hit pauses.
TEST(Widgets, AreHitStrictlyInside) {
    const struct { const char* name; bool box; Pointer pointer; int choice; } rows[] = {  // choice: picked, 1 pressed
        {"box left edge", true, {300, 100, 1}, -1},
        {"one right of it", true, {301, 100, 1}, 4},
        {"box top edge", true, {400, 50, 1}, -1},
        {"one below it", true, {400, 51, 1}, 1},
        {"box bottom edge", true, {400, 550, 1}, -1},
        {"one above it", true, {400, 549, 1}, 31},
        {"no button over the box", true, {400, 100, 0}, -1},
        {"outside the window", true, {-1, -1, -1}, -1},
        {"button left edge", false, {800, 110, 1}, -1},
        {"one right of it", false, {801, 110, 1}, 1},
        {"width + 19", false, {939, 110, 1}, 1},
        {"width + 20", false, {940, 110, 1}, -1},
        {"no button over the button", false, {850, 110, 0}, -1},
        {"outside the window", false, {-1, -1, -1}, -1},
    };
    for (const auto& row : rows) {
        testing_support::Session run;
        app::TextList list = app::scenarioList();
        list.active = 1;
        bool pressed = false;
        if (row.box) app::listBox(run.screen, row.pointer, 300, 50, 550, 500, list, "Neustart");
        else pressed = app::button(run.screen, row.pointer, 800, 100, 120, 20, "Exit", 1, 11);
        const int pause = row.choice < 0 ? 0 : row.box ? 300 : 200;
        EXPECT_EQ(std::make_tuple(row.box ? list.choice : pressed ? 1 : -1, run.input().time()),
                  std::make_tuple(row.choice, pause)) << row.name;
    }
}

// A box prints its title on text row floor(y / 16) at column round(x / 7.9 + 1) and exactly 30 entries
// below it; an inactive one draws nothing.
TEST(ListBox, PrintsItsTitleAndThirtyEntries) {
    testing_support::Session run;
    app::TextList list;
    for (int i = 1; i <= 31; ++i) list.text[std::size_t(i)] = "E" + std::to_string(i);
    const auto blank = display::copyFrame(run.screen);
    app::listBox(run.screen, {-1, -1, -1}, 300, 50, 400, 500, list, "Titel");
    EXPECT_EQ(display::copyFrame(run.screen), blank) << "inactive";
    list.active = 1;
    app::listBox(run.screen, {-1, -1, -1}, 300, 50, 400, 500, list, "Titel");
    const std::pair<int, std::string> rows[] = {{3, "Titel"}, {4, "E1 "}, {33, "E30"}};
    for (auto [row, text] : rows) EXPECT_EQ(testing_support::textLike(run.screen, row, 39, text), text) << row;
    EXPECT_NE(testing_support::textLike(run.screen, 34, 39, "E31"), "E31");
}

// Regular .dat files (links to them too) in byte order, at most 999, then "Listende"; what a
// longer list left behind is cleared. Rows before "Listende" that hold a text name entries.
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
    // A row names an entry when it lies in 1..listCapacity, holds a text and comes before "Listende".
    list.text[3] = "", list.text[app::listCapacity] = "e";
    const std::pair<int, bool> rows[] = {{0, false}, {1, true}, {3, false}, {app::listCapacity, true},
                                         {app::listCapacity + 1, false}};
    for (auto [n, names] : rows) EXPECT_EQ(app::namesAnEntry(list, n), names) << "row " << n;
}

