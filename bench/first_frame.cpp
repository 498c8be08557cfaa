// Time from starting a process to its first frame on screen, watched from
// outside like a user would see it.
//
//   bench_first_frame <executable>[,<executable>...] [runs] [argument...]
//       (default 5 runs, argument "/s")
//
// The display must show a black root window (Xvfb -br) and nothing else.
// For each run it starts the executable, polls the screen's middle row
// (one XGetImage of 1920 x 1 pixels about every millisecond) until a pixel
// is not black, ends the process with SIGTERM and waits until the row is
// black again. Several executables (an older build beside the current one)
// take turns run by run, so that all see the same load. Prints each run and
// the median of each executable, in milliseconds, and each median's ratio
// to the first executable's.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

bool rowShowsSomething(Display* display) {
    const int screen = DefaultScreen(display);
    const int width = DisplayWidth(display, screen);
    const int height = DisplayHeight(display, screen);
    XImage* image = XGetImage(display, DefaultRootWindow(display), 0, height / 2, width, 1, AllPlanes, ZPixmap);
    if (image == nullptr) return false;
    bool lit = false;
    for (int x = 0; x < width && !lit; ++x) lit = (XGetPixel(image, x, 0) & 0xFFFFFFul) != 0;
    XDestroyImage(image);
    return lit;
}

void pause(long microseconds) {
    struct timespec ts {
        0, microseconds * 1000L
    };
    nanosleep(&ts, nullptr);
}

// Waits (bounded) for the child to end; kills it when it does not.
void finish(pid_t pid) {
    kill(pid, SIGTERM);
    const Clock::time_point end = Clock::now() + std::chrono::seconds(5);
    int status = 0;
    while (waitpid(pid, &status, WNOHANG) == 0) {
        if (Clock::now() > end) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            std::fprintf(stderr, "bench_first_frame: killed a run that ignored SIGTERM\n");
            return;
        }
        pause(5000);
    }
}

// One start of `exe` with `arguments`: milliseconds to its first frame, or
// a negative number when it showed nothing within 30 s or could not start.
double firstFrame(Display* display, const std::string& exe, const std::vector<std::string>& arguments) {
    const Clock::time_point blackBy = Clock::now() + std::chrono::seconds(10);
    while (rowShowsSomething(display)) {
        if (Clock::now() > blackBy) {
            std::fprintf(stderr, "bench_first_frame: the screen is not black (start Xvfb with -br)\n");
            return -1.0;
        }
        pause(10000);
    }

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    std::vector<char*> args = {const_cast<char*>(exe.c_str())};
    for (const std::string& a : arguments) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    pid_t pid = -1;
    const Clock::time_point start = Clock::now();
    const int spawned = posix_spawn(&pid, exe.c_str(), &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        std::fprintf(stderr, "bench_first_frame: cannot start %s\n", exe.c_str());
        return -1.0;
    }

    const Clock::time_point giveUp = start + std::chrono::seconds(30);
    bool seen = false;
    while (!(seen = rowShowsSomething(display)) && Clock::now() < giveUp) pause(1000);
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    finish(pid);
    if (!seen) std::fprintf(stderr, "bench_first_frame: %s showed nothing within 30 s\n", exe.c_str());
    return seen ? ms : -1.0;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_first_frame <executable>[,<executable>...] [runs] [argument...]\n");
        return 2;
    }
    std::vector<std::string> executables;
    for (std::string list = argv[1]; !list.empty();) {
        const std::size_t comma = list.find(',');
        executables.push_back(list.substr(0, comma));
        list = comma == std::string::npos ? std::string() : list.substr(comma + 1);
    }
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    std::vector<std::string> arguments(argv + std::min(argc, 3), argv + argc);
    if (arguments.empty()) arguments.push_back("/s");
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "bench_first_frame: no display\n");
        return 1;
    }

    std::vector<std::vector<double>> times(executables.size());
    for (int run = 1; run <= runs; ++run) {
        for (std::size_t k = 0; k < executables.size(); ++k) {
            const double ms = firstFrame(display, executables[k], arguments);
            if (ms < 0.0) return 1;
            times[k].push_back(ms);
            std::printf("  run %d: %.1f ms%s%s\n", run, ms, executables.size() > 1 ? "  " : "",
                        executables.size() > 1 ? executables[k].c_str() : "");
        }
    }
    for (std::size_t k = 0; k < executables.size(); ++k) {
        const double m = median(times[k]);
        std::printf("  median of %d: %.1f ms (min %.1f, max %.1f)", runs, m,
                    *std::min_element(times[k].begin(), times[k].end()),
                    *std::max_element(times[k].begin(), times[k].end()));
        if (executables.size() > 1) std::printf("  %s", executables[k].c_str());
        if (k > 0) std::printf("  ratio %.2f", m / median(times[0]));
        std::printf("\n");
    }
    XCloseDisplay(display);
    return 0;
}
