// XScreenSaver 6 end to end: the real daemon, run as an unprivileged user
// (it launches no hacks as root) on a private Xvfb, with a programs list
// that holds only Lumeridge from the install tree.
#include <gtest/gtest.h>
#include <pwd.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/e2e/harness.h"

using namespace e2e;
namespace fs = std::filesystem;

namespace {

// The program as the hosts start it: the installed package's (in a Debian
// root the package's tests name it by $LUMERIDGE_UNDER_TEST), else the test
// install tree's.
const std::string kHack = std::getenv("LUMERIDGE_UNDER_TEST")
                              ? fs::canonical(std::getenv("LUMERIDGE_UNDER_TEST")).string()
                              : std::string(LUMERIDGE_INSTALL_DIR) + "/libexec/xscreensaver/lumeridge";
constexpr const char* kUser = "lumeridge-test";

class XScreenSaver : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(x_.ok()) << "Xvfb did not start";
        ASSERT_TRUE(fs::exists(kHack)) << kHack << " is not installed (test fixture hosts.install)";
        char pattern[] = "/tmp/lumeridge-xss-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        home_ = pattern;
        chmod(home_.c_str(), 0755);
        std::ofstream(home_ + "/.xscreensaver") << "mode:\t\tone\nselected:\t0\nlock:\t\tFalse\nsplash:\t\tFalse\n"
                                                   "fade:\t\tFalse\nunfade:\t\tFalse\ntimeout:\t1:00:00\n"
                                                   "programs:\t\t\\\n  GL: \"Lumeridge\" "
                                                << kHack << " --root \\n\\\n\n";
        // As root: the daemon runs as an unprivileged user of its own.
        prefix_ = {"/usr/bin/env"};
        if (geteuid() == 0) {
            if (getpwnam(kUser) == nullptr) {
                runTool({"/usr/sbin/useradd", "--system", "--no-create-home", "--shell", "/usr/sbin/nologin", kUser},
                        "");
            }
            const passwd* user = getpwnam(kUser);
            ASSERT_NE(user, nullptr) << "could not create the user " << kUser;
            chown(home_.c_str(), user->pw_uid, user->pw_gid);
            chown((home_ + "/.xscreensaver").c_str(), user->pw_uid, user->pw_gid);
            prefix_ = {"/usr/bin/setpriv", "--reuid=" + std::to_string(user->pw_uid),
                       "--regid=" + std::to_string(user->pw_gid), "--clear-groups", "/usr/bin/env"};
        }
        prefix_.insert(prefix_.end(), {"-i", "HOME=" + home_, "DISPLAY=" + x_.name(), "PATH=/usr/bin:/bin"});
    }
    void TearDown() override {
        if (daemon_) command("-exit");
        std::error_code error;
        fs::remove_all(home_, error);
    }

    std::vector<std::string> as(std::vector<std::string> argv) {
        argv.insert(argv.begin(), prefix_.begin(), prefix_.end());
        return argv;
    }
    int command(const std::string& what) { return runTool(as({"/usr/bin/xscreensaver-command", what}), ""); }

    // A quarter of a 1080p screen: the frame that a stop waits for stays
    // short on a loaded machine, and the protocol is the same at any size.
    VirtualDisplay x_{960, 540};
    std::string home_;
    std::vector<std::string> prefix_;
    std::unique_ptr<Process> daemon_;
};

TEST_F(XScreenSaver, ActivateShowsTheRainAndDeactivateStopsItNormally) {
    daemon_ = std::make_unique<Process>(as({"/usr/bin/xscreensaver", "-no-splash", "-verbose"}), childEnvironment(""));
    ASSERT_TRUE(waitUntil([&] { return command("-time") == 0; }, Seconds(15))) << daemon_->stderrText();

    const auto activated = std::chrono::steady_clock::now();
    ASSERT_EQ(command("-activate"), 0);
    const PictureWatch picture = watchPicture(x_.connection(), activated, Seconds(20));
    ASSERT_TRUE(picture.firstPicture) << "distinct colours: " << picture.distinct << "\n" << daemon_->stderrText();
    std::printf("[ figure ] XScreenSaver: activation to a rippled picture: %.3f s\n", picture.firstPicture->count());
    EXPECT_TRUE(picture.moved) << picture.changed << " samples changed";

    const pid_t hack = findProcess(kHack);
    ASSERT_NE(hack, 0) << "no " << kHack << " process";
    const StopResult stop = stopAndWatch(
        hack, [&] { EXPECT_EQ(command("-deactivate"), 0); }, Seconds(2));
    ASSERT_TRUE(stop.watched);
    ASSERT_TRUE(stop.code) << "still running after -deactivate";
    EXPECT_EQ(*stop.code, 128 + SIGTERM);
    std::printf("[ figure ] XScreenSaver: deactivation to the process gone: %.3f s\n", stop.took.count());

    const std::string log = daemon_->stderrText();
    EXPECT_NE(log.find("killing pid " + std::to_string(hack)), std::string::npos) << log;
    EXPECT_EQ(log.find("crashed"), std::string::npos) << log;
    EXPECT_EQ(log.find("is not installed"), std::string::npos) << log;
}

}  // namespace
