// One window the rain scene draws into: its size and its own normals
// framebuffer. Framebuffer objects are not shared between OpenGL contexts
// (textures, buffers and programs are), so every window of the saver keeps
// one made in its own context.
#pragma once

#include "gfx/gl.h"
#include "scene/window_size.h"

class RainView {
public:
    // Side of the normals target; the normals pass uses a square corner of it.
    static constexpr std::int32_t kTargetSide = 1024;

    explicit RainView(const WindowSize& size) : size_(size) {}
    // Deletes the normals framebuffer and target if made: the context they
    // were made in must be current.
    ~RainView();
    RainView(const RainView&) = delete;
    RainView& operator=(const RainView&) = delete;

    void resize(std::int32_t width, std::int32_t height) { size_.set(width, height); }
    const WindowSize& size() const { return size_; }
    // Where the window's lower-left corner lies from the main window's, in
    // pixels, x to the right and y up. The ripples are laid out from there,
    // so that neighbouring monitors show one rain rather than the same drops.
    void setRippleOrigin(std::int32_t x, std::int32_t y) {
        rippleOriginX_ = x;
        rippleOriginY_ = y;
    }
    std::int32_t rippleOriginX() const { return rippleOriginX_; }
    std::int32_t rippleOriginY() const { return rippleOriginY_; }
    // Makes the normals framebuffer and its target in the current context
    // unless made already, leaving the framebuffer bound when it makes them.
    // Only normals-texture mode needs them, and the target is 8 MiB of fresh
    // memory that a per-pixel run would never touch.
    void makeNormalsTarget();
    // 0 until makeNormalsTarget.
    GLuint normalsFramebuffer() const { return normalsFramebuffer_; }
    GLuint normalsTarget() const { return normalsTarget_; }

private:
    WindowSize size_;
    std::int32_t rippleOriginX_ = 0;
    std::int32_t rippleOriginY_ = 0;
    GLuint normalsFramebuffer_ = 0;
    GLuint normalsTarget_ = 0;
};
