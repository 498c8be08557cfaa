// The About window on Linux, in plain Xlib with Xft for the text: the same
// window as on Windows, 400 x 300 including the window manager's frame,
// centred on the primary monitor, with the logo, the title, the info text
// and a push button that opens the web site.
//
// Everything is drawn into one back-buffer pixmap, which is copied to the
// window on every expose, so the window never flickers or shows a half-drawn
// state.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/Xft/Xft.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <poll.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "platform/about_window.h"
#include "platform/linux/x11_support.h"
#include "platform/linux/x11_text.h"
#include "platform/platform.h"
#include "resources/resource_ids.h"

namespace {

using about::Rect;

// ---------------------------------------------------------------------------
// Fonts. Windows picks a font by its cell height (ascent + descent) and
// average character width; Xft by its em size. The em size is derived from
// the face's own ascent and descent, the horizontal scale from its OS/2
// average width, so "Arial" (Liberation Sans here) gets the same metrics as
// on Windows.
struct Font {
    XftFont* xft = nullptr;
    int ascent = 0;
    int lineHeight = 0;
    int underlineOffset = 1;  // below the baseline
    int underlineThickness = 1;
};

XftFont* openXftFont(Display* display, int screen, const about::FontSpec& spec, double pixelSize, double xScale) {
    XftMatrix matrix;
    XftMatrixInit(&matrix);
    XftMatrixScale(&matrix, xScale, 1.0);
    return XftFontOpen(display, screen, XFT_FAMILY, XftTypeString, spec.face, XFT_PIXEL_SIZE, XftTypeDouble, pixelSize,
                       XFT_WEIGHT, XftTypeInteger, spec.weight >= 600 ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR, XFT_SLANT,
                       XftTypeInteger, XFT_SLANT_ROMAN, XFT_MATRIX, XftTypeMatrix, &matrix, XFT_ANTIALIAS, XftTypeBool,
                       True, nullptr);
}

Font openFont(Display* display, int screen, const about::FontSpec& spec) {
    Font font;
    const double probeSize = 100.0;
    XftFont* probe = openXftFont(display, screen, spec, probeSize, 1.0);
    double pixelSize = spec.height;
    double xScale = 1.0;
    double underlinePosition = -0.1;  // of the em, as fonts commonly have it
    double underlineThickness = 0.07;
    if (probe) {
        const int cell = probe->ascent + probe->descent;
        if (cell > 0) pixelSize = spec.height * probeSize / cell;
        if (FT_Face face = XftLockFace(probe)) {
            if (face->units_per_EM > 0) {
                const double units = face->units_per_EM;
                const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
                if (os2 && os2->xAvgCharWidth > 0) {
                    const double naturalWidth = os2->xAvgCharWidth / units * pixelSize;
                    xScale = std::clamp(spec.width / naturalWidth, 0.5, 2.0);
                }
                if (face->underline_thickness > 0) {
                    underlinePosition = face->underline_position / units;
                    underlineThickness = face->underline_thickness / units;
                }
            }
            XftUnlockFace(probe);
        }
        XftFontClose(display, probe);
    }
    font.xft = openXftFont(display, screen, spec, pixelSize, xScale);
    if (font.xft) {
        font.ascent = font.xft->ascent;
        font.lineHeight = std::max(1, font.xft->ascent + font.xft->descent);
    }
    font.underlineOffset = std::max(1, static_cast<int>(std::lround(-underlinePosition * pixelSize)));
    font.underlineThickness = std::max(1, static_cast<int>(std::lround(underlineThickness * pixelSize)));
    return font;
}

int textWidth(Display* display, const Font& font, const std::string& text) {
    return platform::x11::textWidth(display, font.xft, text);
}

// The lines of a CR LF separated text, each broken at blanks to fit `width`
// (as a left-aligned static control does; no word of the info text is wider
// than its box, so none is cut).
std::vector<std::string> layoutLines(Display* display, const Font& font, const std::string& text, int width) {
    return platform::x11::wrapLines(
        text, width, [display, &font](const std::string& line) { return textWidth(display, font, line); },
        std::numeric_limits<std::size_t>::max());
}

// ---------------------------------------------------------------------------
// The logo artwork used when the executable carries no logo bitmap: a drop
// above rings spreading on water, in a rounded tile.
std::uint32_t fallbackLogoPixel(int x, int y) {
    const double w = about::kLogoWidth;
    const double h = about::kLogoHeight;
    const double px = x + 0.5;
    const double py = y + 0.5;
    // Rounded tile; outside it the window's background shows.
    const double radius = 14.0;
    const double cx = std::clamp(px, radius, w - radius);
    const double cy = std::clamp(py, radius, h - radius);
    const double corner = std::hypot(px - cx, py - cy) - radius;
    const double tileCover = std::clamp(0.5 - corner, 0.0, 1.0);

    // Water: light at the horizon, deep at the bottom.
    const double t = py / h;
    double r = 120 - 100 * t;
    double g = 190 - 100 * t;
    double b = 235 - 70 * t;

    // Rings around the point where the drop lands.
    const double ex = (px - w * 0.5) / 1.0;
    const double ey = (py - h * 0.68) * 3.0;
    const double d = std::hypot(ex, ey);
    double ring = 0.0;
    for (double ringRadius : {9.0, 20.0, 33.0, 47.0}) {
        const double fade = 1.0 - ringRadius / 60.0;
        ring = std::max(ring, fade * std::clamp(1.6 - std::fabs(d - ringRadius), 0.0, 1.0));
    }
    r += (255 - r) * ring * 0.8;
    g += (255 - g) * ring * 0.8;
    b += (255 - b) * ring * 0.8;

    // The drop: a circle with a pointed top.
    const double dx = px - w * 0.5;
    const double dy = py - h * 0.30;
    const double dropRadius = 7.0;
    double drop = std::clamp(dropRadius + 0.5 - std::hypot(dx, dy), 0.0, 1.0);
    if (dy < 0 && dy > -16.0) {
        const double halfWidth = dropRadius * (1.0 + dy / 16.0) * 0.95;
        drop = std::max(drop, std::clamp(halfWidth + 0.5 - std::fabs(dx), 0.0, 1.0));
    }
    r += (255 - r) * drop;
    g += (255 - g) * drop;
    b += (255 - b) * drop;

    const double bgR = about::red(about::kBackgroundColor);
    const double bgG = about::green(about::kBackgroundColor);
    const double bgB = about::blue(about::kBackgroundColor);
    auto mix = [&](double fg, double bg) { return static_cast<int>(std::lround(bg + (fg - bg) * tileCover)); };
    return about::rgb(mix(r, bgR), mix(g, bgG), mix(b, bgB));
}

// ---------------------------------------------------------------------------
// The items of a format-32 window property of the given type (Xlib hands
// them over as longs), at most maxItems; none when it is not set or has
// another type or format.
std::vector<long> longProperty(Display* display, Window window, Atom property, Atom type, long maxItems) {
    Atom actualType = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    std::vector<long> items;
    if (XGetWindowProperty(display, window, property, 0, maxItems, False, type, &actualType, &format, &count, &after,
                           &data) == Success &&
        data && actualType == type && format == 32) {
        const auto* values = reinterpret_cast<const long*>(data);
        items.assign(values, values + count);
    }
    if (data) XFree(data);
    return items;
}

// ---------------------------------------------------------------------------
class AboutX11 {
public:
    explicit AboutX11(Display* display) : display_(display), screen_(DefaultScreen(display)) {}

