// The CPU reference against facts of the ripple arithmetic that do not
// depend on how it is coded: the comparison with the real renders is only as
// good as the reference.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "tests/support/ripple_reference.h"

namespace {

using ripple::Vec2;
using ripple::Vec3;

TEST(RippleReference, HashesStayInTheUnitIntervalAndDiffer) {
    int equalNeighbours = 0;
    for (int y = -40; y <= 40; ++y)
        for (int x = -40; x <= 40; ++x) {
            const Vec2 c{static_cast<float>(x), static_cast<float>(y)};
            const float h = ripple::hash12(c);
            const Vec2 h2 = ripple::hash22(c);
            for (float v : {h, h2.x, h2.y}) {
                EXPECT_GE(v, 0.0f);
                EXPECT_LT(v, 1.0f);
            }
            if (h == ripple::hash12({c.x + 1.0f, c.y})) ++equalNeighbours;
        }
    EXPECT_LT(equalNeighbours, 3);
}

TEST(RippleReference, WaveEnvelopeRisesAndFallsInsideTheBand) {
    // The reversed smoothstep is the falling edge: 1 - smoothstep(-0.3, 0, e).
    for (float e = -1.0f; e <= 0.5f; e += 0.01f)
        EXPECT_NEAR(ripple::smoothstep(0.0f, -0.3f, e), 1.0f - ripple::smoothstep(-0.3f, 0.0f, e), 1e-6f) << e;
    for (float e : {-2.0f, -0.6f, 0.0f, 0.3f}) EXPECT_NEAR(ripple::wave(e), 0.0f, 1e-6f) << e;
    EXPECT_NEAR(ripple::wave(-0.3f), std::sin(31.0f * -0.3f), 1e-6f);  // the envelope's peak is 1
}

TEST(RippleReference, RefractionStrengthFollowsTheTwentySecondTriangle) {
    // w = |fract(0.05 t + 0.5) * 2 - 1|; intensity = mix(0.01, 0.15, smoothstep(0.1, 0.6, w)).
    const struct {
        float t;
        float intensity;
    } cases[] = {{0.0f, 0.01f},  {0.9f, 0.01f}, {10.0f, 0.15f}, {20.0f, 0.01f},  {30.0f, 0.15f},
                 {40.0f, 0.01f}, {7.0f, 0.15f}, {13.0f, 0.15f}, {5.0f, 0.13544f}};  // w = 0.5: smoothstep gives 0.896
    for (const auto& c : cases) EXPECT_NEAR(ripple::refractionIntensity(c.t), c.intensity, 1e-5f) << c.t;
    // The program works it out once a frame on the CPU: the same value, to the
    // bit, at times across the cycle, its wrap and a year on.
    for (double t : {0.0, 0.9, 2.5, 4.999, 5.0, 7.25, 10.0, 14.2, 19.999, 20.0, 612.5, 365.0 * 86400.0 + 3.3}) {
        const ShaderTime time = shaderTimeAt(t);
        EXPECT_EQ(time.refractionIntensity, ripple::refractionIntensity(time.cycleTime)) << t;
    }
}

TEST(RippleReference, FlatSurfaceShowsTheBackgroundUnshiftedAndFaintlyLit) {
    ripple::Texture background{2, 2, {0.1f, 0.2f, 0.3f, 0.4f, 0.5f, 0.6f, 0.7f, 0.8f, 0.9f, 0.0f, 0.1f, 0.2f}};
    const Vec3 n = ripple::normalFrom({0.0f, 0.0f});
    EXPECT_EQ(n.z, 1.0f);
    // At texel (1, 0)'s centre the bilinear look-up returns that texel.
    const Vec3 c = ripple::shade(n, {0.75f, 0.25f}, 0.15f, background);
    EXPECT_NEAR(c.x - 0.4f, 0.0148f, 1e-4f);
    EXPECT_NEAR(c.y - 0.5f, 0.0148f, 1e-4f);
    EXPECT_NEAR(c.z - 0.6f, 0.0148f, 1e-4f);
    // Too steep a normal keeps a real root.
    EXPECT_EQ(ripple::normalFrom({0.9f, 0.9f}).z, 0.0f);
}

TEST(RippleReference, SamplingWrapsAndFiltersLikeOpenGL) {
    ripple::Texture t{4, 1, {0, 0, 0, 1, 1, 1, 2, 2, 2, 3, 3, 3}};
    const struct {
        float s;
        float linear;
        float nearest;
    } cases[] = {
        {0.125f, 0.0f, 0.0f},  // texel centres return the texel
        {0.375f, 1.0f, 1.0f},
        {0.25f, 0.5f, 1.0f},   // between two centres: the mean; nearest rounds down to the right texel
        {0.0f, 1.5f, 0.0f},    // the edge: half the last texel, half the first (GL_REPEAT)
        {1.125f, 0.0f, 0.0f},  // one period on
        {-0.125f, 3.0f, 3.0f},
    };
    for (const auto& c : cases) {
        EXPECT_NEAR(ripple::sampleLinear(t, {c.s, 0.5f}).x, c.linear, 1e-6f) << c.s;
        EXPECT_EQ(ripple::sampleNearest(t, {c.s, 0.5f}).x, c.nearest) << c.s;
    }
}

}  // namespace

