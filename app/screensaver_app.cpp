#include "app/screensaver_app.h"

#include <cstdlib>
#include <string>

#include <GLFW/glfw3.h>

#include "app/frame_clock.h"
#include "app/frame_pacer.h"
#include "app/other_monitors.h"
#include "scene/window_size.h"
#include "app/window_icon.h"
#include "gfx/context_setup.h"
#include "gfx/gl.h"
#include "gfx/gl_loader.h"
#include "platform/fatal.h"
#include "platform/platform.h"
#include "scene/rain_scene.h"

ScreensaverApp* gScreensaverApp = nullptr;
GLFWmonitor* (*primaryMonitor)() = glfwGetPrimaryMonitor;

namespace {

// The saver's window once it exists: from then on a GLFW error ends the
// program, and its box must not sit behind the window.
GLFWwindow* gOpenWindow = nullptr;

}  // namespace

namespace {
// Host mode: the host owns the input, and its window may change.
bool hostMode() { return gScreensaverApp != nullptr && gScreensaverApp->commandLine->mode == ScreensaverMode::Host; }
bool drawsIntoHostWindow(ScreensaverMode mode) {
    return mode == ScreensaverMode::Preview || mode == ScreensaverMode::Host;
}
FrameClock hostClock;
}  // namespace

int windowsVersionNumber(std::uint32_t versionValue) {
    const int major = static_cast<int>(versionValue & 0xFFu);
    const int minor = static_cast<int>((versionValue >> 8) & 0xFFu);
    return major * 10 + minor;
}

namespace {
// A preview whose host window has gone has nothing left to show or report:
// it ends quietly, like a start whose host was already gone.
bool previewHostGone() {
    return gCommandLine != nullptr && gCommandLine->mode == ScreensaverMode::Preview &&
           !platform::hostWindowExists(gCommandLine->parentWindow);
}
}  // namespace

void onGlfwError(int /*code*/, const char* description) {
    if (previewHostGone()) return;  // the failed adoption ends quietly
    if (gOpenWindow != nullptr) platform::fatalError(description ? description : "", "Error");
    platform::messageBox(description ? description : "", "Error", platform::MessageIcon::Information);
}

void onWindowSize(GLFWwindow* /*window*/, int width, int height) { setWindowSize(width, height); }

void onKey(GLFWwindow* /*window*/, int /*key*/, int /*scancode*/, int /*action*/, int /*mods*/) {
    if (!hostMode()) std::exit(0);
}

void onMouseButton(GLFWwindow* /*window*/, int /*button*/, int /*action*/, int /*mods*/) {
    if (!hostMode()) std::exit(0);
}

void onCursorPos(GLFWwindow* /*window*/, double /*x*/, double /*y*/) {}

void onFocusLost(GLFWwindow* window, int focused) {
    if (!focused) glfwSetWindowShouldClose(window, GLFW_TRUE);
}

void onScroll(GLFWwindow* /*window*/, double /*xoffset*/, double /*yoffset*/) {}

void requireOpenGlFunctions() {
    const std::string message = glLoaderMissingFunctionsMessage();
    if (message.empty()) return;
    // The full-screen window would cover the message: GLFW and its windows
    // go first (an adopted preview window is handed back).
    platform::fatalError(message.c_str(), "Debug");
}

ScreensaverApp::ScreensaverApp(CommandLine* line) : commandLine(line) {
    initGlfw();
    computeWindowSize();
    openWindow();
    setRenderState();
}

void ScreensaverApp::initGlfw() {
    glfwSetErrorCallback(onGlfwError);
    if (!glfwInit()) {
        // Nothing below can work without GLFW.
        platform::fatalError("Failed to initialize GLFW", "Debug");
    }
}

void ScreensaverApp::computeWindowSize() {
    if (drawsIntoHostWindow(commandLine->mode)) {
        int width = 0, height = 0;
        platform::hostClientSize(commandLine->parentWindow, &width, &height);
        setWindowSize(width, height);
        return;
    }
    // Without a monitor there is no screen to cover (a session whose display
    // is detached, a machine without one): an 800 x 600 window on no screen
    // would guard nothing, so the start fails as an unopened window does.
    monitor = primaryMonitor();
    if (monitor == nullptr) platform::fatalError("Failed to open window", "Debug");
    if (windowsVersionNumber(platform::getVersion()) >= 60) {
        const GLFWvidmode* mode = glfwGetVideoMode(monitor);
        setWindowSize(mode ? mode->width : 800, mode ? mode->height : 600);
    } else {
        setWindowSize(800, 600);
    }
}

