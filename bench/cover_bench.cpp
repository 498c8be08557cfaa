// The primary window's frame time with and without the black windows that
// cover the other monitors.
//
//   bench_cover [frames] [covers]    (default 200 frames, 2 covers; needs DISPLAY)
//
// Runs the program's own full-screen window and frame loop steps (frameStep,
// swap, poll): first 101 frames to settle the quality decision, then the
// given number of frames alone, then as many again with `covers` cover
// windows of 1920 x 1080 placed beside the screen (where other monitors
// would be), then alone once more. Prints the mean and the median frame
// time of each run, in milliseconds.
#include <GLFW/glfw3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "app/command_line.h"
#include "app/other_monitors.h"
#include "app/screensaver_app.h"
#include "gfx/gl.h"
#include "scene/rain_scene.h"

namespace {
using Clock = std::chrono::steady_clock;

void runFrames(int frames, const char* label) {
    std::vector<double> ms;
    Clock::time_point last = Clock::now();
    for (int i = 0; i < frames; ++i) {
        gScreensaverApp->frameStep();
        glfwSwapBuffers(gScreensaverApp->window);
        glfwPollEvents();
        glFinish();
        const Clock::time_point now = Clock::now();
        ms.push_back(std::chrono::duration<double, std::milli>(now - last).count());
        last = now;
    }
    double sum = 0;
    for (double m : ms) sum += m;
    std::sort(ms.begin(), ms.end());
    std::printf("  %-22s mean %7.2f ms, median %7.2f ms over %d frames\n", label, sum / frames, ms[ms.size() / 2],
                frames);
}
}  // namespace

int main(int argc, char** argv) {
    const int frames = std::max(10, argc > 1 ? std::atoi(argv[1]) : 200);
    const int covers = std::max(1, argc > 2 ? std::atoi(argv[2]) : 2);
    gCommandLine = new CommandLine(parseCommandLine("/s"));
    gScreensaverApp = new ScreensaverApp(gCommandLine);
    rainScene().setup();
    runFrames(101, "settling");

    std::printf("bench_cover: %s, %d cover windows\n", reinterpret_cast<const char*>(glGetString(GL_RENDERER)),
                covers);
    runFrames(frames, "primary alone");
    std::vector<GLFWwindow*> opened;
    for (int i = 0; i < covers; ++i) opened.push_back(openCoverWindow(1920 * (i + 1), 0, 1920, 1080));
    runFrames(frames, "with cover windows");
    for (GLFWwindow* w : opened)
        if (w) glfwDestroyWindow(w);
    runFrames(frames, "primary alone again");
    return 0;
}
