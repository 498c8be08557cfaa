// The screensaver application: GLFW, the window (full screen or the adopted
// preview window) with its OpenGL context, the input callbacks and the frame
// loop. One per process, never destroyed.
#pragma once

#include <cstdint>

#include "app/command_line.h"
#include "app/frame_pacer.h"
#include "app/other_monitors.h"

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
    // After the frame's swaps: polls the events, then waits for them until
    // the pacer lets the next frame start. False as soon as an exit rule
    // fires, whether at once or during the wait.
    bool waitForNextFrame();
    // Escape (full-screen modes), a close request, a stop request, a preview
    // host disabled or gone, a host window destroyed.
    bool exitRuleFired();

    GLFWwindow* window = nullptr;
    GLFWmonitor* monitor = nullptr;  // the full-screen window's; none for a preview
    CommandLine* commandLine = nullptr;
    OtherMonitorWindows otherMonitors;  // full-screen modes only

private:
    void initGlfw();
    void computeWindowSize();
    void openWindow();
    void setRenderState();

    static constexpr double kShortestWait = 0.001;  // seconds
    FramePacer pacer_{kDefaultFramePeriod, 0.0};
    bool fineTimedWaits_ = false;
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
// Full-screen modes: losing the focus (another window came to the front) is a
// close request, so the frame loop ends after the current frame.
void onFocusLost(GLFWwindow* window, int focused);
