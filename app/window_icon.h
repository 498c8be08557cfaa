// The 64x64 RGBA window icon, held in column order: the first 64 pixels are
// the image's first column, top to bottom.
#pragma once

#include <array>

constexpr int kWindowIconSide = 64;
using WindowIconPixels = std::array<unsigned char, kWindowIconSide * kWindowIconSide * 4>;
extern const WindowIconPixels kWindowIconColumns;

// Turns the column-ordered constant into a row-ordered image: destination
// pixel r * 64 + c is source pixel c * 64 + r.
WindowIconPixels windowIconRows();
