// The screensaver shell end to end: the real lumeridge executable on a
// private Xvfb (1920x1080x24), driven like a user or a screensaver host.
#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include <GLFW/glfw3.h>

#include "tests/e2e/harness.h"
#include "tests/support/frame_counter.h"

using namespace e2e;

namespace {

const Seconds kStartBound(20);  // a window appears (generous: ASan builds, a loaded machine)
const Seconds kExitBound(5);    // "ends" / "exits at once"
const Seconds kPromptBound(5);  // "within a second", with slack for a loaded machine
const std::string kTitle = "Lumeridge";
constexpr unsigned long kMagenta = 0xFF00FF;

class Shell : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(x_.ok()) << "Xvfb did not start"; }

    std::unique_ptr<Process> start(std::vector<std::string> args, const std::string& display) {
        args.insert(args.begin(), lumeridgeExe());
        auto p = std::make_unique<Process>(args, childEnvironment(display));
        EXPECT_TRUE(p->started());
        return p;
    }
    std::unique_ptr<Process> start(std::vector<std::string> args) { return start(std::move(args), x_.name()); }

    std::unique_ptr<Process> startHost(int width, int height, Window* id) {
        return startX11Host(x_.name(), width, height, id);
    }

    int tool(const std::vector<std::string>& argv) { return runTool(argv, x_.name()); }

    void expectExitsWith0(Process& p, Seconds bound, const char* what) {
        const std::optional<int> code = p.wait(bound);
        ASSERT_TRUE(code.has_value()) << what << ": still running after " << bound.count()
                                      << " s\nstderr: " << p.stderrText();
        EXPECT_EQ(*code, 0) << what << "\nstderr: " << p.stderrText();
    }

    Display* d() { return x_.connection(); }
    VirtualDisplay x_;
};

// ---------------------------------------------------------------------------
TEST_F(Shell, ScreensaverCoversTheMonitorAndIgnoresMouseMovementAndWheel) {
    auto saver = start({"/s"});
    const std::optional<WindowInfo> window = waitForTopLevel(d(), kTitle, kStartBound);
    ASSERT_TRUE(window) << saver->stderrText();
    EXPECT_EQ(window->x, 0);
    EXPECT_EQ(window->y, 0);
    EXPECT_EQ(window->width, 1920);
    EXPECT_EQ(window->height, 1080);

    EXPECT_EQ(tool({"xdotool", "mousemove", "--sync", "300", "400"}), 0);
    EXPECT_EQ(tool({"xdotool", "mousemove", "--sync", "900", "700"}), 0);
    EXPECT_EQ(tool({"xdotool", "click", "4"}), 0);  // wheel up
    EXPECT_EQ(tool({"xdotool", "click", "5"}), 0);  // wheel down
    // Drawing on, at most about 60 frames a second (Xvfb's swaps wait for nothing).
    FrameCounter frames(x_.name(), window->id);
    // The window shows before its first frame (shader, texture): count from that frame on.
    ASSERT_TRUE(waitUntil([&] { return frames.countFor(0.1) > 0; }, kStartBound)) << "no frame shown";
    const int shown = frames.countFor(2.0);
    EXPECT_TRUE(saver->running()) << "ended on mouse movement or wheel";
    EXPECT_GT(shown, 0);
    EXPECT_LE(shown, 2 * kMostFramesPerSecond);
    std::printf("[ figure ] %d frames shown in 2 s\n", shown);

    EXPECT_EQ(tool({"xdotool", "key", "a"}), 0);
    expectExitsWith0(*saver, kExitBound, "key press");
}

// Any key or mouse button ends it, with exit code 0. At ten frames a second
// the frame loop spends most of its time waiting for the next frame: the
// input must end that wait.
class EndsOnInput : public Shell, public ::testing::WithParamInterface<std::vector<std::string>> {};

TEST_P(EndsOnInput, ExitsWith0) {
    auto saver = start({"/s", "--delay", "100000"});
    ASSERT_TRUE(waitForTopLevel(d(), kTitle, kStartBound)) << saver->stderrText();
    std::vector<std::string> command = {"xdotool"};
    command.insert(command.end(), GetParam().begin(), GetParam().end());
    EXPECT_EQ(tool(command), 0);
    expectExitsWith0(*saver, kExitBound, GetParam().back().c_str());
}

