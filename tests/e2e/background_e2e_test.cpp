// The background photograph changes from run to run: it is picked from the
// start-up delay, so a handful of starts of the real lumeridge show more
// than one of the twenty backgrounds.
#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <cmath>
#include <iostream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "tests/e2e/harness.h"
#include "tests/support/jpeg_writer.h"
#include "tests/support/screen_capture.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <unistd.h>

using namespace e2e;

namespace {

const Seconds kStartBound(20);
const Seconds kExitBound(5);
constexpr int kMaxStarts = 6;

// The screen as 8 x 6 blocks, each the mean red, green and blue of its
// pixels: they follow the photograph more than the ripples, which shift its
// pixels a little and add highlights.
std::vector<double> blockMeans(Display* display) { return captureRoot(display).blockMeans(8, 6); }

// Mean absolute difference of two block-mean captures, 0 to 255.
double difference(const std::vector<double>& a, const std::vector<double>& b) {
    if (a.size() != b.size() || a.empty()) return 255.0;
    double sum = 0.0;
    for (std::size_t k = 0; k < a.size(); ++k) sum += std::fabs(a[k] - b[k]);
    return sum / static_cast<double>(a.size());
}

// A photograph is on screen: not black, not flat.
bool showsAPicture(const std::vector<double>& means) {
    if (means.empty()) return false;
    const auto [low, high] = std::minmax_element(means.begin(), means.end());
    return *high > 16.0 && *high - *low > 16.0;
}

}  // namespace

TEST(Backgrounds, SeveralStartsShowMoreThanOneBackground) {
    VirtualDisplay x;
    ASSERT_TRUE(x.ok()) << "Xvfb did not start";
    // Each start is captured when its first picture appears, so the ripples
    // (a function of the time since start-up) are at about the same stage.
    // Measured here: one background in two runs 1.1 apart, one run over 2.5 s
    // of rain at most 6.7, the two closest of the twenty photographs 10.8,
    // different backgrounds on screen 20 to 70.
    constexpr double kSameBackground = 6.0;
    std::vector<std::vector<double>> seen;
    std::ostringstream log;
    for (int start = 1; start <= kMaxStarts && seen.size() < 2; ++start) {
        Process saver({lumeridgeExe(), "/s"}, childEnvironment(x.name()));
        ASSERT_TRUE(saver.started());
        ASSERT_TRUE(waitForTopLevel(x.connection(), "Lumeridge", kStartBound)) << saver.stderrText();
        std::vector<double> first;
        ASSERT_TRUE(waitUntil([&] { return showsAPicture(first = blockMeans(x.connection())); }, kStartBound))
            << "start " << start << ": no picture";

        double nearest = 255.0;
        for (const auto& other : seen) nearest = std::min(nearest, difference(first, other));
        log << "start " << start << ": nearest earlier background " << nearest << "\n";
        if (nearest > kSameBackground) seen.push_back(first);

        saver.signal(SIGTERM);
        const std::optional<int> code = saver.wait(kExitBound);
        ASSERT_TRUE(code.has_value()) << "start " << start << ": still running after SIGTERM";
        EXPECT_EQ(*code, 0);
        // The next start's picture must not be this run's last frame.
        ASSERT_TRUE(waitUntil([&] { return countViewableTopLevels(x.connection(), "Lumeridge") == 0; }, kExitBound));
    }
    std::cout << log.str();
    EXPECT_EQ(seen.size(), 2u) << "one background in " << kMaxStarts << " starts (1 in 20^5 by chance)\n" << log.str();
}

