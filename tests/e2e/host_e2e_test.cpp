// Host mode end to end: the real lumeridge started the way XScreenSaver,
// mate-screensaver and xfce4-screensaver start a saver, in a window of the
// test host (x11_host, at 100,100 on a private Xvfb).
#include <gtest/gtest.h>
#include <signal.h>

#include <cstdio>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "tests/e2e/harness.h"
#include "tests/support/frame_counter.h"

using namespace e2e;

namespace {

const Seconds kStartBound(20);  // drawn (generous: ASan builds, a loaded machine)
const Seconds kSignalBound(2);  // asked: 0.5 s after the current frame
const Seconds kGoneBound(3);    // asked: 1 s once the host window is gone
constexpr unsigned long kMagenta = 0xFF00FF;
constexpr int kHostX = 100, kHostY = 100;

std::string hex(Window w, const char* format = "0x%lx") {
    char text[32];
    std::snprintf(text, sizeof text, format, static_cast<unsigned long>(w));
    return text;
}

class HostMode : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(x_.ok()) << "Xvfb did not start"; }

    // lumeridge with `args`, XSCREENSAVER_WINDOW set to `variable` unless empty.
    std::unique_ptr<Process> start(std::vector<std::string> args, const std::string& variable = "",
                                   const std::string& display = "*") {
        args.insert(args.begin(), lumeridgeExe());
        std::vector<std::string> env = childEnvironment(display == "*" ? x_.name() : display);
        if (!variable.empty()) env.push_back("XSCREENSAVER_WINDOW=" + variable);
        auto p = std::make_unique<Process>(args, env);
        EXPECT_TRUE(p->started());
        return p;
    }

    std::unique_ptr<Process> host(int width, int height, Window* id) {
        auto h = startX11Host(x_.name(), width, height, id);
        EXPECT_NE(*id, 0u);
        return h;
    }

    // One child window of `hostId` at (0,0) of the given size, drawn over
    // the magenta host at its centre and near its far corner.
    bool drawsInto(Window hostId, int width, int height, int hostX = kHostX, Seconds bound = kStartBound) {
        return waitUntil(
            [&] {
                const std::vector<Window> children = childrenOf(d(), hostId);
                if (children.size() != 1) return false;
                const std::optional<WindowInfo> child = windowInfo(d(), children[0]);
                return child && child->mapState == IsViewable && child->x == 0 && child->y == 0 &&
                       child->width == width && child->height == height &&
                       rootPixel(d(), hostX + width / 2, kHostY + height / 2) != kMagenta &&
                       rootPixel(d(), hostX + width - 4, kHostY + height - 4) != kMagenta;
            },
            bound);
    }

    // How many of a grid of samples inside the host change within 0.5 s.
    int changesWithin(int width, int height) {
        auto grid = [&] {
            std::vector<unsigned long> out;
            for (int y = 8; y < height; y += 16)
                for (int x = 8; x < width; x += 16) out.push_back(rootPixel(d(), kHostX + x, kHostY + y));
            return out;
        };
        const std::vector<unsigned long> first = grid();
        struct timespec half {
            0, 500 * 1000 * 1000
        };
        nanosleep(&half, nullptr);
        const std::vector<unsigned long> second = grid();
        int changed = 0;
        for (std::size_t i = 0; i < first.size(); ++i) changed += first[i] != second[i];
        return changed;
    }

    // Ended by `signal` itself (the hosts' "normal stop") within the bound.
    void expectEndsBy(Process& p, int signal) {
        const auto sent = std::chrono::steady_clock::now();
        p.signal(signal);
        const std::optional<int> code = p.wait(kSignalBound);
        ASSERT_TRUE(code.has_value()) << "still running " << kSignalBound.count() << " s after signal " << signal;
        EXPECT_EQ(*code, 128 + signal) << p.stderrText();
        std::printf("[ figure ] ended by signal %d within %.3f s\n", signal,
                    std::chrono::duration_cast<Seconds>(std::chrono::steady_clock::now() - sent).count());
    }

    // A 200 x 150 host window and the saver drawing in it, started as
    // XScreenSaver starts one (--root, XSCREENSAVER_WINDOW naming the host).
    void startDrawingInAHost() {
        host_ = host(200, 150, &hostWindow_);
        saver_ = start({"--root"}, hex(hostWindow_));
        ASSERT_TRUE(drawsInto(hostWindow_, 200, 150)) << saver_->stderrText();
    }

    Display* d() { return x_.connection(); }
    VirtualDisplay x_;
    // What startDrawingInAHost started (the saver goes first).
    Window hostWindow_ = 0;
    std::unique_ptr<Process> host_, saver_;
};

