#include "app/other_monitors.h"

#include <algorithm>

#include <GLFW/glfw3.h>

#include "app/screensaver_app.h"
#include "gfx/context_setup.h"
#include "gfx/gl.h"
#include "platform/platform.h"
#include "scene/rain_scene.h"
#include "scene/rain_view.h"

// One monitor's window, with the view the scene draws into when it shows
// the rain (none: black).
struct OtherMonitorWindows::Cover {
    GLFWmonitor* monitor = nullptr;  // none for a window placed by openAt
    bool monitorGone = false;
    DesktopArea area;
    WindowHandle window;
    std::unique_ptr<RainView> view;
};

void WindowDestroyer::operator()(GLFWwindow* window) const { glfwDestroyWindow(window); }

bool monitorDesktopArea(GLFWmonitor* monitor, DesktopArea* area) {
    return platform::monitorArea(monitor, &area->x, &area->y, &area->width, &area->height);
}

void rippleOrigin(const DesktopArea& primary, const DesktopArea& area, int* x, int* y) {
    *x = area.x - primary.x;
    *y = (primary.y + primary.height) - (area.y + area.height);
}

void paintCoverWindow(GLFWwindow* window) {
    GLFWwindow* previous = glfwGetCurrentContext();
    glfwMakeContextCurrent(window);
    glClear(GL_COLOR_BUFFER_BIT);  // the context's own: nothing changes its clear colour, black
    glfwSwapBuffers(window);
    glfwMakeContextCurrent(previous);
}

namespace {

// Hints for a window that covers a monitor without being its full-screen
// window: that would take the monitor's video mode, and a second full-screen
// window would minimise the first when it takes the focus. Created hidden,
// placed, then shown without activation.
void coverWindowHints() {
    glfwWindowHint(GLFW_DECORATED, GLFW_FALSE);
    glfwWindowHint(GLFW_FLOATING, GLFW_TRUE);
    glfwWindowHint(GLFW_RESIZABLE, GLFW_FALSE);
    glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
    glfwWindowHint(GLFW_FOCUSED, GLFW_FALSE);
    glfwWindowHint(GLFW_FOCUS_ON_SHOW, GLFW_FALSE);
}

// Windows: a window moved onto a monitor of another scale gets
// WM_DPICHANGED, and GLFW applies the rectangle suggested with it; placed
// once more where it now is, the window covers the monitor exactly.
void placeWindow(GLFWwindow* window, const DesktopArea& area) {
    glfwSetWindowPos(window, area.x, area.y);
    glfwSetWindowSize(window, area.width, area.height);
    glfwSetWindowPos(window, area.x, area.y);
}

void installInput(GLFWwindow* window) {
    glfwSetKeyCallback(window, onKey);
    glfwSetMouseButtonCallback(window, onMouseButton);
    glfwSetInputMode(window, GLFW_CURSOR, GLFW_CURSOR_HIDDEN);
}

// A window with a context that shares `primary`'s objects, its render state
// set and its view made in its own context; nullptr (nothing left behind)
// when the window or the shared context cannot be made. The current
// context is undefined afterwards.
WindowHandle openRainWindow(GLFWwindow* primary, const DesktopArea& area, std::unique_ptr<RainView>* view) {
    glfwDefaultWindowHints();
    // The main context's hints: GLX and WGL share objects only between
    // contexts of the same kind (and robustness).
    setContextHints();
    coverWindowHints();
    WindowHandle window(glfwCreateWindow(area.width, area.height, "Lumeridge", nullptr, primary));
    glfwDefaultWindowHints();
    if (window == nullptr) return nullptr;
    placeWindow(window.get(), area);
    glfwMakeContextCurrent(window.get());
    if (glfwGetCurrentContext() != window.get()) return nullptr;
    setRenderState();
    glfwSwapInterval(0);  // only the main window's swap waits for the retrace
    int width = 0, height = 0;
    glfwGetFramebufferSize(window.get(), &width, &height);
    *view = std::make_unique<RainView>(WindowSize(width, height));
    glfwSetWindowSizeCallback(window.get(), onWindowSize);
    glfwSetWindowFocusCallback(window.get(), onFocusLost);
    installInput(window.get());
    return window;
}

}  // namespace

GLFWwindow* openCoverWindow(int x, int y, int width, int height) {
    glfwDefaultWindowHints();
    glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 2);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 0);
    coverWindowHints();
    GLFWwindow* window = glfwCreateWindow(width, height, "Lumeridge", nullptr, nullptr);
    glfwDefaultWindowHints();
    if (window == nullptr) return nullptr;
    GLFWwindow* previous = glfwGetCurrentContext();
    placeWindow(window, DesktopArea{x, y, width, height});
    installInput(window);
    glfwSetWindowRefreshCallback(window, paintCoverWindow);
    glfwSetWindowFocusCallback(window, onFocusLost);
    glfwMakeContextCurrent(window);
    glfwSwapInterval(0);  // a swap here never waits for the primary's frame
    glfwMakeContextCurrent(previous);
    glfwShowWindow(window);
    paintCoverWindow(window);
    return window;
}

OtherMonitorWindows::OtherMonitorWindows() = default;
OtherMonitorWindows::~OtherMonitorWindows() { close(); }

