// GLFWVertexData, GLFWBufferObject and the draw sequence of GLFWDrawableSky,
// against the recording fake GL and the program's own rectangle resources.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "gfx/drawable.h"
#include "gfx/gl.h"
#include "gfx/program.h"
#include "gfx/camera.h"
#include "gfx/scene_clock.h"
#include "tests/support/fake_gl.h"
#include "resources/resource_ids.h"

namespace {

const char* const kKey = "BackgroundProgram";

class Drawable : public ::testing::Test {
protected:
    void SetUp() override {
        fakegl::install();
        auto& s = fakegl::state();
        s.attribLocations = {{"position", 0}, {"position_tex", 1}, {"position_normal", 2}};
        s.uniformLocations = {{"model_world", 10}, {"world_projection", 11}, {"model_projection", 12},
                              {"iTime", 13},       {"viewportWidth", 14},    {"viewportHeight", 15},
                              {"rippleDrift", 16}, {"ringSwing", 17},        {"refractionIntensity", 18}};
        registry.addProgram(kKey, resource::kRippleVertexShader, resource::kRippleFragmentShader);
        clock.setViewport(1920.0f, 1080.0f);
        clock.setCurrentTime(612.5);
        camera.pitch(1.0f);
        camera.updateView(0);
        camera.setProjection(perspective(50.0f, 16.0f / 9.0f, 0.1f, 1000.0f));
    }
    // Declared first, destroyed last: the registry deletes its program
    // through the fake before the fake is taken out.
    struct FakeGlRemover {
        ~FakeGlRemover() { fakegl::uninstall(); }
    } remover;
    GLFWProgramRegistry registry;
    SceneClock clock{0.0};
    Camera camera{Vector3(0.0f, 0.0f, 100.0f)};
};

TEST_F(Drawable, InterleavesTheRectangle) {
    GLFWVertexData data(resource::kRectangleObj, resource::kRectangleMtl, 1.0f);
    ASSERT_EQ(data.vertexCount(), 6);
    ASSERT_EQ(data.indexCount(), 6);
    EXPECT_EQ(data.floatsPerVertex(), 24);
    EXPECT_EQ(data.vertexDataSize(), 6u * 24u * 4u);
    EXPECT_EQ(data.indexDataSize(), 24u);
    const float* v = data.vertices();
    // Vertex 1: position (-1, -1, 0), texture coordinate (0, 0), normal
    // (0, 0, 1), tangent (1, 0, 0), bitangent (0, 1, 0), colours, specular.
    const float expected[24] = {-1, -1, 0,       0,       0,       0,       0,       1,       1,     0,     0,     0,
                                1,  0,  0.7765f, 0.8824f, 0.3412f, 0.7765f, 0.8824f, 0.3412f, 0.35f, 0.35f, 0.35f, 32};
    for (int k = 0; k < 24; ++k) EXPECT_NEAR(v[24 + k], expected[k], 1e-6f) << "float " << k;
    for (int j = 0; j < 6; ++j) EXPECT_EQ(data.indices()[j], static_cast<GLuint>(j));
}

// Byte counts past 2 GiB (a mesh above 22 369 621 vertices, 96 bytes each)
// are exact; what a GL buffer size cannot hold is refused, not wrapped.
TEST(BufferBytes, CountsPastTwoGibibytesAndRefusesWhatDoesNotFit) {
    const std::size_t limit = static_cast<std::size_t>(PTRDIFF_MAX);
    const struct {
        std::size_t count, elementBytes;
        bool fits;
        std::size_t bytes;
    } cases[] = {
        {0, 96, true, 0},
        {22369621, 96, true, 2147483616u},
        {22369622, 96, true, 2147483712u},
        {536870911, 96, true, 51539607456u},
        {limit / 96, 96, true, limit / 96 * 96},
        {limit / 96 + 1, 96, false, 0},
        {limit / 4 + 1, 4, false, 0},
        {SIZE_MAX, 4, false, 0},
    };
    for (const auto& c : cases) {
        std::size_t bytes = 12345;
        EXPECT_EQ(bufferBytes(c.count, c.elementBytes, &bytes), c.fits) << c.count << " x " << c.elementBytes;
        if (c.fits) {
            EXPECT_EQ(bytes, c.bytes) << c.count << " x " << c.elementBytes;
        }
    }
}

TEST_F(Drawable, InitUploadsBuffersAndAttributes) {
    fakegl::clearCalls();
    GLFWDrawableSky sky(&clock, &camera, &registry, kKey, resource::kRectangleObj, resource::kRectangleMtl, 1.0f);
    EXPECT_EQ(fakegl::count("glGenBuffers"), 2u);
    EXPECT_EQ(fakegl::count("glBufferData"), 0u) << "nothing is filled before init";
    sky.init();
    const auto uploads = fakegl::callsNamed("glBufferData");
    ASSERT_EQ(uploads.size(), 2u);
    EXPECT_EQ(uploads[0].i(0), GL_ARRAY_BUFFER);
    EXPECT_EQ(uploads[0].i(1), 6 * 96);
    EXPECT_EQ(uploads[0].i(3), GL_STATIC_DRAW);
    EXPECT_EQ(uploads[1].i(0), GL_ELEMENT_ARRAY_BUFFER);
    EXPECT_EQ(uploads[1].i(1), 24);
    ASSERT_EQ(uploads[1].bytes.size(), 24u);
    GLuint indices[6];
    std::memcpy(indices, uploads[1].bytes.data(), 24);
    for (int j = 0; j < 6; ++j) EXPECT_EQ(indices[j], static_cast<GLuint>(j));
    // Attributes are pointed before the data goes in, after the binds.
    EXPECT_LT(fakegl::indexOf("glBindBuffer"), fakegl::indexOf("glVertexAttribPointer"));
    EXPECT_LT(fakegl::indexOf("glVertexAttribPointer"), fakegl::indexOf("glBufferData"));
}

TEST_F(Drawable, DrawSequence) {
    GLFWDrawableSky sky(&clock, &camera, &registry, kKey, resource::kRectangleObj, resource::kRectangleMtl, 1.0f);
    sky.init();
    sky.setModelMatrix(Matrix4::identity());
    fakegl::clearCalls();
    sky.draw();

    const long long use = fakegl::indexOf("glUseProgram");
    const long long firstMatrix = fakegl::indexOf("glUniformMatrix4fv");
    const long long firstFloat = fakegl::indexOf("glUniform1f");
    const long long bind = fakegl::indexOf("glBindBuffer");
    const long long draw = fakegl::indexOf("glDrawElements");
    ASSERT_GE(use, 0);
    EXPECT_LT(use, firstMatrix);
    EXPECT_LT(firstMatrix, firstFloat);
    EXPECT_LT(fakegl::indexOf("glUniformMatrix4fv", firstMatrix + 1), firstFloat);
    EXPECT_LT(firstFloat, bind);
    EXPECT_LT(bind, draw);
    EXPECT_EQ(fakegl::indexOf("glUniform1f", bind), -1) << "no uniform after the buffers";
    EXPECT_EQ(static_cast<std::size_t>(draw), fakegl::calls().size() - 1) << "the draw is the last call";

    const auto draws = fakegl::callsNamed("glDrawElements");
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(draws[0].i(0), GL_TRIANGLES);
    EXPECT_EQ(draws[0].i(1), 6);
    EXPECT_EQ(draws[0].i(2), GL_UNSIGNED_INT);
    EXPECT_EQ(draws[0].i(3), 0);

    const auto binds = fakegl::callsNamed("glBindBuffer");
    ASSERT_EQ(binds.size(), 2u);
    EXPECT_EQ(binds[0].i(0), GL_ARRAY_BUFFER);
    EXPECT_EQ(binds[1].i(0), GL_ELEMENT_ARRAY_BUFFER);

    // Ascending attribute names: position, position_normal, position_tex.
    const auto enables = fakegl::callsNamed("glEnableVertexAttribArray");
    const auto pointers = fakegl::callsNamed("glVertexAttribPointer");
    ASSERT_EQ(enables.size(), 3u);
    ASSERT_EQ(pointers.size(), 3u);
    const long long locations[] = {0, 2, 1}, components[] = {3, 3, 2}, offsets[] = {0, 20, 12};
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(enables[k].i(0), locations[k]) << k;
        EXPECT_EQ(pointers[k].i(0), locations[k]) << k;
        EXPECT_EQ(pointers[k].i(1), components[k]) << k;
        EXPECT_EQ(pointers[k].i(2), GL_FLOAT);
        EXPECT_EQ(pointers[k].i(3), GL_FALSE);
        EXPECT_EQ(pointers[k].i(4), 96) << k;
        EXPECT_EQ(pointers[k].i(5), offsets[k]) << k;
    }
    // Each enable comes right before its pointer.
    for (std::size_t k = 0; k + 1 < fakegl::calls().size(); ++k) {
        if (fakegl::calls()[k].name == "glEnableVertexAttribArray") {
            EXPECT_EQ(fakegl::calls()[k + 1].name, "glVertexAttribPointer");
        }
    }

