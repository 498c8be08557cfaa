// The monitors besides the main window's in the full-screen modes: each gets
// a borderless, topmost window of exactly its place and size. Its context
// shares the main context's objects, so it shows the rain from the same
// scene; a window whose shared context cannot be made shows black instead.
// A key or a mouse button on one of them ends the saver like one on the
// main window; motion does not. The main window is not touched.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

struct GLFWmonitor;
struct GLFWwindow;
class RainScene;
class RainView;

// A GLFW window owned by its holder: destroyed with glfwDestroyWindow.
struct WindowDestroyer {
    void operator()(GLFWwindow* window) const;
};
using WindowHandle = std::unique_ptr<GLFWwindow, WindowDestroyer>;

// A rectangle of the desktop, in screen coordinates (y down).
struct DesktopArea {
    int x = 0, y = 0, width = 0, height = 0;
    bool operator==(const DesktopArea& o) const {
        return x == o.x && y == o.y && width == o.width && height == o.height;
    }
};

class OtherMonitorWindows {
public:
    OtherMonitorWindows();
    ~OtherMonitorWindows();
    OtherMonitorWindows(const OtherMonitorWindows&) = delete;
    OtherMonitorWindows& operator=(const OtherMonitorWindows&) = delete;

    // Covers every monitor but `primaryMonitor` that has no window yet and
    // closes the windows of monitors that are gone, have moved or become
    // the primary's. Windows open without taking the focus from `primary`,
    // whose context is current again afterwards. A monitor whose window
    // cannot be opened stays uncovered; nothing here shows a box.
    void update(GLFWwindow* primary, GLFWmonitor* primaryMonitor);
    // GLFW reported `monitor` disconnected: its window goes at the next
    // update (windows cannot be destroyed inside GLFW's callbacks).
    void monitorGone(GLFWmonitor* monitor);
    // One window at `area`, showing the rain when `rain` is set and its
    // context can share `primary`'s, else black (benchmarks place these
    // beside the screen).
    void openAt(GLFWwindow* primary, const DesktopArea& area, bool rain);
    // Destroys every window, each view first in its own context; no
    // context is current afterwards.
    void close();

    // Draws the frame of every window with rain, each in its own context;
    // `primary`'s context is current again afterwards.
    void render(RainScene& scene, GLFWwindow* primary);
    // Shows those frames; the windows swap with interval 0, so none waits.
    void swap(GLFWwindow* primary);

    void resized(GLFWwindow* window, int width, int height);
    bool owns(GLFWwindow* window) const;
    bool anyFocused() const;
    bool closeRequested() const;
    std::vector<GLFWwindow*> windows() const;
    std::size_t rainCount() const;

private:
    struct Cover;
    void open(GLFWwindow* primary, GLFWmonitor* monitor, const DesktopArea& area, bool rain);
    static void closeAll(std::vector<std::unique_ptr<Cover>>& covers);
    // Runs `work` on every window with rain, its context current; `primary`'s
    // context is current again afterwards.
    template <typename Work>
    void withEachRainContext(GLFWwindow* primary, Work work);

    std::vector<std::unique_ptr<Cover>> covers_;
    DesktopArea primaryArea_;  // where the ripples' origin lies
};

// Where `monitor` lies on the desktop; false when the platform cannot tell.
bool monitorDesktopArea(GLFWmonitor* monitor, DesktopArea* area);

// Where the lower-left corner of `area` lies from that of `primary`: `x`
// pixels to the right and `y` pixels up (OpenGL's window coordinates run
// up, the desktop's down).
void rippleOrigin(const DesktopArea& primary, const DesktopArea& area, int* x, int* y);

// One black window at (x, y) of the given size, shown without the focus and
// painted; nullptr when it cannot be opened. The current context stays.
GLFWwindow* openCoverWindow(int x, int y, int width, int height);

// Paints a cover window black (its own context; the context current before
// is current again afterwards). Also its refresh callback.
void paintCoverWindow(GLFWwindow* window);