void OtherMonitorWindows::open(GLFWwindow* primary, GLFWmonitor* monitor, const DesktopArea& area, bool rain) {
    auto cover = std::make_unique<Cover>();
    cover->monitor = monitor;
    cover->area = area;
    if (rain) cover->window = openRainWindow(primary, area, &cover->view);
    glfwMakeContextCurrent(primary);
    if (cover->window != nullptr) {
        int x = 0, y = 0;
        rippleOrigin(primaryArea_, area, &x, &y);
        cover->view->setRippleOrigin(x, y);
        glfwShowWindow(cover->window.get());
    } else {
        // Rain needs the shared context; without one the monitor is at
        // least covered, in black.
        cover->view.reset();
        cover->window.reset(openCoverWindow(area.x, area.y, area.width, area.height));
    }
    if (cover->window != nullptr) covers_.push_back(std::move(cover));
}

void OtherMonitorWindows::update(GLFWwindow* primary, GLFWmonitor* primaryMonitor) {
    // A monitor left uncovered is no reason for an error box over the
    // primary's window: failures here are not reported.
    GLFWerrorfun reportError = glfwSetErrorCallback(nullptr);
    int count = 0;
    GLFWmonitor** monitors = glfwGetMonitors(&count);
    if (primaryMonitor != nullptr) monitorDesktopArea(primaryMonitor, &primaryArea_);

    std::vector<std::unique_ptr<Cover>> kept;
    for (std::unique_ptr<Cover>& cover : covers_) {
        DesktopArea area;
        const bool listed = std::find(monitors, monitors + count, cover->monitor) != monitors + count;
        const bool stays =
            cover->monitor == nullptr || (!cover->monitorGone && listed && cover->monitor != primaryMonitor &&
                                          monitorDesktopArea(cover->monitor, &area) && area == cover->area);
        if (stays) kept.push_back(std::move(cover));
    }
    covers_.swap(kept);
    closeAll(kept);
    // The ripples' origins follow the primary's monitor where it has moved.
    for (const std::unique_ptr<Cover>& cover : covers_) {
        if (cover->view == nullptr) continue;
        int x = 0, y = 0;
        rippleOrigin(primaryArea_, cover->area, &x, &y);
        cover->view->setRippleOrigin(x, y);
    }

    for (int i = 0; i < count; ++i) {
        if (monitors[i] == primaryMonitor) continue;
        const bool covered = std::any_of(covers_.begin(), covers_.end(),
                                         [&](const std::unique_ptr<Cover>& c) { return c->monitor == monitors[i]; });
        DesktopArea area;
        if (covered || !monitorDesktopArea(monitors[i], &area)) continue;
        open(primary, monitors[i], area, true);
    }
    glfwMakeContextCurrent(primary);
    glfwSetErrorCallback(reportError);
}

void OtherMonitorWindows::monitorGone(GLFWmonitor* monitor) {
    for (std::unique_ptr<Cover>& cover : covers_)
        if (cover->monitor == monitor) cover->monitorGone = true;
}

void OtherMonitorWindows::openAt(GLFWwindow* primary, const DesktopArea& area, bool rain) {
    open(primary, nullptr, area, rain);
}

void OtherMonitorWindows::close() {
    std::vector<std::unique_ptr<Cover>> all;
    all.swap(covers_);
    closeAll(all);
}

void OtherMonitorWindows::closeAll(std::vector<std::unique_ptr<Cover>>& covers) {
    for (std::unique_ptr<Cover>& cover : covers) {
        if (cover == nullptr) continue;
        if (cover->view != nullptr) {
            glfwMakeContextCurrent(cover->window.get());
            cover->view.reset();
            glfwMakeContextCurrent(nullptr);
        }
        cover.reset();
    }
    covers.clear();
}

template <typename Work>
void OtherMonitorWindows::withEachRainContext(GLFWwindow* primary, Work work) {
    bool switched = false;
    for (const std::unique_ptr<Cover>& cover : covers_) {
        if (cover->view == nullptr) continue;
        glfwMakeContextCurrent(cover->window.get());
        work(*cover);
        switched = true;
    }
    if (switched) glfwMakeContextCurrent(primary);
}

void OtherMonitorWindows::render(RainScene& scene, GLFWwindow* primary) {
    withEachRainContext(primary, [&](Cover& cover) { scene.renderView(*cover.view); });
}

void OtherMonitorWindows::swap(GLFWwindow* primary) {
    // Each with its own context current: EGL swaps only the current
    // context's surface, and a context switch also flushes the last frame.
    withEachRainContext(primary, [](Cover& cover) { glfwSwapBuffers(cover.window.get()); });
}

void OtherMonitorWindows::resized(GLFWwindow* window, int width, int height) {
    for (const std::unique_ptr<Cover>& cover : covers_)
        if (cover->window.get() == window && cover->view != nullptr) cover->view->resize(width, height);
}

bool OtherMonitorWindows::owns(GLFWwindow* window) const {
    return std::any_of(covers_.begin(), covers_.end(),
                       [&](const std::unique_ptr<Cover>& c) { return c->window.get() == window; });
}

bool OtherMonitorWindows::anyFocused() const {
    return std::any_of(covers_.begin(), covers_.end(), [](const std::unique_ptr<Cover>& c) {
        return glfwGetWindowAttrib(c->window.get(), GLFW_FOCUSED) != 0;
    });
}

bool OtherMonitorWindows::closeRequested() const {
    return std::any_of(covers_.begin(), covers_.end(),
                       [](const std::unique_ptr<Cover>& c) { return glfwWindowShouldClose(c->window.get()) != 0; });
}

std::vector<GLFWwindow*> OtherMonitorWindows::windows() const {
    std::vector<GLFWwindow*> out;
    for (const std::unique_ptr<Cover>& cover : covers_) out.push_back(cover->window.get());
    return out;
}

std::size_t OtherMonitorWindows::rainCount() const {
    return static_cast<std::size_t>(std::count_if(covers_.begin(), covers_.end(),
                                                  [](const std::unique_ptr<Cover>& c) { return c->view != nullptr; }));
}
