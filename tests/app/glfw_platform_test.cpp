#include <gtest/gtest.h>

#include "app/glfw_platform.h"

namespace {

constexpr ScreensaverMode Host = ScreensaverMode::Host, Preview = ScreensaverMode::Preview,
                          Screensaver = ScreensaverMode::Screensaver, None = ScreensaverMode::None;
constexpr GlfwPlatform Default = GlfwPlatform::LibraryDefault, X11 = GlfwPlatform::X11, NoX = GlfwPlatform::NoXDisplay;

struct PlatformCase {
    int glfwMinor;
    bool display, waylandDisplay;
    ScreensaverMode mode;
    GlfwPlatform expected;
};

const PlatformCase kPlatformCases[] = {
    // GLFW 3.3: its one back end, whatever the environment says.
    {3, true, true, Screensaver, Default},
    {3, false, true, None, Default},
    {3, true, false, Host, Default},
    // A bare X server or an X session.
    {4, true, false, Screensaver, X11},
    {4, true, false, Host, X11},
    // A Wayland session with XWayland (GNOME, KDE, sway): X11 in every mode.
    {4, true, true, Screensaver, X11},
    {4, true, true, None, X11},
    {4, true, true, Host, X11},
    {4, true, true, Preview, X11},
    // Only a Wayland display: nothing to draw on full screen. Host and
    // preview modes find no X window before GLFW starts.
    {4, false, true, Screensaver, NoX},
    {4, false, true, None, NoX},
    {5, false, true, Screensaver, NoX},
    {4, false, true, Host, X11},
    {4, false, true, Preview, X11},
    // No display at all: GLFW's X11 back end reports it.
    {4, false, false, Screensaver, X11},
    {4, false, false, None, X11},
};

TEST(GlfwPlatform, ChoiceTable) {
    for (const PlatformCase& c : kPlatformCases) {
        const DisplayVariables variables{c.display, c.waylandDisplay};
        EXPECT_EQ(chooseGlfwPlatform(c.glfwMinor, variables, c.mode), c.expected)
            << "3." << c.glfwMinor << " DISPLAY " << c.display << " WAYLAND_DISPLAY " << c.waylandDisplay
            << " mode " << static_cast<int>(c.mode);
    }
}

}  // namespace