    void run();

private:
    enum class ButtonLook { Normal, Hot, Pressed };

    bool createWindow();  // false: the server refused the window
    void setSizeHints();
    bool windowManagerSupports(const char* hint);
    void waitForFrameExtents();
    void fitToFrame();
    void loadLogo();
    void render();
    void present();
    void drawRect(const Rect& rect, std::uint32_t color);
    void drawText(const Font& font, std::uint32_t color, const Rect& clip, int x, int baseline,
                  const std::string& text);
    void drawButton();
    void updatePointer(int x, int y);
    bool handle(const XEvent& event);  // false: the window is done
    // The X pixel value of a COLORREF.
    unsigned long pixel(std::uint32_t color) {
        return palette_->pixel(about::red(color), about::green(color), about::blue(color));
    }

    Display* display_;
    int screen_;
    Visual* visual_ = nullptr;
    Colormap colormap_ = 0;
    int depth_ = 0;
    Window window_ = 0;
    // The outer top-left corner, and the client size that makes the outer
    // size 400 x 300 inside the window manager's frame (without one, the
    // client is the whole window).
    about::Point position_{0, 0};
    int width_ = about::kWindowWidth;
    int height_ = about::kWindowHeight;
    Atom frameExtents_ = 0;
    Pixmap back_ = 0;
    Pixmap logo_ = 0;
    int logoWidth_ = 0;
    int logoHeight_ = 0;
    GC gc_ = nullptr;
    XftDraw* draw_ = nullptr;
    std::unique_ptr<platform::x11::Palette> palette_;
    Font bodyFont_;
    Font titleFont_;
    Atom wmProtocols_ = 0;
    Atom wmDeleteWindow_ = 0;

