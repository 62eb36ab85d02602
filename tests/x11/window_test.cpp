// The X11 window under Xvfb, driven by real X events sent through XTest:
// its size and title, pixels reaching it, keys, the pointer and the close
// button, once through MIT shared memory and once through plain XPutImage.
#include "xvfb.h"  // first: GoogleTest before Xlib

#include <X11/Xatom.h>
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

namespace {

// Window pixel value of an RGB colour on a true-colour visual.
unsigned long pixelValue(const Visual* v, Rgb c) {
    auto place = [](uint8_t value, unsigned long mask) {
        int shift = 0;
        while (mask && !((mask >> shift) & 1)) ++shift;
        const unsigned long maximum = mask >> shift;
        return ((value * maximum + 127) / 255) << shift;
    };
    return place(c.r, v->red_mask) | place(c.g, v->green_mask) | place(c.b, v->blue_mask);
}

std::string property(Display* d, ::Window w, const char* name) {
    Atom type;
    int format;
    unsigned long count, after;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(d, w, XInternAtom(d, name, False), 0, 1024, False, AnyPropertyType, &type, &format,
                           &count, &after, &data) != Success || !data)
        return {};
    std::string text(reinterpret_cast<char*>(data), count);
    XFree(data);
    return text;
}

}  // namespace

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
        clearView(*screen);
        openScreen(*screen);
        setViewport(*screen, 1, 1, 1022, 766, 0, 1);
        setColor(*screen, 10);
    }

    void TearDown() override {
        screen.reset();
        if (user) XCloseDisplay(user);
    }

    ::Window window() const { return backend->windowId(); }

    void movePointer(int x, int y) {
        XTestFakeMotionEvent(user, DefaultScreen(user), x, y, CurrentTime);
        XFlush(user);
    }

    void button(unsigned b, bool down) {
        XTestFakeButtonEvent(user, b, down, CurrentTime);
        XFlush(user);
    }

    void tap(KeySym sym, bool shifted = false) {
        const KeyCode shift = XKeysymToKeycode(user, XK_Shift_L);
        const KeyCode code = XKeysymToKeycode(user, sym);
        ASSERT_NE(code, 0) << "no key for keysym " << sym;
        if (shifted) XTestFakeKeyEvent(user, shift, True, CurrentTime);
        XTestFakeKeyEvent(user, code, True, CurrentTime);
        XTestFakeKeyEvent(user, code, False, CurrentTime);
        if (shifted) XTestFakeKeyEvent(user, shift, False, CurrentTime);
        XFlush(user);
    }

    // Puts the pointer over the window, which gives it the keyboard on a
    // server without a window manager.
    void focusWindow() {
        movePointer(200, 200);
        ASSERT_TRUE(eventually([&] { return readMouse(*screen).status == 0; })) << "window never got the pointer";
    }

    // The first screen pixel where the window differs from the frame, or "".
    // Like a program at rest, it offers its picture to the window first.
    std::string firstDifference() {
        presentFrame(*screen, false);
        XImage* image = XGetImage(user, window(), 0, 0, screenWidth, screenHeight, AllPlanes, ZPixmap);
        if (!image) return "no image";
        const Visual* visual = DefaultVisual(user, DefaultScreen(user));
        unsigned long table[256];
        for (int i = 0; i < 256; ++i) table[i] = pixelValue(visual, defaultPalette()[i]);
        const std::vector<uint8_t> frame = copyFrame(*screen);
        std::string difference;
        for (int y = 0; y < screenHeight && difference.empty(); ++y)
            for (int x = 0; x < screenWidth && difference.empty(); ++x)
                if (XGetPixel(image, x, y) != table[frame[std::size_t(y) * screenWidth + std::size_t(x)]])
                    difference = std::to_string(x) + "," + std::to_string(y);
        XDestroyImage(image);
        return difference;
    }

    Display* user = nullptr;
    x11::WindowBackend* backend = nullptr;
    std::unique_ptr<display::Screen> screen;
};

