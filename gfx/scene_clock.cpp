#include "gfx/scene_clock.h"

#include <cmath>

namespace {
constexpr double kCycleSeconds = 20.0;
}

ShaderTime shaderTimeAt(double seconds) {
    ShaderTime time;
    double cycle = std::fmod(seconds, kCycleSeconds);
    if (cycle < 0.0) cycle += kCycleSeconds;
    // fmod is exact, but a value a hair below 20 can round up to 20.0f.
    time.cycleTime = static_cast<float>(cycle);
    if (time.cycleTime >= static_cast<float>(kCycleSeconds)) time.cycleTime = 0.0f;
    time.driftX = static_cast<float>(std::sin(seconds / 31.0));
    time.driftY = static_cast<float>(std::cos(seconds / 23.0));
    time.ringSwing = static_cast<float>(std::sin(seconds / 10.0));
    return time;
}
