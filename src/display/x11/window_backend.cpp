// The X11 window and its service thread.
//
// openWindowBackend connects, creates the window and the frame image on the
// calling thread; from then on only the service thread touches the
// connection. The program's thread talks to it through a small request block
// (map, title, full present, stop) and a wake-up pipe; keys, mouse state and
// frame rows cross under SharedState::mutex.
#include "display/x11/window_backend.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "display/code_page_437.h"
#include "display/screen.h"
#include "display/x11/frame_image.h"
#include "display/x11/keysyms.h"
#include "display/x11/x_errors.h"

namespace display::x11 {

namespace {

using Clock = std::chrono::steady_clock;

constexpr auto framePeriod = std::chrono::microseconds(16667);  // about 60 copies a second
constexpr auto mapTimeout = std::chrono::seconds(5);

constexpr long eventMask = KeyPressMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask |
                           EnterWindowMask | LeaveWindowMask | FocusChangeMask | ExposureMask |
                           StructureNotifyMask;

// X pointer buttons to the screen's button bits: left 1, middle 4, right 2.
int buttonBit(unsigned button) {
    switch (button) {
    case Button1: return 1;
    case Button2: return 4;
    case Button3: return 2;
    default: return 0;
    }
}

}  // namespace

struct WindowBackend::Impl {
    Display* display = nullptr;
    Window window = 0;
    GC gc = nullptr;
    Atom wmProtocols = 0, wmDeleteWindow = 0, netWmName = 0, utf8String = 0;
    std::optional<FrameImage> image;
    SharedState* shared = nullptr;
    int wakeRead = -1, wakeWrite = -1;

    // Requests from the program's thread, under requestMutex.
    std::mutex requestMutex;
    std::condition_variable answered;
    bool stop = false;
    bool mapRequested = false;
    bool mapped = false;
    std::optional<std::string> title;
    long presentsRequested = 0, presentsDone = 0;

    std::thread thread;

    ~Impl();
    void wake() const;
    void run();
    void handle(XEvent& event);
    void handleKey(XKeyEvent& event);
    void handleRequests();
    void applyTitle(const std::string& cp437Title);
    void present(bool wholeFrame);
    // Runs of changed rows of one present, kept so that presenting allocates nothing.
    std::vector<std::pair<int, int>> dirtyRuns;
    void readInitialPointer();
};

WindowBackend::Impl::~Impl() {
    if (thread.joinable()) {
        {
            std::lock_guard lock(requestMutex);
            stop = true;
        }
        wake();
        thread.join();
    }
    image.reset();
    watchWindow(0);
    if (display) {
        if (gc) XFreeGC(display, gc);
        if (window) XDestroyWindow(display, window);
        XCloseDisplay(display);
    }
    if (wakeRead >= 0) close(wakeRead);
    if (wakeWrite >= 0) close(wakeWrite);
}

void WindowBackend::Impl::wake() const {
    const char byte = 1;
    // A full pipe already means "wake up"; nothing is lost.
    [[maybe_unused]] const ssize_t written = write(wakeWrite, &byte, 1);
}

void WindowBackend::Impl::run() {
    auto nextFrame = Clock::now();
    for (;;) {
        const auto timeout = std::chrono::duration_cast<std::chrono::milliseconds>(nextFrame - Clock::now());
        pollfd fds[2] = {{ConnectionNumber(display), POLLIN, 0}, {wakeRead, POLLIN, 0}};
        poll(fds, 2, std::max<int>(0, int(timeout.count())));
        if (fds[1].revents & POLLIN) {
            char drain[64];
            while (read(wakeRead, drain, sizeof drain) > 0) {
            }
        }
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            handle(event);
        }
        {
            std::lock_guard lock(requestMutex);
            if (stop) return;
        }
        handleRequests();
        if (Clock::now() >= nextFrame) {
            present(false);
            nextFrame = Clock::now() + framePeriod;
        }
    }
}

void WindowBackend::Impl::handleRequests() {
    bool map = false, presentAll = false;
    std::optional<std::string> newTitle;
    long ticket = 0;
    {
        std::lock_guard lock(requestMutex);
        map = mapRequested && !mapped;
        mapRequested = false;
        newTitle.swap(title);
        presentAll = presentsRequested > presentsDone;
        ticket = presentsRequested;
    }
    if (newTitle) applyTitle(*newTitle);
    if (map) {
        XMapRaised(display, window);
        XFlush(display);
    }
    if (presentAll) {
        present(true);
        std::lock_guard lock(requestMutex);
        presentsDone = ticket;
        answered.notify_all();
    }
}