    // Push-button state: hot while the pointer is over it; pressed while the
    // left button went down on it and the pointer is still over it.
    bool hot_ = false;
    bool tracking_ = false;
    bool pressed_ = false;
};

bool AboutX11::createWindow() {
    visual_ = DefaultVisual(display_, screen_);
    colormap_ = DefaultColormap(display_, screen_);
    depth_ = DefaultDepth(display_, screen_);
    palette_ = std::make_unique<platform::x11::Palette>(display_, visual_, colormap_);

    const platform::x11::Area monitor = platform::x11::primaryMonitorArea(display_, screen_);
    const about::Point centred = about::centredPosition(monitor.width, monitor.height);
    position_ = about::Point{monitor.x + centred.x, monitor.y + centred.y};
    frameExtents_ = XInternAtom(display_, "_NET_FRAME_EXTENTS", False);

    XSetWindowAttributes attributes{};
    attributes.background_pixel = pixel(about::kBackgroundColor);
    attributes.border_pixel = BlackPixel(display_, screen_);
    attributes.bit_gravity = NorthWestGravity;
    attributes.event_mask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask | EnterWindowMask |
                            LeaveWindowMask | StructureNotifyMask | PropertyChangeMask;
    // A refusal (no memory on the server, say) arrives as an error, not as
    // a missing id.
    platform::x11::resetError();
    window_ = XCreateWindow(display_, RootWindow(display_, screen_), position_.x, position_.y,
                            static_cast<unsigned>(width_), static_cast<unsigned>(height_), 0, depth_, InputOutput,
                            visual_, CWBackPixel | CWBorderPixel | CWBitGravity | CWEventMask, &attributes);
    if (platform::x11::syncAndTakeError(display_) != 0 || window_ == 0) {
        window_ = 0;
        return false;
    }

    // Title, class, fixed size at the requested position.
    platform::x11::nameWindow(display_, window_, AboutWindow::caption);
    setSizeHints();
    XWMHints* wmHints = XAllocWMHints();
    if (wmHints) {
        wmHints->flags = InputHint | StateHint;
        wmHints->input = True;
        wmHints->initial_state = NormalState;
        XSetWMHints(display_, window_, wmHints);
        XFree(wmHints);
    }
    // A close box only: no resizing, minimising or maximising (window
    // managers that read the Motif hints honour this).
    struct {
        unsigned long flags, functions, decorations;
        long inputMode;
        unsigned long status;
    } motif{3, /*move|close*/ 4 | 32, /*border|title|menu*/ 2 | 8 | 16, 0, 0};
    const Atom motifAtom = XInternAtom(display_, "_MOTIF_WM_HINTS", False);
    XChangeProperty(display_, window_, motifAtom, motifAtom, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&motif), 5);

