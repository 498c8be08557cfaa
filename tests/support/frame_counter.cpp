#include "tests/support/frame_counter.h"

#include <X11/extensions/Xdamage.h>
#include <poll.h>

#include <chrono>

FrameCounter::FrameCounter(const std::string& displayName, Window window) {
    display_ = XOpenDisplay(displayName.c_str());
    if (display_ == nullptr) return;
    int errorBase = 0;
    if (!XDamageQueryExtension(display_, &eventBase_, &errorBase)) return;
    damage_ = XDamageCreate(display_, window, XDamageReportRawRectangles);
    XSync(display_, False);
}

FrameCounter::~FrameCounter() {
    if (display_ == nullptr) return;
    if (damage_ != 0) XDamageDestroy(display_, damage_);
    XCloseDisplay(display_);
}

void FrameCounter::take(double seconds) {
    if (XPending(display_) == 0) {
        pollfd fd = {ConnectionNumber(display_), POLLIN, 0};
        poll(&fd, 1, static_cast<int>(seconds * 1000.0));
    }
    while (XPending(display_) > 0) {
        XEvent event;
        XNextEvent(display_, &event);
        if (event.type != eventBase_ + XDamageNotify) continue;
        const auto& notify = reinterpret_cast<const XDamageNotifyEvent&>(event);
        if (notify.damage == damage_ && notify.area.y == 0) ++frames_;
    }
}

int FrameCounter::countFor(double seconds) {
    if (!ok()) return 0;
    take(0.0);
    frames_ = 0;
    using Clock = std::chrono::steady_clock;
    const Clock::time_point end =
        Clock::now() + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
    for (Clock::time_point now = Clock::now(); now < end; now = Clock::now())
        take(std::chrono::duration<double>(end - now).count());
    return frames_;
}
