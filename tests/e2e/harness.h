// End-to-end test harness: a private Xvfb, child processes with captured
// output and bounded waits, and window queries over an Xlib connection.
#pragma once

#include "tests/support/xvfb_server.h"

#include <X11/Xlib.h>
#include <sys/types.h>

#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace e2e {

using Seconds = std::chrono::duration<double>;

// The program under test: the build's, or an installed one named by
// $LUMERIDGE_UNDER_TEST (the package's tests in a Debian root).
const char* lumeridgeExe();

// The frame loop draws at most about 60 frames a second; counts over a few
// seconds allow a quarter more.
constexpr int kMostFramesPerSecond = 75;

// A virtual X server of its own (Xvfb -displayfd), 1920x1080x24, with the
// harness's connection to it.
class VirtualDisplay {
public:
    explicit VirtualDisplay(int width = 1920, int height = 1080);
    ~VirtualDisplay();
    bool ok() const { return connection_ != nullptr; }
    const std::string& name() const { return server_.display(); }  // ":N"
    Display* connection() const { return connection_; }
    void kill();  // SIGKILL the server (a lost display)

private:
    XvfbServer server_;
    Display* connection_ = nullptr;
};

// An X server whose monitors GLFW sees: Xorg with the dummy video driver,
// whose outputs DUMMY0 to DUMMY15 RandR reports with their own CRTCs. (Xvfb
// has one output; the monitors `xrandr --setmonitor` adds are RandR 1.5
// monitors, which GLFW 3.3 does not read.) It starts with DUMMY0 showing
// 1400 x 1050; Xorg runs only for root.
class MonitorDisplay {
public:
    MonitorDisplay();
    ~MonitorDisplay();
    bool ok() const { return connection_ != nullptr; }
    const std::string& name() const { return server_->display(); }
    Display* connection() const { return connection_; }
    // Shows output DUMMY`n` at (x, y), width x height, and waits until the
    // server reports it so; false when xrandr failed or it did not.
    bool show(int n, int x, int y, int width, int height, bool primary = false);
    // Turns DUMMY`n` off, as when its monitor is unplugged.
    bool turnOff(int n);

private:
    bool reports(int n, int x, int y, int width, int height);

    std::string dir_;
    std::unique_ptr<XvfbServer> server_;
    Display* connection_ = nullptr;
};

// Environment for a child: the test's own without XSCREENSAVER_WINDOW (a
// test run inside a screensaver host must not start host mode), with DISPLAY
// set (or removed when `display` is empty) and the sanitizers told that the never-freed
// objects of a program that keeps everything to the end are not leaks.
std::vector<std::string> childEnvironment(const std::string& display);
// `environment` as in a Wayland session with XWayland (GNOME, KDE, sway):
// XDG_SESSION_TYPE=wayland and a WAYLAND_DISPLAY, here one with no server,
// beside DISPLAY; no XDG_RUNTIME_DIR.
std::vector<std::string> inWaylandSession(std::vector<std::string> environment);
// The same, with the server made to refuse the child's first top-level
// window (tests/e2e/refuse_first_window.cpp, preloaded).
std::vector<std::string> refusingFirstWindow(const std::string& display);

class Process {
public:
    // Starts argv[0] with the given environment; stdout and stderr go to
    // files. With `pipeStdin`, the child's stdin is a pipe (writeLine) and its
    // stdout a pipe too (readLine).
    Process(const std::vector<std::string>& argv, const std::vector<std::string>& environment, bool pipeStdin = false);
    ~Process();  // kills the child if it still runs

    pid_t pid() const { return pid_; }
    bool started() const { return pid_ > 0; }
    // The exit status once it has ended within `timeout`; nothing otherwise.
    std::optional<int> wait(Seconds timeout);
    bool running();
    void signal(int number);
    // Exit code, or 128 + signal for a killed child, or -1 if not ended.
    int exitCode() const { return exitCode_; }
    Seconds elapsed() const { return std::chrono::duration_cast<Seconds>(end_ - start_); }
    std::string stderrText() const;
    std::string stdoutText() const;
    bool writeLine(const std::string& line);
    std::optional<std::string> readLine(Seconds timeout);

private:
    pid_t pid_ = -1;
    int exitCode_ = -1;
    int stdinFd_ = -1, stdoutFd_ = -1;
    std::string outPath_, errPath_, lineBuffer_;
    std::chrono::steady_clock::time_point start_, end_;
};