    wmProtocols_ = XInternAtom(display_, "WM_PROTOCOLS", False);
    wmDeleteWindow_ = XInternAtom(display_, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(display_, window_, &wmDeleteWindow_, 1);

    // Drawn at the full 400 x 300; a frame only clips the client area, as
    // on Windows, where the layout is in client coordinates too.
    back_ = XCreatePixmap(display_, window_, about::kWindowWidth, about::kWindowHeight, depth_);
    gc_ = XCreateGC(display_, back_, 0, nullptr);
    draw_ = XftDrawCreate(display_, back_, visual_, colormap_);

    bodyFont_ = openFont(display_, screen_, about::kBodyFont);
    titleFont_ = openFont(display_, screen_, about::kTitleFont);
    waitForFrameExtents();
    return true;
}

// Fixed size at the outer position: with north-west gravity the window
// manager puts the frame's corner there.
void AboutX11::setSizeHints() {
    XSizeHints* sizeHints = XAllocSizeHints();
    if (!sizeHints) return;
    sizeHints->flags = USPosition | PPosition | PSize | PMinSize | PMaxSize | PWinGravity;
    sizeHints->x = position_.x;
    sizeHints->y = position_.y;
    sizeHints->width = sizeHints->min_width = sizeHints->max_width = width_;
    sizeHints->height = sizeHints->min_height = sizeHints->max_height = height_;
    sizeHints->win_gravity = NorthWestGravity;
    XSetWMNormalHints(display_, window_, sizeHints);
    XFree(sizeHints);
}

bool AboutX11::windowManagerSupports(const char* hint) {
    const Atom wanted = XInternAtom(display_, hint, False);
    const std::vector<long> supported = longProperty(display_, RootWindow(display_, screen_),
                                                     XInternAtom(display_, "_NET_SUPPORTED", False), XA_ATOM, 4096);
    return std::any_of(supported.begin(), supported.end(),
                       [wanted](long atom) { return static_cast<Atom>(atom) == wanted; });
}

// Asks the window manager, before mapping, which frame it will draw, so
// that the window appears at its outer size at once. Waits at most half a
// second; a window manager that answers only once it frames the window is
// followed by the PropertyNotify in handle().
void AboutX11::waitForFrameExtents() {
    if (!windowManagerSupports("_NET_REQUEST_FRAME_EXTENTS")) return;
    XEvent request{};
    request.xclient.type = ClientMessage;
    request.xclient.window = window_;
    request.xclient.message_type = XInternAtom(display_, "_NET_REQUEST_FRAME_EXTENTS", False);
    request.xclient.format = 32;
    XSendEvent(display_, RootWindow(display_, screen_), False, SubstructureRedirectMask | SubstructureNotifyMask,
               &request);
    XFlush(display_);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(500);
    while (std::chrono::steady_clock::now() < deadline && !platform::stopRequested()) {
        XEvent event;
        while (XCheckTypedWindowEvent(display_, window_, PropertyNotify, &event)) {
            if (event.xproperty.atom == frameExtents_) {
                fitToFrame();
                return;
            }
        }
        pollfd watch{ConnectionNumber(display_), POLLIN, 0};
        poll(&watch, 1, 20);
    }
}

// Sizes the client so that client and frame together are 400 x 300.
void AboutX11::fitToFrame() {
    long extents[4] = {0, 0, 0, 0};  // left, right, top, bottom
    const std::vector<long> values = longProperty(display_, window_, frameExtents_, XA_CARDINAL, 4);
    if (values.size() == 4) {
        for (int i = 0; i < 4; ++i) extents[i] = std::clamp(values[i], 0L, 100L);
    }
    const int width = std::max(1, about::kWindowWidth - static_cast<int>(extents[0] + extents[1]));
    const int height = std::max(1, about::kWindowHeight - static_cast<int>(extents[2] + extents[3]));
    if (width == width_ && height == height_) return;
    width_ = width;
    height_ = height;
    setSizeHints();
    XResizeWindow(display_, window_, static_cast<unsigned>(width_), static_cast<unsigned>(height_));
    XFlush(display_);
}

// The logo bitmap, or the built-in artwork when there is none.
void AboutX11::loadLogo() {
    // Never larger than the client area it is drawn into.
    const int maxWidth = about::kWindowWidth - about::kLogoX;
    const int maxHeight = about::kWindowHeight - about::kLogoY;

    platform::BitmapReader* reader = platform::openBitmap(resource::kLogoBitmap);
    int width = 0;
    int height = 0;
    if (reader) {
        while (width < maxWidth && platform::bitmapPixel(reader, width, 0) != platform::kInvalidColor) ++width;
        while (width > 0 && height < maxHeight && platform::bitmapPixel(reader, 0, height) != platform::kInvalidColor)
            ++height;
    }
    const bool fromResource = width > 0 && height > 0;
    if (!fromResource) {
        width = about::kLogoWidth;
        height = about::kLogoHeight;
    }

    XImage* image = XCreateImage(display_, visual_, static_cast<unsigned>(depth_), ZPixmap, 0, nullptr,
                                 static_cast<unsigned>(width), static_cast<unsigned>(height), 32, 0);
    if (image) {
        image->data = static_cast<char*>(std::calloc(static_cast<std::size_t>(image->bytes_per_line), height));
        if (image->data) {
            for (int y = 0; y < height; ++y) {
                for (int x = 0; x < width; ++x) {
                    std::uint32_t color = fromResource ? platform::bitmapPixel(reader, x, y) : fallbackLogoPixel(x, y);
                    if (color == platform::kInvalidColor) color = about::kBackgroundColor;
                    XPutPixel(image, x, y, pixel(color));
                }
            }
            logo_ = XCreatePixmap(display_, window_, width, height, depth_);
            XPutImage(display_, logo_, gc_, image, 0, 0, 0, 0, width, height);
            logoWidth_ = width;
            logoHeight_ = height;
        }
        XDestroyImage(image);  // frees the pixel data too
    }
    if (reader) platform::closeBitmap(reader);
}

void AboutX11::drawRect(const Rect& rect, std::uint32_t color) {
    if (rect.width <= 0 || rect.height <= 0) return;
    XSetForeground(display_, gc_, pixel(color));
    XFillRectangle(display_, back_, gc_, rect.x, rect.y, static_cast<unsigned>(rect.width),
                   static_cast<unsigned>(rect.height));
}

void AboutX11::drawText(const Font& font, std::uint32_t color, const Rect& clip, int x, int baseline,
                        const std::string& text) {
    if (!font.xft || !draw_ || text.empty()) return;
    XRectangle clipRect{static_cast<short>(clip.x), static_cast<short>(clip.y), static_cast<unsigned short>(clip.width),
                        static_cast<unsigned short>(clip.height)};
    XftDrawSetClipRectangles(draw_, 0, 0, &clipRect, 1);
    XRenderColor renderColor{static_cast<unsigned short>(about::red(color) * 257),
                             static_cast<unsigned short>(about::green(color) * 257),
                             static_cast<unsigned short>(about::blue(color) * 257), 0xFFFF};
    XftColor xftColor;
    if (XftColorAllocValue(display_, visual_, colormap_, &renderColor, &xftColor)) {
        XftDrawStringUtf8(draw_, &xftColor, font.xft, x, baseline, reinterpret_cast<const FcChar8*>(text.data()),
                          static_cast<int>(text.size()));
        XftColorFree(display_, visual_, colormap_, &xftColor);
    }
    XftDrawSetClip(draw_, nullptr);
}

// A push button in the look of the system's: a light face with a thin
// border; blue when the pointer is over it, darker blue while held down.
void AboutX11::drawButton() {
    const Rect& r = about::kButtonRect;
    const ButtonLook look = pressed_               ? ButtonLook::Pressed
                            : (hot_ && !tracking_) ? ButtonLook::Hot
                                                   : ButtonLook::Normal;
    std::uint32_t border, top, bottom;
    switch (look) {
        case ButtonLook::Pressed:
            border = about::rgb(0, 84, 153);
            top = about::rgb(204, 228, 247);
            bottom = about::rgb(190, 218, 242);
            break;
        case ButtonLook::Hot:
            border = about::rgb(0, 120, 215);
            top = about::rgb(235, 244, 253);
            bottom = about::rgb(218, 236, 252);
            break;
        default:
            border = about::rgb(173, 173, 173);
            top = about::rgb(240, 240, 240);
            bottom = about::rgb(221, 221, 221);
            break;
    }
    drawRect(r, border);
    const int innerHeight = r.height - 2;
    for (int i = 0; i < innerHeight; ++i) {
        const double t = innerHeight > 1 ? static_cast<double>(i) / (innerHeight - 1) : 0.0;
        auto lerp = [t](int a, int b) { return static_cast<int>(std::lround(a + (b - a) * t)); };
        drawRect(Rect{r.x + 1, r.y + 1 + i, r.width - 2, 1},
                 about::rgb(lerp(about::red(top), about::red(bottom)), lerp(about::green(top), about::green(bottom)),
                            lerp(about::blue(top), about::blue(bottom))));
    }
    if (look != ButtonLook::Pressed) drawRect(Rect{r.x + 1, r.y + 1, r.width - 2, 1}, about::rgb(255, 255, 255));

    const std::string text = AboutWindow::buttonText;
    const int shift = look == ButtonLook::Pressed ? 1 : 0;
    const int x = r.x + (r.width - textWidth(display_, bodyFont_, text)) / 2 + shift;
    const int baseline = r.y + (r.height - bodyFont_.lineHeight) / 2 + bodyFont_.ascent + shift;
    drawText(bodyFont_, about::rgb(0, 0, 0), Rect{r.x + 1, r.y + 1, r.width - 2, r.height - 2}, x, baseline, text);
}

void AboutX11::render() {
    drawRect(Rect{0, 0, about::kWindowWidth, about::kWindowHeight}, about::kBackgroundColor);

    if (logo_) {
        XCopyArea(display_, logo_, back_, gc_, 0, 0, static_cast<unsigned>(logoWidth_),
                  static_cast<unsigned>(logoHeight_), about::kLogoX, about::kLogoY);
    }

    // Title: bold, underlined, black.
    const Rect& title = about::kTitleRect;
    const std::string titleText = AboutWindow::titleText;
    const int titleBaseline = title.y + titleFont_.ascent;
    drawText(titleFont_, about::kTitleTextColor, title, title.x, titleBaseline, titleText);
    if (titleFont_.xft) {
        const int underlineWidth = std::min(textWidth(display_, titleFont_, titleText), title.width);
        const int underlineY = std::min(titleBaseline + titleFont_.underlineOffset, title.y + title.height - 1);
        drawRect(Rect{title.x, underlineY, underlineWidth,
                      std::min(titleFont_.underlineThickness, title.y + title.height - underlineY)},
                 about::kTitleTextColor);
    }

    // Info text, line by line.
    const Rect& info = about::kInfoRect;
    const std::vector<std::string> lines = layoutLines(display_, bodyFont_, AboutWindow::infoText, info.width);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const int top = info.y + static_cast<int>(i) * bodyFont_.lineHeight;
        if (top >= info.y + info.height) break;
        drawText(bodyFont_, about::kInfoTextColor, info, info.x, top + bodyFont_.ascent, lines[i]);
    }

