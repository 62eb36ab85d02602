// The window under an Xvfb the tests start, driven by real X events through XTest: pixels (through MIT
// shared memory and through plain XPutImage), keys and pointer; then orbits itself: a click between two
// polls of its main menu, whole frames only, and one line when the display, window or server is lost.
#include <gtest/gtest.h>  // before Xlib, whose macros (None, Status, ...) would break it

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "display/screen.h"
#include "display/x11/window_backend.h"
#include "support/temp_dir.h"

using namespace display;

namespace {

std::string serverDisplay;  // ":N" of the test's server, empty when it did not start

// Xvfb on a display it picks itself, for the whole test program; without it every test is skipped.
struct Xvfb : ::testing::Environment {
    void SetUp() override {
        XInitThreads();
        // The shell prints its process id and becomes Xvfb, which prints its display number once it accepts
        // connections; the server goes with the tests, even when they are killed.
        server = popen("echo $$; exec setpriv --pdeathsig TERM Xvfb -displayfd 1 -screen 0 1280x1024x24"
                       " -nolisten tcp -noreset 2>/dev/null", "re");
        char pidText[32] = "", number[32] = "";
        if (server && std::fgets(pidText, sizeof pidText, server) && std::fgets(number, sizeof number, server))
            serverDisplay = ":" + std::to_string(std::atoi(number));
        pid = std::atoi(pidText);
        if (serverDisplay.empty()) GTEST_SKIP() << "x11 tests: Xvfb did not start";
    }
    void TearDown() override {
        if (pid > 0) kill(pid, SIGTERM);
        if (server) pclose(server);
    }
    std::FILE* server = nullptr;
    pid_t pid = 0;
};

// Polls until done() holds, for at most timeout; true if it did.
template <typename Done>
bool eventually(Done done, std::chrono::milliseconds timeout = std::chrono::milliseconds(5000)) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

using User = std::unique_ptr<Display, decltype(&XCloseDisplay)>;
User openUser() { return User(XOpenDisplay(serverDisplay.c_str()), XCloseDisplay); }

}  // namespace

class X11Window : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override {
        ASSERT_NE(user, nullptr);
        std::string error;
        auto opened = x11::openWindowBackend({serverDisplay, GetParam()}, error);
        ASSERT_TRUE(opened) << error;
        backend = opened.get();
        screen = std::make_unique<display::Screen>(std::move(opened));
        openScreen(*screen);
        setViewport(*screen, 1, 1, 1022, 766, 0, 1);
    }
    // The first pixel where the window differs from the frame offered to it (as a program at rest does),
    // or "": the palette reaches a 24-bit visual as its 8-bit values.
    std::string firstDifference() {
        presentFrame(*screen, false);
        XImage* image = XGetImage(u(), backend->windowId(), 0, 0, screenWidth, screenHeight, AllPlanes, ZPixmap);
        const std::vector<uint8_t> frame = copyFrame(*screen);
        std::string difference = image ? "" : "no image";
        for (int k = 0; image && k < screenWidth * screenHeight && difference.empty(); ++k) {
            const Rgb c = defaultPalette()[frame[std::size_t(k)]];
            if (XGetPixel(image, k % screenWidth, k / screenWidth) != (unsigned long)(c.r << 16 | c.g << 8 | c.b))
                difference = std::to_string(k % screenWidth) + "," + std::to_string(k / screenWidth);
        }
        if (image) XDestroyImage(image);
        return difference;
    }
    Display* u() { return user.get(); }

    User user = openUser();
    x11::WindowBackend* backend = nullptr;
    std::unique_ptr<display::Screen> screen;
};

