// PNG files of 8-bit RGB or RGBA pictures, for the image generator, the
// developer tools and the tests: every row Paeth-filtered, the image data one
// deflate block with the fixed Huffman codes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// `pixels` holds width * height * channels bytes (3: RGB, 4: RGBA), top row
// first; with `bottomRowFirst` the first row of the data is the bottom row of
// the picture, as OpenGL reads pixels back.
std::vector<std::uint8_t> encodePng(int width, int height, int channels, const std::uint8_t* pixels,
                                    bool bottomRowFirst = false);

// encodePng of RGB pixels, written to `path`; false when the size is not
// positive, `rgb` is null or the file cannot be written.
bool writePng(const std::string& path, int width, int height, const unsigned char* rgb, bool bottomRowFirst);
