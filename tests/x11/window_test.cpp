// The X11 window under Xvfb, driven by real X events through XTest: size, title, pixels, keys,
// pointer and close button, once through MIT shared memory and once through plain XPutImage.
#include "xvfb.h"  // first: GoogleTest before Xlib

#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <memory>
#include <string>
#include <vector>

#include "display/screen.h"
#include "display/x11/window_backend.h"

using namespace display;
using xvfb::eventually;

class X11Window : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override {
        REQUIRE_XVFB();
        user = XOpenDisplay(xvfb::displayName().c_str());
        ASSERT_NE(user, nullptr);
        std::string error;
        auto opened = x11::openWindowBackend({xvfb::displayName(), GetParam()}, error);
        ASSERT_TRUE(opened) << error;
        backend = opened.get();
        screen = std::make_unique<display::Screen>(std::move(opened));
        openScreen(*screen);
        setViewport(*screen, 1, 1, 1022, 766, 0, 1);
    }
    void TearDown() override {
        screen.reset();
        if (user) XCloseDisplay(user);
    }
    // The first pixel where the window differs from the frame, or "". Like a
    // program at rest, it offers its picture to the window first. The palette
    // reaches a 24-bit visual as its 8-bit values.
    std::string firstDifference() {
        presentFrame(*screen, false);
        XImage* image = XGetImage(user, backend->windowId(), 0, 0, screenWidth, screenHeight, AllPlanes, ZPixmap);
        if (!image) return "no image";
        const std::vector<uint8_t> frame = copyFrame(*screen);
        std::string difference;
        for (int k = 0; k < screenWidth * screenHeight && difference.empty(); ++k) {
            const Rgb c = defaultPalette()[frame[std::size_t(k)]];
            if (XGetPixel(image, k % screenWidth, k / screenWidth) != (unsigned long)(c.r << 16 | c.g << 8 | c.b))
                difference = std::to_string(k % screenWidth) + "," + std::to_string(k / screenWidth);
        }
        XDestroyImage(image);
        return difference;
    }

    Display* user = nullptr;
    x11::WindowBackend* backend = nullptr;
    std::unique_ptr<display::Screen> screen;
};

TEST_P(X11Window, FixedSizeTitleAndTransfer) {
    XWindowAttributes a;
    XSizeHints hints;
    long supplied;
    ASSERT_TRUE(XGetWindowAttributes(user, backend->windowId(), &a));
    ASSERT_TRUE(XGetWMNormalHints(user, backend->windowId(), &hints, &supplied));
    EXPECT_EQ(std::vector<long>({a.width, a.height, a.map_state, hints.flags & (PMinSize | PMaxSize), hints.min_width,
                                 hints.max_width, hints.min_height, hints.max_height}),
              std::vector<long>({1024, 768, IsViewable, PMinSize | PMaxSize, 1024, 1024, 768, 768}));
    EXPECT_EQ(backend->usesSharedMemory(), GetParam()) << "Xvfb offers MIT-SHM";

    setWindowTitle(*screen, "Gr\x94\xe1" "e \x81" "ber 24 Objekte");
    const std::string utf8 = "Gr\xc3\xb6\xc3\x9f" "e \xc3\xbc" "ber 24 Objekte";
    EXPECT_TRUE(eventually([&] { return xvfb::property(user, backend->windowId(), "_NET_WM_NAME") == utf8; }));
    EXPECT_EQ(xvfb::property(user, backend->windowId(), "WM_NAME"), "Gr\xf6\xdf" "e \xfc" "ber 24 Objekte");
}

// Every colour of the palette; the close button, which is only a key; and a
// later change of a few rows, drawn to the window that stayed open.
TEST_P(X11Window, DrawnPixelsReachTheWindowAndCloseIsOnlyAKey) {
    for (int c = 0; c < 256; ++c) drawBox(*screen, float(c % 32 * 30), float(c / 32 * 60), float(c % 32 * 30 + 29),
                                          float(c / 32 * 60 + 59), c, true);
    printText(*screen, "Gr\x94\xe1" "e \x81" "ber alles", true);
    EXPECT_TRUE(eventually([&] { return firstDifference().empty(); })) << "differs at " << firstDifference();
    XEvent close{};
    const Atom protocols = XInternAtom(user, "WM_PROTOCOLS", False);
    close.xclient = {ClientMessage, 0, False, user, backend->windowId(), protocols, 32, {}};
    close.xclient.data.l[0] = long(XInternAtom(user, "WM_DELETE_WINDOW", False));
    XSendEvent(user, backend->windowId(), False, NoEventMask, &close);
    XFlush(user);
    std::string key;
    EXPECT_TRUE(eventually([&] { return !(key = readKey(*screen)).empty(); }));
    EXPECT_EQ(key, "\xff\x6b");
    drawLine(*screen, 0, 700, 1021, 710, 13);
    EXPECT_TRUE(eventually([&] { return firstDifference().empty(); })) << "differs at " << firstDifference();
}

