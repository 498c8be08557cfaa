#include "app/glfw_platform.h"

#include <cstdlib>

#include <GLFW/glfw3.h>

#include "platform/fatal.h"

#ifndef GLFW_PLATFORM
// A build against GLFW 3.3's header still runs on 3.4's library (Debian 12's
// package installed on Debian 13), where the choice matters just as much.
// The values are fixed by GLFW's ABI.
#define GLFW_PLATFORM 0x00050003
#define GLFW_PLATFORM_X11 0x00060004
#endif

const char* const kNoXDisplayMessage =
    "Lumeridge needs an X display (X11 or XWayland); this session has only a Wayland display";

GlfwPlatform chooseGlfwPlatform(int glfwMinor, const DisplayVariables& variables, ScreensaverMode mode) {
    if (glfwMinor < 4) return GlfwPlatform::LibraryDefault;
    const bool fullScreen = mode == ScreensaverMode::Screensaver || mode == ScreensaverMode::None;
    // Without either display GLFW's X11 back end gives its own report, as 3.3 does.
    if (fullScreen && !variables.display && variables.waylandDisplay) return GlfwPlatform::NoXDisplay;
    return GlfwPlatform::X11;
}

namespace {
bool isSet(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
}
}  // namespace

void selectGlfwPlatform(ScreensaverMode mode) {
    int major = 0, minor = 0, revision = 0;
    glfwGetVersion(&major, &minor, &revision);
    DisplayVariables variables;
    variables.display = isSet("DISPLAY");
    variables.waylandDisplay = isSet("WAYLAND_DISPLAY");
    switch (chooseGlfwPlatform(minor, variables, mode)) {
        case GlfwPlatform::LibraryDefault: return;
        case GlfwPlatform::X11: glfwInitHint(GLFW_PLATFORM, GLFW_PLATFORM_X11); return;
        case GlfwPlatform::NoXDisplay: platform::fatalError(kNoXDisplayMessage, "Error");
    }
}
