#include "app/screensaver_app.h"

#include <cstdlib>
#include <string>

#include <GLFW/glfw3.h>

#include "app/glfw_platform.h"
#include "app/window_icon.h"
#include "gfx/context_setup.h"
#include "gfx/gl.h"
#include "gfx/gl_loader.h"
#include "platform/fatal.h"
#include "platform/platform.h"
#include "scene/rain_scene.h"
#include "scene/rain_view.h"

GLFWmonitor* (*primaryMonitor)() = glfwGetPrimaryMonitor;

namespace {
// The running application, the callbacks' way to it.
ScreensaverApp* theApp = nullptr;
}  // namespace

int windowsVersionNumber(std::uint32_t versionValue) {
    const int major = static_cast<int>(versionValue & 0xFFu);
    const int minor = static_cast<int>((versionValue >> 8) & 0xFFu);
    return major * 10 + minor;
}

void onGlfwError(int /*code*/, const char* description) {
    const char* text = description ? description : "";
    if (theApp != nullptr) {
        theApp->glfwError(text);
        return;
    }
    platform::messageBox(text, "Error", platform::MessageIcon::Information);
}

void onWindowSize(GLFWwindow* window, int width, int height) {
    if (theApp != nullptr) theApp->windowResized(window, width, height);
}

void onKey(GLFWwindow* /*window*/, int /*key*/, int /*scancode*/, int /*action*/, int /*mods*/) {
    if (theApp != nullptr) theApp->inputEvent();
}

void onMouseButton(GLFWwindow* /*window*/, int /*button*/, int /*action*/, int /*mods*/) {
    if (theApp != nullptr) theApp->inputEvent();
}

void onCursorPos(GLFWwindow* /*window*/, double /*x*/, double /*y*/) {}

void onFocusLost(GLFWwindow* window, int focused) {
    if (theApp != nullptr) theApp->focusChanged(window, focused);
}

void onScroll(GLFWwindow* /*window*/, double /*xoffset*/, double /*yoffset*/) {}

void onMonitor(GLFWmonitor* monitor, int event) {
    if (theApp != nullptr) theApp->monitorChanged(monitor, event);
}

void requireOpenGlFunctions() {
    const std::string message = glLoaderMissingFunctionsMessage();
    if (message.empty()) return;
    // The full-screen window would cover the message: GLFW and its windows
    // go first (an adopted preview window is handed back).
    platform::fatalError(message.c_str(), "Debug");
}

ScreensaverApp::ScreensaverApp(const CommandLine& line) : commandLine_(line) {
    theApp = this;
    initGlfw();
    computeWindowSize();
    openWindow();
    setRenderState();
}

ScreensaverApp::~ScreensaverApp() {
    tearDown();
    if (theApp == this) theApp = nullptr;
}

bool ScreensaverApp::drawsIntoHostWindow() const {
    return commandLine_.mode == ScreensaverMode::Preview || commandLine_.mode == ScreensaverMode::Host;
}

// A preview whose host window has gone has nothing left to show or report:
// it ends quietly, like a start whose host was already gone.
bool ScreensaverApp::previewHostGone() const {
    return commandLine_.mode == ScreensaverMode::Preview && !platform::hostWindowExists(commandLine_.parentWindow);
}

void ScreensaverApp::glfwError(const char* description) {
    if (previewHostGone()) return;  // the failed adoption ends quietly
    // Once the saver's window exists an error ends the program, and its box
    // must not sit behind the window.
    if (window_ != nullptr) platform::fatalError(description, "Error");
    platform::messageBox(description, "Error", platform::MessageIcon::Information);
}

void ScreensaverApp::windowResized(GLFWwindow* window, int width, int height) {
    if (window != window_.get()) {
        otherMonitors_.resized(window, width, height);
        return;
    }
    windowWidth_ = width;
    windowHeight_ = height;
    if (view_ != nullptr) view_->resize(width, height);
}

