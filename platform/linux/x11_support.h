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

}  // namespace x11
}  // namespace platform
