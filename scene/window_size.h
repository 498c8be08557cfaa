// The window's size, kept current by the window-size callback and read by the
// rain scene every frame. Written only through setWindowSize, so the aspect
// ratio always matches the size.
#pragma once

#include <cstdint>

extern std::int32_t windowWidth;
extern std::int32_t windowHeight;
extern float aspectRatio;  // always float(windowWidth) / float(windowHeight)

void setWindowSize(std::int32_t width, std::int32_t height);
