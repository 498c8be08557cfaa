// The rain scene against the recording fake GL: what set-up builds and in
// which order, the two passes of a frame, the one-time quality decision
// (render times scripted through the scene's time source) and how a window
// resize reaches the next frame.
#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <memory>
#include <ostream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "gfx/gl.h"
#include "gfx/texture.h"
#include "scene/background_choice.h"
#include "scene/rain_scene.h"
#include "tests/scene/scripted_time.h"
#include "tests/support/fake_gl.h"

namespace {

// A uniform bitmap, so that set-up does not spend its time on a million
// real pixels; it remembers which bitmap was asked for.
int openedBitmap = 0;
platform::BitmapReader* openFlat(int id) {
    openedBitmap = id;
    return reinterpret_cast<platform::BitmapReader*>(1);
}
std::uint32_t flatPixel(platform::BitmapReader*, int, int) { return 0x00406080u; }
void closeFlat(platform::BitmapReader*) {}
const BitmapPixelSource kFlatBitmap = {openFlat, flatPixel, closeFlat};

const std::map<std::string, int> kUniforms = {
    {"model_world", 10},        {"world_projection", 11}, {"model_projection", 12}, {"iTime", 13},
    {"viewportWidth", 14},      {"viewportHeight", 15},   {"normalsTexture", 20},   {"normalsTextureSize", 21},
    {"backgroundTexture", 22},  {"renderMode", 23},       {"rippleDrift", 16},      {"ringSwing", 17},
    {"refractionIntensity", 18}};

class Scene : public ::testing::Test {
protected:
    void SetUp() override {
        fakegl::install();
        fakegl::state().uniformLocations = kUniforms;
        fakegl::state().attribLocations = {{"position", 0}, {"position_tex", 1}, {"position_normal", 2}};
        setBitmapPixelSource(&kFlatBitmap);
        ScriptedTime::install();
    }
    void TearDown() override {
        view.reset();
        scene.reset();  // deletes its GL objects through the fake
        setBitmapPixelSource(nullptr);
        ScriptedTime::uninstall();
        fakegl::uninstall();
    }

    // A fresh scene set up at start-up time `t` (the one time read of
    // setup), then the view of a window of `size`.
    void build(double t = 0.0123, WindowSize size = WindowSize(1920, 1080)) {
        ScriptedTime::push(t);
        view.reset();
        scene = std::make_unique<RainScene>();
        scene->setup();
        view = std::make_unique<RainView>(size);
    }

    // One render measured as `ms` milliseconds; returns its GL calls.
    std::vector<fakegl::Call> render(double ms) {
        fakegl::clearCalls();
        ScriptedTime::pushFrame(ms / 1000.0);
        scene->render(*view);
        return fakegl::calls();
    }

    // The frame's calls that make up its passes, as short readable tokens.
    // The drawable's own calls are left out (its tests cover them) except
    // its glUseProgram and the draw.
    std::vector<std::string> passes(const std::vector<fakegl::Call>& calls) const {
        std::map<long long, std::string> uniformNames;
        for (const auto& entry : kUniforms) uniformNames[entry.second] = entry.first;
        auto object = [&](long long name) -> std::string {
            if (name == 0) return "0";
            if (name == view->normalsFramebuffer()) return "normalsFramebuffer";
            if (name == view->normalsTarget()) return "normalsTarget";
            if (name == scene->blankTexture()) return "blank";
            if (name == scene->background()->textureId()) return "background";
            return std::to_string(name);
        };
        std::vector<std::string> out;
        for (const fakegl::Call& c : calls) {
            std::ostringstream s;
            if (c.name == "glUseProgram") {
                s << "useProgram";
            } else if (c.name == "glBindFramebuffer") {
                s << "bindFramebuffer " << (c.i(0) == GL_FRAMEBUFFER ? "" : "?") << object(c.i(1));
            } else if (c.name == "glClear") {
                s << "clear 0x" << std::hex << c.i(0);
            } else if (c.name == "glViewport") {
                s << "viewport " << c.i(0) << ' ' << c.i(1) << ' ' << c.i(2) << ' ' << c.i(3);
            } else if (c.name == "glActiveTexture") {
                s << "activeTexture " << c.i(0) - GL_TEXTURE0;
            } else if (c.name == "glBindTexture") {
                s << "bindTexture " << (c.i(0) == GL_TEXTURE_2D ? "" : "?") << object(c.i(1));
            } else if (c.name == "glUniform1f" || c.name == "glUniform1i") {
                const std::string name = uniformNames.count(c.i(0)) ? uniformNames[c.i(0)] : "?";
                if (name == "iTime" || name == "viewportWidth" || name == "viewportHeight" || name == "ringSwing" ||
                    name == "refractionIntensity")
                    continue;
                s << name << '=';
                if (c.name == "glUniform1f")
                    s << c.f(1);
                else
                    s << c.i(1);
            } else if (c.name == "glDrawElements") {
                s << "draw";
            } else {
                continue;
            }
            out.push_back(s.str());
        }
        return out;
    }

