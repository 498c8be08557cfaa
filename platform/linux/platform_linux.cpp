// Linux back end: X11, POSIX and the linked-in resources stand in for the
// Win32 calls the screensaver is defined by.
#include <dlfcn.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/platform.h"

extern char** environ;

namespace platform {

// ---------------------------------------------------------------------------
void messageBox(const char* text, const char* caption, MessageIcon /*icon*/) {
    std::fprintf(stderr, "%s: %s\n", caption, text);
}

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
bool hostWindowExists(std::intptr_t /*handle*/) { return false; }
bool hostClientSize(std::intptr_t /*handle*/, int* width, int* height) {
    *width = 0;
    *height = 0;
    return false;
}
bool hostWindowEnabled(std::intptr_t /*handle*/) { return false; }
GLFWwindow* adoptHostWindow(std::intptr_t /*handle*/) { return nullptr; }

// ---------------------------------------------------------------------------
namespace {
volatile std::sig_atomic_t stopFlag = 0;
void onStopSignal(int) { stopFlag = 1; }
}  // namespace

void installStopHandlers() {
    struct sigaction action{};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}

bool stopRequested() { return stopFlag != 0; }

// ---------------------------------------------------------------------------
void openUrl(const char* url) {
    char program[] = "xdg-open";
    char* argv[] = {program, const_cast<char*>(url), nullptr};
    pid_t pid = 0;
    if (posix_spawnp(&pid, program, nullptr, nullptr, argv, environ) == 0) {
        // Reap it without blocking the caller for long: xdg-open returns quickly.
        int status = 0;
        waitpid(pid, &status, 0);
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

// ---------------------------------------------------------------------------
struct BitmapReader {};
BitmapReader* openBitmap(int /*id*/) { return new BitmapReader(); }
std::uint32_t bitmapPixel(BitmapReader* /*reader*/, int /*x*/, int /*y*/) { return kInvalidColor; }
void closeBitmap(BitmapReader* reader) { delete reader; }

}  // namespace platform
