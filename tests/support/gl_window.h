// A real OpenGL context for rendering tests: a private Xvfb, a GLFW window
// with the screensaver's context hints, and the entry-point table loaded.
#pragma once

#include <memory>
#include <vector>

#include "tests/support/xvfb_server.h"

struct GLFWwindow;

class GlWindow {
public:
    GlWindow(int width, int height);
    ~GlWindow();
    bool ok() const { return window_ != nullptr; }
    GLFWwindow* window() const { return window_; }
    // The back buffer's RGB pixels, bottom row first, after glFinish.
    std::vector<unsigned char> readBackBuffer() const;
    int width() const { return width_; }
    int height() const { return height_; }

private:
    std::unique_ptr<XvfbServer> server_;
    GLFWwindow* window_ = nullptr;
    int width_;
    int height_;
};
