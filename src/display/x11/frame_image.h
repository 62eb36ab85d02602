// The window-side copy of the frame: an XImage in the window's pixel format,
// filled row by row from palette indices through a 256-entry table, and put
// into the window through MIT shared memory or plain XPutImage.
#pragma once
#include <X11/Xlib.h>
#include <X11/extensions/XShm.h>

#include <array>
#include <cstdint>
#include <string>

#include "display/palette.h"

namespace display::x11 {

class FrameImage {
public:
    // Tries shared memory first when allowed; error says why no image could
    // be made at all.
    FrameImage(Display* display, Visual* visual, int depth, Colormap colormap, bool trySharedMemory);
    ~FrameImage();
    FrameImage(const FrameImage&) = delete;
    FrameImage& operator=(const FrameImage&) = delete;

    bool valid() const { return image_ != nullptr; }
    bool sharedMemory() const { return shared_; }

    // Rows y1..y2 of a frame of palette indices (1024 bytes a row).
    void convertRows(const uint8_t* frame, int y1, int y2);
    // Rows y1..y2 of the image into the window.
    void put(Drawable window, GC gc, int y1, int y2);

private:
    bool createShared(Visual* visual, int depth);
    bool createPlain(Visual* visual, int depth);
    void buildPixelTable(Visual* visual, Colormap colormap, const Palette& palette);
    void convertRow32(const uint8_t* source, char* row) const;

    Display* display_;
    XImage* image_ = nullptr;
    XShmSegmentInfo segment_{};
    bool shared_ = false;
    std::array<unsigned long, 256> pixelOf_{};
    std::array<uint32_t, 256> pixel32Of_{};  // the same, for 32-bit images
};

}  // namespace display::x11
