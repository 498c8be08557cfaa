#include "scene/window_size.h"

std::int32_t windowWidth = 0;
std::int32_t windowHeight = 0;
float aspectRatio = 0.0f;

void setWindowSize(std::int32_t width, std::int32_t height) {
    windowWidth = width;
    windowHeight = height;
    aspectRatio = static_cast<float>(width) / static_cast<float>(height);
}
