#include "tests/e2e/harness.h"

#include <X11/Xutil.h>
#include <X11/extensions/Xrandr.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/ptrace.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

extern char** environ;

namespace e2e {
namespace {

std::vector<char*> cStrings(const std::vector<std::string>& strings) {
    std::vector<char*> out;
    for (const std::string& s : strings) out.push_back(const_cast<char*>(s.c_str()));
    out.push_back(nullptr);
    return out;
}

std::string tempPath(const char* stem) {
    const char* dir = std::getenv("TMPDIR");
    std::string pattern = std::string(dir && *dir ? dir : "/tmp") + "/lumeridge-e2e-" + stem + "-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    const int fd = mkstemp(buffer.data());
    if (fd >= 0) close(fd);
    return buffer.data();
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

int decodeStatus(int status) {
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
    return -1;
}

int ignoreXErrors(Display*, XErrorEvent*) { return 0; }

}  // namespace

const char* lumeridgeExe() {
    const char* installed = std::getenv("LUMERIDGE_UNDER_TEST");
    return installed != nullptr && *installed != '\0' ? installed : LUMERIDGE_EXE;
}

// ---------------------------------------------------------------------------
VirtualDisplay::VirtualDisplay(int width, int height) : server_(width, height, 20.0) {
    XSetErrorHandler(ignoreXErrors);  // the harness queries windows that may vanish
    if (server_.running()) connection_ = XOpenDisplay(server_.display().c_str());
}

VirtualDisplay::~VirtualDisplay() {
    if (connection_ != nullptr) XCloseDisplay(connection_);
}

void VirtualDisplay::kill() {
    server_.kill();
    // The harness's own connection is dead now; drop it without touching it.
    connection_ = nullptr;
}

// ---------------------------------------------------------------------------

MonitorDisplay::MonitorDisplay() {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/lumeridge-xorg-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (mkdtemp(buffer.data()) == nullptr) return;
    dir_ = buffer.data();
    mkdir((dir_ + "/conf.d").c_str(), 0700);  // no system configuration is read
    server_ = std::make_unique<XvfbServer>(
        std::vector<std::string>{"Xorg", "-noreset", "-nolisten", "tcp", "-novtswitch", "-sharevts", "-config",
                                 XORG_DUMMY_CONF, "-configdir", dir_ + "/conf.d", "-logfile", dir_ + "/xorg.log"},
        20.0);
    if (server_->running()) connection_ = XOpenDisplay(server_->display().c_str());
}

MonitorDisplay::~MonitorDisplay() {
    if (connection_ != nullptr) XCloseDisplay(connection_);
    server_.reset();
    for (const char* file : {"/xorg.log", "/xorg.log.old"}) unlink((dir_ + file).c_str());
    rmdir((dir_ + "/conf.d").c_str());
    rmdir(dir_.c_str());
}

bool MonitorDisplay::show(int n, int x, int y, int width, int height, bool primary) {
    const std::string output = "DUMMY" + std::to_string(n);
    const std::string mode = std::to_string(width) + "x" + std::to_string(height);
    const std::string position = std::to_string(x) + "x" + std::to_string(y);
    runTool({"xrandr", "--addmode", output, mode}, name());  // fails harmlessly when it has the mode
    std::vector<std::string> command = {"xrandr", "--output", output, "--mode", mode, "--pos", position};
    if (primary) command.push_back("--primary");
    return runTool(command, name()) == 0 && waitUntil([&] { return reports(n, x, y, width, height); }, Seconds(10));
}

bool MonitorDisplay::turnOff(int n) {
    return runTool({"xrandr", "--output", "DUMMY" + std::to_string(n), "--off"}, name()) == 0 &&
           waitUntil([&] { return reports(n, 0, 0, 0, 0); }, Seconds(10));
}

// Whether DUMMY`n` shows that area (all zero: is off). Asks with a full
// probe: the dummy driver reports an output connected from its first mode
// on, but the server only learns it at a probe, and until then GLFW, which
// reads the current state without one, skips the output.
bool MonitorDisplay::reports(int n, int x, int y, int width, int height) {
    const Window root = DefaultRootWindow(connection_);
    XRRScreenResources* resources = XRRGetScreenResources(connection_, root);
    if (resources == nullptr) return false;
    bool matches = false;
    const std::string wanted = "DUMMY" + std::to_string(n);
    for (int i = 0; i < resources->noutput; ++i) {
        XRROutputInfo* output = XRRGetOutputInfo(connection_, resources, resources->outputs[i]);
        if (output == nullptr) continue;
        if (wanted == output->name) {
            if (output->crtc == 0) {
                matches = width == 0;
            } else if (XRRCrtcInfo* crtc = XRRGetCrtcInfo(connection_, resources, output->crtc)) {
                matches = output->connection == RR_Connected && crtc->x == x && crtc->y == y &&
                          static_cast<int>(crtc->width) == width && static_cast<int>(crtc->height) == height;
                XRRFreeCrtcInfo(crtc);
            }
        }
        XRRFreeOutputInfo(output);
    }
    XRRFreeScreenResources(resources);
    return matches;
}

// ---------------------------------------------------------------------------
std::vector<std::string> childEnvironment(const std::string& display) {
    std::vector<std::string> out;
    for (char** e = environ; *e != nullptr; ++e) {
        if (std::strncmp(*e, "DISPLAY=", 8) == 0) continue;
        if (std::strncmp(*e, "XSCREENSAVER_WINDOW=", 20) == 0) continue;
        out.emplace_back(*e);
    }
    if (!display.empty()) out.push_back("DISPLAY=" + display);
    return out;
}

std::vector<std::string> inWaylandSession(std::vector<std::string> environment) {
    environment.erase(std::remove_if(environment.begin(), environment.end(),
                                     [](const std::string& e) { return e.rfind("XDG_RUNTIME_DIR=", 0) == 0; }),
                      environment.end());
    environment.insert(environment.end(), {"XDG_SESSION_TYPE=wayland", "WAYLAND_DISPLAY=lumeridge-no-such-display"});
    return environment;
}

std::vector<std::string> refusingFirstWindow(const std::string& display) {
    std::vector<std::string> env = childEnvironment(display);
    env.push_back(std::string("LD_PRELOAD=") + REFUSE_FIRST_WINDOW_LIB);
    // Under AddressSanitizer the preloaded library comes before its runtime.
    const char* asan = std::getenv("ASAN_OPTIONS");
    env.push_back(std::string("ASAN_OPTIONS=") + (asan ? std::string(asan) + ":" : "") + "verify_asan_link_order=0");
    return env;
}

Process::Process(const std::vector<std::string>& argv, const std::vector<std::string>& environment, bool pipeStdin) {
    outPath_ = tempPath("out");
    errPath_ = tempPath("err");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    int in[2] = {-1, -1}, out[2] = {-1, -1};
    if (pipeStdin) {
        if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0) return;
        posix_spawn_file_actions_adddup2(&actions, in[0], STDIN_FILENO);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    } else {
        posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outPath_.c_str(), O_WRONLY | O_TRUNC, 0);
    }
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errPath_.c_str(), O_WRONLY | O_TRUNC, 0);
    std::vector<char*> args = cStrings(argv);
    std::vector<char*> env = cStrings(environment);
    start_ = std::chrono::steady_clock::now();
    if (posix_spawn(&pid_, args[0], &actions, nullptr, args.data(), env.data()) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    if (pipeStdin) {
        close(in[0]);
        close(out[1]);
        stdinFd_ = in[1];
        stdoutFd_ = out[0];
    }
}

