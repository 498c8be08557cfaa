// The whole rain scene on the real driver: RainScene::setup and render over
// a generated background from the program's resources, at fixed frame times,
// read back from the window's 8-bit colour buffer and compared with the CPU
// reference of the ripple shader, in per-pixel mode and after the quality
// decision in both normals-texture sizes (the normals passing through the
// half-float normals target, signs kept), and a year into a run.
//
// The scene's own time reads (background seed, frame statistics) are
// scripted; the shader's time is the clock's, set for every frame.
//
// How close is close enough: the procedural normals agree with the
// reference except where a hash differs in its last bit (see
// tests/gl/ripple_render_test.cpp), and the colour buffer rounds to 8 bits
// on both sides, so a pixel near a rounding boundary can differ by one
// level; the normals target holds half floats on both sides. Measured on llvmpipe at 384x216: mean error at most
// 2e-4, at most 0.2 % of the pixels more than two levels apart; in the
// normals target at most 0.1 % of the components more than one level apart.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "gfx/gl.h"
#include "gfx/texture.h"
#include "scene/rain_scene.h"
#include "scene/window_size.h"
#include "tests/scene/scripted_time.h"
#include "tests/support/gl_window.h"
#include "tests/support/png_writer.h"
#include "tests/support/ripple_compare.h"
#include "tests/support/ripple_reference.h"

namespace {

constexpr int kWidth = 384;
constexpr int kHeight = 216;
constexpr int kSide = 1024;

// The first scene time read picks the background: a start-up delay of
// 12.345 ms gives seed 1234.
constexpr double kStartupDelay = 0.012345;

constexpr double kLevelBound = 2.5 / 255.0;  // more than two levels apart
constexpr double kMaxFractionBeyond = 0.02;
constexpr double kMaxMeanError = 2e-3;
constexpr double kMaxNormalsFractionBeyond = 0.01;  // components more than 1/255 apart
constexpr double kMaxShareDifference = 0.05;        // of the offsets' signs, texture mode against per pixel

std::vector<float> levels(const std::vector<unsigned char>& bytes) {
    std::vector<float> v(bytes.size());
    for (std::size_t i = 0; i < bytes.size(); ++i) v[i] = static_cast<float>(bytes[i]) / 255.0f;
    return v;
}

class RainSceneRender : public ::testing::Test {
protected:
    static void SetUpTestSuite() { window_ = new GlWindow(kWidth, kHeight); }
    static void TearDownTestSuite() {
        delete window_;
        window_ = nullptr;
    }
    void SetUp() override {
        ASSERT_TRUE(window_->ok()) << "no OpenGL context on a private Xvfb";
        ScriptedTime::install();
        ScriptedTime::push(kStartupDelay);
        scene_->setup();
        view_ = std::make_unique<RainView>(WindowSize(kWidth, kHeight));
        ASSERT_NE(scene_->clock(), nullptr);
        std::vector<float> rgba(static_cast<std::size_t>(kSide) * kSide * 4u);
        readBitmapPixels(rgba.data(), scene_->backgroundId(), kSide, kSide, 1);
        background_ = ripple::textureFromRgba(rgba, kSide, kSide);
    }
    void TearDown() override { ScriptedTime::uninstall(); }

    // One render at frame time t, measured by the frame statistics as `ms`.
    void renderAt(double t, double ms = 0.1) {
        ScriptedTime::pushFrame(ms / 1000.0);
        scene_->clock()->setCurrentTime(t);
        scene_->render(*view_);
    }

    // Renders 1 to 100 measured as `ms` each, then the 101st, which decides
    // as for a full-screen 1920 x 1080 window: for a window as small as
    // this one, a texture of 512 or 1024 would cost more than per-pixel.
    void measureAndDecide(double ms) {
        for (int k = 0; k < 100; ++k) renderAt(1.0f + static_cast<float>(k) / 60.0f, ms);
        view_->resize(1920, 1080);
        renderAt(1.0f + 100.0f / 60.0f, ms);
        view_->resize(kWidth, kHeight);
    }

    std::vector<unsigned char> screen() const { return window_->readBackBuffer(); }

    // The rows of a normals square that the screen pass reads: the
    // texture spans the window's width, so height / width of it.
    static int readRows(int normalsSize) { return std::min(normalsSize, normalsSize * kHeight / kWidth + 2); }

