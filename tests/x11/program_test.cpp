// The orbits program itself on the test's X server: it starts in the main
// menu, a click starts the solar system with its title, it shows whole
// frames only, Esc leads to the save dialog, which ends the program with
// status 0; and it ends with one line when it has no display, loses its
// window or its server.
#include "xvfb.h"  // first: GoogleTest before Xlib

#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "support/temp_dir.h"

using xvfb::eventually;

namespace {

// Starts orbits on display in directory dir; its stderr goes to a pipe
// whose reading end lands in errorFd.
pid_t startOrbits(const std::string& display, int& errorFd, const std::string& dir = ".") {
    int fds[2];
    if (pipe(fds) != 0) return -1;
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(fds[1], STDERR_FILENO);
        if (chdir(dir.c_str()) != 0) _exit(126);
        setenv("DISPLAY", display.c_str(), 1);
        execl(ORBITS_PATH, ORBITS_PATH, static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    errorFd = fds[0];
    return pid;
}

// The exit status once the process ends within the timeout, else -1.
int exitStatus(pid_t pid, int timeoutMs = 10000) {
    int status = 0;
    if (!eventually([&] { return waitpid(pid, &status, WNOHANG) == pid; }, std::chrono::milliseconds(timeoutMs)))
        return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// Ends a process still running.
void stop(pid_t pid) {
    if (pid > 0 && waitpid(pid, nullptr, WNOHANG) == 0) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
}

// Everything written to fd until it is closed.
std::string readAll(int fd) {
    std::string text;
    char buffer[256];
    for (ssize_t n; (n = read(fd, buffer, sizeof buffer)) > 0;) text.append(buffer, std::size_t(n));
    close(fd);
    return text;
}

// The top-level window of class "orbits" once it is shown, or 0.
::Window shownOrbitsWindow(Display* d) {
    ::Window found = 0;
    eventually([&] {
        ::Window root, parent, *children = nullptr;
        unsigned count = 0;
        XQueryTree(d, DefaultRootWindow(d), &root, &parent, &children, &count);
        for (unsigned i = 0; i < count && !found; ++i) {
            XClassHint hint{};
            XWindowAttributes attributes{};
            if (!XGetClassHint(d, children[i], &hint)) continue;
            if (std::string(hint.res_name) == "orbits" && XGetWindowAttributes(d, children[i], &attributes) &&
                attributes.map_state == IsViewable)
                found = children[i];
            XFree(hint.res_name);
            XFree(hint.res_class);
        }
        if (children) XFree(children);
        return found != 0;
    });
    return found;
}

// Whether any pixel of the window's rectangle has the colour.
bool areaHas(Display* d, ::Window w, int x, int y, int width, int height, unsigned long colour) {
    XImage* image = XGetImage(d, w, x, y, unsigned(width), unsigned(height), AllPlanes, ZPixmap);
    bool found = false;
    for (int k = 0; image && k < width * height && !found; ++k) found = XGetPixel(image, k % width, k / width) == colour;
    if (image) XDestroyImage(image);
    return found;
}

bool cellHas(Display* d, ::Window w, int row, int column, unsigned long colour) {
    return areaHas(d, w, (column - 1) * 8, (row - 1) * 16, 8, 16, colour);
}

void tap(Display* d, KeySym key) {
    XTestFakeKeyEvent(d, XKeysymToKeycode(d, key), True, CurrentTime);
    XTestFakeKeyEvent(d, XKeysymToKeycode(d, key), False, CurrentTime);
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

// orbits started in a directory of its own, a user connection to look at
// its window, and the solar system started from the main menu (whose list
// has a magenta title).
class RunningOrbits : public ::testing::Test {
protected:
    void SetUp() override {
        REQUIRE_XVFB();
        user = XOpenDisplay(xvfb::displayName().c_str());
        ASSERT_NE(user, nullptr);
        orbits = startOrbits(xvfb::displayName(), errorFd, dir.path().string());
        ASSERT_NE(w = shownOrbitsWindow(user), 0u);
        ASSERT_TRUE(eventually([&] { return cellHas(user, w, 3, 39, magenta); }));
        click(user, 400, 150);
        XTestFakeMotionEvent(user, DefaultScreen(user), 300, 300, CurrentTime);
        ASSERT_TRUE(eventually([&] { return areaHas(user, w, 511, 374, 1, 21, yellow); })) << "the Sun at the centre";
    }
    void TearDown() override {
        stop(orbits);
        if (errorFd >= 0) close(errorFd);
        if (user) XCloseDisplay(user);
    }
    // Esc, then the save dialog's "Beenden - Exit" (its list title is magenta).
    int endThroughSaveDialog() {
        tap(user, XK_Escape);
        EXPECT_TRUE(eventually([&] { return cellHas(user, w, 3, 1, magenta); }));
        int status = -1;
        for (int attempt = 0; attempt < 10 && status < 0; ++attempt) {
            click(user, 850, 110);
            status = exitStatus(orbits, 500);
        }
        return status;
    }

    testing_support::TempDir dir;
    Display* user = nullptr;
    pid_t orbits = -1;
    int errorFd = -1;
    ::Window w = 0;
};

}  // namespace

// Grabbed at any moment, the running solar system (names on) shows the Sun
// (or a planet's name passing over it) and the clock, never a half-erased
// picture.
TEST_F(RunningOrbits, EveryGrabbedFrameIsWhole) {
    std::string title;
    EXPECT_TRUE(eventually([&] { return (title = xvfb::property(user, w, "_NET_WM_NAME")).rfind("Sonnensystem  ", 0) == 0; }));
    EXPECT_NE(title.find(" Objekte von 24"), std::string::npos) << title;  // mergers may have lowered the count
    tap(user, XK_F3);
    ASSERT_TRUE(eventually([&] { return cellHas(user, w, 23, 64, lightGreen); })) << "Sonne";
    int missing = 0;
    for (int grab = 0; grab < 500; ++grab) {
        XImage* image = XGetImage(user, w, 0, 0, 1024, 400, AllPlanes, ZPixmap);
        ASSERT_NE(image, nullptr);
        bool sun = false, clock = false;
        for (int k = 0; k < 15 * 21 && !sun; ++k) {
            const unsigned long p = XGetPixel(image, 504 + k % 15, 374 + k / 15);
            sun = p == yellow || p == lightGreen;
        }
        for (int k = 0; k < 8 * 16 && !clock; ++k) clock = XGetPixel(image, k % 8, 16 + k / 8) == lightGreen;
        XDestroyImage(image);
        missing += !(sun && clock);
    }
    EXPECT_EQ(missing, 0) << "of 500 grabs";
    EXPECT_EQ(endThroughSaveDialog(), 0);
}

// Without a display, or when its window or its connection is taken away,
// orbits says so in one line and ends with status 1 within a second.
TEST(OrbitsProgram, EndsWithOneLineWithoutADisplayWindowOrServer) {
    REQUIRE_XVFB();
    const struct {
        const char* display;
        void (*take)(Display*, ::Window);
        const char* message;
    } rows[] = {
        {":65001", nullptr, "orbits: cannot open X display \":65001\"\n"},
        {"", [](Display* d, ::Window w) { XDestroyWindow(d, w); }, "orbits: the window was destroyed by another program\n"},
        {"", [](Display* d, ::Window w) { XKillClient(d, w); }, "orbits: lost the connection to the X server\n"},
    };
    for (const auto& row : rows) {
        Display* user = XOpenDisplay(xvfb::displayName().c_str());
        ASSERT_NE(user, nullptr);
        int errorFd = -1;
        const pid_t orbits = startOrbits(*row.display ? row.display : xvfb::displayName(), errorFd);
        if (row.take) {
            const ::Window w = shownOrbitsWindow(user);
            EXPECT_NE(w, 0u) << row.message;
            row.take(user, w);
            XSync(user, False);
        }
        EXPECT_EQ(exitStatus(orbits, row.take ? 1000 : 10000), 1) << row.message;
        stop(orbits);
        EXPECT_EQ(readAll(errorFd), row.message);
        XCloseDisplay(user);
    }
}
