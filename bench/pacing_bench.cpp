// Frame rate and CPU time of lumeridge builds, side by side on the display
// in $DISPLAY (a 1920x1080 Xvfb: software rendering, swaps that wait for
// nothing).
//
//   bench_pacing SECONDS NAME=PROGRAM...
//
// Each program runs full screen (/s) and then in a 320x240 window of this
// program's (--window-id, as a screensaver host starts it). Each run first
// goes past the quality decision (at least 110 frames, at most 30 s), then
// is measured for SECONDS: the frames shown (tests/support/frame_counter)
// and the CPU time of the process and its rendering threads (utime + stime
// of /proc/PID/stat), given per minute of running.
#include <X11/Xlib.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/frame_counter.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

pid_t spawn(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    // The OBJ reader's progress lines and the like stay out of the table.
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

void stop(pid_t pid) {
    kill(pid, SIGTERM);
    for (int i = 0; i < 100; ++i) {
        if (waitpid(pid, nullptr, WNOHANG) == pid) return;
        usleep(50 * 1000);
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

// CPU seconds the process has used, its threads included.
double cpuSeconds(pid_t pid) {
    std::ifstream file("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    const std::size_t close = text.rfind(')');  // the command name may hold blanks
    if (close == std::string::npos) return -1.0;
    std::istringstream fields(text.substr(close + 2));
    std::string field;
    unsigned long long utime = 0, stime = 0;
    for (int n = 3; n <= 15 && fields >> field; ++n) {
        if (n == 14) utime = std::strtoull(field.c_str(), nullptr, 10);
        if (n == 15) stime = std::strtoull(field.c_str(), nullptr, 10);
    }
    return static_cast<double>(utime + stime) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

// The window the program draws into: its full-screen top level titled
// "Lumeridge", or its child of `host`; 0 when none appeared within 30 s.
Window findWindow(Display* display, Window host) {
    const Clock::time_point start = Clock::now();
    while (secondsSince(start) < 30.0) {
        Window root = 0, parent = 0, *children = nullptr;
        unsigned count = 0;
        const Window under = host ? host : DefaultRootWindow(display);
        if (XQueryTree(display, under, &root, &parent, &children, &count)) {
            for (unsigned i = 0; i < count; ++i) {
                XWindowAttributes attributes;
                char* name = nullptr;
                const bool viewable =
                    XGetWindowAttributes(display, children[i], &attributes) && attributes.map_state == IsViewable;
                const bool named =
                    host || (XFetchName(display, children[i], &name) && name && std::strcmp(name, "Lumeridge") == 0);
                if (name) XFree(name);
                if (viewable && named) {
                    const Window found = children[i];
                    XFree(children);
                    return found;
                }
            }
            if (children) XFree(children);
        }
        usleep(100 * 1000);
    }
    return 0;
}

struct Figures {
    bool ok = false;
    double framesPerSecond = 0.0;
    double cpuPerMinute = 0.0;
};

Figures measure(Display* display, const std::string& program, Window host, double seconds) {
    Figures out;
    const pid_t pid = spawn(host ? std::vector<std::string>{program, "--window-id", std::to_string(host)}
                                 : std::vector<std::string>{program, "/s"});
    if (pid <= 0) return out;
    const Window window = findWindow(display, host);
    if (window != 0) {
        FrameCounter counter(DisplayString(display), window);
        // Past the quality decision on frame 101.
        int warm = 0;
        for (const Clock::time_point start = Clock::now(); warm < 110 && secondsSince(start) < 30.0;)
            warm += counter.countFor(1.0);
        const double cpuBefore = cpuSeconds(pid);
        const Clock::time_point start = Clock::now();
        const int frames = counter.countFor(seconds);
        const double wall = secondsSince(start);
        const double cpu = cpuSeconds(pid) - cpuBefore;
        out.ok = counter.ok() && cpuBefore >= 0.0;
        out.framesPerSecond = frames / wall;
        out.cpuPerMinute = cpu / wall * 60.0;
    }
    stop(pid);
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    const double seconds = argc > 1 ? std::atof(argv[1]) : 0.0;
    if (argc < 3 || seconds <= 0.0) {
        std::fprintf(stderr, "usage: bench_pacing SECONDS NAME=PROGRAM...\n");
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "bench_pacing: no display\n");
        return 1;
    }
    // The stand-in for a host's window: 320 x 240 at (100, 100).
    const Window host = XCreateSimpleWindow(display, DefaultRootWindow(display), 100, 100, 320, 240, 0, 0, 0);
    XMapWindow(display, host);
    XSync(display, False);

    std::printf("%-28s %-10s %10s %20s\n", "case", "program", "frames/s", "CPU s per minute");
    for (const Window into : {Window(0), host}) {
        for (int i = 2; i < argc; ++i) {
            const std::string spec = argv[i];
            const std::size_t equals = spec.find('=');
            const std::string name = equals == std::string::npos ? spec : spec.substr(0, equals);
            const std::string program = equals == std::string::npos ? spec : spec.substr(equals + 1);
            const Figures f = measure(display, program, into, seconds);
            const char* what = into ? "320x240 host window" : "full screen (/s)";
            if (f.ok)
                std::printf("%-28s %-10s %10.1f %20.1f\n", what, name.c_str(), f.framesPerSecond, f.cpuPerMinute);
            else
                std::printf("%-28s %-10s  did not show a window\n", what, name.c_str());
            std::fflush(stdout);
        }
    }
    return 0;
}
