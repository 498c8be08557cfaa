// The Linux About window end to end: `lumeridge /c` on a private Xvfb of
// 1920 x 1080 (no window manager, so the window sits where it asked to),
// driven with xdotool and read back with XGetImage. A recording `xdg-open`
// first on PATH stands in for the browser.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "platform/about_window.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

bool waitFor(const std::function<bool()>& condition, milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    for (;;) {
        if (condition()) return true;
        if (Clock::now() >= deadline) return false;
        std::this_thread::sleep_for(milliseconds(20));
    }
}

bool onPath(const char* program) {
    const char* path = std::getenv("PATH");
    if (!path) return false;
    std::string dirs = path;
    std::size_t start = 0;
    while (start <= dirs.size()) {
        std::size_t end = dirs.find(':', start);
        if (end == std::string::npos) end = dirs.size();
        const std::string candidate = dirs.substr(start, end - start) + "/" + program;
        if (access(candidate.c_str(), X_OK) == 0) return true;
        start = end + 1;
    }
    return false;
}

// A child process with an exit status read under a time bound.
class Child {
public:
    Child() = default;
    Child(const std::vector<std::string>& args, const std::vector<std::string>& env) { start(args, env); }
    ~Child() { kill(); }

    bool start(const std::vector<std::string>& args, const std::vector<std::string>& env) {
        std::vector<char*> argv;
        for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        std::vector<char*> envp;
        for (const auto& e : env) envp.push_back(const_cast<char*>(e.c_str()));
        envp.push_back(nullptr);
        return posix_spawnp(&pid_, argv[0], nullptr, nullptr, argv.data(), envp.data()) == 0;
    }

    // True once the child has ended; its status is then in status().
    bool wait(milliseconds timeout) {
        if (pid_ <= 0) return true;
        return waitFor(
            [this] {
                if (waitpid(pid_, &status_, WNOHANG) == pid_) {
                    pid_ = 0;
                    return true;
                }
                return false;
            },
            timeout);
    }
    bool running() { return pid_ > 0 && !wait(milliseconds(0)); }
    int status() const { return status_; }
    pid_t pid() const { return pid_; }

    void kill() {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            waitpid(pid_, &status_, 0);
            pid_ = 0;
        }
    }

private:
    pid_t pid_ = 0;
    int status_ = 0;
};

std::vector<std::string> environmentWith(const std::vector<std::string>& overrides,
                                         const std::vector<std::string>& removed = {}) {
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        const std::string entry = *e;
        const std::string name = entry.substr(0, entry.find('='));
        bool drop = false;
        for (const auto& o : overrides) drop = drop || o.substr(0, o.find('=')) == name;
        for (const auto& r : removed) drop = drop || r == name;
        if (!drop) env.push_back(entry);
    }
    env.insert(env.end(), overrides.begin(), overrides.end());
    return env;
}

struct Rgb {
    int r, g, b;
    bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
};
std::ostream& operator<<(std::ostream& out, const Rgb& c) {
    return out << "(" << c.r << ", " << c.g << ", " << c.b << ")";
}
const Rgb kBackground{177, 232, 179};

class AboutX11Test : public ::testing::TestWithParam<const char*> {
protected:
    static void SetUpTestSuite() {
        if (!onPath("Xvfb") || !onPath("xdotool")) return;
        int fds[2];
        if (pipe(fds) != 0) return;
        const std::string fd = std::to_string(fds[1]);
        xvfb_ = new Child();
        xvfb_->start({"Xvfb", "-displayfd", fd, "-screen", "0", "1920x1080x24", "-nolisten", "tcp"},
                     environmentWith({}));
        close(fds[1]);
        std::string number;
        pollfd watch{fds[0], POLLIN, 0};
        const auto deadline = Clock::now() + std::chrono::seconds(15);
        while (Clock::now() < deadline && number.find('\n') == std::string::npos) {
            if (poll(&watch, 1, 100) > 0) {
                char buffer[32];
                const ssize_t n = read(fds[0], buffer, sizeof buffer);
                if (n <= 0) break;
                number.append(buffer, static_cast<std::size_t>(n));
            }
        }
        close(fds[0]);
        if (number.find('\n') == std::string::npos) return;
        display_ = ":" + number.substr(0, number.find('\n'));
        x_ = XOpenDisplay(display_.c_str());
    }

