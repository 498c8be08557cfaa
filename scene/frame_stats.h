// Wall-clock timing of the scene's render calls. The clock readings stay
// doubles, so that a duration of a fraction of a millisecond measures the
// same however long the clock has run; the durations are single precision.
#pragma once

#include <cstdint>

struct FrameStats {
    double startTime = 0.0;   // seconds, at begin()
    double endTime = 0.0;     // seconds, at end()
    float lastMs = 0.0f;      // the last measured duration
    float totalMs = 0.0f;     // sum of all measured durations
    float averageMs_ = 0.0f;  // totalMs / count
    std::int32_t count_ = 0;  // completed measurements

    void begin();
    void end();
    std::int32_t count() const { return count_; }
    float averageMs() const { return averageMs_; }
};