    // The reference of a screen pass at t: per-pixel (mode 1.5), or
    // texture mode over the half-float normals of the same frame's normals pass.
    std::vector<unsigned char> reference(double t, bool textureMode, int normalsSize,
                                         std::vector<float>* normalsTexels = nullptr) const {
        ripple::Uniforms u;
        u.time = t;
        u.viewportWidth = static_cast<float>(kWidth);
        u.viewportHeight = static_cast<float>(kHeight);
        u.normalsTextureSize = static_cast<float>(normalsSize);
        u.renderMode = textureMode ? 2.5f : 1.5f;
        ripple::Texture normals;
        if (textureMode) {
            // The normals pass clears the whole target, then draws its square.
            const int rows = readRows(normalsSize);
            std::vector<float> texels = ripple::normalsTexels(t, normalsSize, rows);
            for (int y = 0; y < kSide; ++y)
                for (int x = 0; x < kSide; ++x)
                    if (x >= normalsSize || y >= normalsSize)
                        for (int k = 0; k < 3; ++k) texels[(static_cast<std::size_t>(y) * kSide + x) * 3u + k] = 0;
            normals = ripple::textureFromRgb(texels, kSide, kSide);
            if (normalsTexels != nullptr) *normalsTexels = texels;
        }
        return toBytes(ripple::render(u, {&normals, &background_}, kWidth, kHeight));
    }

    // The normals target's texels, three floats each, row 0 first.
    std::vector<float> normalsTarget() const {
        std::vector<float> texels(static_cast<std::size_t>(kSide) * kSide * 3u);
        glBindTexture(GL_TEXTURE_2D, view_->normalsTarget());
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_FLOAT, texels.data());
        return texels;
    }

    static void save(const std::vector<unsigned char>& rgb, const char* what) {
        const char* dir = std::getenv("LUMERIDGE_TEST_PNG_DIR");
        if (dir == nullptr || *dir == '\0') return;
        writePng(std::string(dir) + "/scene_" + what + ".png", kWidth, kHeight, rgb.data(), true);
    }

    static void expectClose(const std::vector<unsigned char>& rendered, const std::vector<unsigned char>& expected,
                            const std::string& what) {
        const ripple::Difference d = ripple::compare(levels(rendered), levels(expected), kWidth, kHeight, kLevelBound);
        std::printf("%s: %s\n", what.c_str(), d.describe().c_str());
        EXPECT_LE(d.meanError, kMaxMeanError) << what << ": " << d.describe();
        EXPECT_LE(d.fractionAbove, kMaxFractionBeyond) << what << ": " << d.describe();
    }

    static GlWindow* window_;
    std::unique_ptr<RainScene> scene_ = std::make_unique<RainScene>();
    std::unique_ptr<RainView> view_;
    ripple::Texture background_;
};

GlWindow* RainSceneRender::window_ = nullptr;

TEST_F(RainSceneRender, PerPixelModeShowsTheShadersPicture) {
    // Both ends of the refraction strength's swing, and between.
    for (float t : {3.7f, 10.0f, 40.0f}) {
        renderAt(t);
        ASSERT_FALSE(scene_->usesNormalsTexture());
        const std::vector<unsigned char> shown = screen();
        char what[64];
        std::snprintf(what, sizeof what, "per-pixel t %.1f", t);
        save(shown, what);
        expectClose(shown, reference(t, false, 1024), what);
    }
}