    static void TearDownTestSuite() {
        if (x_) XCloseDisplay(x_);
        x_ = nullptr;
        delete xvfb_;
        xvfb_ = nullptr;
    }

    void SetUp() override {
        if (!x_) GTEST_SKIP() << "needs Xvfb and xdotool";
        char dirTemplate[] = "/tmp/about_x11_test.XXXXXX";
        ASSERT_NE(mkdtemp(dirTemplate), nullptr);
        dir_ = dirTemplate;
        record_ = dir_ + "/opened.txt";
        const std::string opener = dir_ + "/xdg-open";
        // Records its argument, then stays a while, as a browser started in
        // the foreground would: the window must not wait for it.
        std::ofstream(opener) << "#!/bin/sh\nprintf '%s\\n' \"$1\" >> \"" << record_
                              << "\"\nexec sleep 4 </dev/null >/dev/null 2>&1\n";
        chmod(opener.c_str(), 0755);
    }

    void TearDown() override {
        app_.kill();
        if (!dir_.empty()) std::system(("rm -rf '" + dir_ + "'").c_str());
    }

    void launch(const char* argument) {
        const char* path = std::getenv("PATH");
        ASSERT_TRUE(app_.start({LUMERIDGE_EXE, argument},
                               environmentWith({"DISPLAY=" + display_, "PATH=" + dir_ + ":" + (path ? path : "")})));
        ASSERT_TRUE(waitFor([this] { return (window_ = findAbout()) != 0; }, milliseconds(10000)))
            << "no window \"About\" appeared";
    }

    // The viewable top-level windows titled "About".
    static std::vector<Window> aboutWindows() {
        std::vector<Window> found;
        Window root = 0, parent = 0, *children = nullptr;
        unsigned count = 0;
        if (XQueryTree(x_, DefaultRootWindow(x_), &root, &parent, &children, &count)) {
            for (unsigned i = 0; i < count; ++i) {
                XWindowAttributes a;
                char* name = nullptr;
                if (XGetWindowAttributes(x_, children[i], &a) && a.map_state == IsViewable &&
                    XFetchName(x_, children[i], &name) && name) {
                    if (std::strcmp(name, "About") == 0) found.push_back(children[i]);
                    XFree(name);
                }
            }
            if (children) XFree(children);
        }
        return found;
    }
    static Window findAbout() {
        const std::vector<Window> windows = aboutWindows();
        return windows.size() == 1 ? windows[0] : 0;
    }

    // A pixel of the window's client area as the screen shows it.
    Rgb pixel(int x, int y) {
        XWindowAttributes a;
        XGetWindowAttributes(x_, window_, &a);
        XImage* image = XGetImage(x_, DefaultRootWindow(x_), a.x + x, a.y + y, 1, 1, AllPlanes, ZPixmap);
        if (!image) return Rgb{-1, -1, -1};
        const unsigned long p = XGetPixel(image, 0, 0);
        XDestroyImage(image);
        return Rgb{static_cast<int>((p >> 16) & 0xFF), static_cast<int>((p >> 8) & 0xFF),
                   static_cast<int>(p & 0xFF)};
    }

    // xdotool on the window's client coordinates.
    void pointer(const std::vector<std::string>& actions, int x, int y) {
        XWindowAttributes a;
        XGetWindowAttributes(x_, window_, &a);
        std::vector<std::string> args = {"xdotool", "mousemove", std::to_string(a.x + x),
                                         std::to_string(a.y + y)};
        args.insert(args.end(), actions.begin(), actions.end());
        Child tool(args, environmentWith({"DISPLAY=" + display_}));
        ASSERT_TRUE(tool.wait(milliseconds(10000))) << "xdotool hung";
        XSync(x_, False);
    }
    void click(int x, int y) { pointer({"click", "1"}, x, y); }

