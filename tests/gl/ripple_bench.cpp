// Milliseconds per frame of the ripple program on the real driver (a private
// Xvfb), off-screen, with glFinish after every frame: per-pixel mode at three
// screen sizes, the normals pass at both sizes, and the screen pass that
// reads the normals texture. Prints figures; not a test.
//
// Besides the wall time it prints the process's CPU time per frame (llvmpipe
// renders on threads of this process): on a machine shared with other work
// the wall time grows with the load, the CPU time much less.
//
//   gl_ripple_bench [frames [mode]]   frames per case (default 15); only
//                                     the cases of one render mode (0.5, 1.5, 2.5)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <vector>

#include "gfx/texture.h"
#include "tests/support/gl_window.h"
#include "tests/support/render_target.h"
#include "tests/support/ripple_rig.h"
#include "resources/resource_ids.h"

namespace {

struct Case {
    const char* what;
    float mode;
    int width;
    int height;
    float normalsSize;
};

const Case kCases[] = {
    {"per-pixel (1.5)", 1.5f, 1280, 720, 1024.0f},     {"per-pixel (1.5)", 1.5f, 1920, 1080, 1024.0f},
    {"per-pixel (1.5)", 1.5f, 3840, 2160, 1024.0f},    {"normals pass (0.5)", 0.5f, 512, 512, 512.0f},
    {"normals pass (0.5)", 0.5f, 1024, 1024, 1024.0f}, {"texture-mode screen pass (2.5)", 2.5f, 1920, 1080, 512.0f},
};

double cpuMs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : 0.5 * (v[n / 2 - 1] + v[n / 2]);
}

}  // namespace

int main(int argc, char** argv) {
    const int frames = argc > 1 ? std::max(3, std::atoi(argv[1])) : 15;
    const float onlyMode = argc > 2 ? static_cast<float>(std::atof(argv[2])) : 0.0f;
    GlWindow window(64, 64);
    if (!window.ok()) {
        std::fprintf(stderr, "no OpenGL context\n");
        return 1;
    }
    std::printf("renderer: %s\n", reinterpret_cast<const char*>(glGetString(GL_RENDERER)));
    const char* threads = std::getenv("LP_NUM_THREADS");
    std::printf("LP_NUM_THREADS: %s\n", threads ? threads : "(unset)");

    RippleRig rig;
    if (!rig.ready()) {
        std::fprintf(stderr, "the ripple program is not ready\n");
        return 1;
    }
    GLFWTexture background(resource::kBackground01, 1024);
    rig.setBackgroundTexture(background.textureId());

    // A normals texture filled by the normals pass, as the scene fills it.
    const GLuint normals = createNormalsTexture({});
    GLuint framebuffer = 0;
    glGenFramebuffers(1, &framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, normals, 0);
    glViewport(0, 0, 512, 512);
    rig.draw({5.0f, 512.0f, 512.0f, 512.0f, 0.5f});
    glFinish();
    rig.setNormalsTexture(normals);

    std::printf("%-32s %11s %9s %9s %9s %12s  (%d frames, medians)\n", "case", "size", "wall ms", "min", "max",
                "cpu ms", frames);
    float time = 100.0f;
    for (const Case& c : kCases) {
        if (onlyMode != 0.0f && c.mode != onlyMode) continue;
        // The normals pass into the scene's half-float target, the others
        // into a window's 8-bit colours.
        RenderTarget target(c.width, c.height, c.mode < 1.0f ? RenderTarget::Format::Half : RenderTarget::Format::Byte);
        if (!target.complete()) {
            std::printf("%-32s %5dx%-5d  no framebuffer\n", c.what, c.width, c.height);
            continue;
        }
        std::vector<double> ms, cpu;
        for (int f = -2; f < frames; ++f) {  // two frames to warm up
            time += 1.0f / 60.0f;
            const double cpuStart = cpuMs();
            const auto start = std::chrono::steady_clock::now();
            target.bind();
            rig.draw({time, static_cast<float>(c.width), static_cast<float>(c.height), c.normalsSize, c.mode});
            glFinish();
            const double elapsed =
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
            if (f >= 0) {
                ms.push_back(elapsed);
                cpu.push_back(cpuMs() - cpuStart);
            }
        }
        std::printf("%-32s %5dx%-5d %9.2f %9.2f %9.2f %12.2f\n", c.what, c.width, c.height, median(ms),
                    *std::min_element(ms.begin(), ms.end()), *std::max_element(ms.begin(), ms.end()), median(cpu));
        std::fflush(stdout);
    }
    glDeleteFramebuffers(1, &framebuffer);
    glDeleteTextures(1, &normals);
    return 0;
}