INSTANTIATE_TEST_SUITE_P(Keys, EndsOnInput,
                         ::testing::Values(std::vector<std::string>{"key", "Escape"},
                                           std::vector<std::string>{"key", "space"},
                                           std::vector<std::string>{"keydown", "shift"}));
INSTANTIATE_TEST_SUITE_P(Buttons, EndsOnInput,
                         ::testing::Values(std::vector<std::string>{"click", "1"},
                                           std::vector<std::string>{"click", "3"},
                                           std::vector<std::string>{"mousedown", "2"}));

TEST_F(Shell, TwoScreensaversRunSideBySide) {
    auto first = start({"/s"});
    auto second = start({"/s"});
    ASSERT_TRUE(waitUntil([&] { return countViewableTopLevels(d(), kTitle) == 2; }, kStartBound))
        << first->stderrText() << second->stderrText();
    EXPECT_TRUE(first->running());
    EXPECT_TRUE(second->running());
    first->signal(SIGTERM);
    second->signal(SIGTERM);
    expectExitsWith0(*first, kExitBound, "first /s");
    expectExitsWith0(*second, kExitBound, "second /s");
}

// While a bare start or a preview runs, bare, /S and /p starts end at once,
// with code 0, before creating any window.
class SingleInstance : public Shell, public ::testing::WithParamInterface<bool> {};

TEST_P(SingleInstance, OtherStartsEndAtOnceWithoutAWindow) {
    const bool holderIsPreview = GetParam();
    Window hostId = 0;
    auto host = startHost(320, 240, &hostId);
    ASSERT_NE(hostId, 0u);
    auto holder = holderIsPreview ? start({"/p", std::to_string(hostId)}) : start({});
    if (holderIsPreview) {
        ASSERT_TRUE(waitUntil([&] { return !childrenOf(d(), hostId).empty(); }, kStartBound)) << holder->stderrText();
    } else {
        ASSERT_TRUE(waitForTopLevel(d(), kTitle, kStartBound)) << holder->stderrText();
    }

    const std::vector<std::vector<std::string>> others = {{}, {"/S"}, {"/p", std::to_string(hostId)}};
    for (const auto& args : others) {
        const std::string what = args.empty() ? "bare start" : args[0];
        CreationWatch watch(d());
        auto other = start(args);
        expectExitsWith0(*other, kExitBound, what.c_str());
        EXPECT_EQ(watch.created(), 0) << what << " created a window";
    }
    EXPECT_TRUE(holder->running());
    holder->signal(SIGTERM);
    expectExitsWith0(*holder, kExitBound, "holder");
}

