// Linux back end: X11, POSIX and the linked-in resources stand in for the
// Win32 calls the screensaver is defined by.
#include <dlfcn.h>
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
#include <cstdio>
#include <cstring>
#include <string>

#include <GLFW/glfw3.h>
#define GLFW_EXPOSE_NATIVE_X11
#include <GLFW/glfw3native.h>

#include "platform/linux/x11_support.h"
#include "platform/platform.h"

extern char** environ;

namespace platform {

// ---------------------------------------------------------------------------
// X error handling.
namespace x11 {
namespace {
volatile int lastErrorCode = 0;

int onXError(Display* /*display*/, XErrorEvent* event) {
    lastErrorCode = event->error_code;
    return 0;  // recorded; the caller that cares checks with a trap
}

int onXIOError(Display* /*display*/) {
    // The X server has gone: nothing can be shown any more. Xlib would exit
    // with code 1 after this returns, and exit() would run destructors that
    // still talk to the dead connection, so leave at once.
    std::fflush(stdout);
    _exit(0);
}
}  // namespace

void nameWindow(Display* display, Window window, const char* title) {
    XStoreName(display, window, title);
    const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    XChangeProperty(display, window, XInternAtom(display, "_NET_WM_NAME", False), utf8, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(title), static_cast<int>(std::strlen(title)));
    XClassHint classHint;
    char resName[] = "lumeridge";
    char resClass[] = "Lumeridge";
    classHint.res_name = resName;
    classHint.res_class = resClass;
    XSetClassHint(display, window, &classHint);
}

void installErrorHandlers() {
    // GLFW 3.3.8 saves and restores the handler around its own error traps,
    // but one of its start-up paths leaves its trap installed, and older
    // releases put back Xlib's default: this is called again every frame.
    XSetErrorHandler(onXError);
    XSetIOErrorHandler(onXIOError);
}

void resetError() { lastErrorCode = 0; }

int syncAndTakeError(Display* display) {
    XSync(display, False);
    const int code = lastErrorCode;
    lastErrorCode = 0;
    return code;
}
}  // namespace x11

// ---------------------------------------------------------------------------
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
// The preview host's window: an X11 window id. The host is watched through a
// connection of our own (it is needed before GLFW exists); the adopted
// window is GLFW's, reparented into the host on GLFW's connection.
namespace {
Display* hostConnection() {
    static Display* display = [] {
        x11::installErrorHandlers();
        return XOpenDisplay(nullptr);
    }();
    return display;
}

bool validWindowId(std::intptr_t handle) {
    // X resource ids are 29-bit; 0, negative and larger numbers name nothing.
    return handle > 0 && handle <= 0x1FFFFFFF;
}

bool hostAttributes(std::intptr_t handle, XWindowAttributes* attributes) {
    Display* display = hostConnection();
    if (display == nullptr || !validWindowId(handle)) return false;
    x11::resetError();
    const Status ok = XGetWindowAttributes(display, static_cast<Window>(handle), attributes);
    return x11::syncAndTakeError(display) == 0 && ok != 0;
}

GLFWwindow* adoptedWindow = nullptr;
int adoptedWidth = 0;
int adoptedHeight = 0;
}  // namespace

bool hostWindowExists(std::intptr_t handle) {
    XWindowAttributes attributes;
    return hostAttributes(handle, &attributes);
}

bool hostClientSize(std::intptr_t handle, int* width, int* height) {
    XWindowAttributes attributes;
    if (!hostAttributes(handle, &attributes)) {
        *width = 0;
        *height = 0;
        return false;
    }
    *width = attributes.width;
    *height = attributes.height;
    return true;
}

namespace {
// The host's attributes, with the adopted window kept covering the host: a
// resize reaches onWindowSize through GLFW's own ConfigureNotify handling.
bool followHost(std::intptr_t handle, XWindowAttributes* attributes) {
    if (!hostAttributes(handle, attributes)) return false;  // destroyed
    if (adoptedWindow != nullptr && (attributes->width != adoptedWidth || attributes->height != adoptedHeight)) {
        adoptedWidth = attributes->width;
        adoptedHeight = attributes->height;
        glfwSetWindowSize(adoptedWindow, adoptedWidth, adoptedHeight);
    }
    return true;
}
}  // namespace

bool hostWindowEnabled(std::intptr_t handle) {
    XWindowAttributes attributes;
    return followHost(handle, &attributes) && attributes.map_state != IsUnmapped;  // unmapped: hidden by its owner
}

bool hostWindowAlive(std::intptr_t handle) {
    XWindowAttributes attributes;
    return followHost(handle, &attributes);
}

std::intptr_t rootWindow() {
    Display* display = hostConnection();
    return display ? static_cast<std::intptr_t>(DefaultRootWindow(display)) : 0;
}

GLFWwindow* adoptHostWindow(std::intptr_t handle) {
    // GLFW as published cannot take over a foreign window, so a borderless
    // GLFW window becomes a child of the host, at (0,0) and of its size. The
    // host itself is not shown, moved or resized.
    int width = 0, height = 0;
    if (!hostClientSize(handle, &width, &height)) return nullptr;
    glfwWindowHint(GLFW_DECORATED, GLFW_FALSE);
    glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
    glfwWindowHint(GLFW_FOCUS_ON_SHOW, GLFW_FALSE);
    GLFWwindow* window = glfwCreateWindow(std::max(width, 1), std::max(height, 1), "Lumeridge", nullptr, nullptr);
    if (window == nullptr) return nullptr;

    Display* display = glfwGetX11Display();
    const Window child = glfwGetX11Window(window);
    x11::resetError();
    // Not the window manager's to frame when the host is the root window.
    XSetWindowAttributes unmanaged{};
    unmanaged.override_redirect = True;
    XChangeWindowAttributes(display, child, CWOverrideRedirect, &unmanaged);
    XReparentWindow(display, child, static_cast<Window>(handle), 0, 0);
    if (x11::syncAndTakeError(display) != 0) {  // the host went away meanwhile
        glfwDestroyWindow(window);
        return nullptr;
    }
    glfwShowWindow(window);
    adoptedWindow = window;
    adoptedWidth = width;
    adoptedHeight = height;
    return window;
}

// ---------------------------------------------------------------------------
namespace {
volatile std::sig_atomic_t stopSignal = 0;  // the signal that asked to stop
volatile std::sig_atomic_t endAtOnce = 0;

void restoreDefaultAction(int number) {
    struct sigaction action{};
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
    struct sigaction action{};
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
        while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
        }
    }
}

// ---------------------------------------------------------------------------
namespace {
using GetProcAddressFn = void* (*)(const unsigned char*);
GetProcAddressFn driverLookup() {
    static GetProcAddressFn lookup = [] {
        void* lib = dlopen("libGL.so.1", RTLD_LAZY | RTLD_GLOBAL);
        return lib ? reinterpret_cast<GetProcAddressFn>(dlsym(lib, "glXGetProcAddressARB")) : nullptr;
    }();
    return lookup;
}
}  // namespace

void* glLibraryOpen() { return dlopen("libGL.so.1", RTLD_LAZY | RTLD_GLOBAL); }

void* glDriverProc(const char* name) {
    GetProcAddressFn lookup = driverLookup();
    return lookup ? lookup(reinterpret_cast<const unsigned char*>(name)) : nullptr;
}

void* glLibraryProc(void* library, const char* name) { return library ? dlsym(library, name) : nullptr; }

void glLibraryClose(void* library) {
    if (library) dlclose(library);
}

}  // namespace platform
