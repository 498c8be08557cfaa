// The preview host's window on Linux: an X11 window id, watched and followed
// on X connections (GLFW's own and one of ours).
#include <algorithm>
#include <cstdint>

#include <GLFW/glfw3.h>
#define GLFW_EXPOSE_NATIVE_X11
#include <GLFW/glfw3native.h>

#include "platform/linux/x11_support.h"
#include "platform/platform.h"

namespace platform {

// The preview host's window: an X11 window id. The host is watched through a
// connection of our own (it is needed before GLFW exists); the adopted
// window is GLFW's, reparented into the host on GLFW's connection.
namespace {
Display* hostConnection() {
    static Display* display = [] {
        x11::installErrorHandlers();
        return XOpenDisplay(nullptr);
    }();
    return display;
}

bool validWindowId(std::intptr_t handle) {
    // X resource ids are 29-bit; 0, negative and larger numbers name nothing.
    return handle > 0 && handle <= 0x1FFFFFFF;
}

bool hostAttributes(std::intptr_t handle, XWindowAttributes* attributes) {
    Display* display = hostConnection();
    if (display == nullptr || !validWindowId(handle)) return false;
    x11::resetError();
    const Status ok = XGetWindowAttributes(display, static_cast<Window>(handle), attributes);
    return x11::syncAndTakeError(display) == 0 && ok != 0;
}

GLFWwindow* adoptedWindow = nullptr;
int adoptedWidth = 0;
int adoptedHeight = 0;
}  // namespace

bool hostWindowExists(std::intptr_t handle) {
    XWindowAttributes attributes;
    return hostAttributes(handle, &attributes);
}

bool hostClientSize(std::intptr_t handle, int* width, int* height) {
    XWindowAttributes attributes;
    if (!hostAttributes(handle, &attributes)) {
        *width = 0;
        *height = 0;
        return false;
    }
    *width = attributes.width;
    *height = attributes.height;
    return true;
}

namespace {
// The host's attributes, with the adopted window kept covering the host: a
// resize reaches onWindowSize through GLFW's own ConfigureNotify handling.
bool followHost(std::intptr_t handle, XWindowAttributes* attributes) {
    if (!hostAttributes(handle, attributes)) return false;  // destroyed
    if (adoptedWindow != nullptr && (attributes->width != adoptedWidth || attributes->height != adoptedHeight)) {
        adoptedWidth = attributes->width;
        adoptedHeight = attributes->height;
        glfwSetWindowSize(adoptedWindow, adoptedWidth, adoptedHeight);
    }
    return true;
}
}  // namespace

bool hostWindowEnabled(std::intptr_t handle) {
    XWindowAttributes attributes;
    return followHost(handle, &attributes) && attributes.map_state != IsUnmapped;  // unmapped: hidden by its owner
}

bool hostWindowAlive(std::intptr_t handle) {
    XWindowAttributes attributes;
    return followHost(handle, &attributes);
}

std::intptr_t rootWindow() {
    Display* display = hostConnection();
    return display ? static_cast<std::intptr_t>(DefaultRootWindow(display)) : 0;
}

GLFWwindow* adoptHostWindow(std::intptr_t handle) {
    // GLFW as published cannot take over a foreign window, so a borderless
    // GLFW window becomes a child of the host, at (0,0) and of its size. The
    // host itself is not shown, moved or resized.
    int width = 0, height = 0;
    if (!hostClientSize(handle, &width, &height)) return nullptr;
    glfwWindowHint(GLFW_DECORATED, GLFW_FALSE);
    glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
    glfwWindowHint(GLFW_FOCUS_ON_SHOW, GLFW_FALSE);
    GLFWwindow* window = glfwCreateWindow(std::max(width, 1), std::max(height, 1), "Lumeridge", nullptr, nullptr);
    if (window == nullptr) return nullptr;

    Display* display = glfwGetX11Display();
    const Window child = glfwGetX11Window(window);
    x11::resetError();
    // Not the window manager's to frame when the host is the root window.
    XSetWindowAttributes unmanaged{};
    unmanaged.override_redirect = True;
    XChangeWindowAttributes(display, child, CWOverrideRedirect, &unmanaged);
    XReparentWindow(display, child, static_cast<Window>(handle), 0, 0);
    if (x11::syncAndTakeError(display) != 0) {  // the host went away meanwhile
        glfwDestroyWindow(window);
        return nullptr;
    }
    glfwShowWindow(window);
    adoptedWindow = window;
    adoptedWidth = width;
    adoptedHeight = height;
    return window;
}

}  // namespace platform
