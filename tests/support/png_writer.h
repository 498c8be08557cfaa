// Writes 8-bit RGB pictures as PNG files, for tests and tools that save what
// they render so that it can be looked at.
#pragma once

#include <string>
#include <vector>

// `rgb` holds width * height * 3 bytes; with `bottomRowFirst` the first row
// of the data is the bottom row of the picture, as OpenGL reads pixels back.
bool writePng(const std::string& path, int width, int height, const unsigned char* rgb, bool bottomRowFirst);

// Float colours (3 per pixel) to bytes: each channel clamped to [0, 1] and
// rounded, as an 8-bit colour buffer stores it.
std::vector<unsigned char> toBytes(const std::vector<float>& rgb);
