// The background seed rule and the frame statistics, through the scene's
// time source.
#include <gtest/gtest.h>

#include <set>

#include "scene/frame_stats.h"
#include "scene/background_choice.h"
#include "tests/scene/scripted_time.h"
#include "resources/resource_ids.h"

namespace {

TEST(BackgroundChoice, TableOrder) {
    const int expected[kBackgroundCount] = {
        resource::kBackground01, resource::kBackground02, resource::kBackground03, resource::kBackground04,
        resource::kBackground05, resource::kBackground06, resource::kBackground07, resource::kBackground09,
        resource::kBackground08, resource::kBackground20, resource::kBackground19, resource::kBackground18,
        resource::kBackground17, resource::kBackground16, resource::kBackground15, resource::kBackground14,
        resource::kBackground13, resource::kBackground12, resource::kBackground11, resource::kBackground10,
    };
    for (int i = 0; i < kBackgroundCount; ++i) EXPECT_EQ(backgroundBitmapIds[i], expected[i]) << i;
}

TEST(BackgroundChoice, SeedIsStartupDelayInTensOfMicrosecondsModulo10000) {
    // Times chosen half-way between two 10 us steps, so float rounding of the
    // product cannot move the integer part.
    const struct {
        float t;
        unsigned seed;
    } rows[] = {{0.0f, 0u},         {0.000015f, 1u},    {0.012345f, 1234u}, {0.099995f, 9999u},
                {0.112345f, 1234u}, {1.312345f, 1234u}, {2.500005f, 0u},    {-1.0f, 0u}};
    for (const auto& row : rows) EXPECT_EQ(backgroundSeed(row.t), row.seed) << row.t;
}

TEST(BackgroundChoice, SameDelayModulo100msSameBackground) {
    const float delays[] = {0.003215f, 0.047775f, 0.081115f};
    for (float d : delays) {
        const int first = backgroundIndex(d);
        for (int k = 1; k <= 20; ++k)
            EXPECT_EQ(backgroundIndex(d + 0.1f * static_cast<float>(k)), first) << d << " + " << k;
    }
}

TEST(BackgroundChoice, IndexInRangeAndEveryBackgroundReachable) {
    std::set<int> seen;
    for (unsigned s = 0; s < 10000; ++s) {
        const float t = (static_cast<float>(s) + 0.5f) / 100000.0f;
        const int index = backgroundIndex(t);
        ASSERT_GE(index, 0);
        ASSERT_LT(index, kBackgroundCount);
        seen.insert(index);
    }
    EXPECT_EQ(seen.size(), static_cast<std::size_t>(kBackgroundCount));
    // Absurd times still give a valid index (no overflow in the conversion).
    for (float t : {1.0e9f, 3.4e38f, -0.0f}) {
        const int index = backgroundIndex(t);
        EXPECT_GE(index, 0);
        EXPECT_LT(index, kBackgroundCount);
    }
}

TEST(FrameStatsTest, AveragesMillisecondsInSinglePrecision) {
    ScriptedTime::install();
    FrameStats stats;
    EXPECT_EQ(stats.count(), 0);
    EXPECT_EQ(stats.averageMs(), 0.0f);
    const double spans[][2] = {{1.0, 1.002}, {2.0, 2.004}, {3.0, 3.0}};
    for (const auto& span : spans) {
        ScriptedTime::push(span[0]);
        ScriptedTime::push(span[1]);
        stats.begin();
        stats.end();
    }
    EXPECT_EQ(stats.count(), 3);
    EXPECT_NEAR(stats.lastMs, 0.0f, 1e-6f);
    EXPECT_NEAR(stats.totalMs, 6.0f, 1e-3f);
    EXPECT_NEAR(stats.averageMs(), 2.0f, 1e-3f);
    EXPECT_EQ(stats.startTime, 3.0);
    EXPECT_EQ(stats.endTime, 3.0);
    EXPECT_EQ(ScriptedTime::reads(), 6);

    // A week into a run a float of seconds steps by 62.5 ms: a 0.5 ms
    // render must still measure 0.5 ms.
    ScriptedTime::push(604800.0);
    ScriptedTime::push(604800.0005);
    stats.begin();
    stats.end();
    EXPECT_NEAR(stats.lastMs, 0.5f, 1e-4f);
    ScriptedTime::uninstall();
}

}  // namespace
