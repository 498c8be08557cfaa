#include "app/screensaver_app.h"

#include <cstdlib>
#include <string>

#include <GLFW/glfw3.h>

#include "scene/window_size.h"
#include "app/window_icon.h"
#include "gfx/gl.h"
#include "gfx/gl_loader.h"
#include "platform/fatal.h"
#include "platform/platform.h"
#include "scene/rain_scene.h"

ScreensaverApp* gScreensaverApp = nullptr;

int windowsVersionNumber(std::uint32_t versionValue) {
    const int major = static_cast<int>(versionValue & 0xFFu);
    const int minor = static_cast<int>((versionValue >> 8) & 0xFFu);
    return major * 10 + minor;
}

void onGlfwError(int /*code*/, const char* description) {
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
    platform::fatalError(message.c_str(), "Debug", platform::TearDown::Before);
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
        platform::fatalError("Failed to initialize GLFW", "Debug", platform::TearDown::Never);
    }
}

void ScreensaverApp::computeWindowSize() {
    if (commandLine->mode == ScreensaverMode::Preview) {
        int width = 0, height = 0;
        platform::hostClientSize(commandLine->parentWindow, &width, &height);
        setWindowSize(width, height);
    } else if (windowsVersionNumber(platform::getVersion()) >= 60) {
        const GLFWvidmode* mode = glfwGetVideoMode(glfwGetPrimaryMonitor());
        // No monitor: fall back to the pre-Vista size rather than read nothing.
        setWindowSize(mode ? mode->width : 800, mode ? mode->height : 600);
    } else {
        setWindowSize(800, 600);
    }
}

void ScreensaverApp::openWindow() {
    glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 2);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 0);
    glfwWindowHint(GLFW_CONTEXT_ROBUSTNESS, GLFW_LOSE_CONTEXT_ON_RESET);
    glfwWindowHint(GLFW_SAMPLES, 0);
    glfwWindowHint(GLFW_STEREO, GLFW_FALSE);

    if (commandLine->mode == ScreensaverMode::Preview) {
        window = platform::adoptHostWindow(commandLine->parentWindow);
    } else {
        window = glfwCreateWindow(windowWidth, windowHeight, "Lumeridge", glfwGetPrimaryMonitor(), nullptr);
    }
    if (window == nullptr) {
        platform::fatalError("Failed to open window", "Debug", platform::TearDown::After);
    }

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
    glCullFace(GL_BACK);
    glFrontFace(GL_CW);
    glDisable(GL_MULTISAMPLE);
    glDisable(GL_LINE_SMOOTH);
    glDisable(GL_POLYGON_SMOOTH);
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
