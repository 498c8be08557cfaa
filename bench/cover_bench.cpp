// The primary window's frame time with and without the black windows that
// cover the other monitors.
//
//   bench_cover [frames] [covers]    (default 50 frames, 2 covers; needs DISPLAY)
//
// Runs the program's own full-screen window and frame loop steps (drawFrame,
// swapFrame, poll, glFinish): first 101 frames to settle the quality decision,
// then four rounds of `frames` frames alone and `frames` frames with
// `covers` cover windows of 1920 x 1080 placed beside the screen (where other
// monitors would be). Alternating rounds keep a changing machine load from
// reading as a difference. Prints the mean and median frame time of each
// round and of all rounds of each kind, in milliseconds.
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

struct Times {
    std::vector<double> ms;
    void print(const char* label) const {
        std::vector<double> sorted = ms;
        double sum = 0;
        for (double m : sorted) sum += m;
        std::sort(sorted.begin(), sorted.end());
        std::printf("  %-20s mean %7.2f ms, median %7.2f ms over %zu frames\n", label, sum / sorted.size(),
                    sorted[sorted.size() / 2], sorted.size());
    }
};

Times runFrames(ScreensaverApp& app, int frames) {
    Times times;
    Clock::time_point last = Clock::now();
    for (int i = 0; i < frames; ++i) {
        app.drawFrame();
        app.swapFrame();
        glfwPollEvents();
        glFinish();
        const Clock::time_point now = Clock::now();
        times.ms.push_back(std::chrono::duration<double, std::milli>(now - last).count());
        last = now;
    }
    return times;
}
}  // namespace

int main(int argc, char** argv) {
    const int frames = std::max(10, argc > 1 ? std::atoi(argv[1]) : 50);
    const int covers = std::max(1, argc > 2 ? std::atoi(argv[2]) : 2);
    ScreensaverApp app(parseCommandLine("/s"));
    app.setupScene();
    runFrames(app, 101);

    std::printf("bench_cover: %s, %d cover windows\n", reinterpret_cast<const char*>(glGetString(GL_RENDERER)), covers);
    Times alone, covered;
    for (int round = 0; round < 4; ++round) {
        const Times a = runFrames(app, frames);
        a.print("primary alone");
        std::vector<GLFWwindow*> opened;
        for (int i = 0; i < covers; ++i) opened.push_back(openCoverWindow(1920 * (i + 1), 0, 1920, 1080));
        const Times c = runFrames(app, frames);
        c.print("with cover windows");
        for (GLFWwindow* w : opened)
            if (w) glfwDestroyWindow(w);
        alone.ms.insert(alone.ms.end(), a.ms.begin(), a.ms.end());
        covered.ms.insert(covered.ms.end(), c.ms.begin(), c.ms.end());
    }
    alone.print("all alone");
    covered.print("all with covers");
    return 0;
}