Process::~Process() {
    if (running()) {
        ::kill(pid_, SIGKILL);
        wait(Seconds(5));
    }
    if (stdinFd_ >= 0) close(stdinFd_);
    if (stdoutFd_ >= 0) close(stdoutFd_);
    unlink(outPath_.c_str());
    unlink(errPath_.c_str());
}

std::optional<int> Process::wait(Seconds timeout) {
    if (pid_ <= 0) return std::nullopt;
    if (exitCode_ >= 0) return exitCode_;
    int status = 0;
    if (!waitUntil([&] { return waitpid(pid_, &status, WNOHANG) == pid_; }, timeout)) return std::nullopt;
    end_ = std::chrono::steady_clock::now();
    exitCode_ = decodeStatus(status);
    return exitCode_;
}

bool Process::running() { return pid_ > 0 && !wait(Seconds(0)).has_value(); }

void Process::signal(int number) {
    if (running()) ::kill(pid_, number);
}

std::string Process::stderrText() const { return readFile(errPath_); }
std::string Process::stdoutText() const { return readFile(outPath_); }

bool Process::writeLine(const std::string& line) {
    const std::string data = line + "\n";
    return stdinFd_ >= 0 && ::write(stdinFd_, data.data(), data.size()) == static_cast<ssize_t>(data.size());
}

