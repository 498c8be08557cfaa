// Where the start-up time of `lumeridge /s` goes, measured inside one
// process that takes the program's own path:
//
//   bench_startup            (needs DISPLAY; run it through scripts/bench-startup)
//
//   app       the ScreensaverApp: GLFW, the full-screen window, its context,
//             the entry points and the fixed render state
//   setup     the rain scene's setup (background, program, sky, framebuffer)
//   frame 1   the first frame: render, swap, glFinish (includes the driver's
//             compilation of the shader for its first draw)
//   frame 2   the second frame, for comparison
// then, to split the setup, a second background texture and a second
// ripple program built on their own in the same process.
// Times are milliseconds since main was entered.
#include <GLFW/glfw3.h>

#include <chrono>
#include <cstdio>

#include "app/command_line.h"
#include "app/screensaver_app.h"
#include "gfx/gl.h"
#include "gfx/program.h"
#include "gfx/texture.h"
#include "scene/rain_scene.h"
#include "resources/resource_ids.h"

namespace {

using Clock = std::chrono::steady_clock;
const Clock::time_point kStart = Clock::now();

double ms(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double, std::milli>(to - from).count();
}

}  // namespace

int main() {
    const Clock::time_point entered = Clock::now();
    ScreensaverApp app(parseCommandLine("/s"));
    const Clock::time_point appReady = Clock::now();

    app.setupScene();
    glFinish();
    const Clock::time_point setupDone = Clock::now();

    app.drawFrame();
    app.swapFrame();
    glFinish();
    const Clock::time_point firstFrame = Clock::now();

    app.drawFrame();
    app.swapFrame();
    glFinish();
    const Clock::time_point secondFrame = Clock::now();

    const int background = app.scene().backgroundId();
    Clock::time_point t = Clock::now();
    {
        GLFWTexture texture(background, 1024);
        glFinish();
    }
    const double textureMs = ms(t, Clock::now());
    t = Clock::now();
    {
        GLFWProgram program(resource::kRippleVertexShader, resource::kRippleFragmentShader);
        glFinish();
    }
    const double programMs = ms(t, Clock::now());

    std::printf("bench_startup: %s, background %d\n", reinterpret_cast<const char*>(glGetString(GL_RENDERER)),
                background);
    std::printf("  static init to main  %7.1f ms\n", ms(kStart, entered));
    std::printf("  app                  %7.1f ms   (GLFW, window, context, entry points)\n", ms(entered, appReady));
    std::printf("  setup                %7.1f ms   of which texture ~%.1f, program ~%.1f\n", ms(appReady, setupDone),
                textureMs, programMs);
    std::printf("  frame 1              %7.1f ms   (render, swap, glFinish)\n", ms(setupDone, firstFrame));
    std::printf("  frame 2              %7.1f ms\n", ms(firstFrame, secondFrame));
    std::printf("  main to first frame  %7.1f ms\n", ms(entered, firstFrame));
    return 0;
}
