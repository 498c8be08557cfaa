// Scene time for host mode. The hosts stop a saver's process while its
// window is covered (SIGSTOP, later SIGCONT): the animation goes on where it
// stopped rather than jumping ahead by the time it was stopped. A gap between
// two frames longer than kLongestFrameGap counts as one nominal frame.
#pragma once

class FrameClock {
public:
    static constexpr double kLongestFrameGap = 1.0;  // seconds; no real frame takes longer
    static constexpr double kNominalFrame = 1.0 / 60.0;

    // The scene time for a frame drawn at wall-clock time `wallSeconds`.
    double next(double wallSeconds) {
        if (started_) {
            const double gap = wallSeconds - lastWall_;
            scene_ += (gap >= 0.0 && gap <= kLongestFrameGap) ? gap : kNominalFrame;
        } else {
            scene_ = wallSeconds;
            started_ = true;
        }
        lastWall_ = wallSeconds;
        return scene_;
    }

private:
    bool started_ = false;
    double lastWall_ = 0.0;
    double scene_ = 0.0;
};
