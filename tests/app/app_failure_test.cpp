// Starts that end on an error: each ends with exit code 0 after its box
// (the text reaches stderr; DISPLAY is unset before the box, so it does not
// wait for a click).
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

#include <GLFW/glfw3.h>

#include "app/command_line.h"
#include "app/lumeridge_main.h"
#include "app/screensaver_app.h"
#include "tests/support/xvfb_server.h"

namespace {

TEST(EndingOnOutOfMemory, ReturnsTheBodysResultOrEndsWithTheBox) {
    EXPECT_EQ(endingOnOutOfMemory([] { return 7; }), 7);
    ::testing::FLAGS_gtest_death_test_style = "fast";  // the child must not start an Xvfb of its own
    EXPECT_EXIT(
        {
            unsetenv("DISPLAY");
            endingOnOutOfMemory([]() -> int { throw std::bad_alloc(); });
            std::exit(9);
        },
        ::testing::ExitedWithCode(0), "Debug: Out of memory");
}

class FullScreenStart : public ::testing::Test {
protected:
    void SetUp() override {
        ::testing::FLAGS_gtest_death_test_style = "fast";  // the child must not start an Xvfb of its own
        if (!xvfb_.running()) GTEST_SKIP() << "no Xvfb";
    }
    XvfbServer xvfb_{640, 480};
};

TEST_F(FullScreenStart, WithoutAMonitorEndsAsAnUnopenedWindow) {
    EXPECT_EXIT(
        {
            primaryMonitor = []() -> GLFWmonitor* {
                unsetenv("DISPLAY");  // GLFW is up; the box only writes to stderr
                return nullptr;
            };
            CommandLine line;
            line.mode = ScreensaverMode::Screensaver;
            ScreensaverApp app(line);
            std::exit(9);  // not reached
        },
        ::testing::ExitedWithCode(0), "Debug: Failed to open window");
}

TEST_F(FullScreenStart, GlfwErrorOnceTheWindowIsOpenEndsTheProgram) {
    EXPECT_EXIT(
        {
            CommandLine line;
            line.mode = ScreensaverMode::Screensaver;
            ScreensaverApp app(line);
            unsetenv("DISPLAY");
            glfwGetKey(app.window(), -5);  // GLFW_INVALID_ENUM
            std::exit(9);
        },
        ::testing::ExitedWithCode(0), "Error: Invalid key -5");
}

}  // namespace
