// The screensaver application: GLFW, the windows with their OpenGL contexts
// (full screen on the primary monitor with windows on the others, or the
// adopted preview or host window), the scene they show, the input callbacks
// and the frame loop. Everything the callbacks and the loop work on lives in
// this one object, which the entry point owns.
#pragma once

#include <cstdint>
#include <memory>

#include "app/command_line.h"
#include "app/frame_clock.h"
#include "app/frame_pacer.h"
#include "app/other_monitors.h"

struct GLFWmonitor;
struct GLFWwindow;
class RainScene;
class RainView;

// Windows version number from a GetVersion() value: major * 10 + minor.
int windowsVersionNumber(std::uint32_t versionValue);

class ScreensaverApp {
public:
    // Opens GLFW and the windows; a failure ends the process (exit code 0)
    // after its box. Only one application exists at a time: GLFW's error
    // and monitor callbacks carry no pointer of ours, so the callbacks reach
    // it through one process-wide pointer that it sets and clears.
    explicit ScreensaverApp(const CommandLine& commandLine);
    // tearDown().
    ~ScreensaverApp();
    ScreensaverApp(const ScreensaverApp&) = delete;
    ScreensaverApp& operator=(const ScreensaverApp&) = delete;

    // Builds the scene and runs frames until an exit rule fires.
    void run();
    // Builds the scene once (run does it); then drawFrame and swapFrame run
    // one frame as the loop does.
    void setupScene();
    // Sets the frame time and draws every window's frame into its back buffer.
    void drawFrame();
    // Shows the frame: the other monitors' windows first (they never wait),
    // then the primary's, whose swap waits for the retrace.
    void swapFrame();
    // Frees the scene and the windows (GL objects first, each in its own
    // context), then takes GLFW down. Later calls do nothing.
    void tearDown();
    // After the frame's swaps: polls the events, then waits for them until
    // the pacer lets the next frame start. False as soon as an exit rule
    // fires, whether at once or during the wait.
    bool waitForNextFrame();
    // Escape (full-screen modes), a close request, a stop request, a preview
    // host disabled or gone, a host window destroyed, the focus lost to
    // another program.
    bool exitRuleFired();

    GLFWwindow* window() const { return window_.get(); }
    const CommandLine& commandLine() const { return commandLine_; }
    RainScene& scene() { return *scene_; }
    RainView& view() { return *view_; }
    OtherMonitorWindows& otherMonitors() { return otherMonitors_; }

    // What the callbacks do, for the window that reported it.
    void windowResized(GLFWwindow* window, int width, int height);
    void inputEvent();
    void focusChanged(GLFWwindow* window, int focused);
    void monitorChanged(GLFWmonitor* monitor, int event);
    void glfwError(const char* description);

private:
    void initGlfw();
    void computeWindowSize();
    void openWindow();
    void setRenderState();
    bool hostMode() const { return commandLine_.mode == ScreensaverMode::Host; }
    bool drawsIntoHostWindow() const;
    bool previewHostGone() const;
    // After each poll: the focus left the saver's windows for another
    // program's, or the monitors changed.
    bool focusLeftTheSaver();
    void followMonitorChanges();

    static constexpr double kShortestWait = 0.001;  // seconds

    CommandLine commandLine_;
    bool glfwRunning_ = false;
    GLFWmonitor* monitor_ = nullptr;                   // the full-screen window's; none for a preview
    DesktopArea mainArea_;                             // where that monitor lies
    WindowHandle window_;                              // the main window, or the adopted host window
    std::int32_t windowWidth_ = 0, windowHeight_ = 0;  // the main window's size
    std::unique_ptr<RainScene> scene_;
    std::unique_ptr<RainView> view_;
    OtherMonitorWindows otherMonitors_;  // full-screen modes only
    bool focusLost_ = false;
    bool monitorsChanged_ = false;
    FrameClock hostClock_;
    FramePacer pacer_{kDefaultFramePeriod, 0.0};
    bool fineTimedWaits_ = false;
};

// The monitor a full-screen start covers: glfwGetPrimaryMonitor, replaced by
// tests to reach the case of none. No monitor ends the start with "Failed to
// open window" (exit code 0).
extern GLFWmonitor* (*primaryMonitor)();

// Run by openWindow right after loading the OpenGL entry points. The rest of
// the program calls its OpenGL functions without testing them, so when the
// context lacks any of them this ends the process (exit code 0) after a
// "Debug" message box that names them; otherwise it returns.
void requireOpenGlFunctions();

// The GLFW callbacks, passed on to the running application. A GLFW error
// shows its description in an "Error" box; once the saver's window exists
// it ends the program through platform::fatalError, which takes the windows
// down first. A key or a mouse button is a close request (the saver ends
// with exit code 0 after the frame) except in host mode; motion and the
// wheel do nothing.
void onGlfwError(int code, const char* description);
void onWindowSize(GLFWwindow* window, int width, int height);
void onKey(GLFWwindow* window, int key, int scancode, int action, int mods);
void onMouseButton(GLFWwindow* window, int button, int action, int mods);
void onCursorPos(GLFWwindow* window, double x, double y);
void onScroll(GLFWwindow* window, double xoffset, double yoffset);
// Full-screen modes: losing the focus to another program (another window
// came to the front) is a close request, so the frame loop ends after the
// current frame; the focus moving between the saver's own windows is not.
void onFocusLost(GLFWwindow* window, int focused);
// A monitor connected or disconnected: the other monitors' windows follow
// after the event poll.
void onMonitor(GLFWmonitor* monitor, int event);