void ScreensaverApp::inputEvent() {
    // Host mode: the host owns the input. Otherwise a close request, not an
    // exit from inside GLFW's event dispatch: the loop ends and GLFW and its
    // GL contexts go before the process does. Mesa's llvmpipe keeps worker
    // threads for each context, and at exit GLVND's libGLX unloads the driver
    // beneath them: exits with a live context crashed (Debian 13).
    if (!hostMode()) glfwSetWindowShouldClose(window_.get(), GLFW_TRUE);
}

void ScreensaverApp::focusChanged(GLFWwindow* /*window*/, int focused) {
    // Which window has it is known once the poll has delivered the whole
    // move: X sends the FocusOut before the FocusIn, Windows WM_KILLFOCUS
    // before WM_SETFOCUS.
    if (!focused) focusLost_ = true;
}

bool ScreensaverApp::focusLeftTheSaver() {
    if (!focusLost_) return false;
    focusLost_ = false;
    return glfwGetWindowAttrib(window_.get(), GLFW_FOCUSED) == 0 && !otherMonitors_.anyFocused();
}

void ScreensaverApp::monitorChanged(GLFWmonitor* monitor, int event) {
    if (event == GLFW_DISCONNECTED) {
        otherMonitors_.monitorGone(monitor);
        // GLFW frees the monitor's record after this callback; the main
        // window stays where GLFW leaves it.
        if (monitor == monitor_) monitor_ = nullptr;
    }
    monitorsChanged_ = true;
}

void ScreensaverApp::followMonitorChanges() {
    if (!monitorsChanged_) return;
    monitorsChanged_ = false;
    // A new layout of the desktop can move the main window's monitor (X
    // servers keep the desktop's corner at 0,0 when the monitor left of it
    // goes), while the window stays where it was: full screen on it again.
    DesktopArea area;
    if (monitor_ != nullptr && monitorDesktopArea(monitor_, &area) && !(area == mainArea_)) {
        mainArea_ = area;
        if (const GLFWvidmode* mode = glfwGetVideoMode(monitor_))
            glfwSetWindowMonitor(window_.get(), monitor_, 0, 0, mode->width, mode->height, mode->refreshRate);
    }
    otherMonitors_.update(window_.get(), monitor_);
}

void ScreensaverApp::initGlfw() {
    glfwSetErrorCallback(onGlfwError);
    selectGlfwPlatform(commandLine_.mode);
    if (!glfwInit()) {
        // Nothing below can work without GLFW.
        platform::fatalError("Failed to initialize GLFW", "Debug");
    }
    glfwRunning_ = true;
}

void ScreensaverApp::computeWindowSize() {
    if (drawsIntoHostWindow()) {
        platform::hostClientSize(commandLine_.parentWindow, &windowWidth_, &windowHeight_);
        return;
    }
    // Without a monitor there is no screen to cover (a session whose display
    // is detached, a machine without one): an 800 x 600 window on no screen
    // would guard nothing, so the start fails as an unopened window does.
    monitor_ = primaryMonitor();
    if (monitor_ == nullptr) platform::fatalError("Failed to open window", "Debug");
    windowWidth_ = 800;
    windowHeight_ = 600;
    if (windowsVersionNumber(platform::getVersion()) >= 60) {
        if (const GLFWvidmode* mode = glfwGetVideoMode(monitor_)) {
            windowWidth_ = mode->width;
            windowHeight_ = mode->height;
        }
    }
}

