// Counts the frames an OpenGL window shows on a software-rendered display
// (Mesa on Xvfb): every buffer swap puts the new picture into the window,
// which the X server's DAMAGE extension reports as raw rectangles. A picture
// put in several strips has one strip at the window's top edge, so the
// rectangles that start there count the frames.
#pragma once

#include <X11/Xlib.h>

#include <string>

class FrameCounter {
public:
    // Watches `window` on `displayName` over a connection of its own.
    FrameCounter(const std::string& displayName, Window window);
    ~FrameCounter();
    FrameCounter(const FrameCounter&) = delete;
    FrameCounter& operator=(const FrameCounter&) = delete;

    bool ok() const { return damage_ != 0; }
    // Drops what was counted so far and counts the frames shown during the
    // next `seconds`.
    int countFor(double seconds);

private:
    // Reads the events that have arrived, waiting at most `seconds` for
    // the first; adds the frames among them.
    void take(double seconds);

    Display* display_ = nullptr;
    unsigned long damage_ = 0;
    int eventBase_ = 0;
    int frames_ = 0;
};
