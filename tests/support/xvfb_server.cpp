#include "tests/support/xvfb_server.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <vector>
#include <unistd.h>

XvfbServer::XvfbServer(int width, int height, double timeoutSeconds) {
    const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
    start({"Xvfb", "-screen", "0", screen, "-nolisten", "tcp", "-br", "-noreset"}, timeoutSeconds);
}

XvfbServer::XvfbServer(const std::vector<std::string>& command, double timeoutSeconds) {
    start(command, timeoutSeconds);
}

void XvfbServer::start(std::vector<std::string> command, double timeoutSeconds) {
    int fds[2];
    if (pipe(fds) != 0) return;
    command.push_back("-displayfd");
    command.push_back(std::to_string(fds[1]));
    std::vector<char*> argv;
    for (std::string& word : command) argv.push_back(&word[0]);
    argv.push_back(nullptr);
    pid_ = fork();
    if (pid_ == 0) {
        close(fds[0]);
        const int devnull = open("/dev/null", O_WRONLY);
        if (devnull >= 0) {
            dup2(devnull, 1);
            dup2(devnull, 2);
        }
        execvp(argv[0], argv.data());
        _exit(127);
    }
    close(fds[1]);
    if (pid_ < 0) {
        close(fds[0]);
        return;
    }
    std::string number;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(timeoutSeconds);
    while (std::chrono::steady_clock::now() < deadline) {
        pollfd p{fds[0], POLLIN, 0};
        if (poll(&p, 1, 100) <= 0) continue;
        char c = 0;
        const ssize_t n = read(fds[0], &c, 1);
        if (n <= 0) break;
        if (c == '\n') break;
        number.push_back(c);
    }
    close(fds[0]);
    if (number.empty()) return;
    display_ = ":" + number;
    setenv("DISPLAY", display_.c_str(), 1);
}

XvfbServer::~XvfbServer() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGTERM);
    for (int i = 0; i < 50; ++i) {
        if (waitpid(pid_, nullptr, WNOHANG) == pid_) return;
        usleep(100 * 1000);
    }
    ::kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
}

void XvfbServer::kill() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
}
