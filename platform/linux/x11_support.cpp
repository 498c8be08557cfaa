// X11 helpers shared by the Linux back-end files: the process's X error
// handlers, an error trap, the naming of our top-level windows and the
// primary monitor's area.
#include <unistd.h>

#include <cstdio>
#include <cstring>

#include <X11/Xutil.h>
#include <X11/extensions/Xrandr.h>

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

namespace {
// The CRTC's area when it shows something (a disabled CRTC has no size).
bool crtcArea(Display* display, XRRScreenResources* resources, RRCrtc crtc, Area* area) {
    XRRCrtcInfo* info = XRRGetCrtcInfo(display, resources, crtc);
    if (info == nullptr) return false;
    const bool active = info->mode != 0 && info->width > 0 && info->height > 0;
    if (active) *area = Area{info->x, info->y, static_cast<int>(info->width), static_cast<int>(info->height)};
    XRRFreeCrtcInfo(info);
    return active;
}

bool monitorArea(Display* display, Window root, Area* area) {
    int count = 0;
    XRRMonitorInfo* monitors = XRRGetMonitors(display, root, True, &count);
    if (monitors == nullptr) return false;
    int chosen = -1;
    for (int i = 0; i < count; ++i) {
        if (monitors[i].width <= 0 || monitors[i].height <= 0) continue;
        if (chosen < 0) chosen = i;
        if (monitors[i].primary) {
            chosen = i;
            break;
        }
    }
    if (chosen >= 0)
        *area = Area{monitors[chosen].x, monitors[chosen].y, monitors[chosen].width, monitors[chosen].height};
    XRRFreeMonitors(monitors);
    return chosen >= 0;
}

bool outputArea(Display* display, Window root, Area* area) {
    XRRScreenResources* resources = XRRGetScreenResourcesCurrent(display, root);
    if (resources == nullptr) return false;
    bool found = false;
    if (const RROutput primary = XRRGetOutputPrimary(display, root)) {
        if (XRROutputInfo* output = XRRGetOutputInfo(display, resources, primary)) {
            found = output->crtc != 0 && crtcArea(display, resources, output->crtc, area);
            XRRFreeOutputInfo(output);
        }
    }
    for (int i = 0; !found && i < resources->ncrtc; ++i)
        found = crtcArea(display, resources, resources->crtcs[i], area);
    XRRFreeScreenResources(resources);
    return found;
}
}  // namespace

Area primaryMonitorArea(Display* display, int screen) {
    Area area{0, 0, DisplayWidth(display, screen), DisplayHeight(display, screen)};
    int eventBase = 0, errorBase = 0, major = 0, minor = 0;
    if (!XRRQueryExtension(display, &eventBase, &errorBase) || !XRRQueryVersion(display, &major, &minor)) return area;
    const Window root = RootWindow(display, screen);
    const int version = major * 100 + minor;
    // Requests on a server that turns them away leave the whole screen.
    resetError();
    Area found;
    const bool ok = version >= 105   ? monitorArea(display, root, &found)
                    : version >= 103 ? outputArea(display, root, &found)
                                     : false;
    if (syncAndTakeError(display) == 0 && ok) area = found;
    return area;
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
