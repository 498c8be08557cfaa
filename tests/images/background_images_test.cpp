// The twenty painted backgrounds as the build links them in: each wraps
// without a seam (the ripples read across the edges with repeat wrapping),
// has detail to refract, and is a scene of its own rather than another one
// turned, mirrored or re-graded. Skipped when the build compiles in the
// user's photographs instead.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <vector>

#include "platform/platform.h"
#include "resources/resource_ids.h"

namespace {

constexpr int kSide = 1024;
constexpr int kFirst = resource::kBackground01;
constexpr int kCount = 20;

struct Picture {
    int id = 0;
    std::vector<float> luma;  // kSide x kSide, rows from the top, 0..1

    float at(int x, int y) const { return luma[static_cast<std::size_t>(y) * kSide + x]; }
};

Picture load(int id) {
    Picture p;
    p.id = id;
    p.luma.resize(static_cast<std::size_t>(kSide) * kSide);
    platform::BitmapReader* r = platform::openBitmap(id);
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x) {
            const std::uint32_t c = platform::bitmapPixel(r, x, y);
            const float red = (c & 0xFF) / 255.0f, green = ((c >> 8) & 0xFF) / 255.0f,
                        blue = ((c >> 16) & 0xFF) / 255.0f;
            p.luma[static_cast<std::size_t>(y) * kSide + x] = 0.2126f * red + 0.7152f * green + 0.0722f * blue;
        }
    platform::closeBitmap(r);
    return p;
}

const std::vector<Picture>& pictures() {
    static const std::vector<Picture> all = [] {
        std::vector<Picture> v;
        for (int k = 0; k < kCount; ++k) v.push_back(load(kFirst + k));
        return v;
    }();
    return all;
}

// Mean absolute difference between column a and column b (or rows).
float columnDifference(const Picture& p, int a, int b) {
    float sum = 0;
    for (int y = 0; y < kSide; ++y) sum += std::fabs(p.at(a, y) - p.at(b, y));
    return sum / kSide;
}
float rowDifference(const Picture& p, int a, int b) {
    float sum = 0;
    for (int x = 0; x < kSide; ++x) sum += std::fabs(p.at(x, a) - p.at(x, b));
    return sum / kSide;
}

// A 32 x 32 thumbnail with zero mean and unit variance: what is left of a
// picture once a change of brightness and contrast is taken away.
constexpr int kThumb = 32;
using Thumb = std::array<float, kThumb * kThumb>;
Thumb normalisedThumb(const Picture& p) {
    Thumb t{};
    const int cell = kSide / kThumb;
    for (int j = 0; j < kThumb; ++j)
        for (int i = 0; i < kThumb; ++i) {
            float sum = 0;
            for (int y = 0; y < cell; ++y)
                for (int x = 0; x < cell; ++x) sum += p.at(i * cell + x, j * cell + y);
            t[j * kThumb + i] = sum / (cell * cell);
        }
    float mean = 0;
    for (float v : t) mean += v;
    mean /= t.size();
    float var = 0;
    for (float v : t) var += (v - mean) * (v - mean);
    const float sd = std::sqrt(var / t.size()) + 1e-6f;
    for (float& v : t) v = (v - mean) / sd;
    return t;
}
// One of the eight turns and mirror images of a thumbnail.
Thumb transformed(const Thumb& t, int k) {
    Thumb out{};
    for (int j = 0; j < kThumb; ++j)
        for (int i = 0; i < kThumb; ++i) {
            int x = i, y = j;
            if (k & 1) std::swap(x, y);
            if (k & 2) x = kThumb - 1 - x;
            if (k & 4) y = kThumb - 1 - y;
            out[j * kThumb + i] = t[y * kThumb + x];
        }
    return out;
}
float correlation(const Thumb& a, const Thumb& b) {
    float sum = 0;
    for (std::size_t k = 0; k < a.size(); ++k) sum += a[k] * b[k];
    return sum / a.size();
}

class PaintedBackgrounds : public ::testing::Test {
protected:
    void SetUp() override {
#ifdef LUMERIDGE_PHOTO_BACKGROUNDS
        GTEST_SKIP() << "the build compiles in photographs instead of the painted backgrounds";
#endif
    }
};

TEST_F(PaintedBackgrounds, WrapWithoutASeam) {
    for (const Picture& p : pictures()) {
        SCOPED_TRACE(p.id);
        // Neighbouring columns and rows inside the picture, for comparison.
        float inside = 0;
        for (int k : {127, 255, 383, 511, 639, 767, 895})
            inside += columnDifference(p, k, k + 1) + rowDifference(p, k, k + 1);
        inside /= 14;
        const float limit = 2.5f * inside + 0.01f;
        EXPECT_LE(columnDifference(p, kSide - 1, 0), limit) << "left and right edges do not meet";
        EXPECT_LE(rowDifference(p, kSide - 1, 0), limit) << "top and bottom edges do not meet";
    }
}

TEST_F(PaintedBackgrounds, HaveDetailToRefract) {
    // Mean luminance step between pixels four apart: the smoothest painted
    // scene (the sunset) has about 0.008; a flat fill or a bare gradient,
    // dithered, about 0.0015.
    for (const Picture& p : pictures()) {
        SCOPED_TRACE(p.id);
        float sum = 0;
        int n = 0;
        for (int y = 0; y + 4 < kSide; y += 3)
            for (int x = 0; x + 4 < kSide; x += 3) {
                sum += std::fabs(p.at(x + 4, y) - p.at(x, y)) + std::fabs(p.at(x, y + 4) - p.at(x, y));
                n += 2;
            }
        EXPECT_GT(sum / n, 0.005f);
    }
}

TEST_F(PaintedBackgrounds, NoneIsAnotherTurnedMirroredOrRegraded) {
    std::vector<Thumb> thumbs;
    for (const Picture& p : pictures()) thumbs.push_back(normalisedThumb(p));
    for (int a = 0; a < kCount; ++a)
        for (int b = a + 1; b < kCount; ++b) {
            float best = -1;
            for (int k = 0; k < 8; ++k) best = std::max(best, correlation(thumbs[a], transformed(thumbs[b], k)));
            EXPECT_LT(best, 0.85f) << kFirst + a << " and " << kFirst + b << " look alike";
        }
}

}  // namespace