// Every colour of the palette, then a change of a few rows, reach the window;
// the close button is only a key.
TEST_P(X11Window, PixelsAndTheCloseButton) {
    EXPECT_EQ(backend->usesSharedMemory(), GetParam()) << "Xvfb offers MIT-SHM";
    for (int c = 0; c < 256; ++c) drawBox(*screen, float(c % 32 * 30), float(c / 32 * 60), float(c % 32 * 30 + 29),
                                          float(c / 32 * 60 + 59), c, true);
    EXPECT_TRUE(eventually([&] { return firstDifference().empty(); })) << "differs at " << firstDifference();
    drawLine(*screen, 0, 700, 1021, 710, 13);
    EXPECT_TRUE(eventually([&] { return firstDifference().empty(); })) << "differs at " << firstDifference();
    XEvent close{};
    const Atom protocols = XInternAtom(u(), "WM_PROTOCOLS", False);
    close.xclient = {ClientMessage, 0, False, u(), backend->windowId(), protocols, 32, {}};
    close.xclient.data.l[0] = long(XInternAtom(u(), "WM_DELETE_WINDOW", False));
    XSendEvent(u(), backend->windowId(), False, NoEventMask, &close);
    XFlush(u());
    std::string key;
    EXPECT_TRUE(eventually([&] { return !(key = readKey(*screen)).empty(); }));
    EXPECT_EQ(key, "\xff\x6b");
}

// Each key's text: its character, or 0xff and its scan code.
TEST_P(X11Window, KeysArriveAsKeyTexts) {
    XTestFakeMotionEvent(u(), DefaultScreen(u()), 200, 200, CurrentTime);  // the pointer brings the focus
    XSync(u(), False);
    ASSERT_TRUE(eventually([&] { return readMouse(*screen).status == 0; })) << "window never got the pointer";
    const KeySym keys[] = {XK_a, XK_A, XK_Return, XK_BackSpace, XK_Tab, XK_Escape, XK_F1, XK_F10, XK_F11, XK_F12,
                           XK_Left, XK_Home, XK_Prior, XK_Next, XK_Delete, XK_z};
    for (KeySym key : keys) {
        const bool shifted = key == XK_A;
        if (shifted) XTestFakeKeyEvent(u(), XKeysymToKeycode(u(), XK_Shift_L), True, CurrentTime);
        XTestFakeKeyEvent(u(), XKeysymToKeycode(u(), shifted ? XK_a : key), True, CurrentTime);
        XTestFakeKeyEvent(u(), XKeysymToKeycode(u(), shifted ? XK_a : key), False, CurrentTime);
        if (shifted) XTestFakeKeyEvent(u(), XKeysymToKeycode(u(), XK_Shift_L), False, CurrentTime);
    }
    XFlush(u());
    // F11 and F12 deliver nothing.
    const std::string expected = "aA\r\b\t\x1b\xff;\xff" "D\xff" "K\xff" "G\xff" "I\xff" "Q\xff" "Sz";
    std::string typed;
    EXPECT_TRUE(eventually([&] { return (typed += readKey(*screen)).size() >= expected.size(); }));
    EXPECT_EQ(typed, expected);
}

