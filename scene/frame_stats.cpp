#include "scene/frame_stats.h"

#include "scene/scene_time.h"

void FrameStats::begin() { startTime = sceneTime(); }

void FrameStats::end() {
    endTime = sceneTime();
    lastMs = static_cast<float>((endTime - startTime) * 1000.0);
    totalMs += lastMs;
    count_ += 1;
    averageMs_ = totalMs / static_cast<float>(count_);
}