void WindowBackend::Impl::handle(XEvent& event) {
    switch (event.type) {
    case KeyPress:
        handleKey(event.xkey);
        break;
    case ButtonPress:
    case ButtonRelease: {
        const XButtonEvent& b = event.xbutton;
        std::lock_guard lock(shared->mutex);
        shared->mouse.x = b.x;
        shared->mouse.y = b.y;
        if (event.type == ButtonPress && b.button == Button4) ++shared->mouse.wheel;
        if (event.type == ButtonPress && b.button == Button5) --shared->mouse.wheel;
        if (event.type == ButtonPress) shared->mouse.pressedSinceRead |= buttonBit(b.button);
        if (event.type == ButtonPress) shared->mouse.buttons |= buttonBit(b.button);
        else shared->mouse.buttons &= ~buttonBit(b.button);
        break;
    }
    case MotionNotify: {
        std::lock_guard lock(shared->mutex);
        shared->mouse.x = event.xmotion.x;
        shared->mouse.y = event.xmotion.y;
        break;
    }
    case EnterNotify:
    case LeaveNotify: {
        const XCrossingEvent& c = event.xcrossing;
        std::lock_guard lock(shared->mutex);
        shared->mouse.inside = event.type == EnterNotify;
        shared->mouse.x = c.x;
        shared->mouse.y = c.y;
        if (c.focus) shared->mouse.focused = true;
        break;
    }
    case FocusIn:
    case FocusOut: {
        // Focus moving between the window and a child of it keeps it here.
        if (event.xfocus.detail == NotifyInferior) break;
        std::lock_guard lock(shared->mutex);
        shared->mouse.focused = event.type == FocusIn;
        break;
    }
    case Expose: {
        const XExposeEvent& e = event.xexpose;
        std::lock_guard lock(shared->mutex);
        for (int y = std::max(e.y, 0); y < std::min(e.y + e.height, screenHeight); ++y) shared->shownDirty[y] = 1;
        break;
    }
    case MapNotify: {
        readInitialPointer();
        std::lock_guard lock(requestMutex);
        mapped = true;
        answered.notify_all();
        break;
    }
    case DestroyNotify:
        if (event.xdestroywindow.window == window) endWithoutWindow("the window was destroyed by another program");
        break;
    case MappingNotify:
        XRefreshKeyboardMapping(&event.xmapping);
        break;
    case ClientMessage: {
        const XClientMessageEvent& m = event.xclient;
        if (m.message_type == wmProtocols && m.format == 32 && Atom(m.data.l[0]) == wmDeleteWindow) {
            // The close button does not end the program; it is a key like any other.
            std::lock_guard lock(shared->mutex);
            shared->keys.push(extendedKey(scan::closeButton));
        }
        break;
    }
    default:
        break;
    }
}

void WindowBackend::Impl::handleKey(XKeyEvent& event) {
    char text[8];
    KeySym keysym = NoSymbol;
    const int length = XLookupString(&event, text, sizeof text, &keysym, nullptr);
    PressedKey press;
    // XLookupString gives ISO 8859-1, whose bytes are their Unicode numbers.
    if (length == 1) press.character = cp437FromUnicode(static_cast<unsigned char>(text[0]));
    press.scanCode = scanCodeOfKeysym(keysym);
    const int code = keyCode(press);
    if (code == 0) return;
    std::lock_guard lock(shared->mutex);
    shared->keys.push(code);
}

void WindowBackend::Impl::readInitialPointer() {
    Window root, child, focus;
    int rootX, rootY, x, y, revert;
    unsigned mask;
    const bool onScreen = XQueryPointer(display, window, &root, &child, &rootX, &rootY, &x, &y, &mask);
    XGetInputFocus(display, &focus, &revert);
    const bool inside = onScreen && x >= 0 && y >= 0 && x < screenWidth && y < screenHeight;
    std::lock_guard lock(shared->mutex);
    shared->mouse.inside = inside;
    shared->mouse.x = x;
    shared->mouse.y = y;
    shared->mouse.focused = focus == window || (focus == PointerRoot && inside);
}

void WindowBackend::Impl::applyTitle(const std::string& cp437Title) {
    const std::string latin1 = latin1FromCp437(cp437Title);
    const std::string utf8 = utf8FromCp437(cp437Title);
    XStoreName(display, window, latin1.c_str());
    XChangeProperty(display, window, netWmName, utf8String, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(utf8.data()), int(utf8.size()));
    XFlush(display);
}

// Converts the rows of the shown frame that changed under the lock, then
// sends them in runs of consecutive rows, and asks the program for the next
// frame. With shared memory the server reads the image itself, so the copy
// must be complete before the next conversion writes into it.
void WindowBackend::Impl::present(bool wholeFrame) {
    std::vector<std::pair<int, int>>& runs = dirtyRuns;
    runs.clear();
    {
        std::lock_guard lock(shared->mutex);
        shared->frameWanted = true;
        if (wholeFrame) std::fill(shared->shownDirty.begin(), shared->shownDirty.end(), uint8_t{1});
        for (int y = 0; y < screenHeight;) {
            if (!shared->shownDirty[y]) {
                ++y;
                continue;
            }
            const int first = y;
            while (y < screenHeight && shared->shownDirty[y]) shared->shownDirty[y++] = 0;
            runs.emplace_back(first, y - 1);
            image->convertRows(shared->shown.data(), first, y - 1);
        }
    }
    if (runs.empty()) return;
    for (auto [first, last] : runs) image->put(window, gc, first, last);
    if (image->sharedMemory() || wholeFrame) XSync(display, False);
    else XFlush(display);
}