// Inside: position, button bits (left 1, right 2, middle 4) and wheel;
// outside the window: all -1.
TEST_P(X11Window, PointerButtonsWheelAndOutside) {
    XTestFakeMotionEvent(u(), DefaultScreen(u()), 1200, 900, CurrentTime);
    XFlush(u());
    MouseReading m;
    EXPECT_TRUE(eventually([&] { return (m = readMouse(*screen)).status != 0; }));
    EXPECT_EQ(std::vector<int>({m.x, m.y, m.wheel, m.buttons}), std::vector<int>({-1, -1, -1, -1}));
    for (auto [x, y, in] : {std::tuple{1023, 767, true}, {1024, 767, false}, {1023, 767, true}, {1023, 768, false}}) {
        XTestFakeMotionEvent(u(), DefaultScreen(u()), x, y, CurrentTime);
        XFlush(u());
        EXPECT_TRUE(eventually([&] { return (m = readMouse(*screen)).status == 0 ? in && m.x == x && m.y == y : !in; }))
            << x << "," << y;
    }
    XTestFakeMotionEvent(u(), DefaultScreen(u()), 100, 50, CurrentTime);
    XFlush(u());
    EXPECT_TRUE(eventually([&] { return (m = readMouse(*screen)).status == 0 && m.x == 100 && m.y == 50; }));
    EXPECT_EQ(std::make_pair(m.buttons, m.wheel), std::make_pair(0, 0));
    const struct { std::vector<std::pair<unsigned, bool>> events; int buttons, wheel; } rows[] = {
        {{{1, true}, {3, true}}, 3, 0}, {{{1, false}, {3, false}, {2, true}}, 4, 0}, {{{2, false}}, 0, 0},
        {{{4, true}, {4, false}}, 0, 1}, {{{5, true}, {5, false}, {5, true}, {5, false}}, 0, -1},
    };
    for (const auto& row : rows) {
        for (auto [b, down] : row.events) XTestFakeButtonEvent(u(), b, down, CurrentTime);
        XFlush(u());
        EXPECT_TRUE(eventually([&] { return (m = readMouse(*screen)).buttons == row.buttons && m.wheel == row.wheel; }))
            << "buttons " << m.buttons << ", wheel " << m.wheel << "; expected " << row.buttons << ", " << row.wheel;
    }
    XTestFakeMotionEvent(u(), DefaultScreen(u()), 1024, 767, CurrentTime);
    XSync(u(), False);
    std::string error;
    display::Screen opened(x11::openWindowBackend({serverDisplay, GetParam()}, error));
    EXPECT_NE(readMouse(opened).status, 0) << "a window opened with the pointer just right of it";
}

INSTANTIATE_TEST_SUITE_P(Transfer, X11Window, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "SharedMemory" : "PutImage"; });

namespace {

constexpr unsigned long yellow = 0xffff55, lightGreen = 0x55ff55, magenta = 0xaa00aa;

// orbits running in dir on display, its stderr going to dir/stderr.txt;
// killed at the end unless it ended by itself.
struct Orbits {
    Orbits(const std::string& display, const testing_support::TempDir& dir) : pid(fork()) {
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
    // The exit status once orbits ends within timeout, else -1.
    int exitStatus(std::chrono::milliseconds timeout) {
        int status = 0;
        if (!eventually([&] { return waitpid(pid, &status, WNOHANG) == pid; }, timeout)) return -1;
        pid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    pid_t pid;
};

// The first top-level window shown, or 0: orbits', as the server has no other client with windows.
::Window shownOrbitsWindow(Display* d) {
    ::Window found = 0;
    eventually([&] {
        ::Window root, parent, *children = nullptr;
        unsigned count = 0;
        XQueryTree(d, DefaultRootWindow(d), &root, &parent, &children, &count);
        XWindowAttributes a{};
        for (unsigned i = 0; i < count && !found; ++i)
            if (XGetWindowAttributes(d, children[i], &a) && a.map_state == IsViewable) found = children[i];
        if (children) XFree(children);
        return found != 0;
    });
    return found;
}

// Whether any pixel of the window's rectangle, grabbed at once, has one of the colours.
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
    testing_support::TempDir dir;
    const User user = openUser();
    ASSERT_NE(user, nullptr);
    Display* d = user.get();
    Orbits orbits(serverDisplay, dir);
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
        Orbits orbits(*row.display ? row.display : serverDisplay, dir);
        if (row.take) {
            const ::Window w = shownOrbitsWindow(user.get());
            EXPECT_NE(w, 0u) << row.message;
            row.take(user.get(), w);
            XSync(user.get(), False);
        }
        EXPECT_EQ(orbits.exitStatus(std::chrono::milliseconds(row.take ? 1000 : 10000)), 1) << row.message;
        EXPECT_EQ(testing_support::readFile(dir.file("stderr.txt")), row.message);
    }
}

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new Xvfb);
    return RUN_ALL_TESTS();
}
