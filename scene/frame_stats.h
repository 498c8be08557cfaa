// Wall-clock timing of the scene's render calls, in single precision.
#pragma once

#include <cstdint>

struct FrameStats {
    float startTime = 0.0f;   // seconds, at begin()
    float endTime = 0.0f;     // seconds, at end()
    float lastMs = 0.0f;      // the last measured duration
    float totalMs = 0.0f;     // sum of all measured durations
    float averageMs_ = 0.0f;  // totalMs / count
    std::int32_t count_ = 0;  // completed measurements

    void begin();
    void end();
    std::int32_t count() const { return count_; }
    float averageMs() const { return averageMs_; }
};