void ScreensaverApp::openWindow() {
    setContextHints();

    GLFWwindow* window = nullptr;
    if (drawsIntoHostWindow()) {
        window = platform::adoptHostWindow(commandLine_.parentWindow);
    } else {
        // Another window coming to the front ends the saver (onFocusLost)
        // instead of minimising it, where it would live on unseen.
        glfwWindowHint(GLFW_AUTO_ICONIFY, GLFW_FALSE);
        window = glfwCreateWindow(windowWidth_, windowHeight_, "Lumeridge", monitor_, nullptr);
    }
    if (window == nullptr && previewHostGone()) {
        tearDown();
        std::exit(0);
    }
    if (window == nullptr) {
        platform::fatalError("Failed to open window", "Debug");
    }

    window_.reset(window);
    glfwSetWindowSizeCallback(window_.get(), onWindowSize);
    glfwSetKeyCallback(window_.get(), onKey);
    glfwSetMouseButtonCallback(window_.get(), onMouseButton);
    glfwSetCursorPosCallback(window_.get(), onCursorPos);
    glfwSetScrollCallback(window_.get(), onScroll);
    if (!drawsIntoHostWindow()) glfwSetWindowFocusCallback(window_.get(), onFocusLost);

    glfwMakeContextCurrent(window_.get());

    static WindowIconPixels iconRows = windowIconRows();
    GLFWimage image;
    image.width = kWindowIconSide;
    image.height = kWindowIconSide;
    image.pixels = iconRows.data();
    glfwSetWindowIcon(window_.get(), 1, &image);

    glLoaderInit();
    requireOpenGlFunctions();
    if (!drawsIntoHostWindow()) {
        monitorDesktopArea(monitor_, &mainArea_);
        otherMonitors_.update(window_.get(), monitor_);
        glfwSetMonitorCallback(onMonitor);
    }
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
    pacer_ = FramePacer(commandLine_.framePeriod, refreshRateOf(monitor_));
    glfwSwapInterval(pacer_.swapInterval());
    glfwSetInputMode(window_.get(), GLFW_CURSOR, GLFW_CURSOR_HIDDEN);
}

void ScreensaverApp::setupScene() {
    if (scene_ != nullptr) return;
    scene_ = std::make_unique<RainScene>();
    scene_->setup();
    view_ = std::make_unique<RainView>(WindowSize(windowWidth_, windowHeight_));
}

void ScreensaverApp::run() {
    setupScene();
    const bool host = hostMode();
    for (;;) {
        drawFrame();
        swapFrame();
        // From the first frame shown on, a stop signal waits for the frame.
        if (host) platform::stopSignalsEndAfterTheFrame();
        if (!waitForNextFrame()) break;
    }
    if (host && platform::stopRequested()) {
        tearDown();
        platform::endByStopSignal();
    }
}

bool ScreensaverApp::exitRuleFired() {
    const bool host = hostMode();
    if (!host && glfwGetKey(window_.get(), GLFW_KEY_ESCAPE) != 0) return true;
    if (glfwWindowShouldClose(window_.get()) == 1 || otherMonitors_.closeRequested()) return true;
    if (focusLeftTheSaver()) return true;
    // A stop request from outside (signal, lost display) is a close request.
    if (platform::stopRequested()) return true;
    if (commandLine_.mode == ScreensaverMode::Preview && !platform::hostWindowEnabled(commandLine_.parentWindow))
        return true;
    // Host mode: an unmapped host window comes back; a destroyed one ends it.
    return host && !platform::hostWindowAlive(commandLine_.parentWindow);
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
        // Windows are made and closed here, never inside a callback.
        followMonitorChanges();
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

void ScreensaverApp::drawFrame() {
    const double now = glfwGetTime();
    scene_->clock()->setCurrentTime(hostMode() ? hostClock_.next(now) : now);
    scene_->beginFrame();
    scene_->renderView(*view_);
    otherMonitors_.render(*scene_, window_.get());
    scene_->endFrame();
}

void ScreensaverApp::swapFrame() {
    otherMonitors_.swap(window_.get());
    glfwSwapBuffers(window_.get());
}

void ScreensaverApp::tearDown() {
    if (!glfwRunning_) return;
    // A window that is already gone (a host's, destroyed under us) makes
    // X errors on the way down; there is nothing left to report them to.
    glfwSetErrorCallback(nullptr);
    // GL objects go while a context that knows them is current.
    if (window_ != nullptr) glfwMakeContextCurrent(window_.get());
    view_.reset();
    scene_.reset();
    otherMonitors_.close();
    // An adopted host window is handed back, not destroyed.
    window_.reset();
    glfwTerminate();
    glfwRunning_ = false;
}
