// Palette indices to window pixels, and the image that carries them.
#include "display/x11/frame_image.h"

#include <sys/ipc.h>
#include <sys/shm.h>
#include <X11/Xutil.h>

#include <bit>
#include <cstdlib>
#include <cstring>

#include "display/screen.h"
#include "display/x11/x_errors.h"

namespace display::x11 {

namespace {

// An 8-bit component scaled into a colour mask of any width and position.
unsigned long component(uint8_t value, unsigned long mask) {
    if (mask == 0) return 0;
    const int shift = std::countr_zero(mask);
    const unsigned long maximum = mask >> shift;
    return ((value * maximum + 127) / 255) << shift;
}

bool hostIsLsbFirst() { return std::endian::native == std::endian::little; }

}  // namespace

FrameImage::FrameImage(Display* display, Visual* visual, int depth, Colormap colormap, bool trySharedMemory)
    : display_(display) {
    if (!(trySharedMemory && createShared(visual, depth))) createPlain(visual, depth);
    if (valid()) buildPixelTable(visual, colormap, defaultPalette());
}

FrameImage::~FrameImage() {
    if (!image_) return;
    if (shared_) {
        XShmDetach(display_, &segment_);
        XSync(display_, False);
        image_->data = nullptr;
        XDestroyImage(image_);
        shmdt(segment_.shmaddr);
    } else {
        XDestroyImage(image_);  // frees the pixel buffer too
    }
}

bool FrameImage::createShared(Visual* visual, int depth) {
    if (!XShmQueryExtension(display_)) return false;
    XImage* image = XShmCreateImage(display_, visual, unsigned(depth), ZPixmap, nullptr, &segment_,
                                    screenWidth, screenHeight);
    if (!image) return false;
    const std::size_t bytes = std::size_t(image->bytes_per_line) * std::size_t(image->height);
    segment_.shmid = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
    if (segment_.shmid < 0) {
        XDestroyImage(image);
        return false;
    }
    segment_.shmaddr = static_cast<char*>(shmat(segment_.shmid, nullptr, 0));
    if (segment_.shmaddr == reinterpret_cast<char*>(-1)) {
        shmctl(segment_.shmid, IPC_RMID, nullptr);
        XDestroyImage(image);
        return false;
    }
    segment_.readOnly = False;
    image->data = segment_.shmaddr;
    bool attached;
    {
        // A server on another machine refuses the segment with an error.
        ErrorTrap trap(display_);
        attached = XShmAttach(display_, &segment_) && !trap.failed();
    }
    // Gone once both sides detach, even if the program is killed.
    shmctl(segment_.shmid, IPC_RMID, nullptr);
    if (!attached) {
        image->data = nullptr;
        XDestroyImage(image);
        shmdt(segment_.shmaddr);
        return false;
    }
    image_ = image;
    shared_ = true;
    return true;
}

bool FrameImage::createPlain(Visual* visual, int depth) {
    const int pad = depth > 16 ? 32 : depth > 8 ? 16 : 8;
    XImage* image = XCreateImage(display_, visual, unsigned(depth), ZPixmap, 0, nullptr, screenWidth,
                                 screenHeight, pad, 0);
    if (!image) return false;
    image->data = static_cast<char*>(std::calloc(std::size_t(image->bytes_per_line), screenHeight));
    if (!image->data) {
        XDestroyImage(image);
        return false;
    }
    image_ = image;
    return true;
}

void FrameImage::buildPixelTable(Visual* visual, Colormap colormap, const Palette& palette) {
    const bool trueColour = visual->c_class == TrueColor || visual->c_class == DirectColor;
    for (int i = 0; i < 256; ++i) {
        const Rgb c = palette[i];
        if (trueColour) {
            pixelOf_[i] = component(c.r, visual->red_mask) | component(c.g, visual->green_mask) |
                          component(c.b, visual->blue_mask);
            pixel32Of_[i] = static_cast<uint32_t>(pixelOf_[i]);
            continue;
        }
        // Colormapped screens: ask the server for the nearest shared colour.
        XColor colour{};
        colour.red = static_cast<unsigned short>(c.r * 257);
        colour.green = static_cast<unsigned short>(c.g * 257);
        colour.blue = static_cast<unsigned short>(c.b * 257);
        colour.flags = DoRed | DoGreen | DoBlue;
        pixelOf_[i] = XAllocColor(display_, colormap, &colour) ? colour.pixel : 0;
        pixel32Of_[i] = static_cast<uint32_t>(pixelOf_[i]);
    }
}

void FrameImage::convertRows(const uint8_t* frame, int y1, int y2) {
    const bool nativeOrder = (image_->byte_order == LSBFirst) == hostIsLsbFirst();
    for (int y = y1; y <= y2; ++y) {
        const uint8_t* source = frame + std::size_t(y) * screenWidth;
        char* row = image_->data + std::size_t(y) * std::size_t(image_->bytes_per_line);
        if (image_->bits_per_pixel == 32 && nativeOrder) {
            convertRow32(source, row);
        } else if (image_->bits_per_pixel == 16 && nativeOrder) {
            uint16_t out[screenWidth];
            for (int x = 0; x < screenWidth; ++x) out[x] = static_cast<uint16_t>(pixelOf_[source[x]]);
            std::memcpy(row, out, sizeof out);
        } else {
            for (int x = 0; x < screenWidth; ++x) XPutPixel(image_, x, y, pixelOf_[source[x]]);
        }
    }
}

void FrameImage::convertRow32(const uint8_t* source, char* row) const {
    // A 32-bit table written straight into the image row (whose lines are
    // whole 32-bit words): the common true-colour case, and the bulk of a
    // full-frame transfer.
    auto* out = reinterpret_cast<uint32_t*>(row);
    for (int x = 0; x < screenWidth; ++x) out[x] = pixel32Of_[source[x]];
}

void FrameImage::put(Drawable window, GC gc, int y1, int y2) {
    const unsigned rows = unsigned(y2 - y1 + 1);
    if (shared_) {
        XShmPutImage(display_, window, gc, image_, 0, y1, 0, y1, screenWidth, rows, False);
    } else {
        XPutImage(display_, window, gc, image_, 0, y1, 0, y1, screenWidth, rows);
    }
}

}  // namespace display::x11
