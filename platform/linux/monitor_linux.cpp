// Linux back end: where a monitor lies on the X screen, as GLFW reads it
// from RandR.
#include <GLFW/glfw3.h>

#include "platform/platform.h"

namespace platform {

bool monitorArea(GLFWmonitor* monitor, int* x, int* y, int* width, int* height) {
    const GLFWvidmode* mode = glfwGetVideoMode(monitor);
    if (mode == nullptr || mode->width <= 0 || mode->height <= 0) return false;
    glfwGetMonitorPos(monitor, x, y);
    *width = mode->width;
    *height = mode->height;
    return true;
}

}  // namespace platform
