// Which quality mode the rain scene chooses on this machine, and why.
//
//   bench_quality [frames]    (default 300, at least 102; needs DISPLAY)
//
// Runs the program's own full-screen window and frame loop steps
// (drawFrame, swapFrame, poll) for the given number of frames and prints the
// scene's measurement of renders 1 to 100 (the average the decision used),
// the decision, and the wall-clock frame rate before and after it.
#include <GLFW/glfw3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "app/command_line.h"
#include "app/screensaver_app.h"
#include "gfx/gl.h"
#include "scene/rain_scene.h"

namespace {
using Clock = std::chrono::steady_clock;
double seconds(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double>(to - from).count();
}
}  // namespace

int main(int argc, char** argv) {
    const int frames = std::max(102, argc > 1 ? std::atoi(argv[1]) : 300);
    ScreensaverApp app(parseCommandLine("/s"));
    app.setupScene();
    RainScene& scene = app.scene();

    float averageAtDecision = 0.0f;
    Clock::time_point start = Clock::now(), decided = start;
    for (int frame = 1; frame <= frames; ++frame) {
        if (frame == 101) averageAtDecision = scene.frameStats().averageMs();
        app.drawFrame();
        app.swapFrame();
        glfwPollEvents();
        if (frame == 101) {
            glFinish();
            decided = Clock::now();
        }
    }
    glFinish();
    const Clock::time_point end = Clock::now();

    std::printf("bench_quality: %s, window %d x %d, background %d\n",
                reinterpret_cast<const char*>(glGetString(GL_RENDERER)), app.view().size().width(),
                app.view().size().height(), scene.backgroundId());
    std::printf("  average render of frames 1-100: %.4f ms (thresholds: above 0.2 -> 1024, above 1.0 -> 512)\n",
                averageAtDecision);
    if (scene.usesNormalsTexture())
        std::printf("  decision: normals texture %d x %d\n", scene.normalsSize(), scene.normalsSize());
    else
        std::printf("  decision: per-pixel\n");
    std::printf("  frames 1-101: %.1f frames/s; frames 102-%d: %.1f frames/s; average render over %d: %.4f ms\n",
                101.0 / seconds(start, decided), frames, (frames - 101) / seconds(decided, end),
                scene.frameStats().count(), scene.frameStats().averageMs());
    return 0;
}
