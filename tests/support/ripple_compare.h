// Pictures for comparing real renders of the ripple program with the CPU
// reference: the textures both sides read, and the per-pixel difference.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/ripple_reference.h"

namespace ripple {

// A texture from width * height RGBA floats (row 0 first), as uploaded.
Texture textureFromRgba(const std::vector<float>& rgba, int width, int height);

// The 24-bit colour of a smooth test photograph at bitmap pixel (x, y), top
// row 0, as COLORREF 0x00BBGGRR. Its stripes do not repeat across the
// 1024-pixel edges, so a look-up that wraps differently shows.
std::uint32_t testPhotographPixel(int x, int y);

// v rounded to the nearest half float (ties to even), as a 16-bit float
// texture keeps it.
float toHalf(float v);
// The normals a 1024 x 1024 GL_RGBA16F normals texture holds after a
// mode-0.5 render of the `size` x `size` lower-left square at `seconds`, each
// component rounded to a half float, signs kept; outside the square every
// texel is (1, 0, 1) so that a read there shows. Only the square's first
// `rows` rows are computed (all when negative); the rest of it is marked
// too. Three floats per texel, row 0 first.
std::vector<float> normalsTexels(double seconds, int size, int rows = -1);
// A texture from width * height RGB floats (row 0 first).
Texture textureFromRgb(const std::vector<float>& rgb, int width, int height);

// How far a render lies from the reference. A pixel's error is the largest
// absolute difference of its three channels.
struct Difference {
    double maxError = 0.0;
    double meanError = 0.0;
    double fractionAbove = 0.0;  // of the pixels whose error exceeds the bound
    int worstX = 0;
    int worstY = 0;
    std::string describe() const;
};
Difference compare(const std::vector<float>& rendered, const std::vector<float>& reference, int width, int height,
                   double bound);

// Of the first `count` normals (RGB triples) tilted by at least 0.01 along
// `component` (0: x, 1: y), the share tilted towards negative: the share of
// the refraction offsets -intensity * n.xy that point the positive way.
// About a half for a ripple field.
double negativeShare(const std::vector<float>& normals, int component, std::size_t count);

// How much the picture varies: the mean absolute difference of the normal's
// x and y from 0 in a mode-0.5 picture (0 for a flat surface).
double meanTilt(const std::vector<float>& normals);

}  // namespace ripple
