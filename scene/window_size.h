// A window's size in pixels with its aspect ratio, which always matches it.
#pragma once

#include <cstdint>

class WindowSize {
public:
    WindowSize() = default;
    WindowSize(std::int32_t width, std::int32_t height) { set(width, height); }

    // A zero height (an iconified window) gives an infinite or NaN ratio,
    // which only this window's projection sees.
    void set(std::int32_t width, std::int32_t height) {
        width_ = width;
        height_ = height;
        aspectRatio_ = static_cast<float>(width) / static_cast<float>(height);
    }
    std::int32_t width() const { return width_; }
    std::int32_t height() const { return height_; }
    float aspectRatio() const { return aspectRatio_; }

private:
    std::int32_t width_ = 0;
    std::int32_t height_ = 0;
    float aspectRatio_ = 0.0f;
};