// Each key's text; the u-umlaut (on a spare key code, as a German layout
// has it) as its code page 437 byte.
TEST_P(X11Window, KeysArriveAsKeyTexts) {
    int first, last, perCode;
    XDisplayKeycodes(user, &first, &last);
    KeySym* map = XGetKeyboardMapping(user, KeyCode(first), last - first + 1, &perCode);
    int spare = last;
    while (spare >= first && map[(spare - first) * perCode] != NoSymbol) --spare;
    XFree(map);
    ASSERT_GE(spare, first) << "no free key code";
    KeySym umlaut = XK_udiaeresis, none = NoSymbol;
    XChangeKeyboardMapping(user, spare, 1, &umlaut, 1);
    XTestFakeMotionEvent(user, DefaultScreen(user), 200, 200, CurrentTime);  // the pointer brings the focus
    XSync(user, False);
    ASSERT_TRUE(eventually([&] { return readMouse(*screen).status == 0; })) << "window never got the pointer";
    const KeySym keys[] = {XK_a, XK_A, XK_Return, XK_BackSpace, XK_Tab, XK_Escape, XK_F1, XK_F10, XK_F11, XK_F12,
                           XK_Left, XK_Home, XK_Prior, XK_Next, XK_Delete, XK_udiaeresis, XK_z};
    for (KeySym key : keys) {
        const bool shifted = key == XK_A;
        if (shifted) XTestFakeKeyEvent(user, XKeysymToKeycode(user, XK_Shift_L), True, CurrentTime);
        XTestFakeKeyEvent(user, XKeysymToKeycode(user, shifted ? XK_a : key), True, CurrentTime);
        XTestFakeKeyEvent(user, XKeysymToKeycode(user, shifted ? XK_a : key), False, CurrentTime);
        if (shifted) XTestFakeKeyEvent(user, XKeysymToKeycode(user, XK_Shift_L), False, CurrentTime);
    }
    XFlush(user);
    // F11 and F12 deliver nothing.
    const std::string expected = "aA\r\b\t\x1b\xff;\xff" "D\xff" "K\xff" "G\xff" "I\xff" "Q\xff" "S\x81z";
    std::string typed;
    EXPECT_TRUE(eventually([&] { return (typed += readKey(*screen)).size() >= expected.size(); }));
    EXPECT_EQ(typed, expected);
    XChangeKeyboardMapping(user, spare, 1, &none, 1);
    XSync(user, False);
}

// Inside: position, button bits (left 1, right 2, middle 4) and wheel;
// outside the window: all -1.
TEST_P(X11Window, PointerButtonsWheelAndOutside) {
    XTestFakeMotionEvent(user, DefaultScreen(user), 1200, 900, CurrentTime);
    XFlush(user);
    EXPECT_TRUE(eventually([&] { return readMouse(*screen).status != 0; }));
    MouseReading m = readMouse(*screen);
    EXPECT_EQ(std::vector<int>({m.x, m.y, m.wheel, m.buttons}), std::vector<int>({-1, -1, -1, -1}));
    XTestFakeMotionEvent(user, DefaultScreen(user), 100, 50, CurrentTime);
    XFlush(user);
    EXPECT_TRUE(eventually([&] { return (m = readMouse(*screen)).status == 0 && m.x == 100 && m.y == 50; }));
    EXPECT_EQ(std::make_pair(m.buttons, m.wheel), std::make_pair(0, 0));
    const struct { std::vector<std::pair<unsigned, bool>> events; int buttons, wheel; } rows[] = {
        {{{1, true}, {3, true}}, 3, 0}, {{{1, false}, {3, false}, {2, true}}, 4, 0}, {{{2, false}}, 0, 0},
        {{{4, true}, {4, false}}, 0, 1}, {{{5, true}, {5, false}, {5, true}, {5, false}}, 0, -1},
    };
    for (const auto& row : rows) {
        for (auto [b, down] : row.events) XTestFakeButtonEvent(user, b, down, CurrentTime);
        XFlush(user);
        EXPECT_TRUE(eventually([&] { return (m = readMouse(*screen)).buttons == row.buttons && m.wheel == row.wheel; }))
            << "buttons " << m.buttons << ", wheel " << m.wheel << "; expected " << row.buttons << ", " << row.wheel;
    }
}

INSTANTIATE_TEST_SUITE_P(Transfer, X11Window, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "SharedMemory" : "PutImage"; });
