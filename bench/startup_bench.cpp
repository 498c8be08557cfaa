// Where the start-up time of `lumeridge /s` goes, measured inside one
// process that takes the program's own path:
//
//   bench_startup            (needs DISPLAY; scripts/bench startup runs it)
//
//   app       the ScreensaverApp: GLFW, the full-screen window, its context,
//             the entry points and the fixed render state
//   setup     the rain scene's setup (background, program, sky, framebuffer)
//   frame 1   the first frame: render, swap, glFinish (includes the driver's
//             compilation of the shader for its first draw)
//   frame 2   the second frame, for comparison
// then, to split the setup, a second background texture and a second
// ripple program built on their own in the same process.
// Beside each phase: the CPU time and the page faults it took. Fresh memory
// is a large part of start-up (every page is faulted in and zeroed when first
// touched; on a loaded virtual machine that alone can cost tens of
// microseconds a page); the count does not vary with the machine's load, the
// CPU time less than the wall time.
#include <GLFW/glfw3.h>

#include <sys/resource.h>

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

// The process's page faults and CPU milliseconds (all its threads: llvmpipe
// renders and compiles on threads of its own) so far.
struct Usage {
    long faults = 0;
    double cpuMs = 0.0;
};

Usage usage() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    const auto ms = [](const timeval& t) { return static_cast<double>(t.tv_sec) * 1e3 + t.tv_usec / 1e3; };
    return {u.ru_minflt + u.ru_majflt, ms(u.ru_utime) + ms(u.ru_stime)};
}

double ms(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double, std::milli>(to - from).count();
}

}  // namespace

int main() {
    const Clock::time_point entered = Clock::now();
    const Usage atEntry = usage();
    ScreensaverApp app(parseCommandLine("/s"));
    const Clock::time_point appReady = Clock::now();
    const Usage atApp = usage();

    app.setupScene();
    glFinish();
    const Clock::time_point setupDone = Clock::now();
    const Usage atSetup = usage();

    app.drawFrame();
    app.swapFrame();
    glFinish();
    const Clock::time_point firstFrame = Clock::now();
    const Usage atFirstFrame = usage();

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
    const auto phase = [](const char* what, double wall, const Usage& from, const Usage& to, const char* note) {
        std::printf("  %-20s %7.1f ms  %7.1f ms CPU  %6ld faults  %s\n", what, wall, to.cpuMs - from.cpuMs,
                    to.faults - from.faults, note);
    };
    std::printf("  static init to main  %7.1f ms\n", ms(kStart, entered));
    phase("app", ms(entered, appReady), atEntry, atApp, "(GLFW, window, context, entry points)");
    char split[96];
    std::snprintf(split, sizeof split, "of which texture ~%.1f, program ~%.1f", textureMs, programMs);
    phase("setup", ms(appReady, setupDone), atApp, atSetup, split);
    phase("frame 1", ms(setupDone, firstFrame), atSetup, atFirstFrame, "(render, swap, glFinish)");
    std::printf("  frame 2              %7.1f ms\n", ms(firstFrame, secondFrame));
    phase("main to first frame", ms(entered, firstFrame), atEntry, atFirstFrame, "");
    return 0;
}
