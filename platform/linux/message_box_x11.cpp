// Message boxes on Linux: the text goes to stderr as "caption: text", and on
// a reachable X display a small dialog shows it like MessageBoxA: the caption
// as the window title, an icon, the text and an OK button. It blocks until
// Return, Escape, space, a click on OK or the window manager's close, and
// uses an X connection of its own, separate from GLFW's.
#include <X11/Xatom.h>
#include <X11/Xft/Xft.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/linux/x11_support.h"
#include "platform/linux/x11_text.h"
#include "platform/platform.h"

namespace platform {
namespace {

constexpr int kMargin = 20;
constexpr int kIconSize = 32;
constexpr int kIconGap = 12;
constexpr int kMaxTextWidth = 520;
constexpr int kMaxLines = 40;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 23;
constexpr int kBandHeight = 42;
constexpr int kMinWidth = 200;

// Text drawing with Xft when a font is found, else with the core font.
class Text {
public:
    Text(Display* display, int screen) : display_(display), screen_(screen) {
        font_ = XftFontOpenName(display, screen, "Liberation Sans:pixelsize=13");
        if (font_ == nullptr) font_ = XftFontOpenName(display, screen, "sans:pixelsize=13");
        if (font_ == nullptr) core_ = XLoadQueryFont(display, "fixed");
    }
    ~Text() {
        if (font_ != nullptr) XftFontClose(display_, font_);
        if (core_ != nullptr) XFreeFont(display_, core_);
    }
    int width(const std::string& s) const {
        if (font_ != nullptr) return x11::textWidth(display_, font_, s);
        if (core_ != nullptr) return XTextWidth(core_, s.data(), static_cast<int>(s.size()));
        return 7 * static_cast<int>(s.size());
    }
    int ascent() const { return font_ ? font_->ascent : (core_ ? core_->ascent : 10); }
    int lineHeight() const {
        return font_ ? font_->ascent + font_->descent + 2 : (core_ ? core_->ascent + core_->descent + 2 : 14);
    }
    void draw(XftDraw* draw, XftColor* color, Window window, GC gc, int x, int baseline, const std::string& s) {
        if (font_ != nullptr && draw != nullptr) {
            XftDrawStringUtf8(draw, color, font_, x, baseline, reinterpret_cast<const FcChar8*>(s.data()),
                              static_cast<int>(s.size()));
        } else if (core_ != nullptr) {
            XSetFont(display_, gc, core_->fid);
            XSetForeground(display_, gc, BlackPixel(display_, screen_));
            XDrawString(display_, window, gc, x, baseline, s.data(), static_cast<int>(s.size()));
        }
    }

private:
    Display* display_;
    int screen_;
    XftFont* font_ = nullptr;
    XFontStruct* core_ = nullptr;
};

class Dialog {
public:
    Dialog(Display* display, const char* text, const char* caption, MessageIcon icon)
        : display_(display), screen_(DefaultScreen(display)), icon_(icon), text_(display, screen_) {
        // The dialog shows at most kMaxLines lines; stderr has the full text.
        const std::string shown(text, std::min<std::size_t>(std::strlen(text), 8192));
        lines_ = x11::wrapLines(
            shown, kMaxTextWidth, [this](const std::string& line) { return text_.width(line); }, kMaxLines);
        int textWidth = 0;
        for (const std::string& line : lines_) textWidth = std::max(textWidth, text_.width(line));
        const int textHeight = static_cast<int>(lines_.size()) * text_.lineHeight();
        textX_ = kMargin + kIconSize + kIconGap;
        const int body = std::max(kIconSize, textHeight);
        width_ = std::max(kMinWidth, textX_ + textWidth + kMargin);
        width_ = std::max(width_, text_.width(caption) + 120);  // room for the title
        width_ = std::min(width_, textX_ + kMaxTextWidth + kMargin);
        height_ = kMargin + body + kMargin + kBandHeight;
        textY_ = kMargin + (body - textHeight) / 2;
        buttonX_ = width_ - kMargin / 2 - kButtonWidth;
        buttonY_ = height_ - kBandHeight + (kBandHeight - kButtonHeight) / 2;

        const Window root = RootWindow(display, screen_);
        // Centred on the primary monitor, and never above or left of it.
        const x11::Area monitor = x11::primaryMonitorArea(display, screen_);
        const int x = monitor.x + std::max(0, (monitor.width - width_) / 2);
        const int y = monitor.y + std::max(0, (monitor.height - height_) / 2);
        XSetWindowAttributes attributes{};
        attributes.background_pixel = WhitePixel(display, screen_);
        attributes.event_mask =
            ExposureMask | KeyPressMask | ButtonPressMask | ButtonReleaseMask | StructureNotifyMask | PointerMotionMask;
        x11::resetError();
        window_ = XCreateWindow(display, root, x, y, static_cast<unsigned>(width_), static_cast<unsigned>(height_), 0,
                                CopyFromParent, InputOutput, CopyFromParent, CWBackPixel | CWEventMask, &attributes);
        if (x11::syncAndTakeError(display) != 0) {
            window_ = 0;  // refused: stderr has the text, there is nothing to wait for
            return;
        }

        // Title, class, fixed size, dialog type, kept above full-screen windows.
        x11::nameWindow(display, window_, caption);
        XSizeHints* sizeHints = XAllocSizeHints();
        if (sizeHints != nullptr) {
            sizeHints->flags = PPosition | PMinSize | PMaxSize;
            sizeHints->x = x;
            sizeHints->y = y;
            sizeHints->min_width = sizeHints->max_width = width_;
            sizeHints->min_height = sizeHints->max_height = height_;
            XSetWMNormalHints(display, window_, sizeHints);
            XFree(sizeHints);
        }
        const Atom dialogType = XInternAtom(display, "_NET_WM_WINDOW_TYPE_DIALOG", False);
        XChangeProperty(display, window_, XInternAtom(display, "_NET_WM_WINDOW_TYPE", False), XA_ATOM, 32,
                        PropModeReplace, reinterpret_cast<const unsigned char*>(&dialogType), 1);
        const Atom above = XInternAtom(display, "_NET_WM_STATE_ABOVE", False);
        XChangeProperty(display, window_, XInternAtom(display, "_NET_WM_STATE", False), XA_ATOM, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(&above), 1);
        deleteWindow_ = XInternAtom(display, "WM_DELETE_WINDOW", False);
        XSetWMProtocols(display, window_, &deleteWindow_, 1);

        gc_ = XCreateGC(display, window_, 0, nullptr);
        draw_ = XftDrawCreate(display, window_, DefaultVisual(display, screen_), DefaultColormap(display, screen_));
        XRenderColor black{0, 0, 0, 0xFFFF};
        textColorOk_ = XftColorAllocValue(display, DefaultVisual(display, screen_), DefaultColormap(display, screen_),
                                          &black, &textColor_) != 0;
        band_ = colorPixel(240, 240, 240);
        buttonFace_ = colorPixel(225, 225, 225);
        buttonPressedFace_ = colorPixel(204, 228, 247);
        buttonBorder_ = colorPixel(0, 120, 215);
        infoBlue_ = colorPixel(30, 110, 200);
        warnYellow_ = colorPixel(250, 200, 30);
        XMapRaised(display, window_);
    }