TEST_P(X11Window, IsFixedAt1024x768AndUsesTheChosenTransfer) {
    XWindowAttributes attributes;
    ASSERT_TRUE(XGetWindowAttributes(user, window(), &attributes));
    EXPECT_EQ(attributes.width, 1024);
    EXPECT_EQ(attributes.height, 768);
    EXPECT_EQ(attributes.map_state, IsViewable);

    XSizeHints hints;
    long supplied;
    ASSERT_TRUE(XGetWMNormalHints(user, window(), &hints, &supplied));
    EXPECT_TRUE(hints.flags & PMinSize);
    EXPECT_TRUE(hints.flags & PMaxSize);
    EXPECT_EQ(hints.min_width, 1024);
    EXPECT_EQ(hints.max_width, 1024);
    EXPECT_EQ(hints.min_height, 768);
    EXPECT_EQ(hints.max_height, 768);

    EXPECT_EQ(backend->usesSharedMemory(), GetParam()) << "Xvfb offers MIT-SHM";
}

TEST_P(X11Window, TitleIsSetAsLatin1AndUtf8) {
    setWindowTitle(*screen, "Gr\x94\xe1" "e \x81" "ber 24 Objekte");
    EXPECT_TRUE(eventually([&] { return property(user, window(), "_NET_WM_NAME") == "Gr\xc3\xb6\xc3\x9f" "e \xc3\xbc" "ber 24 Objekte"; }))
        << property(user, window(), "_NET_WM_NAME");
    EXPECT_EQ(property(user, window(), "WM_NAME"), "Gr\xf6\xdf" "e \xfc" "ber 24 Objekte");
}

TEST_P(X11Window, DrawnPixelsReachTheWindow) {
    ASSERT_TRUE(eventually([&] { return firstDifference().empty(); })) << "framed screen: " << firstDifference();
    for (int c = 0; c < 16; ++c) drawBox(*screen, float(c * 60), 10, float(c * 60 + 50), 100, c, true);
    drawCircle(*screen, 500, 400, 200, 14);
    floodFill(*screen, 500, 400, 4);
    locate(*screen, 47, 1);
    setColor(*screen, 15, 1);
    printText(*screen, "Gr\x94\xe1" "e \x81" "ber alles", true);
    EXPECT_TRUE(eventually([&] { return firstDifference().empty(); })) << "differs at " << firstDifference();

    // A second change later reaches it too: only the changed rows travel.
    drawLine(*screen, 0, 700, 1021, 710, 13);
    EXPECT_TRUE(eventually([&] { return firstDifference().empty(); })) << "differs at " << firstDifference();
}

TEST_P(X11Window, KeysArriveAsKeyTexts) {
    focusWindow();
    tap(XK_a);
    tap(XK_a, true);
    tap(XK_Return);
    tap(XK_BackSpace);
    tap(XK_Tab);
    tap(XK_Escape);
    tap(XK_F1);
    tap(XK_F10);
    tap(XK_F11);
    tap(XK_F12);
    tap(XK_Left);
    tap(XK_Home);
    tap(XK_Next);
    tap(XK_Delete);
    tap(XK_z);
    const std::string expected = "aA\r\b\t\x1b" "\xff;" "\xff" "D" "\xff" "K" "\xff" "G" "\xff" "Q" "\xff" "S" "z";
    std::string typed;
    EXPECT_TRUE(eventually([&] {
        typed += readKey(*screen);
        return typed.size() >= expected.size();
    }));
    EXPECT_EQ(typed, expected);
}

