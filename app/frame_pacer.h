// How often the frame loop may draw. The animation's motion is defined in
// seconds, so a frame beyond about 60 a second is one nobody sees: on a
// monitor faster than that the swap interval spans several refreshes, and
// where the swaps return without waiting for any refresh (Xvfb, Xvnc, xrdp,
// virtual machines, drivers without vsync) a limiter on the CPU keeps a
// steady rhythm instead.
//
// Pure scheduling: the caller hands in the clock, so tests script the time.
// One call per frame, after the swap of every window the frame drew.
#pragma once

// The default frame period: at most 60 frames a second.
constexpr double kDefaultFramePeriod = 1.0 / 60.0;

// The swap interval for a monitor of `refreshHz` (0 when it is not known)
// and frames at most every `framePeriod` seconds (0: no limit): the fewest
// refreshes per frame that keep the rate at or below 1.25 times the wanted
// one. An integer interval shows every frame for the same number of
// refreshes, which an even rhythm needs; 75 Hz keeps every refresh rather
// than dropping to 37.5 frames a second.
int swapIntervalFor(double refreshHz, double framePeriod);

class FramePacer {
public:
    // Frames in a row that the limiter judges the swaps' pace by, after
    // as many to let the driver's queue of buffers fill.
    static constexpr int kProbeFrames = 30;

    FramePacer(double framePeriod, double refreshHz);

    int swapInterval() const { return swapInterval_; }
    bool limiting() const { return limiting_; }
    // The limiter's rhythm once it runs: the wanted period, and never faster
    // than the swap interval's refreshes.
    double limiterPeriod() const { return limiterPeriod_; }

    // The frame's swaps returned at `now` (seconds, any steady clock).
    // Returns when the next frame may start: `now` or later.
    double frameShown(double now);

private:
    double framePeriod_;
    int swapInterval_;
    double pacedPeriod_;  // what the swaps take per frame when they wait for the refresh
    double limiterPeriod_;
    bool limiting_ = false;
    bool warmedUp_ = false;    // the first probe is over
    int probed_ = -1;          // frames since probeStart_; -1 before the first
    double probeStart_ = 0.0;  // when the probe's first frame was shown
    double next_ = 0.0;        // when the limiter lets the next frame start
};
