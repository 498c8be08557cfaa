// PNG files of what the tests render, so that it can be looked at: the
// tree's one PNG encoder (writePng, tools/png) and the float colours of the
// reference renders as bytes.
#pragma once

#include <vector>

#include "tools/png/png_encoder.h"

// Float colours (3 per pixel) to bytes: each channel clamped to [0, 1] and
// rounded, as an 8-bit colour buffer stores it.
std::vector<unsigned char> toBytes(const std::vector<float>& rgb);
