// PNG output of the frame (libpng).
#include "display/png_file.h"

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <png.h>
#include <unistd.h>
#include <vector>

#include "display/screen.h"

namespace display {

namespace {

// Encodes rows of RGB into an open file; false when libpng reports an error.
bool encode(std::FILE* file, const std::vector<uint8_t>& rgb) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (png == nullptr) return false;
    png_infop info = png_create_info_struct(png);
    if (info == nullptr || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, screenWidth, screenHeight, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < screenHeight; ++y) {
        png_write_row(png, const_cast<png_bytep>(rgb.data() + std::size_t(y) * screenWidth * 3));
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

}  // namespace

std::optional<std::string> writePng(Screen& s, const std::string& path) {
    const std::vector<uint8_t> frame = copyFrame(s);
    std::vector<uint8_t> rgb(frame.size() * 3);
    for (std::size_t k = 0; k < frame.size(); ++k) {
        const Rgb c = s.palette[frame[k]];
        rgb[3 * k] = c.r;
        rgb[3 * k + 1] = c.g;
        rgb[3 * k + 2] = c.b;
    }
    const std::string temporary = path + ".tmp" + std::to_string(getpid());
    std::FILE* file = std::fopen(temporary.c_str(), "wb");
    if (file == nullptr) return "cannot create " + temporary + ": " + std::strerror(errno);
    const bool encoded = encode(file, rgb);
    const bool closed = std::fclose(file) == 0;
    if (!encoded || !closed || std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::remove(temporary.c_str());
        return "cannot write " + path;
    }
    return std::nullopt;
}

}  // namespace display