    // Own uniforms from the clock: the time reduced to its 20-second cycle,
    // the viewport, the drift, the ring's swing and the refraction strength
    // (at its top 2.5 s past an odd multiple of 10 s).
    const auto floats = fakegl::callsNamed("glUniform1f");
    ASSERT_EQ(floats.size(), 5u);
    EXPECT_EQ(floats[0].i(0), 13);
    EXPECT_EQ(floats[0].f(1), 12.5f);
    EXPECT_EQ(floats[1].i(0), 14);
    EXPECT_EQ(floats[1].f(1), 1920.0f);
    EXPECT_EQ(floats[2].i(0), 15);
    EXPECT_EQ(floats[2].f(1), 1080.0f);
    EXPECT_EQ(floats[3].i(0), 17);
    EXPECT_EQ(floats[3].f(1), static_cast<float>(std::sin(61.25)));
    EXPECT_EQ(floats[4].i(0), 18);
    EXPECT_EQ(floats[4].f(1), 0.15f);
    const auto vectors = fakegl::callsNamed("glUniform2f");
    ASSERT_EQ(vectors.size(), 1u);
    EXPECT_EQ(vectors[0].i(0), 16);
    EXPECT_EQ(vectors[0].f(1), static_cast<float>(std::sin(612.5 / 31.0)));
    EXPECT_EQ(vectors[0].f(2), static_cast<float>(std::cos(612.5 / 23.0)));
}

