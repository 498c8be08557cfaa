// The ripple program as the driver runs it: compiled from its two text
// resources, drawn on the full-screen rectangle into float off-screen
// targets, and compared pixel by pixel with the CPU reference of its
// arithmetic, in every render mode, at several times, two viewport sizes and
// both normals-texture sizes.
//
// How close is close enough. The program's shader reaches the reference's
// sum by a route of its own (ripple_reference.h), and the two agree to about
// 1e-6 wherever the hashes agree, but the hashes are chaotic: the driver sums
// dot(p3, p3.yzx + 19.19) in an order of its own, so about one value in five
// differs from the reference in its last bit, which fract((x + y) * z) turns
// into a difference of 2^-12 in the hash. A drop time or centre moved that
// much shifts a young, steep ring by a fraction of a pixel, and its slope
// (31 radians per cell, twice differentiated) by up to a few hundredths.
// Measured on llvmpipe (Mesa 22.3) over the cases below: mean error at most
// 5e-5, at most 0.8 % of the pixels beyond 1e-3, the largest single error
// 0.08 (in a refracted colour). Mode 2.5 reads given textures and needs no
// hash: at most 7e-6 anywhere. The bounds keep a margin of about ten over the
// mean and 2.5 over the fraction; any slip in the arithmetic (a constant, an
// exponent, an edge order, the light) moves most of the rippled pixels, far
// past both. A slip that shows only on a thin line (a cell skipped near the
// edge of its ring's band) is under both; the band edges and the border are
// compared on their own for that.
//
// With LUMERIDGE_TEST_PNG_DIR set, every render is also saved there as PNG.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "gfx/texture.h"
#include "tests/support/gl_window.h"
#include "tests/support/png_writer.h"
#include "tests/support/render_target.h"
#include "tests/support/ripple_compare.h"
#include "tests/support/ripple_reference.h"
#include "tests/support/ripple_rig.h"

namespace {

// The test photograph through the program's own texture path.
platform::BitmapReader* openTestPhotograph(int) { return reinterpret_cast<platform::BitmapReader*>(1); }
std::uint32_t testPhotographAt(platform::BitmapReader*, int x, int y) { return ripple::testPhotographPixel(x, y); }
void closeTestPhotograph(platform::BitmapReader*) {}
const BitmapPixelSource kTestPhotograph = {openTestPhotograph, testPhotographAt, closeTestPhotograph};

constexpr int kBackgroundSide = 1024;
// The time of the known normals textures that mode 2.5 reads.
constexpr float kNormalsTime = 7.25f;

struct Viewport {
    int width;
    int height;
};

constexpr double kTightBound = 1e-3;  // a pixel this close agrees
constexpr double kMaxFractionBeyond = 0.02;
constexpr double kMaxMeanError = 5e-4;
constexpr double kMaxErrorFromTextures = 1e-4;  // mode 2.5: no hashes involved

// Times: 10 and 30 s put the refraction strength at its top (0.15), 40 s at
// its bottom (0.01), 3.7 s between; 0 s starts every ripple at its hash.
const float kTimes[] = {0.0f, 3.7f, 10.0f, 30.0f, 40.0f};
// A 16:9 screen and the Windows preview window, both small to stay quick.
const Viewport kViewports[] = {{384, 216}, {152, 112}};
const float kNormalsSizes[] = {1024.0f, 512.0f};

// Everything that needs the context, built once for the suite.
struct Rig {
    GlWindow window{64, 64};
    std::unique_ptr<RippleRig> rig;
    std::unique_ptr<GLFWTexture> background;
    ripple::Texture backgroundReference;
    GLuint normalsTextures[2] = {0, 0};  // for sizes 1024 and 512
    ripple::Texture normalsReferences[2];

