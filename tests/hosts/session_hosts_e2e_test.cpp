// mate-screensaver and xfce4-screensaver end to end: the real daemon on a
// private Xvfb and session bus, set to run Lumeridge alone, activated and
// deactivated with its own command. Both run only savers from their hack
// folders, so these run where the package is installed (a Debian root,
// tests/hosts/release_hosts.sh); a host that is not installed is skipped.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "tests/e2e/harness.h"

using namespace e2e;
namespace fs = std::filesystem;

namespace {

const std::string kHack = "/usr/libexec/xscreensaver/lumeridge";
const Seconds kBound(20);  // a daemon answering, a saver drawing (a loaded machine)

using Argv = std::vector<std::string>;

struct SessionHost {
    const char* name;
    Argv daemon;
    const char* command;          // --query, --activate, --deactivate
    const char* desktop;          // XDG_CURRENT_DESKTOP: the desktop file's OnlyShowIn
    const char* chooseLumeridge;  // shell commands: Lumeridge alone, no lock
    const char* preferences;      // the dialog that lists the savers and previews the chosen one
};

void PrintTo(const SessionHost& host, std::ostream* os) { *os << host.name; }

class SessionHostTest : public ::testing::TestWithParam<SessionHost> {
protected:
    void SetUp() override {
        const SessionHost& host = GetParam();
        if (access(host.daemon[0].c_str(), X_OK) != 0) GTEST_SKIP() << host.daemon[0] << " is not installed";
        if (access(kHack.c_str(), X_OK) != 0) GTEST_SKIP() << kHack << " is not installed";
        ASSERT_TRUE(x_.ok()) << "Xvfb did not start";
        char pattern[] = "/tmp/lumeridge-session-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        home_ = pattern;
        const std::string bus = "unix:path=" + home_ + "/bus";
        bus_ = std::make_unique<Process>(Argv{"/usr/bin/dbus-daemon", "--session", "--nofork", "--address=" + bus},
                                         childEnvironment(""));
        ASSERT_TRUE(waitUntil([&] { return fs::exists(home_ + "/bus"); }, Seconds(10))) << bus_->stderrText();
        env_ = childEnvironment(x_.name());
        env_.insert(env_.end(), {"HOME=" + home_, "DBUS_SESSION_BUS_ADDRESS=" + bus,
                                 std::string("XDG_CURRENT_DESKTOP=") + host.desktop});
        ASSERT_EQ(run({"/bin/sh", "-c", host.chooseLumeridge}), 0) << host.chooseLumeridge;
        daemon_ = std::make_unique<Process>(host.daemon, env_);
        ASSERT_TRUE(waitUntil([&] { return run({host.command, "--query"}) == 0; }, kBound)) << daemon_->stderrText();
    }
    void TearDown() override {
        daemon_.reset();
        bus_.reset();  // the settings services it started end with it
        std::error_code error;
        if (!home_.empty()) fs::remove_all(home_, error);
    }

    int run(const Argv& argv) {
        Process tool(argv, env_);
        return tool.wait(Seconds(10)).value_or(-1);
    }
    // The saver started by `parent`, waited for.
    pid_t saverOf(pid_t parent) {
        pid_t saver = 0;
        waitUntil([&] { return (saver = findProcess(kHack)) != 0 && parentOf(saver) == parent; }, kBound);
        return saver;
    }

