// Which of GLFW's window-system back ends a start uses.
//
// GLFW 3.4 carries X11 and Wayland in one library and picks one at glfwInit
// from the environment: in a Wayland session's environment
// (XDG_SESSION_TYPE=wayland) it tries Wayland only, even where XWayland
// provides DISPLAY, and every start probes Wayland, whose client library
// complains on stderr about a missing XDG_RUNTIME_DIR. Lumeridge draws
// through X11 (host and preview windows are X windows, reparented by Xlib),
// so it names the back end itself. GLFW 3.3 has one back end per system and
// nothing to choose.
#pragma once

#include "app/command_line.h"

enum class GlfwPlatform {
    LibraryDefault,  // GLFW 3.3: its only back end (X11 on Linux, Win32 on Windows)
    X11,             // GLFW 3.4: X11, asked for before glfwInit
    NoXDisplay,      // only a Wayland display: the start ends with kNoXDisplayMessage
};

// The display variables of the environment, each set and not empty. The
// session's type (XDG_SESSION_TYPE) does not enter the choice.
struct DisplayVariables {
    bool display = false;         // DISPLAY
    bool waylandDisplay = false;  // WAYLAND_DISPLAY
};

// `glfwMinor` is the running GLFW library's minor version (3.x): a program
// built against 3.3's header may run on 3.4's library, which has the same
// soname. Host and preview modes always draw into an X window; the full
// screen modes use X11 whenever DISPLAY is set, whatever the session type.
GlfwPlatform chooseGlfwPlatform(int glfwMinor, const DisplayVariables& variables, ScreensaverMode mode);

extern const char* const kNoXDisplayMessage;

// Run before glfwInit: asks GLFW for the chosen back end, or ends the start
// with kNoXDisplayMessage (caption "Error", one line on stderr, exit code 0)
// when there is no X display to draw on.
void selectGlfwPlatform(ScreensaverMode mode);
