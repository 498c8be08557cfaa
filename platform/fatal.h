// The one way the program ends on an error: a message box with its caption,
// then exit status 0 (a screensaver host reads any other status as a crash).
#pragma once

namespace platform {

// What happens to GLFW and its windows around the box. A full-screen window
// left open can cover the box (Windows keeps the topmost window above it),
// so every box shown while the saver's window exists takes it down first.
enum class TearDown {
    Before,  // glfwTerminate, then the box (an adopted preview window is handed back)
    After,   // the box, then glfwTerminate
    Never,   // the box only: GLFW was never initialised
};

[[noreturn]] void fatalError(const char* text, const char* caption, TearDown tearDown);

}  // namespace platform
