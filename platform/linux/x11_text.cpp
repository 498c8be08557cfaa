#include "platform/linux/x11_text.h"

#include <poll.h>

#include <cerrno>

#include "platform/platform.h"

namespace platform {
namespace x11 {

int textWidth(Display* display, XftFont* font, const std::string& text) {
    if (font == nullptr || text.empty()) return 0;
    XGlyphInfo extents;
    XftTextExtentsUtf8(display, font, reinterpret_cast<const FcChar8*>(text.data()), static_cast<int>(text.size()),
                       &extents);
    return extents.xOff;
}

std::vector<std::string> wrapLines(const std::string& text, int maxWidth,
                                   const std::function<int(const std::string&)>& width, std::size_t maxLines) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start <= text.size() && lines.size() < maxLines) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string paragraph = text.substr(start, end - start);
        if (!paragraph.empty() && paragraph.back() == '\r') paragraph.pop_back();
        for (char& c : paragraph) {
            if (c == '\t') c = ' ';
        }
        while (width(paragraph) > maxWidth && lines.size() < maxLines) {
            // Longest prefix that fits (widths grow with the prefix), preferably
            // ending at a blank.
            std::size_t fit = 1;
            std::size_t lo = 1, hi = paragraph.size();
            while (lo <= hi) {
                const std::size_t mid = (lo + hi) / 2;
                if (width(paragraph.substr(0, mid)) <= maxWidth) {
                    fit = mid;
                    lo = mid + 1;
                } else {
                    hi = mid - 1;
                }
            }
            // Do not cut inside a UTF-8 sequence.
            while (fit > 1 && (static_cast<unsigned char>(paragraph[fit]) & 0xC0) == 0x80) --fit;
            const std::size_t blank = paragraph.rfind(' ', fit);
            const std::size_t cut = (blank != std::string::npos && blank > 0) ? blank : fit;
            lines.push_back(paragraph.substr(0, cut));
            paragraph.erase(0, cut);
            while (!paragraph.empty() && paragraph[0] == ' ') paragraph.erase(0, 1);
        }
        if (lines.size() < maxLines) lines.push_back(paragraph);
        start = end + 1;
    }
    return lines;
}

unsigned long allocatePixel(Display* display, Colormap colormap, int red, int green, int blue) {
    XColor color{};
    color.red = static_cast<unsigned short>(red * 257);
    color.green = static_cast<unsigned short>(green * 257);
    color.blue = static_cast<unsigned short>(blue * 257);
    color.flags = DoRed | DoGreen | DoBlue;
    return XAllocColor(display, colormap, &color) ? color.pixel : BlackPixel(display, DefaultScreen(display));
}

Palette::Palette(Display* display, Visual* visual, Colormap colormap)
    : display_(display), visual_(visual), colormap_(colormap) {
    trueColor_ = visual->c_class == TrueColor || visual->c_class == DirectColor;
}

namespace {
unsigned long channel(int value, unsigned long mask) {
    if (mask == 0) return 0;
    int shift = 0;
    while (((mask >> shift) & 1UL) == 0) ++shift;
    int bits = 0;
    while (((mask >> (shift + bits)) & 1UL) != 0) ++bits;
    const unsigned long scaled =
        bits >= 8 ? static_cast<unsigned long>(value) << (bits - 8) : static_cast<unsigned long>(value) >> (8 - bits);
    return (scaled << shift) & mask;
}
}  // namespace

unsigned long Palette::pixel(int red, int green, int blue) {
    if (trueColor_) {
        return channel(red, visual_->red_mask) | channel(green, visual_->green_mask) |
               channel(blue, visual_->blue_mask);
    }
    const unsigned long key = (static_cast<unsigned long>(red) << 16) | (static_cast<unsigned long>(green) << 8) |
                              static_cast<unsigned long>(blue);
    for (const auto& entry : cache_) {
        if (entry.first == key) return entry.second;
    }
    const unsigned long value = allocatePixel(display_, colormap_, red, green, blue);
    cache_.emplace_back(key, value);
    return value;
}

void runEvents(Display* display, int pollMs, const std::function<bool(const XEvent&)>& handle) {
    const int fd = ConnectionNumber(display);
    while (!stopRequested()) {
        if (XPending(display) == 0) {
            pollfd watch{fd, POLLIN, 0};
            if (poll(&watch, 1, pollMs) < 0 && errno != EINTR) return;
            // Readable without a whole event (a reply, an error): wait again.
            if (XPending(display) == 0) continue;
        }
        XEvent event;
        XNextEvent(display, &event);
        if (!handle(event)) return;
    }
}

}  // namespace x11
}  // namespace platform
