// X11 helpers shared by the Linux back-end files: the process's X error
// handlers, an error trap, and the naming of our top-level windows.
#include <unistd.h>

#include <cstdio>
#include <cstring>

#include <X11/Xutil.h>

#include "platform/linux/x11_support.h"

namespace platform {
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
}  // namespace platform