INSTANTIATE_TEST_SUITE_P(Holder, SingleInstance, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Preview" : "BareStart"; });

// ---------------------------------------------------------------------------
// Preview: drawn into the host's window at its size, following it when it is
// resized; ends with 0 once the host window is destroyed or unmapped.
class Preview : public Shell, public ::testing::WithParamInterface<std::string> {};

TEST_P(Preview, RendersIntoTheHostAndEndsWhenItGoes) {
    Window hostId = 0;
    auto host = startHost(320, 240, &hostId);
    ASSERT_NE(hostId, 0u);
    auto preview = start({"/p", std::to_string(hostId)});

    std::optional<WindowInfo> child;
    auto childOfSize = [&](int w, int h) {
        return waitUntil(
            [&] {
                const std::vector<Window> children = childrenOf(d(), hostId);
                if (children.size() != 1) return false;
                child = windowInfo(d(), children[0]);
                return child && child->mapState == IsViewable && child->x == 0 && child->y == 0 && child->width == w &&
                       child->height == h;
            },
            kStartBound);
    };
    ASSERT_TRUE(childOfSize(320, 240)) << preview->stderrText();
    // The magenta host background is drawn over (100,100 is the host's origin).
    EXPECT_TRUE(waitUntil([&] { return rootPixel(d(), 100 + 160, 100 + 120) != kMagenta; }, kStartBound));
    EXPECT_TRUE(waitUntil([&] { return rootPixel(d(), 100 + 315, 100 + 235) != kMagenta; }, kStartBound));
    // The host keeps its size and place.
    const std::optional<WindowInfo> hostInfo = windowInfo(d(), hostId);
    ASSERT_TRUE(hostInfo);
    EXPECT_EQ(hostInfo->width, 320);
    EXPECT_EQ(hostInfo->height, 240);
    EXPECT_EQ(hostInfo->x, 100);

    ASSERT_TRUE(host->writeLine("resize 400 300"));
    EXPECT_EQ(host->readLine(Seconds(10)).value_or(""), "ok");
    EXPECT_TRUE(childOfSize(400, 300)) << "the preview does not follow the host's size";
    EXPECT_TRUE(waitUntil([&] { return rootPixel(d(), 100 + 395, 100 + 295) != kMagenta; }, kStartBound));
    EXPECT_TRUE(preview->running());

    ASSERT_TRUE(host->writeLine(GetParam()));
    EXPECT_EQ(host->readLine(Seconds(10)).value_or(""), "ok");
    expectExitsWith0(*preview, kPromptBound, GetParam().c_str());
}

INSTANTIATE_TEST_SUITE_P(HostWindow, Preview, ::testing::Values("destroy", "unmap"),
                         [](const auto& info) { return info.param; });

// Preview starts whose number names no window: exit 0 at once, no window.
class BadPreviewHandle : public Shell, public ::testing::WithParamInterface<std::vector<std::string>> {};

TEST_P(BadPreviewHandle, EndsAtOnceWithoutAWindow) {
    CreationWatch watch(d());
    auto preview = start(GetParam());
    expectExitsWith0(*preview, kExitBound, "bad /p");
    EXPECT_EQ(watch.created(), 0);
}

INSTANTIATE_TEST_SUITE_P(Handles, BadPreviewHandle,
                         ::testing::Values(std::vector<std::string>{"/p"}, std::vector<std::string>{"/p", "0"},
                                           std::vector<std::string>{"/p", "abc"},
                                           std::vector<std::string>{"/p", "99999999999999999999"},
                                           std::vector<std::string>{"/p", "-5"},
                                           std::vector<std::string>{"/p", "2147483647"},
                                           std::vector<std::string>{"/p", std::string(100 * 1024, '7')},
                                           std::vector<std::string>{"/p", std::string(100 * 1024, 'x')},
                                           std::vector<std::string>{"/p", "\xff\xfe\xc3\xa9\x80 \x01"}));

// Odd command lines that still mean "full screen": they run, and end with 0.
class OddFullScreenArguments : public Shell, public ::testing::WithParamInterface<std::vector<std::string>> {};

TEST_P(OddFullScreenArguments, RunAndEndWith0) {
    auto saver = start(GetParam());
    ASSERT_TRUE(waitForTopLevel(d(), kTitle, kStartBound)) << saver->stderrText();
    saver->signal(SIGTERM);
    expectExitsWith0(*saver, kExitBound, "odd arguments");
}

INSTANTIATE_TEST_SUITE_P(Arguments, OddFullScreenArguments,
                         ::testing::Values(std::vector<std::string>{"/s", std::string(100 * 1024, '/')},
                                           std::vector<std::string>{"\xff\xfe\xc3\xa9\x80", "/x", "1"},
                                           std::vector<std::string>{"/p", "100", "/s"}));

// In a Wayland session's environment with XWayland (GLFW 3.4 would try
// Wayland alone there) /s covers the X display, draws, ends on a key as
// anywhere, and no probe of GLFW's says anything on stderr.
TEST_F(Shell, InAWaylandSessionScreensaverCoversTheXDisplayQuietly) {
    const auto started = std::chrono::steady_clock::now();
    Process saver({lumeridgeExe(), "/s"}, inWaylandSession(childEnvironment(x_.name())));
    const std::optional<WindowInfo> window = waitForTopLevel(d(), kTitle, kStartBound);
    ASSERT_TRUE(window) << saver.stderrText();
    EXPECT_EQ(window->width, 1920);
    const PictureWatch picture = watchPicture(d(), started, kStartBound);
    ASSERT_TRUE(picture.firstPicture) << "distinct colours: " << picture.distinct;
    std::printf("[ figure ] /s in a Wayland session: start to the picture: %.3f s\n", picture.firstPicture->count());
    EXPECT_TRUE(picture.moved) << picture.changed << " samples changed";
    EXPECT_EQ(tool({"xdotool", "key", "a"}), 0);
    expectExitsWith0(saver, kExitBound, "key press");
    EXPECT_EQ(saver.stderrText(), "");
}

// With only a Wayland display there is no X display to draw on. GLFW 3.4
// could open a Wayland window, but nothing of the saver's beyond it (the
// screens it covers, its boxes) works there: one line says so. GLFW 3.3
// knows only X11 and reports the missing display itself.
TEST(WaylandOnly, ScreensaverEndsAtOnceWithOneLine) {
    int major = 0, minor = 0, revision = 0;
    glfwGetVersion(&major, &minor, &revision);  // the library the program loads too
    std::vector<std::string> env = inWaylandSession(childEnvironment(""));
    for (const char* mode : {"/s", ""}) {
        Process saver(*mode ? std::vector<std::string>{lumeridgeExe(), mode} : std::vector<std::string>{lumeridgeExe()},
                      env);
        ASSERT_EQ(saver.wait(kPromptBound), 0) << mode << "\n" << saver.stderrText();
        if (minor >= 4) {
            EXPECT_EQ(saver.stderrText(),
                      "Error: Lumeridge needs an X display (X11 or XWayland); this session has only a Wayland "
                      "display\n");
        } else {
            EXPECT_NE(saver.stderrText().find("Error: X11: "), std::string::npos) << saver.stderrText();
        }
    }
}

// ---------------------------------------------------------------------------
// Faults.

// No display at all, or a display with no server: GLFW's description
// (caption "Error") and "Failed to initialize GLFW" (caption "Debug") on
// stderr, exit 0, at once.
class NoDisplay : public Shell, public ::testing::WithParamInterface<std::string> {};

TEST_P(NoDisplay, ReportsOnStderrAndExits0) {
    for (const char* mode : {"/s", ""}) {
        auto saver = start(*mode ? std::vector<std::string>{mode} : std::vector<std::string>{}, GetParam());
        expectExitsWith0(*saver, kPromptBound, mode);
        const std::string err = saver->stderrText();
        const std::size_t error = err.find("Error: X11: ");
        const std::size_t debug = err.find("Debug: Failed to initialize GLFW\n");
        EXPECT_NE(error, std::string::npos) << err;
        EXPECT_NE(debug, std::string::npos) << err;
        EXPECT_LT(error, debug) << err;
    }
}

INSTANTIATE_TEST_SUITE_P(Display, NoDisplay, ::testing::Values("", ":999"),
                         [](const auto& info) { return info.param.empty() ? "Unset" : "NoServer"; });

// A stop signal is a close request: the loop ends after the current frame.
class StopSignal : public Shell, public ::testing::WithParamInterface<int> {};

TEST_P(StopSignal, EndsWith0) {
    Window hostId = 0;
    auto host = startHost(200, 150, &hostId);
    auto saver = start({"/s"});
    auto preview = start({"/p", std::to_string(hostId)});
    ASSERT_TRUE(waitForTopLevel(d(), kTitle, kStartBound)) << saver->stderrText();
    ASSERT_TRUE(waitUntil([&] { return !childrenOf(d(), hostId).empty(); }, kStartBound)) << preview->stderrText();
    saver->signal(GetParam());
    preview->signal(GetParam());
    expectExitsWith0(*saver, kExitBound, "/s");
    expectExitsWith0(*preview, kExitBound, "/p");
}

INSTANTIATE_TEST_SUITE_P(Signals, StopSignal, ::testing::Values(SIGTERM, SIGINT),
                         [](const auto& info) { return info.param == SIGTERM ? "SIGTERM" : "SIGINT"; });

TEST_F(Shell, LostXServerEndsTheProcessPromptly) {
    VirtualDisplay doomed;
    ASSERT_TRUE(doomed.ok());
    auto saver = start({"/s"}, doomed.name());
    ASSERT_TRUE(waitForTopLevel(doomed.connection(), kTitle, kStartBound)) << saver->stderrText();
    doomed.kill();
    expectExitsWith0(*saver, kExitBound, "after the X server died");
}

TEST_F(Shell, PreviewHostDestroyedBeforeTheFirstFrameEndsWith0) {
    // The host goes away just after the preview has been started, or (-1)
    // exactly when GLFW has started, between the check of the host window
    // and its adoption: whichever step of start-up that lands in, the process
    // ends quietly with 0, without a "Debug" box, and never leaves a stray
    // window behind.
    for (int delayMs : {-1, 0, 30, 120}) {
        Window hostId = 0;
        auto host = startHost(160, 120, &hostId);
        ASSERT_NE(hostId, 0u);
        if (delayMs < 0) {
            ASSERT_TRUE(host->writeLine("destroy-on-create"));
        }
        auto preview = start({"/p", std::to_string(hostId)});
        if (delayMs >= 0) {
            struct timespec ts {
                0, delayMs * 1000L * 1000L
            };
            nanosleep(&ts, nullptr);
            ASSERT_TRUE(host->writeLine("destroy"));
        }
        EXPECT_EQ(host->readLine(Seconds(20)).value_or(""), "ok") << "delay " << delayMs << " ms";
        bool box = false;
        const bool ended = waitUntil(
            [&] {
                if (const std::optional<WindowInfo> shown = waitForTopLevel(d(), "Debug", Seconds(0))) {
                    box = true;  // answered like a user would, so that the process can end
                    tool({"xdotool", "key", "--window", std::to_string(shown->id), "Return"});
                }
                return !preview->running();
            },
            kStartBound);
        ASSERT_TRUE(ended) << "delay " << delayMs << " ms: still running";
        EXPECT_FALSE(box) << "delay " << delayMs << " ms: a message box for a host that went away";
        EXPECT_EQ(preview->exitCode(), 0) << preview->stderrText();
        EXPECT_EQ(countViewableTopLevels(d(), kTitle), 0);
    }
}

// Another client taking the focus ends a full-screen start with 0: the
// window is not minimised (without a window manager GLFW would report that
// it cannot iconify it, in a blocking "Error" box).
class FocusLost : public Shell, public ::testing::WithParamInterface<std::vector<std::string>> {};

TEST_P(FocusLost, EndsWith0WithoutABox) {
    Window hostId = 0;
    auto other = startHost(200, 100, &hostId);
    ASSERT_NE(hostId, 0u);
    auto saver = start(GetParam());
    ASSERT_TRUE(waitForTopLevel(d(), kTitle, kStartBound)) << saver->stderrText();
    EXPECT_FALSE(saver->wait(Seconds(1)).has_value()) << "ended before the focus moved";
    ASSERT_TRUE(other->writeLine("focus"));
    EXPECT_EQ(other->readLine(Seconds(10)).value_or(""), "ok");
    bool box = false;
    const bool ended = waitUntil(
        [&] {
            if (const std::optional<WindowInfo> shown = waitForTopLevel(d(), "Error", Seconds(0))) {
                box = true;
                tool({"xdotool", "key", "--window", std::to_string(shown->id), "Return"});
            }
            return !saver->running();
        },
        kExitBound);
    EXPECT_FALSE(box) << "an \"Error\" box on focus loss";
    ASSERT_TRUE(ended) << "still running after another client took the focus";
    EXPECT_EQ(saver->exitCode(), 0) << saver->stderrText();
}

INSTANTIATE_TEST_SUITE_P(FullScreen, FocusLost,
                         ::testing::Values(std::vector<std::string>{"/s"}, std::vector<std::string>{}),
                         [](const auto& info) { return info.param.empty() ? "BareStart" : "Screensaver"; });

}  // namespace