TEST_F(RainSceneRender, NormalsTextureModesShowTheShadersPicture) {
    // The frame time of the compared frame puts the refraction strength at
    // its top for one size and at its bottom for the other.
    const struct {
        double measuredMs;  // each of the first 100 renders
        int size;           // the normals size that decides
        float t;
    } cases[] = {{2.0, 512, 10.0f}, {0.5, 1024, 40.0f}};
    bool first = true;
    for (const auto& c : cases) {
        if (!first) {
            // A fresh scene (same background), deciding on its own statistics.
            scene_ = std::make_unique<RainScene>();
            ScriptedTime::push(kStartupDelay);
            scene_->setup();
        }
        first = false;
        measureAndDecide(c.measuredMs);
        ASSERT_TRUE(scene_->usesNormalsTexture());
        ASSERT_EQ(scene_->normalsSize(), c.size);
        renderAt(2.75f);  // the first normals pass, still with the old normalsTextureSize
        {
            const float t = c.t;
            renderAt(t);
            const std::vector<unsigned char> shown = screen();
            std::vector<float> expectedNormals;
            const std::vector<unsigned char> expected = reference(t, true, c.size, &expectedNormals);
            char what[64];
            std::snprintf(what, sizeof what, "normals %d t %.1f", c.size, t);
            save(shown, what);
            expectClose(shown, expected, what);

            // The normals target itself, component by component, where the
            // screen reads it; cleared to 0 outside its square.
            const std::vector<float> normals = normalsTarget();
            const std::size_t compared = static_cast<std::size_t>(readRows(c.size)) * kSide * 3u;
            std::size_t beyond = 0;
            for (std::size_t i = 0; i < compared; ++i)
                if (std::fabs(normals[i] - expectedNormals[i]) > 1.0f / 255.0f) ++beyond;
            const double fraction = static_cast<double>(beyond) / static_cast<double>(compared);
            std::printf("%s: normals target %.4f %% of the components beyond 1/255\n", what, 100.0 * fraction);
            EXPECT_LE(fraction, kMaxNormalsFractionBeyond) << what;

            // The refraction offsets point both ways, in the same shares as
            // the per-pixel mode's (its normals at the same time, on the screen).
            ripple::Uniforms perPixel;
            perPixel.time = t;
            perPixel.viewportWidth = static_cast<float>(kWidth);
            perPixel.viewportHeight = static_cast<float>(kHeight);
            perPixel.renderMode = 0.5f;
            const std::vector<float> screenNormals = ripple::render(perPixel, {}, kWidth, kHeight);
            std::vector<float> square;  // the rows the screen reads, the square's width
            for (int y = 0; y < readRows(c.size); ++y)
                for (int x = 0; x < c.size; ++x)
                    for (int k = 0; k < 3; ++k)
                        square.push_back(normals[(static_cast<std::size_t>(y) * kSide + x) * 3u + k]);
            for (int k = 0; k < 2; ++k) {
                const double texture = ripple::negativeShare(square, k, square.size() / 3u);
                const double pixel = ripple::negativeShare(screenNormals, k, screenNormals.size() / 3u);
                std::printf("%s: share of negative n.%c: texture mode %.3f, per pixel %.3f\n", what, "xy"[k], texture,
                            pixel);
                EXPECT_NEAR(texture, pixel, kMaxShareDifference) << what << " n."
                                                                 << "xy"[k];
            }
        }
    }
}

// Pixels that differ between two read-backs.
std::size_t changedPixels(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b) {
    std::size_t changed = 0;
    for (std::size_t i = 0; i + 2 < a.size() && i + 2 < b.size(); i += 3)
        if (a[i] != b[i] || a[i + 1] != b[i + 1] || a[i + 2] != b[i + 2]) ++changed;
    return changed;
}

// A screensaver left running for a week, a month and a year moves as finely
// as in its first minute: every frame 1/60 s after the last differs from it
// about as much as it does at the same point of the 20-second cycle early
// on, and the picture is still the ripple field the reference computes.
// (Seconds kept as a 32-bit float would repeat three frames of four after a
// week and freeze for two seconds at a time after a year.)
TEST_F(RainSceneRender, MovesAsFinelyAfterAWeekAMonthAndAYear) {
    constexpr double kFrame = 1.0 / 60.0;
    constexpr int kFrames = 4;
    constexpr double kEarly = 10.0;
    auto consecutiveChanges = [&](double start, const char* what) {
        std::vector<std::size_t> changes;
        std::vector<unsigned char> before;
        for (int k = 0; k < kFrames; ++k) {
            renderAt(start + k * kFrame);
            std::vector<unsigned char> shown = screen();
            if (k > 0) changes.push_back(changedPixels(before, shown));
            before = std::move(shown);
        }
        save(before, what);
        return changes;
    };
    const std::vector<std::size_t> early = consecutiveChanges(kEarly, "early");
    const std::size_t earliest = *std::min_element(early.begin(), early.end());
    ASSERT_GT(earliest, 0u);
    // Multiples of 20 s: the same point of the refraction swing as at kEarly.
    for (double offset : {7.0 * 86400.0, 30.0 * 86400.0, 365.0 * 86400.0}) {
        char what[64];
        std::snprintf(what, sizeof what, "after %.0f s", offset);
        const std::vector<std::size_t> late = consecutiveChanges(kEarly + offset, what);
        for (std::size_t k = 0; k < late.size(); ++k) {
            std::printf("%s: frame %zu changed %zu pixels (early: %zu)\n", what, k + 1, late[k], early[k]);
            EXPECT_GT(late[k], earliest / 2) << what << " frame " << k + 1;
        }
        const double t = kEarly + offset + (kFrames - 1) * kFrame;
        expectClose(screen(), reference(t, false, 1024), what);

        // Not flat water: the background lifted by the faint highlight only.
        ripple::Uniforms u;
        u.time = t;
        u.viewportWidth = static_cast<float>(kWidth);
        u.viewportHeight = static_cast<float>(kHeight);
        u.renderMode = 0.5f;
        const double tilt = ripple::meanTilt(ripple::render(u, {}, kWidth, kHeight));
        std::printf("%s: mean |n.x|, |n.y| of the reference %.4f\n", what, tilt);
        EXPECT_GT(tilt, 0.005) << what;
    }
}

}  // namespace