std::optional<std::string> Process::readLine(Seconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (stdoutFd_ >= 0) {
        const std::size_t newline = lineBuffer_.find('\n');
        if (newline != std::string::npos) {
            std::string line = lineBuffer_.substr(0, newline);
            lineBuffer_.erase(0, newline + 1);
            return line;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
        if (left.count() <= 0) return std::nullopt;
        pollfd p{stdoutFd_, POLLIN, 0};
        if (poll(&p, 1, static_cast<int>(left.count())) <= 0) continue;
        char buffer[256];
        const ssize_t n = read(stdoutFd_, buffer, sizeof buffer);
        if (n <= 0) return std::nullopt;
        lineBuffer_.append(buffer, static_cast<std::size_t>(n));
    }
    return std::nullopt;
}

ExitWatch::ExitWatch(pid_t pid) : pid_(pid) { attached_ = pid > 0 && ptrace(PTRACE_SEIZE, pid, nullptr, nullptr) == 0; }

ExitWatch::~ExitWatch() {
    if (!attached_ || code_) return;
    // A seized tracee can only be detached while stopped.
    int status = 0;
    if (ptrace(PTRACE_INTERRUPT, pid_, nullptr, nullptr) == 0 &&
        waitUntil([&] { return waitpid(pid_, &status, __WALL | WNOHANG) == pid_; }, Seconds(5)) && WIFSTOPPED(status))
        ptrace(PTRACE_DETACH, pid_, nullptr, nullptr);
}

std::optional<int> ExitWatch::wait(Seconds timeout) {
    if (!attached_ || code_) return code_;
    waitUntil(
        [&] {
            int status = 0;
            while (waitpid(pid_, &status, __WALL | WNOHANG) == pid_) {
                if (WIFEXITED(status) || WIFSIGNALED(status)) {
                    code_ = decodeStatus(status);
                    return true;
                }
                // A signal on its way in, or a group stop: let it go on.
                const bool groupStop = (status >> 16) == PTRACE_EVENT_STOP;
                const long passOn = groupStop ? 0 : WSTOPSIG(status);
                ptrace(groupStop ? PTRACE_LISTEN : PTRACE_CONT, pid_, nullptr, reinterpret_cast<void*>(passOn));
            }
            return false;
        },
        timeout);
    return code_;
}

StopResult stopAndWatch(pid_t pid, const std::function<void()>& stop, Seconds bound) {
    StopResult result;
    ExitWatch watch(pid);
    result.watched = watch.attached();
    const auto start = std::chrono::steady_clock::now();
    // The hosts wait for their saver to end before they answer (mate and
    // xfce in a blocking waitpid), and the saver waits for its tracer to
    // pass on the stop signal: the tracer, this thread, keeps watching.
    std::thread stopper(stop);
    result.code = watch.wait(bound);
    result.took = std::chrono::duration_cast<Seconds>(std::chrono::steady_clock::now() - start);
    stopper.join();
    return result;
}

std::unique_ptr<Process> startX11Host(const std::string& display, int width, int height, Window* id) {
    auto host =
        std::make_unique<Process>(std::vector<std::string>{X11_HOST_EXE, std::to_string(width), std::to_string(height)},
                                  childEnvironment(display), true);
    const std::optional<std::string> line = host->readLine(Seconds(10));
    *id = line ? std::stoul(*line) : 0;
    return host;
}

bool hostCommand(Process& host, const std::string& command) {
    return host.writeLine(command) && host.readLine(Seconds(10)).value_or("") == "ok";
}

int runTool(const std::vector<std::string>& argv, const std::string& display, Seconds timeout) {
    std::vector<std::string> full = argv;
    if (full[0].find('/') == std::string::npos) full[0] = "/usr/bin/" + full[0];
    Process tool(full, childEnvironment(display));
    const std::optional<int> code = tool.wait(timeout);
    return code ? *code : -1;
}

// ---------------------------------------------------------------------------
bool splitIntoTwoMonitors(const std::string& display) {
    return runTool({"xrandr", "--setmonitor", "left", "1280/338x1024/270+0+0", "screen"}, display) == 0 &&
           runTool({"xrandr", "--setmonitor", "*right", "1920/508x1080/286+1280+0", "none"}, display) == 0;
}

std::unique_ptr<Process> startWindowManager(Display* display, const std::string& name) {
    if (access("/usr/bin/openbox", X_OK) != 0) return nullptr;
    auto wm = std::make_unique<Process>(std::vector<std::string>{"/usr/bin/openbox"}, childEnvironment(name));
    const Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", False);
    const bool managing = waitUntil(
        [&] {
            Atom type = 0;
            int format = 0;
            unsigned long count = 0, after = 0;
            unsigned char* data = nullptr;
            const bool set = XGetWindowProperty(display, DefaultRootWindow(display), check, 0, 1, False,
                                                AnyPropertyType, &type, &format, &count, &after, &data) == Success &&
                             count == 1;
            if (data != nullptr) XFree(data);
            return set;
        },
        Seconds(10));
    return managing ? std::move(wm) : nullptr;
}

std::string windowTitle(Display* display, Window window) {
    char* name = nullptr;
    std::string out;
    if (XFetchName(display, window, &name) != 0 && name != nullptr) {
        out = name;
        XFree(name);
    }
    return out;
}

std::optional<WindowInfo> windowInfo(Display* display, Window window) {
    XWindowAttributes attributes;
    if (XGetWindowAttributes(display, window, &attributes) == 0) return std::nullopt;
    WindowInfo info;
    info.id = window;
    info.x = attributes.x;
    info.y = attributes.y;
    info.width = attributes.width;
    info.height = attributes.height;
    info.mapState = attributes.map_state;
    return info;
}

std::vector<Window> childrenOf(Display* display, Window window) {
    Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    std::vector<Window> out;
    if (XQueryTree(display, window, &root, &parent, &children, &count) != 0) {
        out.assign(children, children + count);
        if (children != nullptr) XFree(children);
    }
    return out;
}

std::vector<WindowInfo> viewableTopLevels(Display* display, const std::string& title) {
    std::vector<WindowInfo> out;
    for (Window w : childrenOf(display, DefaultRootWindow(display))) {
        if (windowTitle(display, w) != title) continue;
        const std::optional<WindowInfo> info = windowInfo(display, w);
        if (info && info->mapState == IsViewable) out.push_back(*info);
    }
    return out;
}

std::optional<WindowInfo> waitForTopLevel(Display* display, const std::string& title, Seconds timeout) {
    std::optional<WindowInfo> found;
    waitUntil(
        [&] {
            const std::vector<WindowInfo> all = viewableTopLevels(display, title);
            if (!all.empty()) found = all.front();
            return found.has_value();
        },
        timeout);
    return found;
}

std::optional<WindowInfo> waitForFramedClient(Display* display, const std::string& title, Seconds timeout) {
    std::optional<WindowInfo> found;
    waitUntil(
        [&] {
            for (Window frame : childrenOf(display, DefaultRootWindow(display))) {
                for (Window w : childrenOf(display, frame)) {
                    if (windowTitle(display, w) != title) continue;
                    found = windowInfo(display, w);
                    Window child = 0;
                    if (!found || found->mapState != IsViewable ||
                        !XTranslateCoordinates(display, w, DefaultRootWindow(display), 0, 0, &found->x, &found->y,
                                               &child)) {
                        found.reset();
                        continue;
                    }
                    return true;
                }
            }
            return false;
        },
        timeout);
    return found;
}

int countViewableTopLevels(Display* display, const std::string& title) {
    return static_cast<int>(viewableTopLevels(display, title).size());
}

void sendDeleteWindow(Display* display, Window window) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XSync(display, False);
}