WindowBackend::WindowBackend(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

WindowBackend::~WindowBackend() = default;

void WindowBackend::attach(SharedState& shared) {
    impl_->shared = &shared;
    impl_->thread = std::thread([impl = impl_.get()] { impl->run(); });
}

void WindowBackend::open() {
    std::unique_lock lock(impl_->requestMutex);
    if (impl_->mapped) return;
    impl_->mapRequested = true;
    impl_->wake();
    impl_->answered.wait_for(lock, mapTimeout, [this] { return impl_->mapped; });
}

void WindowBackend::setTitle(std::string_view title) {
    {
        std::lock_guard lock(impl_->requestMutex);
        impl_->title = std::string(title);
    }
    impl_->wake();
}

void WindowBackend::wait(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

bool WindowBackend::usesSharedMemory() const { return impl_->image->sharedMemory(); }

unsigned long WindowBackend::windowId() const { return impl_->window; }

void WindowBackend::presentFullFrame() {
    {
        SharedState& shared = *impl_->shared;
        std::lock_guard lock(shared.mutex);
        shared.shown = shared.pixels;  // same size: copies, allocates nothing
        shared.dirtyRows.fill(0);
    }
    std::unique_lock lock(impl_->requestMutex);
    const long ticket = ++impl_->presentsRequested;
    impl_->wake();
    impl_->answered.wait(lock, [&] { return impl_->presentsDone >= ticket || impl_->stop; });
}

std::unique_ptr<WindowBackend> openWindowBackend(const Options& options, std::string& error) {
    XInitThreads();
    installErrorHandler();
    auto impl = std::make_unique<WindowBackend::Impl>();
    const char* name = options.displayName.empty() ? nullptr : options.displayName.c_str();
    // A local server that is still busy with a connection just closed may
    // refuse the next one for a moment (EAGAIN): try again briefly.
    for (int attempt = 0; attempt < 20; ++attempt) {
        errno = 0;
        impl->display = XOpenDisplay(name);
        if (impl->display || errno != EAGAIN) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
    if (!impl->display) {
        const char* shown = name ? name : std::getenv("DISPLAY");
        error = shown && *shown ? std::string("cannot open X display \"") + shown + "\""
                                : std::string("cannot open an X display: DISPLAY is not set");
        return nullptr;
    }
    Display* d = impl->display;
    const int screen = DefaultScreen(d);
    impl->window = XCreateSimpleWindow(d, RootWindow(d, screen), 0, 0, screenWidth, screenHeight, 0,
                                       BlackPixel(d, screen), BlackPixel(d, screen));
    XSelectInput(d, impl->window, eventMask);
    watchWindow(impl->window);

    // Fixed size: the frame is 1024 x 768 and nothing scales it.
    XSizeHints* hints = XAllocSizeHints();
    hints->flags = PSize | PMinSize | PMaxSize;
    hints->width = hints->min_width = hints->max_width = screenWidth;
    hints->height = hints->min_height = hints->max_height = screenHeight;
    XSetWMNormalHints(d, impl->window, hints);
    XFree(hints);
    XClassHint classHint{const_cast<char*>("orbits"), const_cast<char*>("Orbits")};
    XSetClassHint(d, impl->window, &classHint);

    impl->wmProtocols = XInternAtom(d, "WM_PROTOCOLS", False);
    impl->wmDeleteWindow = XInternAtom(d, "WM_DELETE_WINDOW", False);
    impl->netWmName = XInternAtom(d, "_NET_WM_NAME", False);
    impl->utf8String = XInternAtom(d, "UTF8_STRING", False);
    XSetWMProtocols(d, impl->window, &impl->wmDeleteWindow, 1);
    impl->applyTitle("orbits");
    impl->gc = XCreateGC(d, impl->window, 0, nullptr);

    impl->image.emplace(d, DefaultVisual(d, screen), DefaultDepth(d, screen), DefaultColormap(d, screen),
                        options.sharedMemory);
    if (!impl->image->valid()) {
        error = "cannot create the window image";
        return nullptr;
    }

    int pipeFds[2];
    if (pipe2(pipeFds, O_NONBLOCK | O_CLOEXEC) != 0) {
        error = "cannot create the window thread's wake-up pipe";
        return nullptr;
    }
    impl->wakeRead = pipeFds[0];
    impl->wakeWrite = pipeFds[1];
    XSync(d, False);
    return std::make_unique<WindowBackend>(std::move(impl));
}

}  // namespace display::x11
