// The Linux message box: a blocking X11 dialog titled with the caption that
// a user closes with Return, Escape, a click on OK or the window manager's
// close; always "caption: text" on stderr; stderr alone without a display.
// gtest before Xlib: Xlib defines macros (None, Bool) that gtest spells.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <signal.h>

#include <memory>
#include <string>

#include "tests/e2e/harness.h"

using namespace e2e;

namespace {

const Seconds kShowBound(20);
const Seconds kExitBound(5);
const std::string kCaption = "Probe caption";
const std::string kText = "First line of the message\nsecond line, a little longer than the first";

enum class Closer { Return, Escape, ClickOk, WindowManagerClose };

class MessageBox : public ::testing::TestWithParam<Closer> {
protected:
    void SetUp() override { ASSERT_TRUE(x_.ok()); }
    std::unique_ptr<Process> show(const std::string& display, const char* icon = "information") {
        return std::make_unique<Process>(std::vector<std::string>{MESSAGE_BOX_PROBE_EXE, kCaption, kText, icon},
                                         childEnvironment(display));
    }
    int tool(const std::vector<std::string>& argv) { return runTool(argv, x_.name()); }
    Display* d() { return x_.connection(); }
    VirtualDisplay x_;
};

TEST_P(MessageBox, ClosesLikeAUserAndReturns) {
    auto box = show(x_.name(), GetParam() == Closer::ClickOk ? "exclamation" : "information");
    const std::optional<WindowInfo> window = waitForTopLevel(d(), kCaption, kShowBound);
    ASSERT_TRUE(window) << box->stderrText();
    // Shown, blocking, with the text already on stderr; two lines of text and
    // the button band make it taller than one line would.
    EXPECT_TRUE(box->running());
    EXPECT_EQ(box->stderrText(), kCaption + ": " + kText + "\n");
    EXPECT_GT(window->height, 100);
    EXPECT_GT(window->width, 250);
    // The box takes the keyboard (there is no window manager to give it).
    ASSERT_TRUE(waitUntil(
        [&] {
            Window focus = 0;
            int revert = 0;
            XGetInputFocus(d(), &focus, &revert);
            return focus == window->id;
        },
        kShowBound));

    switch (GetParam()) {
        case Closer::Return: EXPECT_EQ(tool({"xdotool", "key", "Return"}), 0); break;
        case Closer::Escape: EXPECT_EQ(tool({"xdotool", "key", "Escape"}), 0); break;
        case Closer::ClickOk: {
            // A click beside the button does nothing; one on it closes the box.
            EXPECT_EQ(tool({"xdotool", "mousemove", "--sync", std::to_string(window->x + 30),
                            std::to_string(window->y + window->height - 20), "click", "1"}),
                      0);
            EXPECT_FALSE(box->wait(Seconds(0.5)).has_value()) << "closed by a click beside OK";
            const int okX = window->x + window->width - 10 - 75 / 2;
            const int okY = window->y + window->height - 21;
            EXPECT_EQ(tool({"xdotool", "mousemove", "--sync", std::to_string(okX), std::to_string(okY), "click", "1"}),
                      0);
            break;
        }
        case Closer::WindowManagerClose: sendDeleteWindow(d(), window->id); break;
    }
    const std::optional<int> code = box->wait(kExitBound);
    ASSERT_TRUE(code.has_value()) << "the box did not close";
    EXPECT_EQ(*code, 0);
    EXPECT_EQ(box->stdoutText(), "returned\n");
    EXPECT_EQ(countViewableTopLevels(d(), kCaption), 0);
}

INSTANTIATE_TEST_SUITE_P(Closers, MessageBox,
                         ::testing::Values(Closer::Return, Closer::Escape, Closer::ClickOk, Closer::WindowManagerClose),
                         [](const auto& info) {
                             switch (info.param) {
                                 case Closer::Return: return "Return";
                                 case Closer::Escape: return "Escape";
                                 case Closer::ClickOk: return "ClickOk";
                                 default: return "WindowManagerClose";
                             }
                         });

TEST(MessageBoxWithoutDisplay, WritesStderrAndReturnsAtOnce) {
    for (const std::string display : {"", ":999"}) {
        Process box({MESSAGE_BOX_PROBE_EXE, kCaption, kText}, childEnvironment(display));
        const std::optional<int> code = box.wait(Seconds(3));
        ASSERT_TRUE(code.has_value()) << "DISPLAY=" << display;
        EXPECT_EQ(*code, 0);
        EXPECT_EQ(box.stderrText(), kCaption + ": " + kText + "\n");
        EXPECT_EQ(box.stdoutText(), "returned\n");
    }
}

// Two monitors side by side: the box is centred on the primary one.
TEST(MessageBoxPlacement, CentredOnThePrimaryMonitor) {
    VirtualDisplay x(3200, 1080);
    ASSERT_TRUE(x.ok());
    ASSERT_TRUE(splitIntoTwoMonitors(x.name()));
    Process box({MESSAGE_BOX_PROBE_EXE, kCaption, kText}, childEnvironment(x.name()));
    const std::optional<WindowInfo> w = waitForTopLevel(x.connection(), kCaption, kShowBound);
    ASSERT_TRUE(w) << box.stderrText();
    EXPECT_NEAR(w->x + w->width / 2.0, 1280 + 960, 1.0);
    EXPECT_NEAR(w->y + w->height / 2.0, 540, 1.0);
    box.signal(SIGTERM);
    EXPECT_EQ(box.wait(kExitBound), 0);
}

// A box the server refuses still leaves the text on stderr and returns,
// instead of waiting for a click on a window that does not exist.
TEST(MessageBoxRefused, ReturnsWithTheTextOnStderr) {
    VirtualDisplay x;
    ASSERT_TRUE(x.ok());
    Process box({MESSAGE_BOX_PROBE_EXE, kCaption, kText}, refusingFirstWindow(x.name()));
    const std::optional<int> code = box.wait(kExitBound);
    ASSERT_TRUE(code.has_value()) << "waits for a box that is not there";
    EXPECT_EQ(*code, 0);
    EXPECT_EQ(box.stderrText(), kCaption + ": " + kText + "\n");
    EXPECT_EQ(box.stdoutText(), "returned\n");
}

TEST(MessageBoxStop, StopSignalGivesUpTheBox) {
    VirtualDisplay x;
    ASSERT_TRUE(x.ok());
    Process box({MESSAGE_BOX_PROBE_EXE, kCaption, std::string(20000, 'w') + "\n\xff\xfe broken UTF-8"},
                childEnvironment(x.name()));
    const std::optional<WindowInfo> window = waitForTopLevel(x.connection(), kCaption, kShowBound);
    ASSERT_TRUE(window);
    EXPECT_LE(window->width, 700) << "long text is wrapped";
    box.signal(SIGTERM);
    const std::optional<int> code = box.wait(kExitBound);
    ASSERT_TRUE(code.has_value());
    EXPECT_EQ(*code, 0);
}

}  // namespace
