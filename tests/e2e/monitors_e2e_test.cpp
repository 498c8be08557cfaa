// Full screen on two monitors (Xorg's dummy driver, whose outputs GLFW sees):
// the main window on the primary monitor as on one, the rain on the other
// monitor too, input there ending the saver as on the primary, and monitors
// that come and go while it runs.
#include <gtest/gtest.h>
#include <signal.h>

#include <cmath>
#include <cstdio>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include "tests/e2e/harness.h"

using namespace e2e;

namespace {

const Seconds kStartBound(30);  // both windows drawn by llvmpipe, ASan builds, a loaded machine
const Seconds kExitBound(5);
const std::string kTitle = "Lumeridge";

// The primary monitor right of the other one and lower: the other lies left
// of it and reaches above it.
const WindowInfo kPrimary{0, 1280, 300, 1920, 1080};
const WindowInfo kOther{0, 0, 0, 1280, 1024};

bool sameArea(const WindowInfo& a, const WindowInfo& b) {
    return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
}

std::vector<WindowInfo> saverWindows(Display* display) { return viewableTopLevels(display, kTitle); }

// The saver's window covering exactly `area`, waited for.
std::optional<WindowInfo> waitForWindowAt(Display* display, const WindowInfo& area, Seconds bound) {
    std::optional<WindowInfo> found;
    waitUntil(
        [&] {
            for (const WindowInfo& w : saverWindows(display))
                if (sameArea(w, area)) found = w;
            return found.has_value();
        },
        bound);
    return found;
}

// Mean colours of 8 blocks side by side over a band of the screen, from
// the sample grid's 32 columns.
std::vector<double> blockMeans(Display* display, const WindowInfo& band) {
    const std::vector<unsigned long> samples = sampleGrid(display, band);
    std::vector<double> means(8 * 3, 0.0);
    for (std::size_t i = 0; i < samples.size(); ++i)
        for (int c = 0; c < 3; ++c) means[(i % 32) / 4 * 3 + c] += (samples[i] >> (16 - 8 * c)) & 0xFF;
    for (double& m : means) m /= static_cast<double>(samples.size() / 8);
    return means;
}

double distance(const std::vector<double>& a, const std::vector<double>& b) {
    double sum = 0;
    for (std::size_t i = 0; i < a.size(); ++i) sum += std::fabs(a[i] - b[i]);
    return sum / static_cast<double>(a.size());
}

// A picture with detail whose ripples move: samples 0.5 s apart differ.
void expectMovingPicture(Display* display, const WindowInfo& area, const char* what) {
    std::vector<unsigned long> first;
    ASSERT_TRUE(waitUntil(
        [&] {
            first = sampleGrid(display, area);
            return distinctValues(first) > 100;
        },
        kStartBound))
        << what << ": distinct colours " << distinctValues(first);
    int changed = 0;
    waitUntil(
        [&] {
            const std::vector<unsigned long> later = sampleGrid(display, area);
            changed = 0;
            for (std::size_t i = 0; i < first.size(); ++i) changed += first[i] != later[i];
            return changed > 10;
        },
        Seconds(10));
    EXPECT_GT(changed, 10) << what << ": the picture does not move";
}

class TwoMonitors : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(x_.ok()) << "Xorg with the dummy driver did not start (it needs root and "
                                "xserver-xorg-video-dummy)";
        // xrandr moves the whole layout so that its corner stays at 0,0: the
        // monitor there comes first.
        ASSERT_TRUE(x_.show(1, kOther.x, kOther.y, kOther.width, kOther.height));
        ASSERT_TRUE(x_.show(0, kPrimary.x, kPrimary.y, kPrimary.width, kPrimary.height, true));
    }

    // `/s`, once both monitors' windows are there.
    std::unique_ptr<Process> startSaver() {
        auto p = std::make_unique<Process>(std::vector<std::string>{lumeridgeExe(), "/s"}, childEnvironment(x_.name()));
        EXPECT_TRUE(p->started());
        main_ = waitForWindowAt(d(), kPrimary, kStartBound);
        other_ = waitForWindowAt(d(), kOther, kStartBound);
        EXPECT_TRUE(main_ && other_) << p->stderrText();
        return p;
    }

    int tool(const std::vector<std::string>& argv) { return runTool(argv, x_.name()); }

    void expectExitsWith0(Process& p, const char* what) {
        const std::optional<int> code = p.wait(kExitBound);
        ASSERT_TRUE(code.has_value()) << what << ": still running\nstderr: " << p.stderrText();
        EXPECT_EQ(*code, 0) << what << "\nstderr: " << p.stderrText();
    }

    Display* d() { return x_.connection(); }
    MonitorDisplay x_;
    std::optional<WindowInfo> main_, other_;
};

