// Reading pixels of a 24-bit BMP file held in memory, as the Linux back end
// answers bitmapPixel for the BITMAP resources it links in whole.
#pragma once

#include <cstddef>
#include <cstdint>

namespace platform {

// A validated view of an uncompressed 24-bit BMP. The pixel bytes are not
// copied: the view is valid as long as the bytes given to parseBmp are.
struct BmpView {
    const unsigned char* pixels = nullptr;  // first row stored in the file
    int width = 0;
    int height = 0;          // always positive
    bool topDown = false;    // first stored row is the top one
    std::size_t stride = 0;  // bytes per stored row, padded to 4
};

// True and *out filled when data[0..size) is a whole BMP file ("BM" file
// header, info header of at least 40 bytes, 24 bits per pixel, no
// compression, width > 0, height != 0, all rows inside the data). False and
// *out left empty otherwise.
bool parseBmp(const unsigned char* data, std::size_t size, BmpView* out);

// The pixel at (x, y), y counted from the top, as 0x00BBGGRR; 0xFFFFFFFF for
// a position outside the image or an empty view.
std::uint32_t bmpPixel(const BmpView& view, int x, int y);

// Pixels (0, y) to (width - 1, y) into colors, as bmpPixel answers them.
void bmpRow(const BmpView& view, int y, int width, std::uint32_t* colors);

}  // namespace platform
