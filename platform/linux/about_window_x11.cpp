// The About window on Linux, in plain Xlib.
#include "app/about_window.h"

AboutWindow::AboutWindow(void* /*instance*/, int /*showCommand*/) {}
