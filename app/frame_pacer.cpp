#include "app/frame_pacer.h"

#include <algorithm>
#include <cmath>

namespace {

// An even rhythm matters more than the exact rate: 72 frames a second on a
// 144 Hz monitor (every frame two refreshes) beats 48, and 60 a second on
// it would alternate two and three refreshes.
constexpr double kRateAllowance = 1.25;
// Swaps that wait for the refresh never run much faster than it; 20 % faster
// over kProbeFrames frames means they do not wait.
constexpr double kUnpacedMargin = 1.2;
// A monitor's answer above this is no refresh rate (a driver's placeholder).
constexpr double kHighestRefreshHz = 1000.0;

bool knownRefresh(double refreshHz) { return refreshHz > 0.0 && refreshHz <= kHighestRefreshHz; }

}  // namespace

int swapIntervalFor(double refreshHz, double framePeriod) {
    if (!knownRefresh(refreshHz) || framePeriod <= 0.0) return 1;
    const double highestRate = kRateAllowance / framePeriod;
    // The small tolerance keeps 120 Hz at 2 for 60 a second however the
    // division rounds.
    return std::max(1, static_cast<int>(std::ceil(refreshHz / highestRate - 1e-9)));
}

FramePacer::FramePacer(double framePeriod, double refreshHz)
    : framePeriod_(framePeriod), swapInterval_(swapIntervalFor(refreshHz, framePeriod)) {
    const double refreshes = knownRefresh(refreshHz) ? swapInterval_ / refreshHz : 0.0;
    pacedPeriod_ = refreshes > 0.0 ? refreshes : framePeriod;
    limiterPeriod_ = std::max(framePeriod, refreshes);
}

double FramePacer::frameShown(double now) {
    if (framePeriod_ <= 0.0) return now;
    if (limiting_) {
        // A steady rhythm: the next start follows the previous one by the
        // period, whenever this frame ended and however late the wait woke.
        // A frame that ran past it (a slow frame, a stopped process, a
        // suspended machine) starts the next at once, without catching up.
        next_ = std::max(next_ + limiterPeriod_, now);
        return next_;
    }
    if (probed_ < 0 || now < probeStart_) {
        probeStart_ = now;
        probed_ = 0;
        return now;
    }
    if (++probed_ < kProbeFrames) return now;
    // The first swaps of a run return at once on paced swaps too, while the
    // driver's queue of buffers fills: the first probe only waits for that.
    if (warmedUp_ && now - probeStart_ < kProbeFrames * pacedPeriod_ / kUnpacedMargin) {
        limiting_ = true;
        next_ = now;
        return now;
    }
    warmedUp_ = true;
    probeStart_ = now;
    probed_ = 0;
    return now;
}