// ---------------------------------------------------------------------------
// The ways the hosts name the window. Window A is the variable's, B the
// --window-id's; the saver must draw into `into` and leave the other alone.
struct StartCase {
    const char* name;
    const char* variable;  // printf format for A's id; "" leaves it unset
    std::vector<std::string> args;
    bool intoB;
};

void PrintTo(const StartCase& c, std::ostream* os) { *os << c.name; }

class HostStart : public HostMode, public ::testing::WithParamInterface<StartCase> {};

TEST_P(HostStart, DrawsIntoTheNamedWindowAndEndsBySigterm) {
    const StartCase& c = GetParam();
    Window a = 0, b = 0;
    auto hostA = host(320, 240, &a);
    auto hostB = host(200, 150, &b);
    ASSERT_TRUE(hostCommand(*hostB, "move 500 100"));
    std::vector<std::string> args = c.args;
    for (std::string& arg : args)
        if (arg == "B") arg = hex(b);
    auto saver = start(args, *c.variable ? hex(a, c.variable) : "");
    const Window into = c.intoB ? b : a, other = c.intoB ? a : b;
    ASSERT_TRUE(c.intoB ? drawsInto(b, 200, 150, 500) : drawsInto(a, 320, 240)) << saver->stderrText();
    EXPECT_TRUE(childrenOf(d(), other).empty());
    EXPECT_EQ(childrenOf(d(), into).size(), 1u);
    expectEndsBy(*saver, SIGTERM);
}

INSTANTIATE_TEST_SUITE_P(Hosts, HostStart,
                         ::testing::Values(StartCase{"VariableHex", "0x%lx", {"--root"}, false},
                                           StartCase{"VariableUpperHexSingleDash", "0X%lX", {"-root"}, false},
                                           StartCase{"VariableDecimalNoSwitch", "%lu", {}, false},
                                           StartCase{
                                               "WindowIdBesideRootWins", "0x%lx", {"--root", "--window-id", "B"}, true},
                                           StartCase{"WindowIdAlone", "", {"-window-id", "B"}, true}),
                         [](const auto& info) { return std::string(info.param.name); });

// Started by a host in a Wayland session's environment (GLFW 3.4 would try
// Wayland alone there), it draws into the host's X window all the same, and
// no probe of GLFW's says anything on stderr.
TEST_F(HostMode, InAWaylandSessionItDrawsOnTheXDisplayQuietly) {
    host_ = host(200, 150, &hostWindow_);
    std::vector<std::string> env = inWaylandSession(childEnvironment(x_.name()));
    env.push_back("XSCREENSAVER_WINDOW=" + hex(hostWindow_));
    const auto started = std::chrono::steady_clock::now();
    Process saver({lumeridgeExe(), "--root"}, env);
    ASSERT_TRUE(drawsInto(hostWindow_, 200, 150)) << saver.stderrText();
    std::printf("[ figure ] host mode in a Wayland session: start to the picture: %.3f s\n",
                std::chrono::duration_cast<Seconds>(std::chrono::steady_clock::now() - started).count());
    EXPECT_GT(changesWithin(200, 150), 10) << "the picture does not move";
    expectEndsBy(saver, SIGTERM);
    EXPECT_EQ(saver.stderrText(), "");
}

