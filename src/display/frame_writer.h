// Locked access to the frame for the length of one drawing operation: the
// lock is taken once per operation, never per pixel. Every write marks its
// row dirty so that the window gets it. Callers keep coordinates on the
// screen; the clipped helpers take any.
#pragma once
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <mutex>

#include "display/screen.h"

namespace display::detail {

class FrameWriter {
public:
    explicit FrameWriter(SharedState& shared) : lock_(shared.mutex), shared_(shared) {}

    uint8_t get(int x, int y) const { return shared_.pixels[index(x, y)]; }

    void set(int x, int y, uint8_t colour) {
        shared_.pixels[index(x, y)] = colour;
        shared_.dirtyRows[y] = 1;
    }

    // Pixel (x, y) and those after it in its row, for writing; the row is
    // marked dirty. Byte stores through it leave the frame's own pointers
    // alone, so a loop over it needs no reload per pixel.
    uint8_t* rowAt(int x, int y) {
        shared_.dirtyRows[y] = 1;
        return &shared_.pixels[index(x, y)];
    }

    // Pixels x1..x2 of row y.
    void span(int x1, int x2, int y, uint8_t colour) {
        std::memset(&shared_.pixels[index(x1, y)], colour, std::size_t(x2 - x1 + 1));
        shared_.dirtyRows[y] = 1;
    }

    // The part of the rectangle that lies inside clip, filled.
    void fill(const PixelRect& r, const PixelRect& clip, uint8_t colour) {
        const int x1 = std::max(r.x1, clip.x1), x2 = std::min(r.x2, clip.x2);
        const int y1 = std::max(r.y1, clip.y1), y2 = std::min(r.y2, clip.y2);
        if (x1 > x2) return;
        for (int y = y1; y <= y2; ++y) span(x1, x2, y, colour);
    }

    // Moves rows from..screenHeight-1 up to row 0.
    void moveRowsUp(int from) {
        std::memmove(shared_.pixels.data(), &shared_.pixels[index(0, from)],
                     std::size_t(screenWidth) * std::size_t(screenHeight - from));
        std::fill(shared_.dirtyRows.begin(), shared_.dirtyRows.end(), uint8_t{1});
    }

private:
    static std::size_t index(int x, int y) { return std::size_t(y) * screenWidth + std::size_t(x); }

    std::lock_guard<std::mutex> lock_;
    SharedState& shared_;
};

// The part of the viewport that lies on the screen (may be empty).
inline PixelRect drawableArea(const Screen& s) {
    return {std::max(s.viewport.x1, 0), std::max(s.viewport.y1, 0),
            std::min(s.viewport.x2, screenWidth - 1), std::min(s.viewport.y2, screenHeight - 1)};
}

inline uint8_t paletteIndex(int colour) { return static_cast<uint8_t>(colour & 0xFF); }

inline bool contains(const PixelRect& r, long long x, long long y) {
    return x >= r.x1 && x <= r.x2 && y >= r.y1 && y <= r.y2;
}

}  // namespace display::detail