unsigned long rootPixel(Display* display, int x, int y) {
    XImage* image = XGetImage(display, DefaultRootWindow(display), x, y, 1, 1, AllPlanes, ZPixmap);
    if (image == nullptr) return ~0ul;
    const unsigned long pixel = XGetPixel(image, 0, 0) & 0xFFFFFFul;
    XDestroyImage(image);
    return pixel;
}

std::vector<unsigned long> sampleGrid(Display* display) {
    WindowInfo screen;
    screen.width = DisplayWidth(display, DefaultScreen(display));
    screen.height = DisplayHeight(display, DefaultScreen(display));
    return sampleGrid(display, screen);
}

std::vector<unsigned long> sampleGrid(Display* display, const WindowInfo& area) {
    // 32 x 18 samples at the centres of a grid over the area.
    std::vector<unsigned long> samples;
    for (int row = 0; row < 18; ++row)
        for (int column = 0; column < 32; ++column)
            samples.push_back(rootPixel(display, area.x + (2 * column + 1) * area.width / 64,
                                        area.y + (2 * row + 1) * area.height / 36));
    return samples;
}

int distinctValues(std::vector<unsigned long> samples) {
    std::sort(samples.begin(), samples.end());
    return static_cast<int>(std::unique(samples.begin(), samples.end()) - samples.begin());
}