    Rig() {
        if (!window.ok()) return;
        rig = std::make_unique<RippleRig>();
        setBitmapPixelSource(&kTestPhotograph);
        background = std::make_unique<GLFWTexture>(0, kBackgroundSide);
        std::vector<float> rgba(static_cast<std::size_t>(kBackgroundSide) * kBackgroundSide * 4u);
        readBitmapPixels(rgba.data(), 0, kBackgroundSide, kBackgroundSide, 1);
        setBitmapPixelSource(nullptr);
        backgroundReference = ripple::textureFromRgba(rgba, kBackgroundSide, kBackgroundSide);
        rig->setBackgroundTexture(background->textureId());
    }
    // The known normals textures, made on first use (the CPU renders them).
    void makeNormalsTextures() {
        if (normalsTextures[0] != 0) return;
        for (int k = 0; k < 2; ++k) {
            const std::vector<float> texels = ripple::normalsTexels(kNormalsTime, static_cast<int>(kNormalsSizes[k]));
            normalsTextures[k] = createNormalsTexture(texels);
            normalsReferences[k] = ripple::textureFromRgb(texels, 1024, 1024);
        }
    }
    ~Rig() {
        if (!window.ok()) return;
        glDeleteTextures(2, normalsTextures);
        background.reset();
        rig.reset();
    }
};

struct Outcome {
    ripple::Difference difference;
    std::vector<float> rendered;
    std::vector<float> reference;
};

class RippleRender : public ::testing::Test {
protected:
    static void SetUpTestSuite() { rig_ = new Rig(); }
    static void TearDownTestSuite() {
        delete rig_;
        rig_ = nullptr;
    }
    void SetUp() override {
        ASSERT_TRUE(rig_->window.ok()) << "no OpenGL context on a private Xvfb";
        ASSERT_TRUE(rig_->rig->ready()) << "the ripple program did not link with all its uniforms";
    }

    // Renders one case on the driver and on the CPU and compares them.
    static Outcome run(float iTime, Viewport viewport, float normalsSize, float mode, double bound) {
        Outcome o;
        const int k = normalsSize == 1024.0f ? 0 : 1;
        ripple::Uniforms u;
        u.time = iTime;
        u.viewportWidth = static_cast<float>(viewport.width);
        u.viewportHeight = static_cast<float>(viewport.height);
        u.normalsTextureSize = normalsSize;
        u.renderMode = mode;
        RenderTarget target(viewport.width, viewport.height, RenderTarget::Format::Float);
        EXPECT_TRUE(target.complete());
        target.bind();
        rig_->rig->setNormalsTexture(rig_->normalsTextures[k]);
        rig_->rig->draw(u);
        o.rendered = target.readRgb();
        const ripple::Textures textures{&rig_->normalsReferences[k], &rig_->backgroundReference};
        o.reference = ripple::render(u, textures, viewport.width, viewport.height);
        o.difference = ripple::compare(o.rendered, o.reference, viewport.width, viewport.height, bound);
        saveIfAsked(o.rendered, viewport, iTime, normalsSize, mode);
        return o;
    }

    static void saveIfAsked(const std::vector<float>& rgb, Viewport viewport, float iTime, float size, float mode) {
        const char* dir = std::getenv("LUMERIDGE_TEST_PNG_DIR");
        if (dir == nullptr || *dir == '\0') return;
        char name[128];
        std::snprintf(name, sizeof name, "/ripple_mode%.1f_%dx%d_size%d_t%.1f.png", mode, viewport.width,
                      viewport.height, static_cast<int>(size), iTime);
        const std::vector<unsigned char> bytes = toBytes(rgb);
        writePng(std::string(dir) + name, viewport.width, viewport.height, bytes.data(), true);
    }

