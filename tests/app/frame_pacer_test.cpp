// The frame pacer against scripted time: the swap interval for each refresh
// rate, swaps that wait for the refresh left alone, and the limiter's rhythm
// where they do not.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "app/frame_pacer.h"

namespace {

TEST(FramePacer, SwapIntervalPerRefreshRate) {
    struct Row {
        double refreshHz, framePeriod;
        int interval;
    };
    const double p60 = kDefaultFramePeriod;
    const Row rows[] = {{0.0, p60, 1},   {50.0, p60, 1},        {59.94, p60, 1}, {60.0, p60, 1},  {75.0, p60, 1},
                        {90.0, p60, 2},  {120.0, p60, 2},       {144.0, p60, 2}, {165.0, p60, 3}, {240.0, p60, 4},
                        {360.0, p60, 5}, {60.0, 1.0 / 30.0, 2}, {144.0, 0.0, 1}, {-60.0, p60, 1}, {1e9, p60, 1}};
    for (const Row& r : rows)
        EXPECT_EQ(swapIntervalFor(r.refreshHz, r.framePeriod), r.interval) << r.refreshHz << " Hz, " << r.framePeriod;
}

// Runs `frames` frames: each starts when the pacer allows, takes `work`
// seconds to draw, and its swap returns at the next multiple of
// `swapPeriod` (0: at once), except for the first `queued` swaps, which
// return at once while the driver's spare buffers last. Returns the frames'
// start times.
std::vector<double> run(FramePacer& pacer, int frames, double work, double swapPeriod, int queued = 0) {
    std::vector<double> starts;
    double now = 100.0;
    for (int k = 0; k < frames; ++k) {
        starts.push_back(now);
        now += work;
        if (swapPeriod > 0.0 && k >= queued) now = std::ceil(now / swapPeriod - 1e-9) * swapPeriod;
        const double next = pacer.frameShown(now);
        EXPECT_GE(next, now);
        now = next;
    }
    return starts;
}

TEST(FramePacer, SwapsThatWaitForTheRefreshAreLeftAlone) {
    struct Case {
        double refreshHz;  // what the monitor reports
        double swapHz;     // how often the swaps return
    };
    // 60 Hz; 75 Hz; 144 Hz at interval 2; a monitor whose rate is unknown.
    for (const Case c : {Case{60.0, 60.0}, Case{75.0, 75.0}, Case{144.0, 72.0}, Case{0.0, 60.0}}) {
        FramePacer pacer(kDefaultFramePeriod, c.refreshHz);
        const int queued = 6;
        const std::vector<double> starts = run(pacer, 600, 0.002, 1.0 / c.swapHz, queued);
        EXPECT_FALSE(pacer.limiting()) << c.refreshHz;
        // Each frame starts as its swap returns: nothing is held back.
        for (std::size_t k = queued + 2; k < starts.size(); ++k)
            ASSERT_NEAR(starts[k] - starts[k - 1], 1.0 / c.swapHz, 1e-9) << c.refreshHz << " Hz, frame " << k;
    }
}

TEST(FramePacer, UnpacedSwapsGetASteadyRhythm) {
    struct Case {
        double framePeriod, refreshHz, swapPeriod;
        double period;  // the rhythm
    };
    const double p60 = kDefaultFramePeriod;
    // Xvfb (no refresh known, swaps at once); a driver that ignores the
    // swap interval on a 144 Hz monitor; a 30 Hz monitor; --delay 50000.
    for (const Case c : {Case{p60, 0.0, 0.0, p60}, Case{p60, 144.0, 1.0 / 144, p60}, Case{p60, 30.0, 0.0, 1.0 / 30},
                         Case{0.05, 0.0, 0.0, 0.05}}) {
        FramePacer pacer(c.framePeriod, c.refreshHz);
        const std::vector<double> starts = run(pacer, 400, 0.003, c.swapPeriod);
        ASSERT_TRUE(pacer.limiting()) << c.refreshHz;
        EXPECT_DOUBLE_EQ(pacer.limiterPeriod(), c.period);
        // The two probes' frames run free; from then on every start follows
        // the previous by exactly the period.
        for (std::size_t k = 2 * FramePacer::kProbeFrames + 2; k < starts.size(); ++k)
            ASSERT_NEAR(starts[k] - starts[k - 1], c.period, 1e-9) << c.refreshHz << " Hz, frame " << k;
    }
}

TEST(FramePacer, LateFramesAndGapsStartTheNextAtOnceWithoutCatchingUp) {
    FramePacer pacer(kDefaultFramePeriod, 0.0);
    run(pacer, 100, 0.001, 0.0);
    ASSERT_TRUE(pacer.limiting());
    double now = pacer.frameShown(200.0);  // a process stopped for a while
    EXPECT_EQ(now, 200.0);
    now = pacer.frameShown(now + 0.030);  // a frame slower than the period
    EXPECT_EQ(now, 200.030);
    // Then the rhythm again, from that frame on: no burst of frames.
    EXPECT_NEAR(pacer.frameShown(now + 0.001), 200.030 + kDefaultFramePeriod, 1e-9);
    // A woken-late wait does not shift the rhythm.
    EXPECT_NEAR(pacer.frameShown(200.030 + kDefaultFramePeriod + 0.004), 200.030 + 2 * kDefaultFramePeriod, 1e-9);
}

TEST(FramePacer, NoLimitAtDelayZero) {
    FramePacer pacer(0.0, 0.0);
    EXPECT_EQ(pacer.swapInterval(), 1);
    const std::vector<double> starts = run(pacer, 200, 0.0005, 0.0);
    EXPECT_FALSE(pacer.limiting());
    EXPECT_NEAR(starts.back() - starts.front(), 199 * 0.0005, 1e-9);
}

}  // namespace
