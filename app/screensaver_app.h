// The screensaver application: GLFW, the window (full screen or the adopted
// preview window) with its OpenGL context, the input callbacks and the frame
// loop. One per process, never destroyed.
#pragma once

#include <cstdint>

#include "app/command_line.h"

struct GLFWmonitor;
struct GLFWwindow;

// Windows version number from a GetVersion() value: major * 10 + minor.
int windowsVersionNumber(std::uint32_t versionValue);

class ScreensaverApp {
public:
    explicit ScreensaverApp(CommandLine* commandLine);

    // Builds the scene and runs frames until an exit rule fires.
    void run();
    void frameStep();

    GLFWwindow* window = nullptr;
    GLFWmonitor* monitor = nullptr;  // the full-screen window's; none for a preview
    CommandLine* commandLine = nullptr;

private:
    void initGlfw();
    void computeWindowSize();
    void openWindow();
    void setRenderState();
};

// The process-wide application, published by the entry point.
extern ScreensaverApp* gScreensaverApp;

// The monitor a full-screen start covers: glfwGetPrimaryMonitor, replaced by
// tests to reach the case of none. No monitor ends the start with "Failed to
// open window" (exit code 0).
extern GLFWmonitor* (*primaryMonitor)();

// Run by openWindow right after loading the OpenGL entry points. The rest of
// the program calls its OpenGL functions without testing them, so when the
// context lacks any of them this ends the process (exit code 0) after a
// "Debug" message box that names them; otherwise it returns.
void requireOpenGlFunctions();

// The callbacks. A GLFW error shows its description in an "Error" box; once
// the saver's window exists it ends the program through platform::fatalError,
// which takes the window down first.
void onGlfwError(int code, const char* description);
void onWindowSize(GLFWwindow* window, int width, int height);
void onKey(GLFWwindow* window, int key, int scancode, int action, int mods);
void onMouseButton(GLFWwindow* window, int button, int action, int mods);
void onCursorPos(GLFWwindow* window, double x, double y);
void onScroll(GLFWwindow* window, double xoffset, double yoffset);