    static Rig* rig_;
};

Rig* RippleRender::rig_ = nullptr;

void expectClose(const Outcome& o, const char* what) {
    EXPECT_LE(o.difference.meanError, kMaxMeanError) << what << ": " << o.difference.describe();
    EXPECT_LE(o.difference.fractionAbove, kMaxFractionBeyond) << what << ": " << o.difference.describe();
}

void report(float mode, float size, Viewport viewport, float t, const Outcome& o) {
    std::printf("mode %.1f size %4d %3dx%3d t %5.1f: %s\n", mode, static_cast<int>(size), viewport.width,
                viewport.height, t, o.difference.describe().c_str());
}

// Procedural normals in both modes that compute them, at every time, viewport
// and cell size.
TEST_F(RippleRender, ProceduralModesMatchTheReference) {
    for (float mode : {0.5f, 1.5f})
        for (float size : kNormalsSizes)
            for (const Viewport& viewport : kViewports)
                for (float t : kTimes) {
                    const Outcome o = run(t, viewport, size, mode, kTightBound);
                    report(mode, size, viewport, t, o);
                    char what[96];
                    std::snprintf(what, sizeof what, "mode %.1f size %d %dx%d t %.1f", mode, static_cast<int>(size),
                                  viewport.width, viewport.height, t);
                    expectClose(o, what);
                }
}

// Where a cell wrongly left out would show first, compared on their own so
// that a thin line of wrong pixels is not lost in the whole picture's share:
// fragments near the edge of a ring's band, where its slope fades in or out
// and the test whether a cell can be skipped is at its finest, and the rows
// and columns at the viewport's border, whose neighbourhood reaches cells
// off the screen (at 100 s the grid has drifted below zero in both
// directions, so those cells have negative coordinates).
TEST_F(RippleRender, BandEdgesAndBordersMatchTheReference) {
    constexpr float kNearEdge = 0.02f;  // cells from a band's edge
    constexpr int kBorder = 2;          // pixels
    const Viewport viewport = kViewports[0];
    for (float t : {3.7f, 100.0f})
        for (float size : kNormalsSizes) {
            const Outcome o = run(t, viewport, size, 0.5f, kTightBound);
            const ShaderTime time = shaderTimeAt(t);
            std::vector<float> edge[2], border[2];  // rendered, reference
            for (int y = 0; y < viewport.height; ++y)
                for (int x = 0; x < viewport.width; ++x) {
                    const ripple::Vec2 fragCoord{static_cast<float>(x) + 0.5f, static_cast<float>(y) + 0.5f};
                    const bool nearEdge = ripple::bandEdgeDistance(fragCoord, time, size) < kNearEdge;
                    const bool atBorder = x < kBorder || y < kBorder || x >= viewport.width - kBorder ||
                                          y >= viewport.height - kBorder;
                    const std::size_t i = (static_cast<std::size_t>(y) * viewport.width + x) * 3u;
                    for (std::vector<float>* subset : {nearEdge ? edge : nullptr, atBorder ? border : nullptr}) {
                        if (subset == nullptr) continue;
                        subset[0].insert(subset[0].end(), &o.rendered[i], &o.rendered[i] + 3);
                        subset[1].insert(subset[1].end(), &o.reference[i], &o.reference[i] + 3);
                    }
                }
            for (const auto& subset : {std::make_pair("band edges", edge), std::make_pair("border", border)}) {
                const int pixels = static_cast<int>(subset.second[0].size() / 3u);
                char what[96];
                std::snprintf(what, sizeof what, "%s, size %d t %.1f, %d pixels", subset.first,
                              static_cast<int>(size), t, pixels);
                ASSERT_GT(pixels, 500) << what;
                const ripple::Difference d =
                    ripple::compare(subset.second[0], subset.second[1], pixels, 1, kTightBound);
                std::printf("%s: %s\n", what, d.describe().c_str());
                expectClose({d, {}, {}}, what);
            }
        }
}

// The screen pass of normals-texture mode: nearest normals from the used
// corner of the texture, refraction at both ends of the strength's swing.
TEST_F(RippleRender, TextureModeMatchesTheReference) {
    rig_->makeNormalsTextures();
    for (float size : kNormalsSizes)
        for (const Viewport& viewport : kViewports)
            for (float t : {10.0f, 40.0f}) {
                const Outcome o = run(t, viewport, size, 2.5f, kTightBound);
                report(2.5f, size, viewport, t, o);
                EXPECT_LE(o.difference.maxError, kMaxErrorFromTextures)
                    << "size " << size << " " << viewport.width << "x" << viewport.height << " t " << t << ": "
                    << o.difference.describe();
            }
}

}  // namespace
