// The orbits program itself on the test's X server: it starts in the main
// menu, a click starts the solar system with its framed window and title,
// Esc leads to the save dialog, which saves a typed name and ends the
// program with status 0; and the one-line error without a display.
#include "xvfb.h"  // first: GoogleTest before Xlib

#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "support/temp_dir.h"


using xvfb::eventually;

namespace {

// Starts orbits with the given DISPLAY in directory dir; its stderr goes to
// errorFd when >= 0.
pid_t startOrbits(const std::string& display, int errorFd = -1, const std::string& dir = ".") {
    const pid_t pid = fork();
    if (pid == 0) {
        if (errorFd >= 0) dup2(errorFd, STDERR_FILENO);
        if (chdir(dir.c_str()) != 0) _exit(126);
        if (display.empty()) unsetenv("DISPLAY");
        else setenv("DISPLAY", display.c_str(), 1);
        execl(ORBITS_PATH, ORBITS_PATH, static_cast<char*>(nullptr));
        _exit(127);
    }
    return pid;
}

// The exit status once the process ends within the timeout, else -1.
int exitStatus(pid_t pid, std::chrono::milliseconds timeout = std::chrono::milliseconds(10000)) {
    int status = 0;
    if (!eventually([&] { return waitpid(pid, &status, WNOHANG) == pid; }, timeout)) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

std::string utf8Name(Display* d, ::Window w) {
    Atom type;
    int format;
    unsigned long count, after;
    unsigned char* data = nullptr;
    XGetWindowProperty(d, w, XInternAtom(d, "_NET_WM_NAME", False), 0, 256, False, AnyPropertyType, &type,
                       &format, &count, &after, &data);
    std::string name = data ? std::string(reinterpret_cast<char*>(data), count) : std::string();
    if (data) XFree(data);
    return name;
}

// The top-level window whose class is "orbits", or 0.
::Window findOrbitsWindow(Display* d) {
    ::Window root, parent, *children = nullptr, found = 0;
    unsigned count = 0;
    XQueryTree(d, DefaultRootWindow(d), &root, &parent, &children, &count);
    for (unsigned i = 0; i < count && !found; ++i) {
        XClassHint hint{};
        if (XGetClassHint(d, children[i], &hint)) {
            if (std::string(hint.res_name) == "orbits") found = children[i];
            XFree(hint.res_name);
            XFree(hint.res_class);
        }
    }
    if (children) XFree(children);
    return found;
}

// Whether the window is mapped and shown: only then can its pixels be read.
bool viewable(Display* d, ::Window w) {
    XWindowAttributes attributes{};
    return XGetWindowAttributes(d, w, &attributes) && attributes.map_state == IsViewable;
}

// The orbits window once it is shown, or 0.
::Window shownOrbitsWindow(Display* d) {
    ::Window w = 0;
    if (!eventually([&] { return (w = findOrbitsWindow(d)) != 0 && viewable(d, w); })) return 0;
    return w;
}

// The colour of window pixel (x, y) as the server holds it.
unsigned long windowPixel(Display* d, ::Window w, int x, int y) {
    XImage* image = XGetImage(d, w, x, y, 1, 1, AllPlanes, ZPixmap);
    const unsigned long p = image ? XGetPixel(image, 0, 0) : ~0ul;
    if (image) XDestroyImage(image);
    return p;
}

// Whether any pixel of column x within 10 rows of y has the colour. The Sun
// drifts upwards by a pixel in some tens of thousands of steps; it keeps its
// column.
bool columnHas(Display* d, ::Window w, int x, int y, unsigned long colour) {
    XImage* image = XGetImage(d, w, x, y - 10, 1, 21, AllPlanes, ZPixmap);
    if (!image) return false;
    bool found = false;
    for (int k = 0; k < 21 && !found; ++k) found = XGetPixel(image, 0, k) == colour;
    XDestroyImage(image);
    return found;
}

// Whether any pixel of the text cell at row, column has the colour.
bool cellHas(Display* d, ::Window w, int row, int column, unsigned long colour) {
    XImage* image = XGetImage(d, w, (column - 1) * 8, (row - 1) * 16, 8, 16, AllPlanes, ZPixmap);
    if (!image) return false;
    bool found = false;
    for (int y = 0; y < 16 && !found; ++y)
        for (int x = 0; x < 8 && !found; ++x) found = XGetPixel(image, x, y) == colour;
    XDestroyImage(image);
    return found;
}

void tap(Display* d, KeySym key) {
    const KeyCode code = XKeysymToKeycode(d, key);
    XTestFakeKeyEvent(d, code, True, CurrentTime);
    XTestFakeKeyEvent(d, code, False, CurrentTime);
    XSync(d, False);
}

// A left click at window pixel (x, y); the window sits at the screen's origin.
void click(Display* d, int x, int y) {
    XTestFakeMotionEvent(d, DefaultScreen(d), x, y, CurrentTime);
    XTestFakeButtonEvent(d, 1, True, CurrentTime);
    XSync(d, False);
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    XTestFakeButtonEvent(d, 1, False, CurrentTime);
    XSync(d, False);
}

constexpr unsigned long yellow = 0xffff55, lightGreen = 0x55ff55, magenta = 0xaa00aa;

// Where the screens' widgets are: the scenario list's title and entry 7
// ("Sonnensystem starten"), the save dialog's list title and its buttons.
constexpr int scenarioTitleRow = 3, scenarioTitleColumn = 39;
constexpr int solarSystemX = 400, solarSystemY = 150;
constexpr int saveListTitleRow = 3, saveListTitleColumn = 1;
constexpr int exitButtonX = 850, exitButtonY = 110, saveAsX = 850, saveAsY = 150;
constexpr int lowerButtonRow = 10, buttonColumn = 102;

// orbits started on the test's server in a directory of its own, with a user
// connection to look at its window, and the solar system started from the
// main menu; a program a failed test leaves running is ended.
class RunningOrbits : public ::testing::Test {
protected:
    void SetUp() override {
        REQUIRE_XVFB();
        user = XOpenDisplay(xvfb::displayName().c_str());
        ASSERT_NE(user, nullptr);
        orbits = startOrbits(xvfb::displayName(), -1, dir.path().string());
        w = shownOrbitsWindow(user);
        ASSERT_NE(w, 0u);
        // The main menu: the scenario list's magenta title.
        ASSERT_TRUE(eventually([&] { return cellHas(user, w, scenarioTitleRow, scenarioTitleColumn, magenta); }));
        click(user, solarSystemX, solarSystemY);
        XTestFakeMotionEvent(user, DefaultScreen(user), 300, 300, CurrentTime);
        XSync(user, False);
    }
    void TearDown() override {
        if (orbits > 0 && waitpid(orbits, nullptr, WNOHANG) == 0) {
            kill(orbits, SIGKILL);
            waitpid(orbits, nullptr, 0);
        }
        if (user) XCloseDisplay(user);
    }
    bool saveDialogShown() { return cellHas(user, w, saveListTitleRow, saveListTitleColumn, magenta); }

    // Esc to the save dialog, then "Beenden - Exit": the exit status, or -1
    // (then the program is killed).
    int endThroughSaveDialog() {
        tap(user, XK_Escape);
        int status = -1;
        if (eventually([&] { return saveDialogShown(); })) {
            for (int attempt = 0; attempt < 10 && status < 0; ++attempt) {
                click(user, exitButtonX, exitButtonY);
                status = exitStatus(orbits, std::chrono::milliseconds(500));
            }
        }
        if (status < 0) {
            kill(orbits, SIGKILL);
            waitpid(orbits, nullptr, 0);
        }
        orbits = -1;
        return status;
    }

    testing_support::TempDir dir;
    Display* user = nullptr;
    pid_t orbits = -1;
    ::Window w = 0;
};

}  // namespace

TEST_F(RunningOrbits, RunsTheSolarSystemUnderTheKeyboard) {
    // The Sun at the centre of the view: drawing point (510, 383).
    EXPECT_TRUE(eventually([&] { return columnHas(user, w, 511, 384, yellow); }));
    // Right arrow: the eye moves 5e9 m to +x, the Sun 5 pixels to the left,
    // and the erase cycle clears its old place.
    tap(user, XK_Right);
    EXPECT_TRUE(eventually([&] {
        return columnHas(user, w, 506, 384, yellow) && !columnHas(user, w, 511, 384, yellow);
    }));
    // F3: the names of the first bodies; "Sonne" starts in row 23, column 64.
    tap(user, XK_F3);
    EXPECT_TRUE(eventually([&] { return cellHas(user, w, 23, 64, lightGreen); }));
    // The clock in the top left: "Stunde" in row 2.
    EXPECT_TRUE(cellHas(user, w, 2, 1, lightGreen));

    EXPECT_EQ(endThroughSaveDialog(), 0);
}

TEST_F(RunningOrbits, ShowsTheFramedViewportWithTheTitleAndEndsFromTheSaveDialog) {
    // Mergers may already have lowered the live count.
    std::string title;
    EXPECT_TRUE(eventually([&] {
        title = utf8Name(user, w);
        return title.rfind("Sonnensystem  ", 0) == 0;
    }));
    EXPECT_NE(title.find(" Objekte von 24"), std::string::npos) << title;

    // Blue frame on the window edge, black inside, once the menu's list box
    // has given way to the simulation's screen.
    auto pixel = [&](int x, int y) { return windowPixel(user, w, x, y); };
    EXPECT_TRUE(eventually([&] { return pixel(0, 0) == 0x0000aa && pixel(600, 400) == 0; }));
    EXPECT_EQ(pixel(1023, 767), 0x0000aaul);
    EXPECT_EQ(pixel(512, 0), 0x0000aaul);
    EXPECT_EQ(pixel(0, 400), 0x0000aaul);
    EXPECT_EQ(pixel(1, 1), 0ul);

    EXPECT_EQ(endThroughSaveDialog(), 0);
}

TEST_F(RunningOrbits, SavesATypedNameAndEndsFromTheThirdScreen) {
    EXPECT_TRUE(eventually([&] { return columnHas(user, w, 511, 384, yellow); }));
    tap(user, XK_Escape);
    ASSERT_TRUE(eventually([&] { return saveDialogShown(); }));
    click(user, saveAsX, saveAsY);
    // The name prompt stands on a cleared screen.
    ASSERT_TRUE(eventually([&] { return !saveDialogShown(); }));
    for (KeySym key : {XK_x, XK_period, XK_d, XK_a, XK_t, XK_Return}) tap(user, key);
    EXPECT_TRUE(eventually([&] { return std::filesystem::exists(dir.file("x.dat")); }));
    // The third screen's "Go to Mainnenue " button, then "Beenden - Exit".
    ASSERT_TRUE(eventually([&] { return cellHas(user, w, lowerButtonRow, buttonColumn, lightGreen); }));
    click(user, exitButtonX, exitButtonY);
    EXPECT_EQ(exitStatus(orbits), 0);
}

// Typed into the real window: i, 4, Enter turn the view to the Earth (blue)
// at the centre, where the Moon (grey) may cover its one pixel; a real left
// click there marks one of them, whose name appears in the marking line
// from row 1, column 30.
TEST_F(RunningOrbits, TargetNumberCentresTheEarthAndAClickMarksIt) {
    constexpr unsigned long blue = 0x0000aa, grey = 0xaaaaaa;
    EXPECT_TRUE(eventually([&] { return columnHas(user, w, 511, 384, yellow); }));
    for (KeySym key : {XK_i, XK_4, XK_Return}) tap(user, key);
    EXPECT_TRUE(eventually([&] {
        return (columnHas(user, w, 511, 384, blue) || columnHas(user, w, 511, 384, grey)) &&
               !columnHas(user, w, 511, 384, yellow);
    }));
    EXPECT_FALSE(cellHas(user, w, 1, 30, lightGreen));
    XTestFakeMotionEvent(user, DefaultScreen(user), 510, 383, CurrentTime);
    XTestFakeButtonEvent(user, Button1, True, CurrentTime);
    XSync(user, False);
    EXPECT_TRUE(eventually([&] { return cellHas(user, w, 1, 30, lightGreen); }));
    XTestFakeButtonEvent(user, Button1, False, CurrentTime);
    XSync(user, False);

    EXPECT_EQ(endThroughSaveDialog(), 0);
}

TEST(OrbitsProgram, WithoutADisplaySaysSoAndExitsWithStatus1) {
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    const pid_t orbits = startOrbits(":65001", fds[1]);
    close(fds[1]);
    const int status = exitStatus(orbits);
    std::string message;
    char buffer[256];
    for (ssize_t n; (n = read(fds[0], buffer, sizeof buffer)) > 0;) message.append(buffer, std::size_t(n));
    close(fds[0]);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(message, "orbits: cannot open X display \":65001\"\n");
}

// The window shows whole frames only: grabbed at any moment, the running
// solar system (trails off, names on) shows the Sun and the clock, never a
// picture half erased.
TEST_F(RunningOrbits, EveryGrabbedFrameIsWhole) {
    ASSERT_TRUE(eventually([&] { return columnHas(user, w, 511, 384, yellow); }));
    tap(user, XK_F3);
    ASSERT_TRUE(eventually([&] { return cellHas(user, w, 23, 64, lightGreen); }));
    int missing = 0;
    for (int grab = 0; grab < 500; ++grab) {
        XImage* image = XGetImage(user, w, 0, 0, 1024, 400, AllPlanes, ZPixmap);
        ASSERT_NE(image, nullptr);
        // The Sun, or the opaque name of a planet passing over it.
        bool sun = false, clock = false;
        for (int y = 374; y <= 394 && !sun; ++y)
            for (int x = 504; x <= 518 && !sun; ++x) sun = XGetPixel(image, x, y) == yellow || XGetPixel(image, x, y) == lightGreen;
        for (int y = 16; y < 32 && !clock; ++y)
            for (int x = 0; x < 8 && !clock; ++x) clock = XGetPixel(image, x, y) == lightGreen;
        XDestroyImage(image);
        missing += !(sun && clock);
    }
    EXPECT_EQ(missing, 0) << "of 500 grabs";
    EXPECT_EQ(endThroughSaveDialog(), 0);
}

// Losing the window or the connection to the server ends orbits within a
// second, with one line on stderr and status 1.
TEST(OrbitsProgram, EndsWhenItsWindowOrServerIsGone) {
    REQUIRE_XVFB();
    struct Row {
        const char* what;
        void (*take)(Display*, ::Window);
        const char* message;
    };
    const Row rows[] = {
        {"window destroyed", [](Display* d, ::Window w) { XDestroyWindow(d, w); },
         "orbits: the window was destroyed by another program\n"},
        {"client killed", [](Display* d, ::Window w) { XKillClient(d, w); },
         "orbits: lost the connection to the X server\n"},
    };
    for (const Row& row : rows) {
        Display* user = XOpenDisplay(xvfb::displayName().c_str());
        ASSERT_NE(user, nullptr);
        int fds[2];
        ASSERT_EQ(pipe(fds), 0);
        const pid_t orbits = startOrbits(xvfb::displayName(), fds[1]);
        close(fds[1]);
        const ::Window w = shownOrbitsWindow(user);
        ASSERT_NE(w, 0u) << row.what;
        row.take(user, w);
        XSync(user, False);
        const int status = exitStatus(orbits, std::chrono::milliseconds(1000));
        if (status < 0) {
            kill(orbits, SIGKILL);
            waitpid(orbits, nullptr, 0);
        }
        std::string message;
        char buffer[256];
        for (ssize_t n; (n = read(fds[0], buffer, sizeof buffer)) > 0;) message.append(buffer, std::size_t(n));
        close(fds[0]);
        XCloseDisplay(user);
        EXPECT_EQ(status, 1) << row.what;
        EXPECT_EQ(message, row.message) << row.what;
    }
}