// The rain on both monitors, each window exactly on its monitor; motion over
// the other monitor and the focus moving there leave it running; a key there
// ends it with 0.
TEST_F(TwoMonitors, RainOnEveryMonitorAndAKeyOnTheOtherEndsIt) {
    auto saver = startSaver();
    ASSERT_TRUE(main_ && other_);
    EXPECT_EQ(saverWindows(d()).size(), 2u);

    expectMovingPicture(d(), kPrimary, "primary");
    expectMovingPicture(d(), kOther, "other monitor");
    // Both show the whole photograph across their width, from its bottom
    // edge up: their lowest quarter-width bands show the same strip of it.
    auto lowestBand = [](const WindowInfo& w) {
        return WindowInfo{0, w.x, w.y + w.height - w.width / 4, w.width, w.width / 4};
    };
    const std::vector<double> mainBand = blockMeans(d(), lowestBand(kPrimary));
    const std::vector<double> otherBand = blockMeans(d(), lowestBand(kOther));
    std::printf("band distance: %.1f\n", distance(mainBand, otherBand));
    EXPECT_LT(distance(mainBand, otherBand), 12.0) << "the other monitor does not show the primary's background";

    EXPECT_EQ(tool({"xdotool", "mousemove", "--sync", "300", "400"}), 0);
    EXPECT_EQ(tool({"xdotool", "mousemove", "--sync", "900", "700"}), 0);
    EXPECT_EQ(tool({"xdotool", "windowfocus", "--sync", std::to_string(other_->id)}), 0);
    EXPECT_FALSE(saver->wait(Seconds(1)).has_value()) << "ended on motion or on the focus moving to its own window";

    EXPECT_EQ(tool({"xdotool", "key", "a"}), 0);
    expectExitsWith0(*saver, "a key on the other monitor");
}

TEST_F(TwoMonitors, AButtonOnTheOtherMonitorEndsIt) {
    auto saver = startSaver();
    ASSERT_TRUE(main_ && other_);
    EXPECT_EQ(tool({"xdotool", "mousemove", "--sync", "640", "500"}), 0);
    EXPECT_FALSE(saver->wait(Seconds(1)).has_value()) << "ended on motion";
    EXPECT_EQ(tool({"xdotool", "click", "1"}), 0);
    expectExitsWith0(*saver, "a button on the other monitor");
}

// A monitor unplugged while the saver runs is released, and the main window
// follows its monitor to where the new layout puts it; a monitor plugged in
// is covered, with the rain.
TEST_F(TwoMonitors, MonitorsConnectedOrDisconnectedWhileRunning) {
    auto saver = startSaver();
    ASSERT_TRUE(main_ && other_);

    ASSERT_TRUE(x_.turnOff(1));  // the primary's monitor moves to 0,0
    const WindowInfo moved{0, 0, 0, kPrimary.width, kPrimary.height};
    EXPECT_TRUE(waitUntil([&] { return saverWindows(d()).size() == 1; }, kStartBound))
        << "the window of the unplugged monitor stays";
    EXPECT_TRUE(waitForWindowAt(d(), moved, kStartBound)) << "the main window did not follow its monitor";
    ASSERT_TRUE(saver->running()) << saver->stderrText();

    const WindowInfo added{0, kPrimary.width, 0, 1024, 768};
    ASSERT_TRUE(x_.show(2, added.x, added.y, added.width, added.height));
    EXPECT_TRUE(waitForWindowAt(d(), added, kStartBound)) << "the new monitor is not covered";
    expectMovingPicture(d(), added, "new monitor");
    EXPECT_TRUE(waitForWindowAt(d(), moved, Seconds(0))) << "the main window moved";

    saver->signal(SIGTERM);
    expectExitsWith0(*saver, "SIGTERM");
}

}  // namespace