// The shader's time inputs are reduced on the CPU; at each wrap of the
// 20-second cycle, and a year into a run, every time-dependent quantity the
// shader computes from them moves on as smoothly as anywhere else.
TEST(RippleReference, ShaderTimeHasNoSeamAtItsWrapsAndKeepsItsStepAfterAYear) {
    constexpr double kFrame = 1.0 / 60.0;
    const Vec2 cell{3.0f, -2.0f};
    const float h = ripple::hash12(cell);
    // A drop's phase and the refraction strength, as the shader has them.
    auto phase = [&](double t) { return ripple::fract(0.3f * shaderTimeAt(t).cycleTime + h); };
    auto intensity = [](double t) { return ripple::refractionIntensity(shaderTimeAt(t).cycleTime); };
    auto phaseStep = [&](double a, double b) {
        const float d = std::fabs(phase(b) - phase(a));
        return std::min(d, 1.0f - d);  // the phase is taken modulo 1
    };
    for (double wrap : {20.0, 40.0, 86400.0, 604800.0, 31536000.0}) {
        const double a = wrap - kFrame / 2.0, b = wrap + kFrame / 2.0;
        EXPECT_NEAR(phaseStep(a, b), 0.3 * kFrame, 1e-4) << wrap;
        EXPECT_NEAR(intensity(a), intensity(b), 1e-4) << wrap;
        const ShaderTime before = shaderTimeAt(a), after = shaderTimeAt(b);
        EXPECT_GE(before.cycleTime, 19.9f) << wrap;
        EXPECT_LT(after.cycleTime, 0.1f) << wrap;
        EXPECT_NEAR(before.driftX, after.driftX, kFrame / 31.0 + 1e-6) << wrap;
        EXPECT_NEAR(before.driftY, after.driftY, kFrame / 23.0 + 1e-6) << wrap;
        EXPECT_NEAR(before.ringSwing, after.ringSwing, kFrame / 10.0 + 1e-6) << wrap;
    }
    // A year in, one frame still advances the phase by one frame's worth.
    const double year = 31536000.0 + 7.3;
    for (int k = 0; k < 4; ++k) EXPECT_NEAR(phaseStep(year + k * kFrame, year + (k + 1) * kFrame), 0.3 * kFrame, 1e-4);
    EXPECT_NEAR(shaderTimeAt(year).cycleTime, 7.3f, 1e-5f);
    EXPECT_EQ(shaderTimeAt(-5.0).cycleTime, 15.0f);  // never outside [0, 20)
}