TEST_F(Drawable, MatricesWithIdentityModel) {
    GLFWDrawableSky sky(&clock, &camera, &registry, kKey, resource::kRectangleObj, resource::kRectangleMtl, 1.0f);
    sky.init();
    // Before any setModelMatrix the model matrix is the identity.
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r) EXPECT_EQ(sky.modelMatrix()[c][r], c == r ? 1.0f : 0.0f);
    fakegl::clearCalls();
    sky.draw();
    const auto matrices = fakegl::callsNamed("glUniformMatrix4fv");
    ASSERT_EQ(matrices.size(), 3u);
    const long long locations[] = {10, 11, 12};
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(matrices[k].i(0), locations[k]);
        EXPECT_EQ(matrices[k].i(1), 1);
        EXPECT_EQ(matrices[k].i(2), GL_FALSE);
        ASSERT_EQ(matrices[k].floats.size(), 16u);
    }
    for (int e = 0; e < 16; ++e) {
        EXPECT_EQ(matrices[0].floats[e], (e % 5 == 0) ? 1.0f : 0.0f) << "model_world " << e;
        EXPECT_EQ(matrices[2].floats[e], matrices[1].floats[e]) << "model_projection == world_projection at " << e;
    }
    const Matrix4 expected = camera.projection() * camera.view();
    for (int e = 0; e < 16; ++e) EXPECT_FLOAT_EQ(matrices[1].floats[e], expected.data()[e]);

    // A translated model moves model_projection only.
    sky.setModelMatrix(translation(0.0f, 0.0f, -100.0f));
    fakegl::clearCalls();
    sky.draw();
    const auto moved = fakegl::callsNamed("glUniformMatrix4fv");
    ASSERT_EQ(moved.size(), 3u);
    EXPECT_EQ(moved[0].floats[14], -100.0f);
    const Matrix4 expectedMoved = camera.projection() * camera.view() * translation(0.0f, 0.0f, -100.0f);
    for (int e = 0; e < 16; ++e) EXPECT_NEAR(moved[2].floats[e], expectedMoved.data()[e], 1e-4f);
    for (int e = 0; e < 16; ++e) EXPECT_EQ(moved[1].floats[e], matrices[1].floats[e]);
}

TEST_F(Drawable, AddAttributeKeepsTheFirstValues) {
    GLFWBufferObject buffers(&registry);
    buffers.addAttribute(kKey, "position", 3, 0);
    fakegl::state().attribLocations["position"] = 7;
    buffers.addAttribute(kKey, "position", 4, 9);
    EXPECT_EQ(buffers.attributeLocations().at("position"), 0);
    EXPECT_EQ(buffers.attributeComponents().at("position"), 3);
    EXPECT_EQ(buffers.attributeOffsets().at("position"), 0);
    EXPECT_EQ(buffers.attributeLocations().size(), 1u);
}

TEST_F(Drawable, UnknownNamesAndKeysPassMinusOne) {
    // A name the program lacks is passed on as -1; an unknown program key
    // gives -1 as well instead of a null dereference.
    GLFWBufferObject buffers(&registry);
    buffers.addAttribute(kKey, "not_in_shader", 2, 0);
    buffers.addAttribute("NoSuchProgram", "position", 3, 0);
    EXPECT_EQ(buffers.attributeLocations().at("not_in_shader"), -1);
    EXPECT_EQ(buffers.attributeLocations().at("position"), -1);
    buffers.setVertexData(96, nullptr, 24);
    fakegl::clearCalls();
    buffers.applyAttributes();
    const auto enables = fakegl::callsNamed("glEnableVertexAttribArray");
    ASSERT_EQ(enables.size(), 2u);
    EXPECT_EQ(static_cast<GLuint>(enables[0].i(0)), static_cast<GLuint>(-1));
}

}  // namespace
