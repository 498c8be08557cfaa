#include "app/other_monitors.h"

#include <GLFW/glfw3.h>

#include "app/screensaver_app.h"
#include "gfx/gl.h"
#include "platform/platform.h"

void WindowDestroyer::operator()(GLFWwindow* window) const { glfwDestroyWindow(window); }

std::vector<GLFWwindow*> OtherMonitorWindows::windows() const {
    std::vector<GLFWwindow*> out;
    for (const WindowHandle& window : windows_) out.push_back(window.get());
    return out;
}

void paintCoverWindow(GLFWwindow* window) {
    GLFWwindow* previous = glfwGetCurrentContext();
    glfwMakeContextCurrent(window);
    glClear(GL_COLOR_BUFFER_BIT);  // the context's own: nothing changes its clear colour, black
    glfwSwapBuffers(window);
    glfwMakeContextCurrent(previous);
}

GLFWwindow* openCoverWindow(int x, int y, int width, int height) {
    // Not a full-screen window of its monitor: that would take the
    // monitor's video mode, and a second full-screen window would minimise
    // the first when it takes the focus. Created hidden, placed, then shown
    // without activation.
    glfwDefaultWindowHints();
    glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 2);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 0);
    glfwWindowHint(GLFW_DECORATED, GLFW_FALSE);
    glfwWindowHint(GLFW_FLOATING, GLFW_TRUE);
    glfwWindowHint(GLFW_RESIZABLE, GLFW_FALSE);
    glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
    glfwWindowHint(GLFW_FOCUSED, GLFW_FALSE);
    glfwWindowHint(GLFW_FOCUS_ON_SHOW, GLFW_FALSE);
    GLFWwindow* window = glfwCreateWindow(width, height, "Lumeridge", nullptr, nullptr);
    glfwDefaultWindowHints();
    if (window == nullptr) return nullptr;
    GLFWwindow* previous = glfwGetCurrentContext();
    glfwSetWindowPos(window, x, y);
    glfwSetKeyCallback(window, onKey);
    glfwSetMouseButtonCallback(window, onMouseButton);
    glfwSetWindowRefreshCallback(window, paintCoverWindow);
    glfwSetInputMode(window, GLFW_CURSOR, GLFW_CURSOR_HIDDEN);
    glfwMakeContextCurrent(window);
    glfwSwapInterval(0);  // a swap here never waits for the primary's frame
    glfwMakeContextCurrent(previous);
    glfwShowWindow(window);
    paintCoverWindow(window);
    return window;
}

void OtherMonitorWindows::open(GLFWwindow* primary) {
    // A monitor left uncovered is no reason for an error box over the
    // primary's window: failures here are not reported.
    GLFWerrorfun reportError = glfwSetErrorCallback(nullptr);
    int count = 0;
    GLFWmonitor** monitors = glfwGetMonitors(&count);
    GLFWmonitor* primaryMonitor = glfwGetPrimaryMonitor();
    for (int i = 0; i < count; ++i) {
        if (monitors[i] == primaryMonitor) continue;
        int x = 0, y = 0, width = 0, height = 0;
        if (!platform::monitorArea(monitors[i], &x, &y, &width, &height)) continue;
        if (GLFWwindow* window = openCoverWindow(x, y, width, height)) windows_.emplace_back(window);
    }
    glfwMakeContextCurrent(primary);
    glfwSetErrorCallback(reportError);
}