TEST_F(HostMode, RootWithoutTheVariableCoversTheRootWindow) {
    auto saver = start({"--root"});
    ASSERT_TRUE(waitUntil(
        [&] {
            const std::optional<WindowInfo> w = waitForTopLevel(d(), "Lumeridge", Seconds(0));
            return w && w->x == 0 && w->y == 0 && w->width == 1920 && w->height == 1080 &&
                   rootPixel(d(), 960, 540) != 0 && rootPixel(d(), 1915, 1075) != 0;
        },
        kStartBound))
        << saver->stderrText();
    expectEndsBy(*saver, SIGTERM);
}

// Resize, input, unmapping and SIGSTOP/SIGCONT: the saver follows the host
// and keeps drawing; only a stop signal ends it, by that signal.
TEST_F(HostMode, FollowsTheHostAndLeavesInputToIt) {
    ASSERT_NO_FATAL_FAILURE(startDrawingInAHost());
    // A small window on swaps that wait for nothing: at most about 60 frames
    // a second, before and after the quality decision. The first second is
    // left out: the pacer lets its probe frames (about sixty) run unlimited
    // while it learns that nothing paces the swaps.
    FrameCounter frames(x_.name(), childrenOf(d(), hostWindow_).at(0));
    frames.countFor(1.0);
    const int shown = frames.countFor(3.0);
    EXPECT_GE(shown, 10);
    EXPECT_LE(shown, 3 * kMostFramesPerSecond);
    std::printf("[ figure ] %d frames shown in 3 s\n", shown);

    ASSERT_TRUE(hostCommand(*host_, "resize 640 480"));
    EXPECT_TRUE(drawsInto(hostWindow_, 640, 480, kHostX, Seconds(5))) << "does not follow the host's size";

    const std::string inside = std::to_string(kHostX + 320), insideY = std::to_string(kHostY + 240);
    EXPECT_EQ(runTool({"xdotool", "mousemove", "--sync", inside, insideY}, x_.name()), 0);
    EXPECT_EQ(runTool({"xdotool", "click", "1"}, x_.name()), 0);
    EXPECT_EQ(runTool({"xdotool", "key", "Escape"}, x_.name()), 0);
    EXPECT_EQ(runTool({"xdotool", "key", "a"}, x_.name()), 0);
    ASSERT_TRUE(hostCommand(*host_, "unmap"));
    EXPECT_FALSE(saver_->wait(Seconds(1)).has_value()) << "ended on input or on an unmapped host";
    ASSERT_TRUE(hostCommand(*host_, "map"));

    saver_->signal(SIGSTOP);
    struct timespec pause {
        1, 500 * 1000 * 1000
    };
    nanosleep(&pause, nullptr);
    saver_->signal(SIGCONT);
    EXPECT_TRUE(saver_->running());
    EXPECT_GT(changesWithin(640, 480), 10) << "not drawing after SIGCONT";
    expectEndsBy(*saver_, SIGINT);
}

// The settings dialog stops a preview as soon as the user picks another
// saver, often while it is still starting: it waits for the process.
TEST_F(HostMode, StopSignalDuringStartUpEndsItByTheSignal) {
    Window a = 0;
    auto hostA = host(200, 150, &a);
    for (int delayMs : {0, 30, 120}) {
        auto saver = start({"--root", "--window-id", hex(a)});
        struct timespec ts {
            0, delayMs * 1000L * 1000L
        };
        nanosleep(&ts, nullptr);
        expectEndsBy(*saver, SIGTERM);
    }
}

