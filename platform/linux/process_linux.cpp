// The process on Linux: the single-instance marker, the version, the stop
// signals (SIGTERM, SIGINT), the executable's path and the URL opener.
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/linux/x11_support.h"
#include "platform/platform.h"

extern char** environ;

namespace platform {

// The marker is an abstract-namespace Unix socket, scoped per user: the
// kernel removes it when the process ends, however it ends.
bool createNamedEvent(const char* name) {
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return true;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string id = std::string(name) + "." + std::to_string(getuid());
    const std::size_t n = std::min(id.size(), sizeof(address.sun_path) - 2);
    std::memcpy(address.sun_path + 1, id.data(), n);  // sun_path[0] == 0: abstract
    const socklen_t length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + n);
    if (bind(fd, reinterpret_cast<sockaddr*>(&address), length) != 0) {
        const bool exists = (errno == EADDRINUSE);
        close(fd);
        return !exists;
    }
    return true;  // kept open for the rest of the process
}

// ---------------------------------------------------------------------------
std::uint32_t getVersion() { return 10u; }  // major 10, minor 0

// ---------------------------------------------------------------------------
namespace {
volatile std::sig_atomic_t stopSignal = 0;  // the signal that asked to stop
volatile std::sig_atomic_t endAtOnce = 0;

void restoreDefaultAction(int number) {
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    sigaction(number, &action, nullptr);
}

void onStopSignal(int number) {
    if (endAtOnce) {
        // Blocked while this handler runs: delivered, now with the default
        // action, as soon as it returns.
        restoreDefaultAction(number);
        raise(number);
        return;
    }
    stopSignal = number;
}
}  // namespace

void installStopHandlers() {
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    // Interrupted system calls resume (Xlib retries reads and writes
    // anyway); the flag is looked at once per frame.
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    x11::installErrorHandlers();
}

bool stopRequested() {
    x11::installErrorHandlers();  // once per frame: see installErrorHandlers
    return stopSignal != 0;
}

void stopSignalsEndAtOnce() {
    endAtOnce = 1;
    if (stopSignal != 0) endByStopSignal();  // one came before
}

void stopSignalsEndAfterTheFrame() { endAtOnce = 0; }

void endByStopSignal() {
    const int number = stopSignal;
    if (number == 0) return;
    std::fflush(stdout);
    std::fflush(stderr);
    restoreDefaultAction(number);
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, number);
    sigprocmask(SIG_UNBLOCK, &set, nullptr);
    raise(number);
    _exit(128 + number);  // not reached: the default action ends the process
}

void fineTimedWaits() {}

const char* executablePath() {
    static const std::string path = [] {
        char buffer[4096];
        const ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
        return n > 0 ? std::string(buffer, static_cast<std::size_t>(n)) : std::string();
    }();
    return path.c_str();
}

// ---------------------------------------------------------------------------
void openUrl(const char* url) {
    char program[] = "xdg-open";
    char* argv[] = {program, const_cast<char*>(url), nullptr};
    // xdg-open may run the browser in the foreground and stay until it
    // ends. An intermediate child starts it and leaves at once, so the
    // caller only waits for that child and the opener, orphaned, is reaped
    // by init: no zombie, and the caller's window keeps running.
    const pid_t child = fork();
    if (child == 0) {
        pid_t opener = 0;
        posix_spawnp(&opener, program, nullptr, nullptr, argv, environ);
        _exit(0);
    }
    if (child > 0) {
        int status = 0;
        while (waitpid(child, &status, 0) < 0 && errno == EINTR) {}
    }
}

}  // namespace platform
