// Preloaded into a program under test: the server turns away the first
// top-level window with BadValue (asked for with width 0), as it would a
// window it has no memory for. Every other window is created.
#include <X11/Xlib.h>
#include <dlfcn.h>

extern "C" Window XCreateWindow(Display* display, Window parent, int x, int y, unsigned width, unsigned height,
                                unsigned border, int depth, unsigned windowClass, Visual* visual, unsigned long mask,
                                XSetWindowAttributes* attributes) {
    using Create = Window (*)(Display*, Window, int, int, unsigned, unsigned, unsigned, int, unsigned, Visual*,
                              unsigned long, XSetWindowAttributes*);
    static const auto real = reinterpret_cast<Create>(dlsym(RTLD_NEXT, "XCreateWindow"));
    static bool refused = false;
    if (!refused && parent == DefaultRootWindow(display)) {
        refused = true;
        width = 0;
    }
    return real(display, parent, x, y, width, height, border, depth, windowClass, visual, mask, attributes);
}
