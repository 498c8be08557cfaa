// Text, colour and the event wait shared by the Linux back end's own windows
// (the message box and the About window), in Xlib with Xft.
#pragma once

#include <X11/Xft/Xft.h>
#include <X11/Xlib.h>

#include <cstddef>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace platform {
namespace x11 {

// The advance of a UTF-8 string in an Xft font, in pixels (0 without a font).
int textWidth(Display* display, XftFont* font, const std::string& text);

// Splits a text at its line breaks (LF or CR LF; tabs count as blanks) and
// wraps each paragraph at blanks so that no line is wider than maxWidth as
// `width` measures it. A word wider than that on its own is cut into pieces,
// never inside a UTF-8 sequence. At most maxLines lines.
std::vector<std::string> wrapLines(const std::string& text, int maxWidth,
                                   const std::function<int(const std::string&)>& width, std::size_t maxLines);

// The pixel value the server allocates on `colormap` for an 8-bit RGB
// colour (its nearest on a true-colour visual), black where the colormap is
// full.
unsigned long allocatePixel(Display* display, Colormap colormap, int red, int green, int blue);

// Pixel values for 8-bit RGB colours on one colormap, for drawing many: computed
// from the channel masks on true-colour visuals (no round trip; at depths
// below 24 this rounds differently from the server's allocation), allocated
// once per colour on the others.
class Palette {
public:
    Palette(Display* display, Visual* visual, Colormap colormap);

    unsigned long pixel(int red, int green, int blue);

private:
    Display* display_;
    Visual* visual_;
    Colormap colormap_;
    bool trueColor_ = false;
    std::vector<std::pair<unsigned long, unsigned long>> cache_;  // packed RGB, pixel
};

// Waits for the window's events on the connection and hands each to
// `handle` until it returns false, the process is asked to stop (SIGTERM,
// SIGINT; looked at least every pollMs) or the connection fails.
void runEvents(Display* display, int pollMs, const std::function<bool(const XEvent&)>& handle);

}  // namespace x11
}  // namespace platform
