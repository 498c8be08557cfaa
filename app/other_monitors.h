// The monitors besides the primary in the full-screen modes: each gets a
// borderless, topmost window of its size that shows black. A key or a
// mouse button on one of them ends the saver like one on the primary's
// window; motion does not. The primary's window is not touched.
#pragma once

#include <memory>
#include <vector>

struct GLFWwindow;

// A GLFW window owned by its holder: destroyed with glfwDestroyWindow.
struct WindowDestroyer {
    void operator()(GLFWwindow* window) const;
};
using WindowHandle = std::unique_ptr<GLFWwindow, WindowDestroyer>;

class OtherMonitorWindows {
public:
    OtherMonitorWindows() = default;
    ~OtherMonitorWindows() { close(); }
    OtherMonitorWindows(const OtherMonitorWindows&) = delete;
    OtherMonitorWindows& operator=(const OtherMonitorWindows&) = delete;

    // Opens one window per monitor other than the primary, without taking
    // the focus from `primary`, whose context is current again afterwards.
    // A window that cannot be opened leaves its monitor uncovered.
    void open(GLFWwindow* primary);
    // Destroys the windows.
    void close() { windows_.clear(); }
    std::vector<GLFWwindow*> windows() const;

private:
    std::vector<WindowHandle> windows_;
};

// One cover window at (x, y) of the given size, shown without the focus and
// painted; nullptr when it cannot be opened. The current context stays.
GLFWwindow* openCoverWindow(int x, int y, int width, int height);

// Paints a cover window black (its own context; the context current before
// is current again afterwards). Also its refresh callback.
void paintCoverWindow(GLFWwindow* window);
