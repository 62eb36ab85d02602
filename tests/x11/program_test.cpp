// orbits on the test's X server: a click between two polls of its main menu starts the solar
// system, it shows whole frames only, and it ends with one line without a display, window or server.
#include "xvfb.h"  // first: GoogleTest before Xlib

#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <initializer_list>
#include <memory>
#include <string>

#include "support/temp_dir.h"

using xvfb::eventually;

namespace {

constexpr unsigned long yellow = 0xffff55, lightGreen = 0x55ff55, magenta = 0xaa00aa;

// orbits running in dir on display, its stderr going to dir/stderr.txt;
// killed at the end unless it ended by itself.
struct Orbits {
    Orbits(const std::string& display, const testing_support::TempDir& dir) {
        pid = fork();
        if (pid != 0) return;
        if (chdir(dir.path().c_str()) != 0) _exit(126);
        dup2(open("stderr.txt", O_WRONLY | O_CREAT | O_TRUNC, 0600), STDERR_FILENO);
        setenv("DISPLAY", display.c_str(), 1);
        execl(ORBITS_PATH, ORBITS_PATH, static_cast<char*>(nullptr));
        _exit(127);
    }
    ~Orbits() {
        if (pid <= 0) return;
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
    // The exit status once orbits ends within timeoutMs, else -1.
    int exitStatus(int timeoutMs) {
        int status = 0;
        if (pid <= 0 ||
            !eventually([&] { return waitpid(pid, &status, WNOHANG) == pid; }, std::chrono::milliseconds(timeoutMs)))
            return -1;
        pid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    pid_t pid;
};

using User = std::unique_ptr<Display, decltype(&XCloseDisplay)>;
User openUser() { return User(XOpenDisplay(xvfb::displayName().c_str()), XCloseDisplay); }

// The top-level window of class "orbits" once it is shown, or 0.
::Window shownOrbitsWindow(Display* d) {
    ::Window found = 0;
    eventually([&] {
        ::Window root, parent, *children = nullptr;
        unsigned count = 0;
        XQueryTree(d, DefaultRootWindow(d), &root, &parent, &children, &count);
        XWindowAttributes a{};
        for (unsigned i = 0; i < count && !found; ++i)
            if (xvfb::property(d, children[i], "WM_CLASS").rfind("orbits", 0) == 0 &&
                XGetWindowAttributes(d, children[i], &a) && a.map_state == IsViewable)
                found = children[i];
        if (children) XFree(children);
        return found != 0;
    });
    return found;
}

// Whether any pixel of the window's rectangle, grabbed at once, has one of
// the colours.
bool areaHas(Display* d, ::Window w, int x, int y, int width, int height,
             std::initializer_list<unsigned long> colours) {
    XImage* image = XGetImage(d, w, x, y, unsigned(width), unsigned(height), AllPlanes, ZPixmap);
    bool found = false;
    for (int k = 0; image && k < width * height && !found; ++k)
        for (unsigned long colour : colours) found = found || XGetPixel(image, k % width, k / width) == colour;
    if (image) XDestroyImage(image);
    return found;
}

}  // namespace

// The main menu (its list's title magenta) takes a click of 30 ms; the solar system then runs with names
// on: grabbed at any moment it shows the Sun (or a name over it) and the clock, never a half-erased picture.
TEST(OrbitsProgram, ClickStartsTheSolarSystemAndEveryGrabbedFrameIsWhole) {
    REQUIRE_XVFB();
    testing_support::TempDir dir;
    const User user = openUser();
    ASSERT_NE(user, nullptr);
    Display* d = user.get();
    Orbits orbits(xvfb::displayName(), dir);
    const ::Window w = shownOrbitsWindow(d);
    ASSERT_NE(w, 0u);
    ASSERT_TRUE(eventually([&] { return areaHas(d, w, 38 * 8, 2 * 16, 8, 16, {magenta}); }));
    XTestFakeMotionEvent(d, DefaultScreen(d), 400, 150, CurrentTime);
    XTestFakeButtonEvent(d, 1, True, CurrentTime);
    XSync(d, False);
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    XTestFakeButtonEvent(d, 1, False, CurrentTime);
    XTestFakeMotionEvent(d, DefaultScreen(d), 300, 300, CurrentTime);
    XSync(d, False);
    ASSERT_TRUE(eventually([&] { return areaHas(d, w, 511, 374, 1, 21, {yellow}); })) << "the Sun at the centre";
    XTestFakeKeyEvent(d, XKeysymToKeycode(d, XK_F3), True, CurrentTime);
    XTestFakeKeyEvent(d, XKeysymToKeycode(d, XK_F3), False, CurrentTime);
    XSync(d, False);
    ASSERT_TRUE(eventually([&] { return areaHas(d, w, 63 * 8, 22 * 16, 8, 16, {lightGreen}); })) << "Sonne";
    int missing = 0;
    for (int grab = 0; grab < 500; ++grab) {
        const bool sun = areaHas(d, w, 504, 374, 15, 21, {yellow, lightGreen});
        missing += !(sun && areaHas(d, w, 0, 16, 8, 16, {lightGreen}));
    }
    EXPECT_EQ(missing, 0) << "of 500 grabs";
}

// Without a display, or when its window or its connection is taken away,
// orbits says so in one line and ends with status 1 within a second.
TEST(OrbitsProgram, EndsWithOneLineWithoutADisplayWindowOrServer) {
    REQUIRE_XVFB();
    const struct { const char* display; void (*take)(Display*, ::Window); const char* message; } rows[] = {
        {":65001", nullptr, "orbits: cannot open X display \":65001\"\n"},
        {"", [](Display* d, ::Window w) { XDestroyWindow(d, w); },
         "orbits: the window was destroyed by another program\n"},
        {"", [](Display* d, ::Window w) { XKillClient(d, w); }, "orbits: lost the connection to the X server\n"},
    };
    for (const auto& row : rows) {
        testing_support::TempDir dir;
        const User user = openUser();
        ASSERT_NE(user, nullptr);
        Orbits orbits(*row.display ? row.display : xvfb::displayName(), dir);
        if (row.take) {
            const ::Window w = shownOrbitsWindow(user.get());
            EXPECT_NE(w, 0u) << row.message;
            row.take(user.get(), w);
            XSync(user.get(), False);
        }
        EXPECT_EQ(orbits.exitStatus(row.take ? 1000 : 10000), 1) << row.message;
        EXPECT_EQ(testing_support::readFile(dir.file("stderr.txt")), row.message);
    }
}