// ---------------------------------------------------------------------------
// What the user sees: a picture with detail in it, and ripples that move.
namespace {}  // namespace

TEST_F(Shell, RainShowsAMovingPictureWithDetail) {
    auto saver = start({"/s"});
    ASSERT_TRUE(waitForTopLevel(d(), kTitle, kStartBound)) << saver->stderrText();
    // The first frame follows the background's upload; wait for a picture.
    std::vector<unsigned long> first;
    ASSERT_TRUE(waitUntil(
        [&] {
            first = sampleGrid(d());
            return distinctValues(first) > 100;  // of 576 samples: not flat, not black
        },
        kStartBound))
        << "distinct colours: " << distinctValues(first);
    struct timespec half {
        0, 500 * 1000 * 1000
    };
    nanosleep(&half, nullptr);
    const std::vector<unsigned long> second = sampleGrid(d());
    int changed = 0;
    for (std::size_t i = 0; i < first.size(); ++i) changed += first[i] != second[i];
    EXPECT_GT(changed, 10) << "of " << first.size() << " samples, 0.5 s apart";
    EXPECT_TRUE(saver->running());
    EXPECT_EQ(tool({"xdotool", "key", "a"}), 0);
    expectExitsWith0(*saver, kExitBound, "key press");
}

// ---------------------------------------------------------------------------
// Start-up: the program starts itself once more in place, its malloc asked
// for transparent huge pages (tunables are read only as a process starts);
// the user's own tunables stay, and their own choice of huge pages wins.
class HugePages : public Shell, public ::testing::WithParamInterface<std::pair<std::string, std::string>> {};