    drawButton();
}

void AboutX11::present() {
    XCopyArea(display_, back_, window_, gc_, 0, 0, static_cast<unsigned>(width_), static_cast<unsigned>(height_), 0, 0);
    XFlush(display_);
}

void AboutX11::updatePointer(int x, int y) {
    const bool inside = about::kButtonRect.contains(x, y);
    const bool pressed = tracking_ && inside;
    if (inside != hot_ || pressed != pressed_) {
        hot_ = inside;
        pressed_ = pressed;
        render();
        present();
    }
}

bool AboutX11::handle(const XEvent& event) {
    switch (event.type) {
        case Expose:
            if (event.xexpose.count == 0) present();
            break;
        case ButtonPress:
            if (event.xbutton.button == Button1 && about::kButtonRect.contains(event.xbutton.x, event.xbutton.y)) {
                tracking_ = true;
                updatePointer(event.xbutton.x, event.xbutton.y);
                // The first press after mapping may arrive before any motion.
                if (!pressed_) {
                    pressed_ = true;
                    render();
                    present();
                }
            }
            break;
        case MotionNotify: updatePointer(event.xmotion.x, event.xmotion.y); break;
        case EnterNotify: updatePointer(event.xcrossing.x, event.xcrossing.y); break;
        case LeaveNotify: updatePointer(-1, -1); break;
        case ButtonRelease:
            if (event.xbutton.button == Button1 && tracking_) {
                const bool activate = about::kButtonRect.contains(event.xbutton.x, event.xbutton.y);
                tracking_ = false;
                pressed_ = false;
                hot_ = activate;
                render();
                present();
                // Released over the button: a click. The window stays open.
                if (activate) platform::openUrl(AboutWindow::siteUrl);
            }
            break;
        case ClientMessage:
            if (event.xclient.message_type == wmProtocols_ && event.xclient.format == 32 &&
                static_cast<Atom>(event.xclient.data.l[0]) == wmDeleteWindow_) {
                return false;
            }
            break;
        case PropertyNotify:
            if (event.xproperty.window == window_ && event.xproperty.atom == frameExtents_) fitToFrame();
            break;
        case DestroyNotify:
            if (event.xdestroywindow.window == window_) {
                window_ = 0;
                return false;
            }
            break;
        default: break;
    }
    return true;
}

void AboutX11::run() {
    if (!createWindow()) {
        platform::messageBox("Window Creation Failed!", "Error!", platform::MessageIcon::Exclamation);
        return;  // nothing to wait for without a window
    }
    loadLogo();
    render();
    XMapRaised(display_, window_);
    XFlush(display_);

    // Waits on the connection with a timeout, so a stop request (SIGTERM,
    // SIGINT) also ends the window.
    platform::x11::runEvents(display_, 200, [this](const XEvent& event) { return handle(event); });
    if (window_) XDestroyWindow(display_, window_);
    XSync(display_, False);
}

}  // namespace

AboutWindow::AboutWindow(void* /*instance*/, int /*showCommand*/) {
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "lumeridge: cannot open the X display; the About window is not shown\n");
        return;
    }
    // Protocol errors are recorded, not fatal; a lost server ends the
    // process with code 0.
    platform::x11::installErrorHandlers();
    platform::installStopHandlers();
    AboutX11 window(display);
    window.run();
    // The connection, fonts and pixmaps live until the process ends.
}