void ScreensaverApp::openWindow() {
    setContextHints();

    if (drawsIntoHostWindow(commandLine->mode)) {
        window = platform::adoptHostWindow(commandLine->parentWindow);
    } else {
        // Another window coming to the front ends the saver (onFocusLost)
        // instead of minimising it, where it would live on unseen.
        glfwWindowHint(GLFW_AUTO_ICONIFY, GLFW_FALSE);
        window = glfwCreateWindow(windowWidth, windowHeight, "Lumeridge", monitor, nullptr);
    }
    if (window == nullptr && previewHostGone()) {
        glfwTerminate();
        std::exit(0);
    }
    if (window == nullptr) {
        platform::fatalError("Failed to open window", "Debug");
    }

    gOpenWindow = window;
    glfwSetWindowSizeCallback(window, onWindowSize);
    glfwSetKeyCallback(window, onKey);
    glfwSetMouseButtonCallback(window, onMouseButton);
    glfwSetCursorPosCallback(window, onCursorPos);
    glfwSetScrollCallback(window, onScroll);
    if (!drawsIntoHostWindow(commandLine->mode)) glfwSetWindowFocusCallback(window, onFocusLost);

    glfwMakeContextCurrent(window);

    static WindowIconPixels iconRows = windowIconRows();
    GLFWimage image;
    image.width = kWindowIconSide;
    image.height = kWindowIconSide;
    image.pixels = iconRows.data();
    glfwSetWindowIcon(window, 1, &image);

    glLoaderInit();
    requireOpenGlFunctions();
    if (!drawsIntoHostWindow(commandLine->mode)) otherMonitors.open(window);
}

namespace {
// The refresh rate of the monitor the frames are shown on, 0 when unknown.
// A host's window and a preview lie on some monitor of the desktop; the
// primary's rate stands for it.
double refreshRateOf(GLFWmonitor* monitor) {
    if (monitor == nullptr) monitor = glfwGetPrimaryMonitor();
    const GLFWvidmode* mode = monitor ? glfwGetVideoMode(monitor) : nullptr;
    return mode ? mode->refreshRate : 0.0;
}
}  // namespace

void ScreensaverApp::setRenderState() {
    ::setRenderState();
    pacer_ = FramePacer(commandLine->framePeriod, refreshRateOf(monitor));
    glfwSwapInterval(pacer_.swapInterval());
    glfwSetInputMode(window, GLFW_CURSOR, GLFW_CURSOR_HIDDEN);
}

void ScreensaverApp::run() {
    RainScene& scene = rainScene();
    scene.setup();
    const bool host = commandLine->mode == ScreensaverMode::Host;
    for (;;) {
        frameStep();
        glfwSwapBuffers(window);
        // From the first frame shown on, a stop signal waits for the frame.
        if (host) platform::stopSignalsEndAfterTheFrame();
        if (!waitForNextFrame()) break;
    }
    if (host && platform::stopRequested()) {
        glfwTerminate();
        platform::endByStopSignal();
    }
}

bool ScreensaverApp::exitRuleFired() {
    const bool host = commandLine->mode == ScreensaverMode::Host;
    if (!host && glfwGetKey(window, GLFW_KEY_ESCAPE) != 0) return true;
    if (glfwWindowShouldClose(window) == 1) return true;
    // A stop request from outside (signal, lost display) is a close request.
    if (platform::stopRequested()) return true;
    if (commandLine->mode == ScreensaverMode::Preview && !platform::hostWindowEnabled(commandLine->parentWindow))
        return true;
    // Host mode: an unmapped host window comes back; a destroyed one ends it.
    return host && !platform::hostWindowAlive(commandLine->parentWindow);
}

bool ScreensaverApp::waitForNextFrame() {
    const double nextFrame = pacer_.frameShown(glfwGetTime());
    if (pacer_.limiting() && !fineTimedWaits_) {
        platform::fineTimedWaits();
        fineTimedWaits_ = true;
    }
    glfwPollEvents();
    for (;;) {
        if (exitRuleFired()) return false;
        const double left = nextFrame - glfwGetTime();
        if (left <= 0.0) return true;
        // Input and a close request end the wait as they arrive, and so does
        // a stop signal: GLFW's wait gives up when select is interrupted,
        // which the kernel never restarts. Win32's wait takes whole
        // milliseconds and returns at once below one: the shortest wait is
        // one millisecond rather than a spin; the limiter's rhythm does not
        // drift by a late start.
        glfwWaitEventsTimeout(left < kShortestWait ? kShortestWait : left);
    }
}

void ScreensaverApp::frameStep() {
    const double now = glfwGetTime();
    const double t = commandLine->mode == ScreensaverMode::Host ? hostClock.next(now) : now;
    RainScene& scene = rainScene();
    scene.clock()->setCurrentTime(t);
    scene.render();
}
