#include "tests/support/screen_capture.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

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

std::vector<double> Capture::blockMeans(int columns, int rows) const {
    if (empty()) return {};
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
