// An off-screen framebuffer with one colour texture, for tests and
// benchmarks that render with a real OpenGL context and read the result back.
#pragma once

#include <vector>

#include "gfx/gl.h"

class RenderTarget {
public:
    enum class Format {
        Float,  // GL_RGBA32F: the fragment colours unrounded and unclamped
        Byte,   // GL_RGBA8: what a window's colour buffer keeps
        Half,   // GL_RGBA16F: what the scene's normals target keeps
    };

    // Needs a current context with the entry points loaded.
    RenderTarget(int width, int height, Format format);
    ~RenderTarget();
    RenderTarget(const RenderTarget&) = delete;
    RenderTarget& operator=(const RenderTarget&) = delete;

    bool complete() const { return complete_; }
    // Binds the framebuffer and sets the viewport to the whole target.
    void bind() const;
    // The RGB of every pixel, bottom row first, after glFinish.
    std::vector<float> readRgb() const;
    int width() const { return width_; }
    int height() const { return height_; }

private:
    int width_;
    int height_;
    GLuint framebuffer_ = 0;
    GLuint texture_ = 0;
    bool complete_ = false;
};