PictureWatch watchPicture(Display* display, std::chrono::steady_clock::time_point since, Seconds timeout) {
    PictureWatch watch;
    std::vector<unsigned long> first;
    if (!waitUntil([&] { return (watch.distinct = distinctValues(first = sampleGrid(display))) > 100; }, timeout))
        return watch;
    watch.firstPicture = std::chrono::duration_cast<Seconds>(std::chrono::steady_clock::now() - since);
    // A loaded machine may take a while for the next frame.
    watch.moved = waitUntil(
        [&] {
            const std::vector<unsigned long> later = sampleGrid(display);
            watch.changed = 0;
            for (std::size_t i = 0; i < first.size(); ++i) watch.changed += first[i] != later[i];
            return watch.changed > 10;
        },
        timeout);
    return watch;
}

pid_t findProcess(const std::string& program) {
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        const std::string name = entry.path().filename().string();
        if (name.find_first_not_of("0123456789") != std::string::npos) continue;
        std::ifstream in(entry.path() / "cmdline", std::ios::binary);
        std::string first;
        std::getline(in, first, '\0');
        if (first == program) return static_cast<pid_t>(std::stol(name));
    }
    return 0;
}

pid_t parentOf(pid_t pid) {
    // /proc/PID/stat: "pid (comm) state ppid ...", comm may hold blanks.
    const std::string stat = readFile("/proc/" + std::to_string(pid) + "/stat");
    const std::size_t close = stat.rfind(')');
    if (close == std::string::npos) return 0;
    std::istringstream rest(stat.substr(close + 1));
    std::string state;
    long parent = 0;
    rest >> state >> parent;
    return static_cast<pid_t>(parent);
}

// ---------------------------------------------------------------------------
CreationWatch::CreationWatch(Display* display) : display_(display) {
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    XSync(display, True);  // drop anything queued before
}

CreationWatch::~CreationWatch() {
    XSelectInput(display_, DefaultRootWindow(display_), NoEventMask);
    XSync(display_, True);
}

int CreationWatch::created() {
    XSync(display_, False);
    while (XPending(display_) > 0) {
        XEvent event;
        XNextEvent(display_, &event);
        if (event.type == CreateNotify) ++count_;
    }
    return count_;
}

}  // namespace e2e
