// Photographs in memory and the geometry that makes a background of one:
// turning upright by the orientation tag, cutting the largest centred square
// and scaling it. Linux back end only (the Windows program reads no files).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace photo {

// 8-bit RGB, rows top to bottom, width * height * 3 bytes.
struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;
};

// The image as it should be seen, for an orientation tag value (1 to 8, as
// cameras write it: 6 means "turn 90 degrees clockwise to view"). Values
// outside 1..8 count as 1, the image as stored.
RgbImage orientUpright(const RgbImage& image, int orientation);

// The largest centred square of `image`, scaled to side x side into `out`
// (side * side * 3 bytes, rows top to bottom). Shrinking averages every
// source pixel a target pixel covers; enlarging interpolates linearly.
// Does nothing for an empty image or a side below 1.
void cropAndScaleSquare(const RgbImage& image, int side, std::uint8_t* out);

}  // namespace photo
