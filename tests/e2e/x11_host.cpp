// A stand-in for a screensaver settings dialog: creates a mapped top-level
// window of the given size with a magenta background, prints its X11 id on
// stdout, then obeys one command per stdin line and answers "ok" to each:
//   destroy | unmap | map | resize W H | move X Y | quit
//   focus              takes the input focus (another client comes forward)
//   destroy-on-create  destroys the window as soon as another client creates
//                      a window (GLFW's helper window, made in glfwInit,
//                      comes first); answers "ok" then, or "timeout" after
//                      20 s
// End of stdin ends it too.
#include <X11/Xlib.h>
#include <poll.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {
bool destroyOnCreate(Display* display, Window window) {
    const Window root = DefaultRootWindow(display);
    XSelectInput(display, root, SubstructureNotifyMask);
    XSync(display, False);
    for (int waited = 0; waited < 20000;) {
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == CreateNotify && event.xcreatewindow.window != window) {
                XDestroyWindow(display, window);
                XSelectInput(display, root, NoEventMask);
                return true;
            }
        }
        pollfd fd = {ConnectionNumber(display), POLLIN, 0};
        poll(&fd, 1, 10);
        waited += 10;
    }
    return false;
}
}  // namespace

int main(int argc, char** argv) {
    const int width = argc > 1 ? std::atoi(argv[1]) : 320;
    const int height = argc > 2 ? std::atoi(argv[2]) : 240;
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "x11_host: no display\n");
        return 1;
    }
    const int screen = DefaultScreen(display);
    XSetWindowAttributes attributes{};
    attributes.background_pixel = 0xFF00FF;  // magenta: anything drawn over it shows
    attributes.event_mask = StructureNotifyMask;
    const Window window = XCreateWindow(display, RootWindow(display, screen), 100, 100, static_cast<unsigned>(width),
                                        static_cast<unsigned>(height), 0, CopyFromParent, InputOutput, CopyFromParent,
                                        CWBackPixel | CWEventMask, &attributes);
    XStoreName(display, window, "Lumeridge preview host");
    XMapWindow(display, window);
    for (;;) {  // wait until it is on screen
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == MapNotify) break;
    }
    std::printf("%lu\n", static_cast<unsigned long>(window));
    std::fflush(stdout);

    std::string pending;
    for (;;) {
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
        }
        pollfd fds[2] = {{STDIN_FILENO, POLLIN, 0}, {ConnectionNumber(display), POLLIN, 0}};
        if (poll(fds, 2, 100) <= 0) continue;
        if ((fds[0].revents & (POLLIN | POLLHUP)) == 0) continue;
        char buffer[256];
        const ssize_t n = read(STDIN_FILENO, buffer, sizeof buffer);
        if (n <= 0) return 0;
        pending.append(buffer, static_cast<std::size_t>(n));
        std::size_t end;
        while ((end = pending.find('\n')) != std::string::npos) {
            const std::string line = pending.substr(0, end);
            pending.erase(0, end + 1);
            unsigned w = 0, h = 0;
            int x = 0, y = 0;
            if (line == "destroy") {
                XDestroyWindow(display, window);
            } else if (line == "unmap") {
                XUnmapWindow(display, window);
            } else if (line == "map") {
                XMapWindow(display, window);
            } else if (std::sscanf(line.c_str(), "resize %u %u", &w, &h) == 2) {
                XResizeWindow(display, window, w, h);
            } else if (std::sscanf(line.c_str(), "move %d %d", &x, &y) == 2) {
                XMoveWindow(display, window, x, y);
            } else if (line == "focus") {
                XSetInputFocus(display, window, RevertToParent, CurrentTime);
            } else if (line == "destroy-on-create") {
                if (!destroyOnCreate(display, window)) {
                    std::printf("timeout\n");
                    std::fflush(stdout);
                    continue;
                }
            } else if (line == "quit") {
                return 0;
            }
            XSync(display, False);
            std::printf("ok\n");
            std::fflush(stdout);
        }
    }
}