    std::vector<std::string> opened() {
        std::vector<std::string> lines;
        std::ifstream in(record_);
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        return lines;
    }
    bool waitOpened(std::size_t n) {
        return waitFor([&] { return opened().size() >= n; }, milliseconds(5000));
    }

    void sendDeleteWindow() {
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = window_;
        event.xclient.message_type = XInternAtom(x_, "WM_PROTOCOLS", False);
        event.xclient.format = 32;
        event.xclient.data.l[0] = static_cast<long>(XInternAtom(x_, "WM_DELETE_WINDOW", False));
        event.xclient.data.l[1] = CurrentTime;
        XSendEvent(x_, window_, False, NoEventMask, &event);
        XSync(x_, False);
    }

    void expectCleanExit() {
        ASSERT_TRUE(app_.wait(milliseconds(5000))) << "still running";
        ASSERT_TRUE(WIFEXITED(app_.status())) << "status " << app_.status();
        EXPECT_EQ(WEXITSTATUS(app_.status()), 0);
    }

    static Child* xvfb_;
    static Display* x_;
    static std::string display_;
    std::string dir_;
    std::string record_;
    Child app_;
    Window window_ = 0;
};

Child* AboutX11Test::xvfb_ = nullptr;
Display* AboutX11Test::x_ = nullptr;
std::string AboutX11Test::display_;

// Where no control and no logo is.
const int kBackgroundPoints[][2] = {{3, 3}, {396, 296}, {60, 80}, {320, 100}, {10, 140}, {200, 270}};

TEST_P(AboutX11Test, OneFixedCentredWindowWithBackgroundLogoAndTexts) {
    launch(GetParam());
    EXPECT_EQ(aboutWindows().size(), 1u);

    XWindowAttributes a;
    ASSERT_TRUE(XGetWindowAttributes(x_, window_, &a));
    EXPECT_EQ(a.x, 760);
    EXPECT_EQ(a.y, 390);
    EXPECT_EQ(a.width, 400);
    EXPECT_EQ(a.height, 300);

    XSizeHints hints{};
    long supplied = 0;
    ASSERT_TRUE(XGetWMNormalHints(x_, window_, &hints, &supplied));
    ASSERT_TRUE((hints.flags & PMinSize) && (hints.flags & PMaxSize));
    EXPECT_EQ(hints.min_width, 400);
    EXPECT_EQ(hints.max_width, 400);
    EXPECT_EQ(hints.min_height, 300);
    EXPECT_EQ(hints.max_height, 300);

    // The first frame may still be on its way.
    ASSERT_TRUE(waitFor([&] { return pixel(3, 3) == kBackground; }, milliseconds(5000))) << pixel(3, 3);
    for (const auto& p : kBackgroundPoints) EXPECT_EQ(pixel(p[0], p[1]), kBackground) << p[0] << ", " << p[1];

    // The logo is drawn: its drop and rings stand out, while the rest of the
    // bitmap is painted in the window's own background colour.
    int differing = 0;
    int total = 0;
    for (int y = about::kLogoY + 2; y < about::kLogoY + about::kLogoHeight - 2; y += 4) {
        for (int x = about::kLogoX + 2; x < about::kLogoX + about::kLogoWidth - 2; x += 4) {
            ++total;
            if (!(pixel(x, y) == kBackground)) ++differing;
        }
    }
    EXPECT_GT(differing, total / 10) << differing << " of " << total;

    // Some ink in each text rectangle: black in the title, blue in the info
    // text, dark on the button.
    auto anyPixel = [&](const about::Rect& r, const std::function<bool(Rgb)>& test) {
        for (int y = r.y; y < r.y + r.height; ++y)
            for (int x = r.x; x < r.x + std::min(r.width, 200); x += 1)
                if (test(pixel(x, y))) return true;
        return false;
    };
    EXPECT_TRUE(anyPixel(about::Rect{90, 20, 80, 20}, [](Rgb c) { return c.r < 60 && c.g < 60 && c.b < 60; }));
    EXPECT_TRUE(anyPixel(about::Rect{20, 150, 60, 16}, [](Rgb c) { return c.b > 200 && c.r < 100 && c.g < 140; }));
    EXPECT_TRUE(anyPixel(about::Rect{170, 218, 60, 16}, [](Rgb c) { return c.r < 80 && c.g < 80 && c.b < 80; }));

    sendDeleteWindow();
    expectCleanExit();
}

