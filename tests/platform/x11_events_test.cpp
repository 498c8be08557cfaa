// The event wait of the back end's own windows (message box, About window)
// must heed a stop request even when what made the connection readable was
// no event: an error, which XNextEvent would read and then block for an
// event that never comes.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "platform/linux/x11_text.h"
#include "platform/platform.h"
#include "tests/support/xvfb_server.h"

namespace {

using namespace std::chrono_literals;

// The exit status of `child` within `timeout`, or -1 (then it is killed).
int waitFor(pid_t child, std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    int status = 0;
    while (std::chrono::steady_clock::now() < end) {
        if (waitpid(child, &status, WNOHANG) == child) return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
        std::this_thread::sleep_for(20ms);
    }
    kill(child, SIGKILL);
    waitpid(child, &status, 0);
    return -1;
}

TEST(X11Events, StopRequestEndsTheWaitWhenAnErrorArrivesDuringIt) {
    XvfbServer server(320, 240);
    ASSERT_TRUE(server.running());
    Display* test = XOpenDisplay(server.display().c_str());
    ASSERT_NE(test, nullptr);
    int ready[2], go[2];
    ASSERT_EQ(pipe(ready), 0);
    ASSERT_EQ(pipe(go), 0);

    const pid_t child = fork();
    if (child == 0) {
        platform::installStopHandlers();
        Display* d = XOpenDisplay(server.display().c_str());
        char byte = 1;
        if (d == nullptr || write(ready[1], &byte, 1) != 1 || read(go[0], &byte, 1) != 1) _exit(3);
        // The server is grabbed by the test: this request's error comes
        // only once the wait has begun.
        XMapWindow(d, 0x7FFFFFF0);
        XFlush(d);
        platform::x11::runEvents(d, 50, [](const XEvent&) { return true; });
        _exit(0);
    }
    char byte = 0;
    ASSERT_EQ(read(ready[0], &byte, 1), 1);
    XGrabServer(test);
    XSync(test, False);
    ASSERT_EQ(write(go[1], &byte, 1), 1);
    std::this_thread::sleep_for(200ms);
    XUngrabServer(test);
    XSync(test, False);
    std::this_thread::sleep_for(200ms);
    kill(child, SIGTERM);
    EXPECT_EQ(waitFor(child, 5000ms), 0) << "the wait did not heed SIGTERM";
    XCloseDisplay(test);
}

}  // namespace