    // A frame's passes: in normals-texture mode (a normals square of side
    // normalsSize) the off-screen pass over the rows the screen reads, then
    // the screen pass.
    static std::vector<std::string> expectedPasses(bool textureMode, int normalsSize, int width = 1920,
                                                   int height = 1080) {
        std::vector<std::string> v = {"useProgram"};
        if (textureMode)
            v.insert(v.end(), {"bindFramebuffer normalsFramebuffer", "renderMode=0.5",
                               "viewport 0 0 " + std::to_string(normalsSize) + " " +
                                   std::to_string(normalsRowsRead(normalsSize, width, height)),
                               "activeTexture 0", "bindTexture blank", "activeTexture 1", "bindTexture blank",
                               "activeTexture 2", "bindTexture 0", "useProgram", "draw"});
        v.insert(v.end(),
                 {"bindFramebuffer 0", "clear 0x4100", "activeTexture 0",
                  textureMode ? "bindTexture normalsTarget" : "bindTexture blank", "activeTexture 1",
                  "bindTexture background", "activeTexture 2", textureMode ? "bindTexture blank" : "bindTexture 0",
                  "normalsTextureSize=" + std::to_string(normalsSize), "normalsTexture=0", "backgroundTexture=1",
                  textureMode ? "renderMode=2.5" : "renderMode=1.5",
                  "viewport 0 0 " + std::to_string(width) + " " + std::to_string(height), "useProgram", "draw"});
        return v;
    }

    static std::size_t draws(const std::vector<fakegl::Call>& calls) {
        std::size_t n = 0;
        for (const auto& c : calls) n += c.name == "glDrawElements";
        return n;
    }
    // The value of the last glUniform1f to `location` before call index `end`.
    static float lastUniformBefore(const std::vector<fakegl::Call>& calls, int location, std::size_t end) {
        float value = -1.0f;
        for (std::size_t k = 0; k < end && k < calls.size(); ++k)
            if (calls[k].name == "glUniform1f" && calls[k].i(0) == location) value = calls[k].f(1);
        return value;
    }

    // Renders 1 to 100 at `ms` each, then the deciding 101st.
    void measureAndDecide(double ms) {
        for (int k = 0; k < 101; ++k) render(ms);
    }