    ~Dialog() {
        if (textColorOk_) {
            XftColorFree(display_, DefaultVisual(display_, screen_), DefaultColormap(display_, screen_), &textColor_);
        }
        if (draw_ != nullptr) XftDrawDestroy(draw_);
        if (gc_ != nullptr) XFreeGC(display_, gc_);
        if (window_ != 0) XDestroyWindow(display_, window_);
        XSync(display_, False);
    }

    // Runs until the dialog is dismissed (or the process is asked to stop).
    void run() {
        if (window_ == 0) return;
        x11::runEvents(display_, 100, [this](const XEvent& event) { return handle(event); });
    }

private:
    unsigned long colorPixel(int red, int green, int blue) const {
        return x11::allocatePixel(display_, DefaultColormap(display_, screen_), red, green, blue);
    }

    // False once the box is dismissed.
    bool handle(const XEvent& event) {
        switch (event.type) {
            case Expose:
                if (event.xexpose.count == 0) paint();
                break;
            case MapNotify:
                // Without a window manager nobody else gives the box the keyboard.
                x11::resetError();
                XSetInputFocus(display_, window_, RevertToPointerRoot, CurrentTime);
                x11::syncAndTakeError(display_);
                break;
            case KeyPress: {
                // XLookupKeysym takes a non-const event.
                XKeyEvent key = event.xkey;
                const KeySym sym = XLookupKeysym(&key, 0);
                if (sym == XK_Return || sym == XK_KP_Enter || sym == XK_Escape || sym == XK_space) return false;
                break;
            }
            case ButtonPress:
                if (event.xbutton.button == Button1 && onButton(event.xbutton.x, event.xbutton.y)) {
                    pressed_ = true;
                    paint();
                }
                break;
            case ButtonRelease:
                if (event.xbutton.button == Button1 && pressed_) {
                    pressed_ = false;
                    if (onButton(event.xbutton.x, event.xbutton.y)) return false;
                    paint();
                }
                break;
            case ClientMessage:
                if (static_cast<Atom>(event.xclient.data.l[0]) == deleteWindow_) return false;
                break;
            default: break;
        }
        return true;
    }

