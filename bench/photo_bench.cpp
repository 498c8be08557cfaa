// The cost of a photograph of the user's as the background (Linux).
//
//   bench_photo make <file.jpg> [width height]   writes a made-up photograph
//                                                (default 6000 x 4000, 24 MP)
//   bench_photo decode <folder> [runs]           times platform::loadPhoto
//                                                and its peak memory
//
// Peak memory: each run is a child process; its peak resident set
// (getrusage) less that of a child that decodes nothing.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "tests/support/jpeg_writer.h"

namespace {

constexpr int kSide = 1024;

int make(const char* path, int width, int height) {
    // Smooth colour fields with fine noise: JPEG sizes like a camera's.
    std::vector<unsigned char> rgb(static_cast<std::size_t>(width) * height * 3u);
    unsigned noise = 12345u;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            noise = noise * 1103515245u + 12345u;
            const int n = static_cast<int>((noise >> 16) & 31u) - 16;
            unsigned char* p = &rgb[(static_cast<std::size_t>(y) * width + x) * 3u];
            const double u = static_cast<double>(x) / width, v = static_cast<double>(y) / height;
            p[0] = static_cast<unsigned char>(
                std::clamp(static_cast<int>(120 + 100 * std::sin(6 * u + 2 * v)) + n, 0, 255));
            p[1] = static_cast<unsigned char>(std::clamp(static_cast<int>(110 + 90 * std::cos(5 * v - u)) + n, 0, 255));
            p[2] = static_cast<unsigned char>(std::clamp(static_cast<int>(130 + 80 * std::sin(9 * u * v)) + n, 0, 255));
        }
    }
    if (!writeJpeg(path, width, height, rgb.data(), 6, 90)) {
        std::fprintf(stderr, "bench_photo: cannot write %s\n", path);
        return 1;
    }
    std::printf("wrote %s: %d x %d, orientation 6\n", path, width, height);
    return 0;
}

// Runs one child; returns its peak resident set in KiB, and its time in ms.
long child(const char* folder, double* ms) {
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        std::vector<unsigned char> rgb(static_cast<std::size_t>(kSide) * kSide * 3u, 1);
        const bool ok = folder == nullptr || platform::loadPhoto(folder, kSide, rgb.data());
        _exit(ok ? 0 : 1);
    }
    int status = 0;
    struct rusage usage {};
    wait4(pid, &status, 0, &usage);
    *ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
    return usage.ru_maxrss;
}

int decode(const char* folder, int runs) {
    double ms = 0.0;
    const long base = child(nullptr, &ms);
    std::vector<double> times;
    long peak = 0;
    for (int run = 0; run < runs; ++run) {
        const long rss = child(folder, &ms);
        if (rss < 0) {
            std::fprintf(stderr, "bench_photo: no photograph decoded from %s\n", folder);
            return 1;
        }
        peak = std::max(peak, rss - base);
        times.push_back(ms);
    }
    std::sort(times.begin(), times.end());
    std::printf(
        "  loadPhoto to %d x %d: median %.1f ms of %d (min %.1f, max %.1f); peak memory %.1f MiB above a child that "
        "decodes nothing\n",
        kSide, kSide, times[times.size() / 2], runs, times.front(), times.back(), peak / 1024.0);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 2 ? argv[1] : "";
    if (mode == "make")
        return make(argv[2], argc > 4 ? std::atoi(argv[3]) : 6000, argc > 4 ? std::atoi(argv[4]) : 4000);
    if (mode == "decode") return decode(argv[2], argc > 3 ? std::max(1, std::atoi(argv[3])) : 5);
    std::fprintf(stderr, "usage: bench_photo make <file.jpg> [width height] | decode <folder> [runs]\n");
    return 2;
}
