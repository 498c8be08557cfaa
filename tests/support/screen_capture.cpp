#include "tests/support/screen_capture.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <thread>

ChildProcess::ChildProcess(const std::vector<std::string>& argv, const std::string& display,
                           const std::string& outputPath) {
    if (argv.empty()) return;
    pid_ = fork();
    if (pid_ == 0) {
        setenv("DISPLAY", display.c_str(), 1);
        const int out = open(outputPath.empty() ? "/dev/null" : outputPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (out >= 0) {
            dup2(out, 1);
            dup2(out, 2);
        }
        std::vector<char*> args;
        for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        execv(args[0], args.data());
        _exit(127);
    }
}

ChildProcess::~ChildProcess() {
    if (pid_ > 0) stop(2.0);
}

bool ChildProcess::running() {
    if (pid_ <= 0) return false;
    int status = 0;
    const pid_t r = waitpid(pid_, &status, WNOHANG);
    if (r == pid_) {
        exitCode_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        pid_ = -1;
        return false;
    }
    return true;
}

int ChildProcess::stop(double timeoutSeconds) {
    if (pid_ <= 0) return exitCode_;
    kill(pid_, SIGTERM);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(timeoutSeconds);
    while (std::chrono::steady_clock::now() < deadline) {
        if (!running()) return exitCode_;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
    exitCode_ = -1;
    return -1;
}

Capture captureRoot(Display* display) {
    Capture c;
    if (display == nullptr) return c;
    const Window root = DefaultRootWindow(display);
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, root, &attributes)) return c;
    XImage* image = XGetImage(display, root, 0, 0, attributes.width, attributes.height, AllPlanes, ZPixmap);
    if (image == nullptr) return c;
    c.width = attributes.width;
    c.height = attributes.height;
    c.rgb.resize(static_cast<std::size_t>(c.width) * c.height * 3);
    unsigned char* out = c.rgb.data();
    for (int y = 0; y < c.height; ++y)
        for (int x = 0; x < c.width; ++x) {
            const unsigned long p = XGetPixel(image, x, y);
            *out++ = static_cast<unsigned char>((p >> 16) & 0xFF);
            *out++ = static_cast<unsigned char>((p >> 8) & 0xFF);
            *out++ = static_cast<unsigned char>(p & 0xFF);
        }
    XDestroyImage(image);
    return c;
}

double waitForPicture(Display* display, double timeoutSeconds) {
    if (display == nullptr) return -1.0;
    const Window root = DefaultRootWindow(display);
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, root, &attributes)) return -1.0;
    // A small patch in the middle: cheap enough to poll every millisecond.
    const int side = 32;
    const int x0 = attributes.width / 2 - side / 2, y0 = attributes.height / 2 - side / 2;
    const auto start = std::chrono::steady_clock::now();
    const auto deadline = start + std::chrono::duration<double>(timeoutSeconds);
    while (std::chrono::steady_clock::now() < deadline) {
        XImage* image = XGetImage(display, root, x0, y0, side, side, AllPlanes, ZPixmap);
        bool lit = false;
        if (image != nullptr) {
            for (int y = 0; y < side && !lit; ++y)
                for (int x = 0; x < side && !lit; ++x) lit = (XGetPixel(image, x, y) & 0xFFFFFF) != 0;
            XDestroyImage(image);
        }
        if (lit) return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
    return -1.0;
}

double Capture::meanAbsDifference(const Capture& other) const {
    if (rgb.size() != other.rgb.size() || rgb.empty()) return -1.0;
    double sum = 0.0;
    for (std::size_t i = 0; i < rgb.size(); ++i) sum += std::abs(int(rgb[i]) - int(other.rgb[i]));
    return sum / static_cast<double>(rgb.size());
}

double Capture::luminanceStdDev() const {
    if (rgb.empty()) return 0.0;
    double sum = 0.0, sum2 = 0.0;
    const std::size_t n = rgb.size() / 3;
    for (std::size_t i = 0; i < n; ++i) {
        const double l = 0.299 * rgb[3 * i] + 0.587 * rgb[3 * i + 1] + 0.114 * rgb[3 * i + 2];
        sum += l;
        sum2 += l * l;
    }
    const double mean = sum / n;
    return std::sqrt(std::max(0.0, sum2 / n - mean * mean));
}

std::vector<double> Capture::blockMeans(int columns, int rows) const {
    std::vector<double> means(static_cast<std::size_t>(columns) * rows * 3, 0.0);
    std::vector<double> counts(static_cast<std::size_t>(columns) * rows, 0.0);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const std::size_t cell = static_cast<std::size_t>(y * rows / height) * columns + x * columns / width;
            for (int k = 0; k < 3; ++k) means[cell * 3 + k] += rgb[(static_cast<std::size_t>(y) * width + x) * 3 + k];
            counts[cell] += 1.0;
        }
    for (std::size_t cell = 0; cell < counts.size(); ++cell)
        for (int k = 0; k < 3; ++k) means[cell * 3 + k] /= counts[cell] > 0 ? counts[cell] : 1.0;
    return means;
}

bool Capture::writePpm(const std::string& path) const {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) return false;
    std::fprintf(f, "P6\n%d %d\n255\n", width, height);
    std::fwrite(rgb.data(), 1, rgb.size(), f);
    std::fclose(f);
    return true;
}