    std::unique_ptr<RainScene> scene;
    std::unique_ptr<RainView> view;
};

TEST_F(Scene, SetupBuildsInOrderWithoutTheNormalsTarget) {
    build();
    const std::vector<fakegl::Call> calls = fakegl::calls();
    // Background texture, then the program, then the sky's buffers, then the
    // four uniform lookups; no framebuffer until texture mode needs one.
    const long long storage = fakegl::indexOf("glTexStorage2D");
    const long long upload = fakegl::indexOf("glTexSubImage2D");
    const long long link = fakegl::indexOf("glLinkProgram");
    const long long buffers = fakegl::indexOf("glBufferData");
    const long long lookups = fakegl::indexOf("glGetUniformLocation");
    ASSERT_GE(storage, 0);
    EXPECT_LT(storage, upload);
    EXPECT_LT(upload, link);
    EXPECT_LT(link, buffers);
    EXPECT_LT(buffers, lookups);
    EXPECT_EQ(calls[storage].i(1), 1) << "levels";
    EXPECT_EQ(calls[storage].i(2), GL_RGBA32F);
    EXPECT_EQ(calls[storage].i(3), 1024);
    EXPECT_EQ(calls[storage].i(4), 1024);
    EXPECT_EQ(fakegl::indexOf("glGenFramebuffers"), -1);
    EXPECT_EQ(view->normalsFramebuffer(), 0u);
    EXPECT_EQ(view->normalsTarget(), 0u);

    // After the program, the blank texture: one RGBA8 texel, every channel
    // reading 0 by its swizzle.
    const long long blank = fakegl::indexOf("glTexImage2D");
    ASSERT_GT(blank, link);
    EXPECT_EQ(calls[blank].i(2), GL_RGBA8);
    EXPECT_EQ(calls[blank].i(3), 1);
    EXPECT_EQ(calls[blank].i(4), 1);
    EXPECT_EQ(calls[blank - 1].i(1), static_cast<long long>(scene->blankTexture()));
    std::set<long long> zeroed;
    for (std::size_t k = static_cast<std::size_t>(blank); k < calls.size(); ++k)
        if (calls[k].name == "glTexParameteri" && calls[k].i(2) == GL_ZERO) zeroed.insert(calls[k].i(1));
    EXPECT_EQ(zeroed, (std::set<long long>{GL_TEXTURE_SWIZZLE_R, GL_TEXTURE_SWIZZLE_G, GL_TEXTURE_SWIZZLE_B,
                                           GL_TEXTURE_SWIZZLE_A}));

    ASSERT_EQ(calls.size(), static_cast<std::size_t>(lookups) + 4u);
    const char* names[] = {"normalsTexture", "normalsTextureSize", "backgroundTexture", "renderMode"};
    for (int k = 0; k < 4; ++k) EXPECT_EQ(calls[lookups + k].text, names[k]);

    EXPECT_FALSE(scene->usesNormalsTexture());
    EXPECT_EQ(scene->normalsSize(), 1024);
    EXPECT_EQ(ScriptedTime::reads(), 1) << "set-up reads the clock once, for the background";
}

// The first frame of normals-texture mode builds the framebuffer and its
// half-float target, cleared once; later frames reuse them and clear nothing
// off-screen.
TEST_F(Scene, TheFirstTextureModeFrameBuildsTheNormalsTarget) {
    build();
    measureAndDecide(0.5);
    ASSERT_TRUE(scene->usesNormalsTexture());
    EXPECT_EQ(view->normalsFramebuffer(), 0u) << "the deciding frame was still per pixel";
    const std::vector<fakegl::Call> calls = render(0.5);
    const long long framebuffer = fakegl::indexOf("glGenFramebuffers");
    ASSERT_GE(framebuffer, 0);
    std::vector<std::string> made;
    for (std::size_t k = static_cast<std::size_t>(framebuffer); k < calls.size() && made.size() < 11; ++k)
        made.push_back(calls[k].name);
    const std::vector<std::string> expected = {
        "glGenFramebuffers",    "glBindFramebuffer", "glActiveTexture", "glGenTextures",
        "glBindTexture",        "glTexImage2D",      "glTexParameteri", "glTexParameteri",
        "glFramebufferTexture", "glDrawBuffers",     "glClear"};
    ASSERT_EQ(made, expected);

    const fakegl::Call* c = &calls[framebuffer];
    const long long fbo = view->normalsFramebuffer(), target = view->normalsTarget();
    EXPECT_NE(fbo, 0);
    EXPECT_NE(target, 0);
    EXPECT_EQ(c[1].i(1), fbo);
    EXPECT_EQ(c[4].i(1), target);
    const std::vector<long long> image = {GL_TEXTURE_2D, 0, GL_RGBA16F, 1024, 1024, 0, GL_RGBA, GL_FLOAT, 0};
    for (std::size_t k = 0; k < image.size(); ++k) EXPECT_EQ(c[5].i(k), image[k]) << "glTexImage2D argument " << k;
    EXPECT_EQ(c[6].i(2), GL_NEAREST);
    EXPECT_EQ(c[7].i(2), GL_NEAREST);
    EXPECT_EQ(c[8].i(1), GL_COLOR_ATTACHMENT0);
    EXPECT_EQ(c[8].i(2), target);
    EXPECT_EQ(c[9].floats, std::vector<float>{static_cast<float>(GL_COLOR_ATTACHMENT0)});
    EXPECT_EQ(c[10].i(0), GL_COLOR_BUFFER_BIT);

    const std::vector<fakegl::Call> later = render(0.5);
    EXPECT_EQ(fakegl::indexOf("glGenFramebuffers"), -1);
    EXPECT_EQ(passes(later), expectedPasses(true, 1024));
    EXPECT_EQ(view->normalsFramebuffer(), static_cast<GLuint>(fbo));
}

TEST_F(Scene, TheStartUpTimePicksTheBackgroundThatIsRead) {
    std::set<int> ids;
    for (double t : {0.00001, 0.0123, 0.0567, 0.0891}) {
        build(t);
        const int id = backgroundBitmapIds[backgroundIndex(static_cast<float>(t))];
        EXPECT_EQ(scene->backgroundId(), id) << t;
        EXPECT_EQ(openedBitmap, id) << t;
        ids.insert(id);
        scene.reset();
    }
    EXPECT_GT(ids.size(), 1u) << "the chosen times should not all give one background";
}

TEST_F(Scene, NothingHappensBeforeSetupOrOnASecondSetup) {
    RainScene idle;
    RainView idleView(WindowSize(640, 480));
    fakegl::clearCalls();
    idle.render(idleView);
    EXPECT_TRUE(fakegl::calls().empty());
    build();
    fakegl::clearCalls();
    scene->setup();
    EXPECT_TRUE(fakegl::calls().empty());
}

TEST_F(Scene, FramePassesInEachMode) {
    build();
    EXPECT_EQ(passes(render(0.5)), expectedPasses(false, 1024)) << "per-pixel";

    for (int k = 1; k < 101; ++k) render(0.5);  // decides on 1024
    ASSERT_TRUE(scene->usesNormalsTexture());
    render(0.5);  // builds the target
    EXPECT_EQ(passes(render(0.5)), expectedPasses(true, 1024)) << "normals texture 1024";

    build();
    for (int k = 0; k < 101; ++k) render(2.0);  // decides on 512
    ASSERT_EQ(scene->normalsSize(), 512);
    render(2.0);
    EXPECT_EQ(passes(render(2.0)), expectedPasses(true, 512)) << "normals texture 512";
}

// The screen reads the square's rows up to height / width of it (and one
// more for the GPU's rounding); a window as tall as wide or taller, all.
TEST(NormalsRows, TheScreenReadsHeightOverWidthOfTheSquare) {
    const struct {
        int size, width, height, rows;
    } rows[] = {{1024, 1920, 1080, 578}, {512, 1920, 1080, 290},   {512, 3840, 2160, 290}, {128, 320, 240, 98},
                {512, 1024, 1024, 512},  {1024, 1080, 1920, 1024}, {512, 1920, 0, 512},    {512, 0, 1080, 512}};
    for (const auto& r : rows)
        EXPECT_EQ(normalsRowsRead(r.size, r.width, r.height), r.rows) << r.size << " " << r.width << "x" << r.height;
}

// The decision after 100 measured renders, at and around both thresholds.
// Render times are chosen so that the average is exact in single precision.
struct DecisionRow {
    const char* name;
    double firstMs;
    int firstCount;  // renders measured as firstMs, the rest as restMs
    double restMs;
    float average;
    bool normals;
    int size;
};

void PrintTo(const DecisionRow& row, std::ostream* out) { *out << row.name; }

class Decision : public Scene, public ::testing::WithParamInterface<DecisionRow> {};

TEST_P(Decision, OnTheHundredAndFirstRenderOnly) {
    const DecisionRow& row = GetParam();
    build();
    for (int k = 1; k <= 100; ++k) {
        const std::vector<fakegl::Call> calls = render(k <= row.firstCount ? row.firstMs : row.restMs);
        ASSERT_EQ(draws(calls), 1u) << "render " << k;
        ASSERT_FALSE(scene->usesNormalsTexture()) << "render " << k;
    }
    ASSERT_EQ(scene->frameStats().averageMs(), row.average) << "the scripted times miss the intended average";

    // The 101st render's own time is not part of the average: make it
    // extreme. It still draws once, per-pixel, and then decides.
    std::vector<fakegl::Call> calls = render(500.0);
    EXPECT_EQ(draws(calls), 1u);
    EXPECT_EQ(lastUniformBefore(calls, kUniforms.at("renderMode"), calls.size()), 1.5f);
    EXPECT_EQ(scene->usesNormalsTexture(), row.normals);
    EXPECT_EQ(scene->normalsSize(), row.normals ? row.size : 1024);

    // Later renders, slow or fast, never decide again.
    for (int k = 102; k <= 160; ++k) {
        calls = render(k % 2 ? 0.0 : 50.0);
        ASSERT_EQ(draws(calls), row.normals ? 2u : 1u) << "render " << k;
        ASSERT_EQ(scene->usesNormalsTexture(), row.normals) << "render " << k;
        ASSERT_EQ(scene->normalsSize(), row.normals ? row.size : 1024) << "render " << k;
    }
    EXPECT_EQ(lastUniformBefore(calls, kUniforms.at("renderMode"), calls.size()), row.normals ? 2.5f : 1.5f);
    EXPECT_EQ(scene->frameStats().count(), 160);
}

INSTANTIATE_TEST_SUITE_P(Thresholds, Decision,
                         ::testing::Values(DecisionRow{"Idle", 0.0, 100, 0.0, 0.0f, false, 0},
                                           DecisionRow{"BelowTheLower", 0.125, 100, 0.0, 0.125f, false, 0},
                                           DecisionRow{"ExactlyTheLower", 0.25, 80, 0.0, 0.2f, false, 0},
                                           DecisionRow{"AboveTheLower", 0.25, 100, 0.0, 0.25f, true, 1024},
                                           DecisionRow{"Between", 0.5, 100, 0.0, 0.5f, true, 1024},
                                           DecisionRow{"ExactlyTheUpper", 1.0, 100, 0.0, 1.0f, true, 1024},
                                           DecisionRow{"AboveTheUpper", 1.25, 100, 0.0, 1.25f, true, 512},
                                           DecisionRow{"OneSlowRenderAmongFastOnes", 150.0, 1, 0.0, 1.5f, true, 512},
                                           DecisionRow{"SlowOnlyTheHundredth", 0.0, 99, 150.0, 1.5f, true, 512}),
                         [](const auto& info) { return std::string(info.param.name); });

// The decision from the smallest preview to 4K: full screen decides by the
// thresholds alone; a window smaller than the texture gets a texture that
// costs less than per-pixel rendering of it, or stays per-pixel.
TEST(QualityChoiceTable, FromThePreviewTo3840x2160) {
    struct Row {
        int width, height;
        int slow, between;  // normals size when above 1.0 ms, between 0.2 and 1.0 ms; 0: per-pixel
    };
    const Row rows[] = {
        {152, 112, 0, 0},        {320, 240, 128, 128},    {480, 300, 256, 256},    {640, 480, 256, 256},
        {800, 600, 512, 512},    {1024, 768, 512, 512},   {1366, 768, 512, 512},   {1600, 900, 512, 512},
        {1680, 1050, 512, 1024}, {1920, 1080, 512, 1024}, {2560, 1440, 512, 1024}, {3840, 2160, 512, 1024},
    };
    for (const Row& r : rows) {
        const std::int64_t pixels = std::int64_t(r.width) * r.height;
        for (const auto& [ms, size] : {std::pair<float, int>{2.0f, r.slow}, {0.5f, r.between}, {0.2f, 0}}) {
            const QualityChoice expected = size ? QualityChoice{true, size} : QualityChoice{};
            EXPECT_EQ(chooseQuality(pixels, ms), expected) << r.width << "x" << r.height << " at " << ms << " ms";
        }
    }
    EXPECT_EQ(chooseQuality(0, 5.0f), QualityChoice{});
}

TEST_F(Scene, TheDecisionJudgesTheWindowItServes) {
    build(0.0123, WindowSize(320, 240));
    measureAndDecide(2.0);
    EXPECT_TRUE(scene->usesNormalsTexture());
    EXPECT_EQ(scene->normalsSize(), 128);
    render(2.0);  // builds the target
    EXPECT_EQ(passes(render(2.0)), expectedPasses(true, 128, 320, 240));
}

// Several monitors: the whole frame's time decides whether to drop to a
// normals texture, the smallest window how large it may be.
TEST_F(Scene, TheDecisionJudgesTheWholeFrameAndItsSmallestWindow) {
    build();
    RainView small(WindowSize(800, 600));
    for (int k = 0; k < 101; ++k) {
        ScriptedTime::pushFrame(0.0005);
        scene->beginFrame();
        scene->renderView(*view);
        scene->renderView(small);
        scene->endFrame();
    }
    // Alone, 1920 x 1080 at 0.5 ms would get 1024; 800 x 600 bounds it.
    EXPECT_TRUE(scene->usesNormalsTexture());
    EXPECT_EQ(scene->normalsSize(), 512);
}

TEST_F(Scene, FirstFrameAt512StillSeesTheSizeTheScreenPassLeft) {
    build();
    for (int k = 0; k < 100; ++k) render(2.0);
    render(2.0);  // the 101st decides on 512; its calls start the log kept from here on
    ASSERT_EQ(scene->normalsSize(), 512);
    for (int k = 0; k < 3; ++k) {
        ScriptedTime::pushFrame(0.002);
        scene->render(*view);
    }
    const std::vector<fakegl::Call>& calls = fakegl::calls();
    std::vector<std::size_t> drawAt;
    for (std::size_t k = 0; k < calls.size(); ++k)
        if (calls[k].name == "glDrawElements") drawAt.push_back(k);
    // Render 101: the screen draw; 102, 103, 104: off-screen, then screen.
    ASSERT_EQ(drawAt.size(), 7u);
    const int sizeLocation = kUniforms.at("normalsTextureSize");
    EXPECT_EQ(lastUniformBefore(calls, sizeLocation, drawAt[1]), 1024.0f) << "render 102, off-screen";
    EXPECT_EQ(lastUniformBefore(calls, sizeLocation, drawAt[2]), 512.0f) << "render 102, screen";
    EXPECT_EQ(lastUniformBefore(calls, sizeLocation, drawAt[3]), 512.0f) << "render 103, off-screen";
    EXPECT_EQ(lastUniformBefore(calls, sizeLocation, drawAt[5]), 512.0f) << "render 104, off-screen";
    // The off-screen viewport of render 102 is already the 512 square (the
    // rows of it that the screen reads).
    long long viewport = -1;
    for (std::size_t k = 0; k < drawAt[1]; ++k)
        if (calls[k].name == "glViewport") viewport = static_cast<long long>(k);
    ASSERT_GE(viewport, 0);
    EXPECT_EQ(calls[viewport].i(2), 512);
    EXPECT_EQ(calls[viewport].i(3), normalsRowsRead(512, 1920, 1080));
}

// Two windows in one frame: each view drawn at its own size into its own
// framebuffer, the second one's ripples laid out from where it lies, and the
// frame measured once, so that the decision judges both together.
TEST_F(Scene, OneFrameOverTwoWindows) {
    build();
    RainView other(WindowSize(1280, 1024));
    other.setRippleOrigin(-1280, 356);
    auto frame = [&](double ms) {
        fakegl::clearCalls();
        ScriptedTime::pushFrame(ms / 1000.0);
        scene->beginFrame();
        scene->renderView(*view);
        scene->renderView(other);
        scene->endFrame();
        return fakegl::calls();
    };
    const std::vector<fakegl::Call> calls = frame(0.1);
    std::vector<std::vector<float>> drifts;
    std::vector<long long> viewports;
    for (const fakegl::Call& c : calls) {
        if (c.name == "glUniform2f" && c.i(0) == kUniforms.at("rippleDrift")) drifts.push_back({c.f(1), c.f(2)});
        if (c.name == "glViewport") viewports.push_back(c.i(2) * 10000 + c.i(3));
    }
    ASSERT_EQ(drifts.size(), 2u);
    EXPECT_FLOAT_EQ(drifts[1][0] - drifts[0][0], -1280.0f * 5.0f / 1024.0f);
    EXPECT_FLOAT_EQ(drifts[1][1] - drifts[0][1], 356.0f * 5.0f / 1024.0f);
    EXPECT_EQ(viewports, (std::vector<long long>{1920 * 10000 + 1080, 1280 * 10000 + 1024}));
    EXPECT_EQ(scene->frameStats().count(), 1);

    // The whole frame's time decides, once, for both windows; each then draws
    // its normals into a framebuffer of its own.
    for (int k = 2; k <= 101; ++k) frame(0.25);
    EXPECT_TRUE(scene->usesNormalsTexture());
    frame(0.25);  // makes both views' targets
    const std::vector<fakegl::Call> textured = frame(0.25);
    EXPECT_EQ(draws(textured), 4u) << "both windows draw their normals, then the screen";
    std::vector<long long> framebuffers;
    for (const fakegl::Call& c : textured)
        if (c.name == "glBindFramebuffer" && c.i(1) != 0) framebuffers.push_back(c.i(1));
    ASSERT_NE(view->normalsFramebuffer(), other.normalsFramebuffer());
    EXPECT_EQ(framebuffers, (std::vector<long long>{view->normalsFramebuffer(), other.normalsFramebuffer()}));
}

TEST_F(Scene, AWindowResizeReachesTheNextFrame) {
    build();
    measureAndDecide(0.5);  // normals texture 1024: both passes draw
    render(0.5);
    const struct { int width, height; } sizes[] = {{1024, 768}, {320, 240}, {1080, 1920}};
    for (const auto& size : sizes) {
        view->resize(size.width, size.height);
        const std::vector<fakegl::Call> calls = render(0.5);
        const std::string what = std::to_string(size.width) + "x" + std::to_string(size.height);
        EXPECT_EQ(passes(calls), expectedPasses(true, 1024, size.width, size.height)) << what;

        const Matrix4 expected =
            perspective(50.0f, static_cast<float>(size.width) / static_cast<float>(size.height), 0.1f, 1000.0f) *
            scene->camera()->view();
        int projections = 0, widths = 0, heights = 0;
        for (const fakegl::Call& c : calls) {
            if (c.name == "glUniformMatrix4fv" && c.i(0) == kUniforms.at("world_projection")) {
                ++projections;
                ASSERT_EQ(c.floats.size(), 16u);
                for (int e = 0; e < 16; ++e) EXPECT_FLOAT_EQ(c.floats[e], expected.data()[e]) << what << " " << e;
            } else if (c.name == "glUniform1f" && c.i(0) == kUniforms.at("viewportWidth")) {
                ++widths;
                EXPECT_EQ(c.f(1), static_cast<float>(size.width)) << what;
            } else if (c.name == "glUniform1f" && c.i(0) == kUniforms.at("viewportHeight")) {
                ++heights;
                EXPECT_EQ(c.f(1), static_cast<float>(size.height)) << what;
            }
        }
        EXPECT_EQ(projections, 2) << what;
        EXPECT_EQ(widths, 2) << what;
        EXPECT_EQ(heights, 2) << what;
    }
}

}  // namespace
