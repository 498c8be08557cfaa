// The main window's frame time alone, with black windows on two other
// monitors, and with the rain on one and on two other monitors.
//
//   bench_cover [frames] [rounds]    (default 60 frames, 2 rounds; needs DISPLAY,
//                                     best a 5760 x 1080 screen)
//
// Each configuration runs the program's own application: the full-screen
// window on the primary monitor, the other monitors' windows placed right of
// it (1920 x 1080 each, as other monitors would be), 101 frames to settle
// the quality decision over the whole frame, then `frames` frames of the
// loop's steps (drawFrame, swapFrame, poll, glFinish). The configurations
// alternate, round after round, so that a changing machine load does not
// read as a difference. Prints each configuration's mean and median frame
// time over all rounds, in milliseconds, and the quality it chose.
#include <GLFW/glfw3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/other_monitors.h"
#include "app/screensaver_app.h"
#include "gfx/gl.h"
#include "scene/rain_scene.h"

namespace {
using Clock = std::chrono::steady_clock;

struct Configuration {
    const char* label;
    int black;  // other monitors covered in black
    int rain;   // other monitors with the rain
    std::vector<double> ms;
    std::string quality;
};

double frameMs(ScreensaverApp& app, Clock::time_point* last) {
    app.drawFrame();
    app.swapFrame();
    glfwPollEvents();
    glFinish();
    const Clock::time_point now = Clock::now();
    const double ms = std::chrono::duration<double, std::milli>(now - *last).count();
    *last = now;
    return ms;
}

void measure(Configuration& c, int frames) {
    ScreensaverApp app(parseCommandLine("/s"));
    for (int i = 0; i < c.black + c.rain; ++i)
        app.otherMonitors().openAt(app.window(), DesktopArea{1920 * (i + 1), 0, 1920, 1080}, i >= c.black);
    app.setupScene();
    Clock::time_point last = Clock::now();
    for (int i = 0; i < 101; ++i) frameMs(app, &last);
    for (int i = 0; i < frames; ++i) c.ms.push_back(frameMs(app, &last));
    const RainScene& scene = app.scene();
    c.quality = scene.usesNormalsTexture() ? "normals " + std::to_string(scene.normalsSize()) : "per-pixel";
}
}  // namespace

int main(int argc, char** argv) {
    const int frames = std::max(10, argc > 1 ? std::atoi(argv[1]) : 60);
    const int rounds = std::max(1, argc > 2 ? std::atoi(argv[2]) : 2);
    std::vector<Configuration> configurations = {{"main window alone", 0, 0, {}, {}},
                                                 {"black on 2 others", 2, 0, {}, {}},
                                                 {"rain on 1 other", 0, 1, {}, {}},
                                                 {"rain on 2 others", 0, 2, {}, {}}};
    for (int round = 0; round < rounds; ++round)
        for (Configuration& c : configurations) measure(c, frames);

    std::printf("bench_cover: %d rounds of %d frames, each window 1920 x 1080\n", rounds, frames);
    for (Configuration& c : configurations) {
        std::vector<double> sorted = c.ms;
        std::sort(sorted.begin(), sorted.end());
        double sum = 0;
        for (double m : sorted) sum += m;
        std::printf("  %-18s mean %7.2f ms, median %7.2f ms  (%s)\n", c.label, sum / sorted.size(),
                    sorted[sorted.size() / 2], c.quality.c_str());
    }
    return 0;
}
