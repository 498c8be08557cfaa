// Milliseconds per frame of the ripple program on the real driver (a private
// Xvfb), off-screen, with glFinish after every frame, beside a straightforward
// shader of the same arithmetic (tests/gl/straightforward_ripple.frag) and
// any other fragment shader texts given: per-pixel mode at three screen
// sizes, the normals pass at both sizes, and the screen pass that reads the
// normals texture. The programs take turns frame by frame, so that all see
// the same load. The program's own draws with the textures bound as the
// rain scene binds them (the normals only in the texture mode's screen pass,
// the background from mode 1.5 on); the texts given draw with both bound in
// every pass, as the scene bound them before. Prints figures; not a test.
//
// Besides the wall time it prints the process's CPU time per frame (llvmpipe
// renders on threads of this process): on a machine shared with other work
// the wall time grows with the load, the CPU time much less. The ratios are
// of the CPU times, to the straightforward shader's.
//
//   gl_ripple_bench [frames [mode [name=fragment-file...]]]
//       frames per case and program (default 15); only the cases of one
//       render mode (0.5, 1.5, 2.5; 0 for all); more fragment shader texts
//       to time beside the program's own (an older revision, a change being
//       tried), each under a column name
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "gfx/texture.h"
#include "resources/resource_ids.h"
#include "tests/support/gl_window.h"
#include "tests/support/render_target.h"
#include "tests/support/ripple_rig.h"

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

std::string readText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The compiler's log when `text` does not compile as a fragment shader (the
// program itself would end the process with it in a message box).
std::string compileLog(const std::string& text) {
    const GLuint shader = glCreateShader(GL_FRAGMENT_SHADER);
    const std::string source = text.substr(0, text.find('~'));
    const GLchar* sources[1] = {source.c_str()};
    glShaderSource(shader, 1, sources, nullptr);
    glCompileShader(shader);
    GLint status = 0;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &status);
    std::string log;
    if (status == 0) {
        GLint length = 0;
        glGetShaderiv(shader, GL_INFO_LOG_LENGTH, &length);
        log.assign(static_cast<std::size_t>(std::max(length, 1)), '\0');
        glGetShaderInfoLog(shader, static_cast<GLsizei>(log.size()), nullptr, &log[0]);
    }
    glDeleteShader(shader);
    return log;
}

// One program being timed: its rig and the frames it drew.
struct Contender {
    std::string name;
    std::unique_ptr<RippleRig> rig;
    std::vector<double> wall;
    std::vector<double> cpu;
};

}  // namespace

