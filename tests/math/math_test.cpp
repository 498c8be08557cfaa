#include <gtest/gtest.h>

#include <cmath>

#include "gfx/camera.h"
#include "math/math3d.h"

namespace {

constexpr float kEps = 1e-5f;

void expectMatrixNear(const Matrix4& m, const float (&rowsMajor)[16]) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) EXPECT_NEAR(m[c][r], rowsMajor[r * 4 + c], kEps) << "row " << r << " col " << c;
}

TEST(Math, PerspectiveColumns) {
    const Matrix4 p = perspective(50.0f, 2.0f, 0.1f, 1000.0f);
    const float f = 1.0f / std::tan(50.0f * 0.017453292f * 0.5f);
    const float b = (0.1f + 1000.0f) / (0.1f - 1000.0f);
    const float c = 2.0f * 0.1f * 1000.0f / (0.1f - 1000.0f);
    const float expected[16] = {f / 2.0f, 0, 0, 0, 0, f, 0, 0, 0, 0, b, c, 0, 0, -1, 0};
    expectMatrixNear(p, expected);
    // Column-major storage for glUniformMatrix4fv: element 11 is column 2, row 3.
    EXPECT_FLOAT_EQ(p.data()[11], -1.0f);
    EXPECT_FLOAT_EQ(p.data()[14], c);
}

TEST(Math, ProductAppliesRightFactorFirst) {
    const Matrix4 t = translation(1, 2, 3);
    const Matrix4 s({2, 0, 0, 0}, {0, 2, 0, 0}, {0, 0, 2, 0}, {0, 0, 0, 1});
    const Matrix4 ts = t * s;  // scale, then translate
    EXPECT_FLOAT_EQ(ts[3][0], 1.0f);
    EXPECT_FLOAT_EQ(ts[0][0], 2.0f);
    const Matrix4 st = s * t;  // translate, then scale
    EXPECT_FLOAT_EQ(st[3][0], 2.0f);
    EXPECT_FLOAT_EQ(st[3][2], 6.0f);
}

TEST(Math, VectorHelpers) {
    const Vector3 c = cross(Vector3(1, 0, 0), Vector3(0, 1, 0));
    EXPECT_FLOAT_EQ(c.z, 1.0f);
    EXPECT_FLOAT_EQ(length(Vector3(3, 4, 12)), 13.0f);
    const Vector3 z = normalize(Vector3(0, 0, 0));
    EXPECT_FALSE(std::isfinite(z.x));
}

TEST(Camera, PitchOneDegreeAndLookAtRows) {
    Camera camera(Vector3(0, 0, 100));
    camera.pitch(1.0f);
    const float s1 = std::sin(0.017453292f), c1 = std::cos(0.017453292f);
    EXPECT_NEAR(camera.forward.y, s1, kEps);
    EXPECT_NEAR(camera.forward.z, -c1, kEps);
    EXPECT_NEAR(camera.up.y, c1, kEps);
    EXPECT_NEAR(camera.up.z, s1, kEps);
    camera.updateView(0);
    EXPECT_EQ(camera.currentView, 0);
    // Rows (1,0,0), (0,cos,sin), (0,-sin,cos), applied after translating by -eye.
    const float expected[16] = {1, 0, 0, 0, 0, c1, s1, -100.0f * s1, 0, -s1, c1, -100.0f * c1, 0, 0, 0, 1};
    expectMatrixNear(camera.view(), expected);
}

}  // namespace