TEST_P(HugePages, TheSameProcessRunsWithTheTunable) {
#if defined(LUMERIDGE_SANITIZED_PROGRAM)
    GTEST_SKIP() << "the sanitizer's allocator replaces malloc's; the program does not restart";
#endif
    const std::string& given = GetParam().first;
    std::vector<std::string> env = childEnvironment(x_.name());
    env.erase(
        std::remove_if(env.begin(), env.end(), [](const std::string& v) { return v.rfind("GLIBC_TUNABLES=", 0) == 0; }),
        env.end());
    if (!given.empty()) env.push_back("GLIBC_TUNABLES=" + given);
    Process saver({lumeridgeExe(), "/s"}, env);
    ASSERT_TRUE(waitForTopLevel(d(), kTitle, kStartBound)) << saver.stderrText();
    // The window is the spawned process's: the restart kept its id. Its
    // environment as it started; glibc parses the tunables in place, ending
    // each at a NUL, so a ':' there may read as one.
    std::FILE* file = std::fopen(("/proc/" + std::to_string(saver.pid()) + "/environ").c_str(), "rb");
    ASSERT_NE(file, nullptr);
    std::string text;
    for (int c; (c = std::fgetc(file)) != EOF;) text.push_back(static_cast<char>(c));
    std::fclose(file);
    const std::string key = std::string(1, '\0') + "GLIBC_TUNABLES=";
    const std::size_t at = (std::string(1, '\0') + text).find(key);
    ASSERT_NE(at, std::string::npos) << "no GLIBC_TUNABLES";
    const std::string& expected = GetParam().second;
    std::string value = text.substr(at + key.size() - 1, expected.size() + 1);
    std::replace(value.begin(), value.end(), '\0', ':');
    EXPECT_EQ(value, expected + ":") << "(the entry's own NUL reads as the last ':')";
    EXPECT_EQ(tool({"xdotool", "key", "a"}), 0);
    expectExitsWith0(saver, kExitBound, "key press");
}

INSTANTIATE_TEST_SUITE_P(
    Tunables, HugePages,
    ::testing::Values(std::make_pair(std::string(), std::string("glibc.malloc.hugetlb=1")),
                      std::make_pair(std::string("glibc.malloc.arena_max=4"),
                                     std::string("glibc.malloc.arena_max=4:glibc.malloc.hugetlb=1")),
                      std::make_pair(std::string("glibc.malloc.hugetlb=0"), std::string("glibc.malloc.hugetlb=0"))),
    [](const auto& info) {
        return info.param.first.empty() ? "None" : info.index == 1 ? "OthersKept" : "OwnChoiceKept";
    });
