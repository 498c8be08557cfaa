// Small tools for tests that run the real screensaver: a child process with
// a bounded wait, and RGB captures of the X server's root window.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

typedef struct _XDisplay Display;

class ChildProcess {
public:
    // Starts `argv` with DISPLAY=display added to this process's
    // environment; its output goes to `outputPath` (or /dev/null).
    ChildProcess(const std::vector<std::string>& argv, const std::string& display,
                 const std::string& outputPath = "");
    ~ChildProcess();  // stops the child if it still runs
    bool started() const { return pid_ > 0; }
    pid_t pid() const { return pid_; }
    // Sends SIGTERM, waits up to `timeoutSeconds`, then SIGKILL. Returns the
    // exit code, or -1 if it had to be killed or did not exit normally.
    int stop(double timeoutSeconds = 5.0);
    bool running();

private:
    pid_t pid_ = -1;
    int exitCode_ = -1;
};

struct Capture {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb;  // top row first
    double meanAbsDifference(const Capture& other) const;
    double luminanceStdDev() const;
    bool empty() const { return rgb.empty(); }
    // Mean colour of each cell of a grid of `columns` x `rows` cells.
    std::vector<double> blockMeans(int columns, int rows) const;
    bool writePpm(const std::string& path) const;
};

Capture captureRoot(Display* display);
// Polls the root window until it shows anything but black, for at most
// `timeoutSeconds`. Returns the seconds waited, or a negative number.
double waitForPicture(Display* display, double timeoutSeconds);