TEST_F(HostMode, EndsWhenTheHostWindowIsDestroyedWithoutAWindowOfItsOwn) {
    ASSERT_NO_FATAL_FAILURE(startDrawingInAHost());
    ASSERT_TRUE(hostCommand(*host_, "destroy"));
    const std::optional<int> code = saver_->wait(kGoneBound);
    ASSERT_TRUE(code.has_value()) << "still running after the host window went";
    EXPECT_EQ(*code, 0) << saver_->stderrText();
    for (const char* title : {"Lumeridge", "Debug", "Error"}) EXPECT_EQ(countViewableTopLevels(d(), title), 0);
}

TEST_F(HostMode, TwoInstancesOnTwoWindowsAtOnce) {
    Window a = 0, b = 0;
    auto hostA = host(240, 180, &a);
    auto hostB = host(240, 180, &b);
    ASSERT_TRUE(hostCommand(*hostB, "move 400 100"));
    auto first = start({"--root"}, hex(a));
    auto second = start({"--window-id", hex(b)});
    EXPECT_TRUE(drawsInto(a, 240, 180)) << first->stderrText();
    EXPECT_TRUE(drawsInto(b, 240, 180, 400)) << second->stderrText();
    EXPECT_TRUE(first->running());
    EXPECT_TRUE(second->running());
    expectEndsBy(*first, SIGTERM);
    expectEndsBy(*second, SIGTERM);
}

// ---------------------------------------------------------------------------
// --help and bad input: answered at once, before any window (the parser's
// other refusals are in the unit tests).
struct ArgumentCase {
    std::vector<std::string> args;
    std::string variable;  // "HOST": the test host's id
    bool display;          // DISPLAY set
    int exitCode;
    const char* output;  // what stdout (exit 0) or the one stderr line (exit 1) holds
};

TEST_F(HostMode, HelpAndBadInputAnswerAtOnceWithoutAWindow) {
    Window a = 0;
    auto hostA = host(100, 100, &a);
    const ArgumentCase cases[] = {
        {{"--help"}, "", false, 0, "Usage: lumeridge"},
        {{"--root", "--photos", "/tmp", "--help"}, "HOST", true, 0, "--window-id ID"},
        {{"--bogus", "--help"}, "", false, 1, "unknown option \"--bogus\""},
        {{"--window-id", "0x1fffff0"}, "", true, 1, "no window 0x1fffff0"},
        {{"--root"}, "wayland-0-embedding-token", true, 1, "XSCREENSAVER_WINDOW=\"wayland-0-embedding-token\""},
        {{"--root"}, "0x1fffff0", true, 1, "no window 0x1fffff0"},
        {{"--root"}, "HOST", false, 1, "cannot open display"},
    };
    for (const ArgumentCase& c : cases) {
        std::string what;
        for (const std::string& arg : c.args) what += arg + " ";
        what += "XSCREENSAVER_WINDOW=" + c.variable;
        CreationWatch watch(d());
        auto p = start(c.args, c.variable == "HOST" ? hex(a) : c.variable, c.display ? x_.name() : "");
        const std::optional<int> code = p->wait(Seconds(5));
        ASSERT_TRUE(code.has_value()) << what;
        EXPECT_EQ(*code, c.exitCode) << what << "\n" << p->stderrText();
        const std::string out = p->stdoutText(), err = p->stderrText();
        if (c.exitCode == 0) {
            EXPECT_NE(out.find(c.output), std::string::npos) << what << "\n" << out;
            EXPECT_EQ(err, "") << what;
        } else {
            EXPECT_EQ(out, "") << what;
            EXPECT_EQ(err.rfind("lumeridge: ", 0), 0u) << what << "\n" << err;
            EXPECT_NE(err.find(c.output), std::string::npos) << what << "\n" << err;
            EXPECT_EQ(err.find('\n'), err.size() - 1) << what << ": not one line\n" << err;
        }
        EXPECT_EQ(watch.created(), 0) << what << " created a window";
        std::printf("[ figure ] %s: %.3f s\n", what.c_str(), p->elapsed().count());
    }
}

}  // namespace