// --photos: the screen shows the folder's photograph under the ripples (a
// magenta and purple checkerboard, unlike any built-in background: no
// green anywhere), with /s and in host mode, and in host mode also from
// XScreenSaver's image folder; a folder that does not exist still gives a
// picture (a built-in background) and one line on stderr.
TEST(Backgrounds, PhotosOptionShowsTheFoldersPhotograph) {
    namespace fs = std::filesystem;
    const fs::path folder = fs::temp_directory_path() / ("lumeridge-e2e-photos-" + std::to_string(::getpid()));
    fs::create_directories(folder / "sub");
    constexpr int kSide = 600;
    std::vector<unsigned char> rgb(kSide * kSide * 3);
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x) {
            const bool light = ((x / 50) + (y / 50)) % 2 == 0;
            unsigned char* p = &rgb[(static_cast<std::size_t>(y) * kSide + x) * 3];
            p[0] = p[2] = light ? 240 : 120;
            p[1] = 0;
        }
    }
    ASSERT_TRUE(writeJpeg((folder / "sub" / "checker.jpg").string(), kSide, kSide, rgb.data()));

    VirtualDisplay x;
    ASSERT_TRUE(x.ok()) << "Xvfb did not start";
    // Host mode into the root window, once with --photos and once with the
    // image folder of an ~/.xscreensaver (XSCREENSAVER_WINDOW set, no option).
    const fs::path home = folder / "home";
    fs::create_directories(home);
    std::ofstream(home / ".xscreensaver") << "mode:\trandom\nimageDirectory:\t" << (folder / "sub").string() << "\n";
    char rootId[32];
    std::snprintf(rootId, sizeof rootId, "0x%lx", static_cast<unsigned long>(DefaultRootWindow(x.connection())));
    struct Case {
        std::vector<std::string> arguments;
        std::vector<std::string> environment;
        bool photo;
    };
    const std::string exe = lumeridgeExe();
    const Case cases[] = {
        // Drawing into the root window leaves its last frame there: each host
        // run follows a black screen (at the start, or after a window closed).
        {{exe}, {"HOME=" + home.string(), std::string("XSCREENSAVER_WINDOW=") + rootId}, true},
        {{exe, "/s", "--photos", folder.string()}, {}, true},
        {{exe, "--root", "--photos", folder.string()}, {}, true},
        {{exe, "/s", "--photos", (folder / "missing").string()}, {}, false},
    };
    for (const Case& c : cases) {
        const fs::path shown = c.photo ? folder : folder / "missing";
        std::string trace;
        for (const std::string& a : c.arguments) trace += a + " ";
        for (const std::string& e : c.environment) trace += e + " ";
        SCOPED_TRACE(trace);
        std::vector<std::string> environment = childEnvironment(x.name());
        for (const std::string& e : c.environment) {
            const std::string name = e.substr(0, e.find('=') + 1);
            environment.erase(std::remove_if(environment.begin(), environment.end(),
                                             [&](const std::string& v) { return v.rfind(name, 0) == 0; }),
                              environment.end());
            environment.push_back(e);
        }
        Process saver(c.arguments, environment);
        ASSERT_TRUE(saver.started());
        if (c.arguments.size() > 1 && c.arguments[1] == "/s") {
            ASSERT_TRUE(waitForTopLevel(x.connection(), "Lumeridge", kStartBound)) << saver.stderrText();
        }
        std::vector<double> means;
        ASSERT_TRUE(waitUntil([&] { return showsAPicture(means = blockMeans(x.connection())); }, kStartBound));
        double maxGreen = 0.0, minRed = 255.0, minBlue = 255.0;
        for (std::size_t k = 0; k + 2 < means.size(); k += 3) {
            minRed = std::min(minRed, means[k]);
            maxGreen = std::max(maxGreen, means[k + 1]);
            minBlue = std::min(minBlue, means[k + 2]);
        }
        saver.signal(SIGTERM);
        ASSERT_TRUE(saver.wait(kExitBound).has_value());
        const std::string said = saver.stderrText();
        if (c.photo) {
            // The highlights add some of every colour; the photograph none.
            EXPECT_LT(maxGreen, 60.0);
            EXPECT_GT(minRed, 90.0);
            EXPECT_GT(minBlue, 90.0);
            EXPECT_EQ(said.find("built-in"), std::string::npos) << said;
        } else {
            EXPECT_NE(said.find("no photographs in " + shown.string()), std::string::npos) << said;
        }
        ASSERT_TRUE(waitUntil([&] { return countViewableTopLevels(x.connection(), "Lumeridge") == 0; }, kExitBound));
    }
    fs::remove_all(folder);
}