int main(int argc, char** argv) {
    const int frames = argc > 1 ? std::max(3, std::atoi(argv[1])) : 15;
    const float onlyMode = argc > 2 ? static_cast<float>(std::atof(argv[2])) : 0.0f;
    // Name and text of every program; an empty text is the program's own.
    std::vector<std::pair<std::string, std::string>> texts = {
        {"straightforward", readText(LUMERIDGE_STRAIGHTFORWARD_SHADER)}, {"Lumeridge", ""}};
    for (int k = 3; k < argc; ++k) {
        const std::string arg = argv[k];
        const std::size_t eq = arg.find('=');
        texts.emplace_back(eq == std::string::npos ? arg : arg.substr(0, eq),
                           readText(eq == std::string::npos ? arg : arg.substr(eq + 1)));
        if (texts.back().second.empty()) {
            std::fprintf(stderr, "gl_ripple_bench: cannot read %s\n", arg.c_str());
            return 1;
        }
    }
    if (texts[0].second.empty()) {
        std::fprintf(stderr, "gl_ripple_bench: cannot read %s\n", LUMERIDGE_STRAIGHTFORWARD_SHADER);
        return 1;
    }

    GlWindow window(64, 64);
    if (!window.ok()) {
        std::fprintf(stderr, "no OpenGL context\n");
        return 1;
    }
    std::printf("renderer: %s\n", reinterpret_cast<const char*>(glGetString(GL_RENDERER)));
    const char* threads = std::getenv("LP_NUM_THREADS");
    std::printf("LP_NUM_THREADS: %s\n", threads ? threads : "(unset)");

    std::vector<Contender> programs;
    for (const auto& text : texts) {
        const std::string log = text.second.empty() ? std::string() : compileLog(text.second);
        if (!log.empty()) {
            std::fprintf(stderr, "gl_ripple_bench: %s does not compile:\n%s\n", text.first.c_str(), log.c_str());
            return 1;
        }
        programs.push_back({text.first, std::make_unique<RippleRig>(text.second), {}, {}});
        if (!programs.back().rig->ready()) {
            std::fprintf(stderr, "gl_ripple_bench: %s lacks a uniform of the program\n", text.first.c_str());
            return 1;
        }
    }
    RippleRig& own = *programs[1].rig;
    GLFWTexture background(resource::kBackground01, 1024);
    for (Contender& p : programs) p.rig->setBackgroundTexture(background.textureId());

    // A normals texture filled by the normals pass, as the scene fills it.
    const GLuint normals = createNormalsTexture({});
    GLuint framebuffer = 0;
    glGenFramebuffers(1, &framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, normals, 0);
    glViewport(0, 0, 512, 512);
    own.draw({5.0, 512.0f, 512.0f, 512.0f, 0.5f});
    glFinish();
    for (Contender& p : programs) p.rig->setNormalsTexture(normals);
    const GLuint backgroundId = background.textureId();

    std::printf("CPU (and wall) milliseconds per frame, medians of %d frames each; ratio of the CPU times\n", frames);
    std::printf("%-31s %9s", "case", "size");
    for (const Contender& p : programs) std::printf(" | %22s", p.name.c_str());
    std::printf("\n");
    double time = 100.0;
    for (const Case& c : kCases) {
        if (onlyMode != 0.0f && c.mode != onlyMode) continue;
        // The normals pass into the scene's half-float target, the others
        // into a window's 8-bit colours.
        RenderTarget target(c.width, c.height, c.mode < 1.0f ? RenderTarget::Format::Half : RenderTarget::Format::Byte);
        if (!target.complete()) {
            std::printf("%-31s %4dx%-4d  no framebuffer\n", c.what, c.width, c.height);
            continue;
        }
        for (Contender& p : programs) {
            p.wall.clear();
            p.cpu.clear();
        }
        own.setNormalsTexture(c.mode < 2.0f ? 0 : normals);
        own.setBackgroundTexture(c.mode < 1.0f ? 0 : backgroundId);
        for (int f = -2; f < frames; ++f) {  // two frames each to warm up
            time += 1.0 / 60.0;
            for (Contender& p : programs) {
                const double cpuStart = cpuMs();
                const auto start = std::chrono::steady_clock::now();
                target.bind();
                p.rig->draw({time, static_cast<float>(c.width), static_cast<float>(c.height), c.normalsSize, c.mode});
                glFinish();
                const double elapsed =
                    std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
                if (f >= 0) {
                    p.wall.push_back(elapsed);
                    p.cpu.push_back(cpuMs() - cpuStart);
                }
            }
        }
        std::printf("%-31s %4dx%-4d", c.what, c.width, c.height);
        const double base = median(programs[0].cpu);
        for (std::size_t k = 0; k < programs.size(); ++k) {
            const double cpu = median(programs[k].cpu);
            char ratio[16] = "";
            if (k > 0) std::snprintf(ratio, sizeof ratio, "%.2f", cpu / base);
            std::printf(" | %7.1f (%6.1f) %6s", cpu, median(programs[k].wall), ratio);
        }
        std::printf("\n");
        std::fflush(stdout);
    }
    glDeleteFramebuffers(1, &framebuffer);
    glDeleteTextures(1, &normals);
    return 0;
}
