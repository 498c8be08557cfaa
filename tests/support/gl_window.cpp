#include "tests/support/gl_window.h"

#include <GLFW/glfw3.h>

#include "gfx/context_setup.h"
#include "gfx/gl.h"
#include "gfx/gl_loader.h"

GlWindow::GlWindow(int width, int height) : width_(width), height_(height) {
    server_ = std::make_unique<XvfbServer>(width < 640 ? 640 : width, height < 480 ? 480 : height);
    if (!server_->running()) return;
    if (!glfwInit()) return;
    setContextHints();
    glfwWindowHint(GLFW_RESIZABLE, GLFW_FALSE);
    window_ = glfwCreateWindow(width, height, "scene test", nullptr, nullptr);
    if (window_ == nullptr) return;
    glfwMakeContextCurrent(window_);
    if (glLoaderInit() != 0) {
        glfwDestroyWindow(window_);
        window_ = nullptr;
        return;
    }
    glfwSwapInterval(0);
    setRenderState();
}

GlWindow::~GlWindow() {
    if (window_ != nullptr) glfwDestroyWindow(window_);
    glfwTerminate();
}

std::vector<unsigned char> GlWindow::readBackBuffer() const {
    std::vector<unsigned char> pixels(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_) * 3u);
    glFinish();
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width_, height_, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}
