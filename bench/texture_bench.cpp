// How long the background texture takes to build, in its three steps:
// reading the bitmap's pixels, converting them to floats, uploading them.
//
//   bench_texture [repetitions]     (default 5; Linux and, under Wine, Windows)
//
// Opens a hidden 64 x 64 GLFW window for a context, then for each repetition
// and background in turn times
//   read     every row through the platform's bitmap reader (Linux: one pass
//            over the bitmap's bytes; Windows: GetPixel per pixel), nothing
//            converted
//   read+convert  readBitmapPixels into the float buffer (what the texture does)
//   upload   glTexStorage2D + glTexSubImage2D of that buffer, then glFinish
//   whole    a GLFWTexture(id, 1024), then glFinish
// and prints the median and the range of each, in milliseconds.
#include <GLFW/glfw3.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "gfx/gl.h"
#include "gfx/gl_loader.h"
#include "gfx/texture.h"
#include "platform/platform.h"
#include "scene/background_choice.h"

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

void report(const char* what, std::vector<double> ms) {
    std::sort(ms.begin(), ms.end());
    std::printf("  %-14s median %8.1f ms   min %8.1f   max %8.1f   (%zu runs)\n", what, ms[ms.size() / 2], ms.front(),
                ms.back(), ms.size());
}

}  // namespace

int main(int argc, char** argv) {
    const int repetitions = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    constexpr int kSide = 1024;

    if (!glfwInit()) {
        std::fprintf(stderr, "bench_texture: glfwInit failed\n");
        return 1;
    }
    glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 2);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 0);
    GLFWwindow* window = glfwCreateWindow(64, 64, "bench_texture", nullptr, nullptr);
    if (window == nullptr) {
        std::fprintf(stderr, "bench_texture: no window\n");
        return 1;
    }
    glfwMakeContextCurrent(window);
    if (glLoaderInit() != 0) {
        std::fprintf(stderr, "bench_texture: OpenGL 3 or later needed\n");
        return 1;
    }
    std::printf("bench_texture: %s, %s; %d x %d RGBA32F, %d runs\n",
                reinterpret_cast<const char*>(glGetString(GL_RENDERER)),
                reinterpret_cast<const char*>(glGetString(GL_VERSION)), kSide, kSide, repetitions);

    std::vector<float> texels(static_cast<std::size_t>(kSide) * kSide * 4);
    std::vector<double> read, readConvert, upload, whole;
    std::uint64_t checksum = 0;
    for (int r = 0; r < repetitions; ++r) {
        const int id = backgroundBitmapIds[r % kBackgroundCount];

        Clock::time_point t = Clock::now();
        platform::BitmapReader* reader = platform::openBitmap(id);
        std::vector<std::uint32_t> row(kSide);
        for (int y = 0; y < kSide; ++y) {
            platform::bitmapRow(reader, y, kSide, row.data());
            for (std::uint32_t c : row) checksum += c;
        }
        platform::closeBitmap(reader);
        read.push_back(msSince(t));

        t = Clock::now();
        readBitmapPixels(texels.data(), id, kSide, kSide, 1);
        readConvert.push_back(msSince(t));

        GLuint name = 0;
        glGenTextures(1, &name);
        glBindTexture(GL_TEXTURE_2D, name);
        glFinish();
        t = Clock::now();
        glTexStorage2D(GL_TEXTURE_2D, 1, GL_RGBA32F, kSide, kSide);
        glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, kSide, kSide, GL_RGBA, GL_FLOAT, texels.data());
        glFinish();
        upload.push_back(msSince(t));
        glDeleteTextures(1, &name);

        glFinish();
        t = Clock::now();
        {
            GLFWTexture texture(id, kSide);
            glFinish();
            whole.push_back(msSince(t));
        }
        glFinish();
    }
    report("read", read);
    report("read+convert", readConvert);
    report("upload", upload);
    report("whole", whole);
    std::printf("  (checksum %llu)\n", static_cast<unsigned long long>(checksum));
    glfwTerminate();
    return 0;
}
