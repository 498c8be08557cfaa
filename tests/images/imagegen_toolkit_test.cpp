// The image generator's toolkit: its noise and scattered objects wrap with
// the tile (the backgrounds are sampled with repeat wrapping), the fast
// paths give the values of the plain definitions, the blur is the wrapped
// box filter it stands for, edge smoothing leaves smooth areas alone, and
// the BMP writer's files read back pixel for pixel.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/linux/bitmap_linux.h"
#include "tools/imagegen/imagegen.h"

namespace {

using namespace imagegen;

// Sample points spread over the tile, including its edges.
std::vector<std::pair<float, float>> points() {
    std::vector<std::pair<float, float>> p = {{0.0f, 0.0f}, {0.999f, 0.5f}, {0.5f, 0.999f}, {0.001f, 0.999f}};
    Rng rng(7);
    for (int k = 0; k < 60; ++k) p.emplace_back(rng.next(), rng.next());
    return p;
}

TEST(ImagegenNoise, RepeatsWithTheTile) {
    struct Case {
        const char* name;
        std::function<float(float, float)> f;
    };
    const Case cases[] = {
        {"gnoise", [](float u, float v) { return gnoise(u * 12, v * 12, 12, 3); }},
        {"fbm", [](float u, float v) { return fbm(u, v, 5, 4, 11); }},
        {"fbmA", [](float u, float v) { return fbmA(u, v, 3, 17, 3, 12); }},
        {"ridged", [](float u, float v) { return ridged(u, v, 6, 3, 13); }},
        {"worley f1", [](float u, float v) { return worley(u, v, 9, 14).f1; }},
        {"worley f2", [](float u, float v) { return worley(u, v, 9, 14).f2; }},
        {"worley id", [](float u, float v) { return static_cast<float>(worley(u, v, 9, 14).id % 1000); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (auto [u, v] : points()) {
            const float here = c.f(u, v);
            EXPECT_NEAR(c.f(u + 1, v), here, 2e-3f) << u << "," << v;
            EXPECT_NEAR(c.f(u, v - 1), here, 2e-3f) << u << "," << v;
        }
    }
}

// worley shares the hash work of a row and of the seed; its answers must be
// those of the plain definition.
TEST(ImagegenNoise, FastPathsMatchThePlainDefinitions) {
    for (auto [u, v] : points()) {
        const int n = 7;
        const std::uint32_t seed = 99;
        CellHit ref;
        const float x = u * n, y = v * n;
        const int ci = static_cast<int>(std::floor(x)), cj = static_cast<int>(std::floor(y));
        for (int j = cj - 1; j <= cj + 1; ++j)
            for (int i = ci - 1; i <= ci + 1; ++i) {
                const std::uint32_t h =
                    hash(static_cast<std::uint32_t>(wrapi(i, n)), static_cast<std::uint32_t>(wrapi(j, n)), seed);
                const float px = i + 0.5f + 0.9f * (unit(hash(h, 1)) - 0.5f),
                            py = j + 0.5f + 0.9f * (unit(hash(h, 2)) - 0.5f);
                const float d = std::sqrt((x - px) * (x - px) + (y - py) * (y - py));
                if (d < ref.f1) {
                    ref.f2 = ref.f1;
                    ref.f1 = d;
                    ref.id = h;
                } else if (d < ref.f2) {
                    ref.f2 = d;
                }
            }
        const CellHit got = worley(u, v, n, seed, 0.9f);
        EXPECT_EQ(got.id, ref.id);
        EXPECT_EQ(got.f1, ref.f1);
        EXPECT_EQ(got.f2, ref.f2);
    }
    // Gradient noise is zero on every lattice point and repeats with its periods.
    EXPECT_EQ(gnoise2(3.0f, 4.0f, 8, 8, 5), 0.0f);
    EXPECT_EQ(gnoise2(3.25f, 4.5f, 8, 8, 5), gnoise2(11.25f, 12.5f, 8, 8, 5));
}

TEST(ImagegenField, BlurIsAWrappedBoxFilterThreeTimes) {
    const int n = 48;
    Field f(n);
    Rng rng(3);
    for (float& v : f.v) v = rng.next();
    f.at(0, 0) = 40;  // a spike at the corner spreads across all four edges
    const float radius = 6;
    const int r = static_cast<int>(std::lround(radius * 0.58f));
    Field ref = f;
    for (int pass = 0; pass < 3; ++pass) {
        Field tmp(n);
        for (int y = 0; y < n; ++y)
            for (int x = 0; x < n; ++x) {
                float s = 0;
                for (int k = -r; k <= r; ++k) s += ref.at(x + k, y);
                tmp.at(x, y) = s / (2 * r + 1);
            }
        for (int y = 0; y < n; ++y)
            for (int x = 0; x < n; ++x) {
                float s = 0;
                for (int k = -r; k <= r; ++k) s += tmp.at(x, y + k);
                ref.at(x, y) = s / (2 * r + 1);
            }
    }
    const Field got = blur(f, radius);
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) ASSERT_NEAR(got.at(x, y), ref.at(x, y), 1e-4f) << x << "," << y;
    EXPECT_NEAR(got.at(n - 1, n - 1), got.at(1, 1), 0.05f);
}

TEST(ImagegenScatter, GridHoldsTheSameObjectsAsScatter) {
    const int n = 6, k = 3;
    const std::uint32_t seed = 21;
    const ScatterGrid<std::uint32_t> grid(n, k, seed, [](float, float, std::uint32_t h) { return h; });
    for (auto [u, v] : points()) {
        std::map<std::uint32_t, std::pair<float, float>> a, b;  // object hash -> centre
        scatter(u, v, n, k, seed, [&](float cx, float cy, std::uint32_t h) { a[h] = {cx, cy}; });
        grid.forEach(u, v, [&](float cx, float cy, std::uint32_t h) { b[h] = {cx, cy}; });
        ASSERT_EQ(a.size(), static_cast<std::size_t>(9 * k));
        ASSERT_EQ(b.size(), a.size());
        for (const auto& [h, centre] : a) {
            ASSERT_EQ(b.count(h), 1u) << u << "," << v;
            EXPECT_NEAR(b[h].first, centre.first, 1e-5f);
            EXPECT_NEAR(b[h].second, centre.second, 1e-5f);
        }
    }
}

TEST(ImagegenImage, SmoothEdgesSoftensStepsOnly) {
    Image img(32, 8);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 32; ++x) {
            const float g = x < 16 ? 0.3f + 0.01f * x : (x < 24 ? 0.1f : 0.9f);  // a gentle ramp, then a hard step
            img.at(x, y) = {g, g, g};
        }
    const Image before = img;
    smoothEdges(img);
    for (int y = 0; y < 8; ++y) {
        for (int x = 2; x < 14; ++x) EXPECT_EQ(img.at(x, y).r, before.at(x, y).r) << x;
        EXPECT_GT(img.at(23, y).r, 0.15f);
        EXPECT_LT(img.at(24, y).r, 0.85f);
    }
}

TEST(ImagegenWriters, BmpReadsBackPixelForPixel) {
    const int w = 5, h = 3;  // 15-byte rows: the writer pads them to 16
    Image img(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.at(x, y) = {(10 + 40 * x) / 255.0f, (200 - 60 * y) / 255.0f, (7 * x + 30 * y) / 255.0f};
    img.at(0, 0) = {1, 0, 0};  // red in the top-left corner
    const std::string path = ::testing::TempDir() + "imagegen_writer_test.bmp";
    ASSERT_TRUE(writeBmp24(path, img));
    std::FILE* f = std::fopen(path.c_str(), "rb");
    ASSERT_NE(f, nullptr);
    std::vector<unsigned char> bytes(4096);
    bytes.resize(std::fread(bytes.data(), 1, bytes.size(), f));
    std::fclose(f);
    std::remove(path.c_str());

    platform::BmpView view;
    ASSERT_TRUE(platform::parseBmp(bytes.data(), bytes.size(), &view));
    EXPECT_EQ(view.width, w);
    EXPECT_EQ(view.height, h);
    EXPECT_FALSE(view.topDown);  // bottom-up, as the resource compiler expects
    EXPECT_EQ(bytes[28], 24);    // bits per pixel
    EXPECT_EQ(bytes[30], 0);     // BI_RGB
    EXPECT_EQ(bytes.size(), 54u + 16u * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const Col c = img.at(x, y);
            const std::uint32_t want = static_cast<std::uint32_t>(std::lround(c.r * 255)) |
                                       static_cast<std::uint32_t>(std::lround(c.g * 255)) << 8 |
                                       static_cast<std::uint32_t>(std::lround(c.b * 255)) << 16;
            EXPECT_EQ(platform::bmpPixel(view, x, y), want) << x << "," << y;
        }
    EXPECT_EQ(platform::bmpPixel(view, 0, 0), 0x0000FFu);
}

}  // namespace
