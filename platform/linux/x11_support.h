// X11 helpers shared by the Linux back-end files (not part of the seam).
#pragma once

#include <X11/Xlib.h>

namespace platform {
namespace x11 {

// Installs the process's X error handlers (again, if something replaced
// them). Xlib's defaults end the process with exit code 1: on any protocol
// error, for example a drawable that vanished together with the preview
// host, and on a lost connection. Ours record protocol errors and go on, and
// end the process with code 0 when a connection is lost.
void installErrorHandlers();

// Error trap for requests on any connection: reset, make the requests, then
// sync() on that connection and read whether an error arrived meanwhile.
void resetError();
int syncAndTakeError(Display* display);  // 0 (Success) or the X error code

// Gives a top-level window of ours its title (WM_NAME and the UTF-8
// _NET_WM_NAME) and the class "lumeridge", "Lumeridge".
void nameWindow(Display* display, Window window, const char* title);

// A rectangle in root-window coordinates.
struct Area {
    int x = 0, y = 0, width = 0, height = 0;
};

// The primary monitor of `screen`, where our own windows are centred: with
// RandR 1.5 its primary monitor, else its first; with RandR 1.3 the CRTC of
// the primary output, else the first active CRTC; without RandR, or when it
// reports nothing, the whole screen.
Area primaryMonitorArea(Display* display, int screen);

}  // namespace x11
}  // namespace platform
