#include "app/screensaver_app.h"

#include <cstdlib>
#include <string>

#include <GLFW/glfw3.h>

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

int windowsVersionNumber(std::uint32_t versionValue) {
    const int major = static_cast<int>(versionValue & 0xFFu);
    const int minor = static_cast<int>((versionValue >> 8) & 0xFFu);
    return major * 10 + minor;
}

void onGlfwError(int /*code*/, const char* description) {
    if (gOpenWindow != nullptr) platform::fatalError(description ? description : "", "Error");
    platform::messageBox(description ? description : "", "Error", platform::MessageIcon::Information);
}

void onWindowSize(GLFWwindow* /*window*/, int width, int height) {
    setWindowSize(width, height);
}

void onKey(GLFWwindow* /*window*/, int /*key*/, int /*scancode*/, int /*action*/, int /*mods*/) { std::exit(0); }

void onMouseButton(GLFWwindow* /*window*/, int /*button*/, int /*action*/, int /*mods*/) { std::exit(0); }

void onCursorPos(GLFWwindow* /*window*/, double /*x*/, double /*y*/) {}

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
    if (commandLine->mode == ScreensaverMode::Preview) {
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

    if (commandLine->mode == ScreensaverMode::Preview) {
        window = platform::adoptHostWindow(commandLine->parentWindow);
    } else {
        window = glfwCreateWindow(windowWidth, windowHeight, "Lumeridge", monitor, nullptr);
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

    glfwMakeContextCurrent(window);

    static WindowIconPixels iconRows = windowIconRows();
    GLFWimage image;
    image.width = kWindowIconSide;
    image.height = kWindowIconSide;
    image.pixels = iconRows.data();
    glfwSetWindowIcon(window, 1, &image);

    glLoaderInit();
    requireOpenGlFunctions();
}

void ScreensaverApp::setRenderState() {
    ::setRenderState();
    glfwSwapInterval(1);
    glfwSetInputMode(window, GLFW_CURSOR, GLFW_CURSOR_HIDDEN);
}

void ScreensaverApp::run() {
    RainScene& scene = rainScene();
    scene.setup();
    bool keepRunning = true;
    for (;;) {
        frameStep();
        glfwSwapBuffers(window);
        glfwPollEvents();
        if (glfwGetKey(window, GLFW_KEY_ESCAPE) != 0) keepRunning = false;
        if (glfwWindowShouldClose(window) == 1) keepRunning = false;
        // A stop request from outside (signal, lost display) is a close request.
        if (platform::stopRequested()) keepRunning = false;
        if (commandLine->mode == ScreensaverMode::Preview && !platform::hostWindowEnabled(commandLine->parentWindow))
            break;
        if (!keepRunning) break;
    }
}

void ScreensaverApp::frameStep() {
    const float t = static_cast<float>(glfwGetTime());
    RainScene& scene = rainScene();
    scene.clock()->setCurrentTime(t);
    scene.render();
}
