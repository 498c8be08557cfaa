// A private Xvfb server (black root window) for tests that need a display:
// started on a free display number (Xvfb -displayfd), exported as DISPLAY,
// stopped again by the object that started it.
#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

class XvfbServer {
public:
    // Starts Xvfb with one screen of the given size; waits at most
    // `timeoutSeconds` for it to report its display number.
    XvfbServer(int width, int height, double timeoutSeconds = 10.0);
    // Another X server: `command` with "-displayfd N" added, its output
    // thrown away (Xorg with the dummy driver for tests with monitors).
    XvfbServer(const std::vector<std::string>& command, double timeoutSeconds);
    ~XvfbServer();
    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;

    bool running() const { return pid_ > 0 && !display_.empty(); }
    // ":N"; also set as DISPLAY while the server runs.
    const std::string& display() const { return display_; }
    // Ends the server at once (SIGKILL), as a crashed X server would end.
    void kill();

private:
    void start(std::vector<std::string> command, double timeoutSeconds);

    pid_t pid_ = -1;
    std::string display_;
};