INSTANTIATE_TEST_SUITE_P(Switches, AboutX11Test, ::testing::Values("/c", "/c:5678"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                             return std::string(info.index == 0 ? "Plain" : "WithHandle");
                         });

using AboutX11ButtonTest = AboutX11Test;

// The button opens the site once per click and the window stays; the info
// text, which shares the button's control id, opens nothing; a press that is
// released outside the button opens nothing.
TEST_F(AboutX11ButtonTest, ClicksOpenTheSiteAndOnlyOnTheButton) {
    launch("/c");
    ASSERT_TRUE(waitFor([&] { return pixel(3, 3) == kBackground; }, milliseconds(5000)));

    click(60, 165);  // info text
    click(200, 226);
    ASSERT_TRUE(waitOpened(1));
    std::this_thread::sleep_for(milliseconds(300));
    std::vector<std::string> urls = opened();
    ASSERT_EQ(urls.size(), 1u) << "the info-text click opened something";
    const std::string suffix = "?utm_source=About";
    ASSERT_GE(urls[0].size(), suffix.size());
    EXPECT_EQ(urls[0].substr(urls[0].size() - suffix.size()), suffix);
    EXPECT_EQ(urls[0], AboutWindow::siteUrl);
    EXPECT_TRUE(app_.running());
    EXPECT_NE(findAbout(), 0u);

    // The opener of the first click is still running.
    click(160, 215);
    ASSERT_TRUE(waitFor([&] { return opened().size() >= 2; }, milliseconds(2500)))
        << "the window waited for the opener";
    EXPECT_TRUE(app_.running());

    // Normal look away from the button, hot under the pointer, pressed while
    // held; dragged off while held it looks normal, and a release there is
    // no click.
    auto blueness = [&] {
        const Rgb c = pixel(153, 230);
        return c.b - c.r;
    };
    pointer({}, 320, 120);
    EXPECT_TRUE(waitFor([&] { return blueness() < 10; }, milliseconds(3000))) << pixel(153, 230);
    pointer({}, 200, 226);
    EXPECT_TRUE(waitFor([&] { return blueness() > 15 && blueness() < 40; }, milliseconds(3000))) << pixel(153, 230);
    pointer({"mousedown", "1"}, 200, 226);
    EXPECT_TRUE(waitFor([&] { return blueness() > 40; }, milliseconds(3000))) << pixel(153, 230);
    pointer({}, 320, 120);
    EXPECT_TRUE(waitFor([&] { return blueness() < 10; }, milliseconds(3000))) << pixel(153, 230);
    pointer({"mouseup", "1"}, 320, 120);
    std::this_thread::sleep_for(milliseconds(500));
    EXPECT_EQ(opened().size(), 2u);
    EXPECT_TRUE(app_.running());

    sendDeleteWindow();
    expectCleanExit();
}

// A stop signal closes the window like a close request.
TEST_F(AboutX11ButtonTest, TerminationSignalEndsWithCodeZero) {
    launch("/c");
    kill(app_.pid(), SIGTERM);
    expectCleanExit();
}

TEST(AboutNoDisplay, ReturnsAtOnceWithCodeZero) {
    for (const std::vector<std::string>& env :
         {environmentWith({}, {"DISPLAY"}), environmentWith({"DISPLAY=:65000"})}) {
        Child app({LUMERIDGE_EXE, "/c"}, env);
        ASSERT_TRUE(app.wait(milliseconds(10000)));
        ASSERT_TRUE(WIFEXITED(app.status()));
        EXPECT_EQ(WEXITSTATUS(app.status()), 0);
    }
}

}  // namespace