TEST_P(X11Window, UmlautKeyGivesItsCodePage437Byte) {
    // Give a free key code the keysym u-umlaut, as a German layout has it.
    int first, last, perCode;
    XDisplayKeycodes(user, &first, &last);
    KeySym* map = XGetKeyboardMapping(user, KeyCode(first), last - first + 1, &perCode);
    int spare = 0;
    for (int k = last; k >= first && !spare; --k) {
        bool empty = true;
        for (int i = 0; i < perCode; ++i) empty = empty && map[(k - first) * perCode + i] == NoSymbol;
        if (empty) spare = k;
    }
    XFree(map);
    ASSERT_NE(spare, 0) << "no free key code";
    KeySym umlaut = XK_udiaeresis;
    XChangeKeyboardMapping(user, spare, 1, &umlaut, 1);
    XSync(user, False);

    focusWindow();
    tap(XK_udiaeresis);
    std::string typed;
    EXPECT_TRUE(eventually([&] { return !(typed = readKey(*screen)).empty(); }));
    EXPECT_EQ(typed, "\x81");

    KeySym none = NoSymbol;
    XChangeKeyboardMapping(user, spare, 1, &none, 1);
    XSync(user, False);
}

TEST_P(X11Window, PointerOutsideTheWindowReadsMinusOne) {
    movePointer(1200, 900);
    EXPECT_TRUE(eventually([&] { return readMouse(*screen).status != 0; }));
    MouseReading m = readMouse(*screen);
    EXPECT_EQ(m.x, -1);
    EXPECT_EQ(m.y, -1);
    EXPECT_EQ(m.wheel, -1);
    EXPECT_EQ(m.buttons, -1);

    movePointer(100, 50);
    EXPECT_TRUE(eventually([&] {
        m = readMouse(*screen);
        return m.status == 0 && m.x == 100 && m.y == 50;
    })) << m.status << " " << m.x << "," << m.y;
    EXPECT_EQ(m.buttons, 0);
    EXPECT_EQ(m.wheel, 0);

    button(1, true);
    button(3, true);
    EXPECT_TRUE(eventually([&] { return readMouse(*screen).buttons == 3; }));
    button(1, false);
    button(3, false);
    button(2, true);
    EXPECT_TRUE(eventually([&] { return readMouse(*screen).buttons == 4; }));
    button(2, false);
    EXPECT_TRUE(eventually([&] { return readMouse(*screen).buttons == 0; }));

    button(4, true);
    button(4, false);
    EXPECT_TRUE(eventually([&] { return readMouse(*screen).wheel == 1; }));
    for (int i = 0; i < 2; ++i) {
        button(5, true);
        button(5, false);
    }
    EXPECT_TRUE(eventually([&] { return readMouse(*screen).wheel == -1; }));

    movePointer(1100, 100);
    EXPECT_TRUE(eventually([&] { return readMouse(*screen).x == -1; }));
}

TEST_P(X11Window, CloseButtonIsOnlyAKey) {
    XEvent close{};
    close.xclient.type = ClientMessage;
    close.xclient.window = window();
    close.xclient.message_type = XInternAtom(user, "WM_PROTOCOLS", False);
    close.xclient.format = 32;
    close.xclient.data.l[0] = long(XInternAtom(user, "WM_DELETE_WINDOW", False));
    close.xclient.data.l[1] = CurrentTime;
    XSendEvent(user, window(), False, NoEventMask, &close);
    XFlush(user);

    std::string key;
    EXPECT_TRUE(eventually([&] { return !(key = readKey(*screen)).empty(); }));
    EXPECT_EQ(key, "\xff\x6b");

    // Still open and still drawn to.
    drawBox(*screen, 10, 10, 300, 200, 12, true);
    EXPECT_TRUE(eventually([&] { return firstDifference().empty(); })) << "differs at " << firstDifference();
    XWindowAttributes attributes;
    ASSERT_TRUE(XGetWindowAttributes(user, window(), &attributes));
    EXPECT_EQ(attributes.map_state, IsViewable);
}

INSTANTIATE_TEST_SUITE_P(Transfer, X11Window, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "SharedMemory" : "PutImage"; });

TEST(X11Connection, NoDisplayIsOneClearError) {
    std::string error;
    auto backend = x11::openWindowBackend({":65000", true}, error);
    EXPECT_EQ(backend, nullptr);
    EXPECT_NE(error.find("cannot open X display \":65000\""), std::string::npos) << error;
}