    bool onButton(int x, int y) const {
        return x >= buttonX_ && x < buttonX_ + kButtonWidth && y >= buttonY_ && y < buttonY_ + kButtonHeight;
    }

    void paint() {
        XSetForeground(display_, gc_, WhitePixel(display_, screen_));
        XFillRectangle(display_, window_, gc_, 0, 0, static_cast<unsigned>(width_), static_cast<unsigned>(height_));
        paintIcon(kMargin, kMargin);
        int baseline = textY_ + text_.ascent();
        for (const std::string& line : lines_) {
            text_.draw(draw_, &textColor_, window_, gc_, textX_, baseline, line);
            baseline += text_.lineHeight();
        }
        // Button band and the OK button.
        XSetForeground(display_, gc_, band_);
        XFillRectangle(display_, window_, gc_, 0, height_ - kBandHeight, static_cast<unsigned>(width_), kBandHeight);
        XSetForeground(display_, gc_, pressed_ ? buttonPressedFace_ : buttonFace_);
        XFillRectangle(display_, window_, gc_, buttonX_, buttonY_, kButtonWidth, kButtonHeight);
        XSetForeground(display_, gc_, buttonBorder_);
        XDrawRectangle(display_, window_, gc_, buttonX_, buttonY_, kButtonWidth - 1, kButtonHeight - 1);
        const std::string ok = "OK";
        const int okX = buttonX_ + (kButtonWidth - text_.width(ok)) / 2;
        const int okBaseline = buttonY_ + (kButtonHeight + text_.ascent()) / 2 - 1;
        text_.draw(draw_, &textColor_, window_, gc_, okX, okBaseline, ok);
        XFlush(display_);
    }

    void paintIcon(int x, int y) {
        const unsigned s = kIconSize;
        if (icon_ == MessageIcon::Exclamation) {
            XPoint triangle[3] = {{static_cast<short>(x + s / 2), static_cast<short>(y + 1)},
                                  {static_cast<short>(x + s - 1), static_cast<short>(y + s - 2)},
                                  {static_cast<short>(x), static_cast<short>(y + s - 2)}};
            XSetForeground(display_, gc_, warnYellow_);
            XFillPolygon(display_, window_, gc_, triangle, 3, Convex, CoordModeOrigin);
            XSetForeground(display_, gc_, BlackPixel(display_, screen_));
            XFillRectangle(display_, window_, gc_, x + static_cast<int>(s) / 2 - 2, y + 10, 4, 12);
            XFillRectangle(display_, window_, gc_, x + static_cast<int>(s) / 2 - 2, y + 24, 4, 4);
        } else {
            XSetForeground(display_, gc_, infoBlue_);
            XFillArc(display_, window_, gc_, x, y, s, s, 0, 360 * 64);
            XSetForeground(display_, gc_, WhitePixel(display_, screen_));
            XFillRectangle(display_, window_, gc_, x + static_cast<int>(s) / 2 - 2, y + 7, 4, 4);
            XFillRectangle(display_, window_, gc_, x + static_cast<int>(s) / 2 - 2, y + 13, 4, 12);
        }
    }

    Display* display_;
    int screen_;
    MessageIcon icon_;
    Text text_;
    std::vector<std::string> lines_;
    int width_ = 0, height_ = 0, textX_ = 0, textY_ = 0, buttonX_ = 0, buttonY_ = 0;
    Window window_ = 0;
    GC gc_ = nullptr;
    XftDraw* draw_ = nullptr;
    XftColor textColor_{};
    bool textColorOk_ = false;
    unsigned long band_ = 0, buttonFace_ = 0, buttonPressedFace_ = 0, buttonBorder_ = 0;
    unsigned long infoBlue_ = 0, warnYellow_ = 0;
    Atom deleteWindow_ = 0;
    bool pressed_ = false;
};

}  // namespace

namespace {
bool stderrOnly = false;
}  // namespace

void messageBoxesToStderrOnly() { stderrOnly = true; }

void messageBox(const char* text, const char* caption, MessageIcon icon) {
    if (text == nullptr) text = "";
    if (caption == nullptr) caption = "";
    std::fprintf(stderr, "%s: %s\n", caption, text);
    std::fflush(stderr);
    if (stderrOnly) return;

    x11::installErrorHandlers();
    Display* display = XOpenDisplay(nullptr);  // no display: stderr is all there is
    if (display == nullptr) return;
    {
        Dialog dialog(display, text, caption, icon);
        dialog.run();
    }
    XCloseDisplay(display);
}

}  // namespace platform