// How a process that is not our child ends (a saver started by a real
// screensaver host), seen as its tracer: PTRACE_SEIZE stops it only to pass
// on the signals it receives, and its end is reported to us before its
// parent. Detaches again if it still runs when the watch goes.
class ExitWatch {
public:
    explicit ExitWatch(pid_t pid);
    ~ExitWatch();
    bool attached() const { return attached_; }
    // Exit code, or 128 + signal for a killed process, once it has ended
    // within `timeout`; nothing otherwise.
    std::optional<int> wait(Seconds timeout);

private:
    pid_t pid_;
    bool attached_ = false;
    std::optional<int> code_;
};

// Runs `stop` (a host's own way to end its saver) and watches `pid` end:
// its exit code (128 + signal) if it ended within `bound`, and how long
// that took from the call.
struct StopResult {
    bool watched = false;  // could be traced
    std::optional<int> code;
    Seconds took{0};
};
StopResult stopAndWatch(pid_t pid, const std::function<void()>& stop, Seconds bound);

// The stand-in host window (x11_host) on `display`, `width` x `height` at
// (100, 100) with a magenta background; *id is its window, 0 if it did not
// start. hostCommand sends it one command and waits for its "ok".
std::unique_ptr<Process> startX11Host(const std::string& display, int width, int height, Window* id);
bool hostCommand(Process& host, const std::string& command);

// Runs a program to its end (bounded); returns its exit code or -1.
int runTool(const std::vector<std::string>& argv, const std::string& display, Seconds timeout = Seconds(10));

// Splits a 3200 x 1080 display into two RandR monitors: 1280 x 1024 at the
// left and the primary one, 1920 x 1080, at (1280, 0). True when xrandr did.
bool splitIntoTwoMonitors(const std::string& display);

// A window manager (openbox) on the display, once it manages the screen;
// null when it is not installed or did not take over within 10 s.
std::unique_ptr<Process> startWindowManager(Display* display, const std::string& name);

struct WindowInfo {
    Window id = 0;
    int x = 0, y = 0, width = 0, height = 0;
    int mapState = IsUnmapped;
};

std::string windowTitle(Display* display, Window window);
std::optional<WindowInfo> windowInfo(Display* display, Window window);
std::vector<Window> childrenOf(Display* display, Window window);
// The first top-level window titled `title` that is viewable, waited for.
std::optional<WindowInfo> waitForTopLevel(Display* display, const std::string& title, Seconds timeout);
// The same under a window manager: the viewable client titled `title` inside
// a top-level frame; its position is the client's on the root window.
std::optional<WindowInfo> waitForFramedClient(Display* display, const std::string& title, Seconds timeout);
int countViewableTopLevels(Display* display, const std::string& title);
std::vector<WindowInfo> viewableTopLevels(Display* display, const std::string& title);
// Asks `window` to close as a window manager's close box does
// (WM_PROTOCOLS / WM_DELETE_WINDOW).
void sendDeleteWindow(Display* display, Window window);
// The pixel at root coordinates (x, y) as 0xRRGGBB.
unsigned long rootPixel(Display* display, int x, int y);

// The root window's pixels at the centres of a 32 x 18 grid over the screen
// (576 samples), or over the given part of it, and how many different values
// they hold: a picture with detail, not a flat or black screen, has well over
// 100.
std::vector<unsigned long> sampleGrid(Display* display);
std::vector<unsigned long> sampleGrid(Display* display, const WindowInfo& area);
int distinctValues(std::vector<unsigned long> samples);

// The screen's picture from a start on: when it first showed detail (over
// 100 distinct values in sampleGrid), counted from `since`, and whether it
// then moved (over 10 of the samples changed), each waited for within
// `timeout`.
struct PictureWatch {
    std::optional<Seconds> firstPicture;
    bool moved = false;
    int distinct = 0, changed = 0;  // the last counts, for the failure message
};
PictureWatch watchPicture(Display* display, std::chrono::steady_clock::time_point since, Seconds timeout);

// The pid of a running process whose command line starts with `program`, 0
// when there is none.
pid_t findProcess(const std::string& program);
// Its parent's pid, 0 once it is gone.
pid_t parentOf(pid_t pid);

// Counts windows created on the screen from its construction on
// (SubstructureNotify on the root window).
class CreationWatch {
public:
    explicit CreationWatch(Display* display);
    ~CreationWatch();
    int created();

private:
    Display* display_;
    int count_ = 0;
};

// Polls `condition` until it holds or `timeout` passes.
template <typename F>
bool waitUntil(F condition, Seconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (condition()) return true;
        if (std::chrono::steady_clock::now() >= end) return false;
        struct timespec ts {
            0, 20 * 1000 * 1000
        };
        nanosleep(&ts, nullptr);
    }
}

}  // namespace e2e
