#include "gfx/scene_clock.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr double kCycleSeconds = 20.0;

// The shader's arithmetic, in single precision as the shader had it:
// w = |fract(0.05 t + 0.5) 2 - 1|, a triangle wave of period 20 s, and
// mix(0.01, 0.15, smoothstep(0.1, 0.6, w)).
float refractionIntensityAt(float cycleTime) {
    const float x = 0.05f * cycleTime + 0.5f;
    const float w = std::fabs((x - std::floor(x)) * 2.0f - 1.0f);
    const float u = std::min(std::max((w - 0.1f) / (0.6f - 0.1f), 0.0f), 1.0f);
    const float rise = u * u * (3.0f - 2.0f * u);
    return 0.01f * (1.0f - rise) + 0.15f * rise;
}
}  // namespace

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
    time.refractionIntensity = refractionIntensityAt(time.cycleTime);
    return time;
}