    VirtualDisplay x_{960, 540};
    std::string home_;
    std::vector<std::string> env_;
    std::unique_ptr<Process> bus_, daemon_;
};

TEST_P(SessionHostTest, ActivateShowsTheRainAndDeactivateEndsItBySigterm) {
    const SessionHost& host = GetParam();
    const auto activated = std::chrono::steady_clock::now();
    ASSERT_EQ(run({host.command, "--activate"}), 0);
    const pid_t saver = saverOf(daemon_->pid());
    ASSERT_NE(saver, 0) << "no " << kHack << " started by " << host.name << "\n" << daemon_->stderrText();
    const PictureWatch picture = watchPicture(x_.connection(), activated, kBound);
    ASSERT_TRUE(picture.firstPicture) << "distinct colours: " << picture.distinct;
    std::printf("[ figure ] %s: activation to a rippled picture: %.3f s\n", host.name, picture.firstPicture->count());
    EXPECT_TRUE(picture.moved) << picture.changed << " samples changed";

    const StopResult stop = stopAndWatch(
        saver,
        [&] {
            EXPECT_EQ(run({host.command, "--deactivate"}), 0);
        },
        kBound);
    ASSERT_TRUE(stop.watched);
    ASSERT_TRUE(stop.code) << "still running after --deactivate";
    EXPECT_EQ(*stop.code, 128 + SIGTERM) << daemon_->stderrText();
    std::printf("[ figure ] %s: deactivation to the saver gone: %.3f s\n", host.name, stop.took.count());
}

// The preferences list the savers by their desktop files and preview the
// chosen one, "Lumeridge", in a window of the dialog; closing the dialog
// ends the preview: by the dialog's SIGTERM, or, when the dialog's windows
// go first, by the host window's end (exit code 0).
TEST_P(SessionHostTest, PreferencesPreviewLumeridgeAndEndItOnClose) {
    const SessionHost& host = GetParam();
    const auto opened = std::chrono::steady_clock::now();
    Process dialog({host.preferences}, env_);
    const pid_t preview = saverOf(dialog.pid());
    ASSERT_NE(preview, 0) << "no preview of " << kHack << "\n" << dialog.stderrText();
    const PictureWatch picture = watchPicture(x_.connection(), opened, kBound);
    EXPECT_TRUE(picture.moved) << picture.changed << " samples changed";
    std::printf("[ figure ] %s: preview picture after %.3f s\n", host.preferences,
                picture.firstPicture.value_or(Seconds(-1)).count());

    const std::optional<WindowInfo> window = waitForTopLevel(x_.connection(), "Screensaver Preferences", kBound);
    ASSERT_TRUE(window);
    const StopResult stop = stopAndWatch(
        preview, [&] { sendDeleteWindow(x_.connection(), window->id); }, kBound);
    ASSERT_TRUE(stop.code) << "preview still running after the dialog closed";
    EXPECT_TRUE(*stop.code == 128 + SIGTERM || *stop.code == 0) << *stop.code;
    std::printf("[ figure ] %s: closed to the preview gone: %.3f s\n", host.preferences, stop.took.count());
}

INSTANTIATE_TEST_SUITE_P(
    Hosts, SessionHostTest,
    ::testing::Values(
        // mate names a saver's theme "screensavers-" + its desktop file's name.
        SessionHost{"mate-screensaver",
                    {"/usr/bin/mate-screensaver", "--no-daemon", "--debug"},
                    "/usr/bin/mate-screensaver-command",
                    "MATE",
                    "gsettings set org.mate.screensaver mode single && gsettings set org.mate.screensaver themes "
                    "\"['screensavers-lumeridge']\" && gsettings set org.mate.screensaver lock-enabled false",
                    "/usr/bin/mate-screensaver-preferences"},
        // xfce4-screensaver 4.18, mate's fork, keeps its settings in xfconf
        // (mode 2: a single saver).
        SessionHost{"xfce4-screensaver",
                    {"/usr/bin/xfce4-screensaver", "--debug"},
                    "/usr/bin/xfce4-screensaver-command",
                    "XFCE",
                    "q='xfconf-query -c xfce4-screensaver -n -p'; $q /saver/mode -t int -s 2 && "
                    "$q /saver/themes/list -a -t string -s screensavers-lumeridge && $q /lock/enabled -t bool -s false",
                    "/usr/bin/xfce4-screensaver-preferences"}),
    [](const auto& info) { return std::string(info.param.desktop); });

}  // namespace
