#include "scene/frame_stats.h"

#include "scene/scene_time.h"

void FrameStats::begin() { startTime = sceneTime(); }

void FrameStats::end() {
    endTime = sceneTime();
    lastMs = (endTime - startTime) * 1000.0f;
    totalMs += lastMs;
    count_ += 1;
    averageMs_ = totalMs / static_cast<float>(count_);
}
