// MeshData: flattening, scaling, colours, the tangent pass, the failure path.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "mesh/mesh_data.h"
#include "mesh/objl.h"
#include "test_texts.h"
#include "resources/resource_ids.h"

namespace {

void expectTriples(const std::vector<float>& values, int stride, const std::vector<std::vector<float>>& expected) {
    ASSERT_EQ(values.size(), expected.size() * stride);
    for (std::size_t v = 0; v < expected.size(); ++v) {
        for (int k = 0; k < stride; ++k) {
            EXPECT_NEAR(values[v * stride + k], expected[v][k], 1e-6f) << "vertex " << v << " component " << k;
        }
    }
}

std::vector<std::vector<float>> repeat(std::vector<float> value, int count) {
    return std::vector<std::vector<float>>(count, value);
}

void expectRectangle(const MeshData& m, float scale) {
    EXPECT_EQ(m.vertexCount(), 6);
    EXPECT_EQ(m.indexCount(), 6);
    EXPECT_EQ(m.scale, scale);
    EXPECT_EQ(m.indices, (std::vector<std::uint32_t>{0, 1, 2, 3, 4, 5}));
    const float s = scale;
    expectTriples(m.positions, 3, {{-s, s, 0}, {-s, -s, 0}, {s, s, 0}, {s, -s, 0}, {s, s, 0}, {-s, -s, 0}});
    expectTriples(m.texCoords, 2, {{0, 1}, {0, 0}, {1, 1}, {1, 0}, {1, 1}, {0, 0}});
    expectTriples(m.normals, 3, repeat({0, 0, 1}, 6));
    expectTriples(m.tangents, 3, repeat({1, 0, 0}, 6));
    expectTriples(m.bitangents, 3, repeat({0, 1, 0}, 6));
    expectTriples(m.ambientColors, 3, repeat({0.7765f, 0.8824f, 0.3412f}, 6));
    expectTriples(m.diffuseColors, 3, repeat({0.7765f, 0.8824f, 0.3412f}, 6));
    expectTriples(m.specularColors, 4, repeat({0.35f, 0.35f, 0.35f, 32}, 6));
}

TEST(MeshData, RectangleFromTheResources) {
    const MeshData m(resource::kRectangleObj, resource::kRectangleMtl, 1.0f);
    expectRectangle(m, 1.0f);
    EXPECT_TRUE(std::signbit(m.positions[3 * 1 + 2]));  // "-0.0000" stays a negative zero
}

TEST(MeshData, RectangleFromText) {
    expectRectangle(MeshData(mesh_test::rectangleObj(), mesh_test::rectangleMtl(), 1.0f), 1.0f);
}

TEST(MeshData, ScaleMovesPositionsOnly) {
    expectRectangle(MeshData(mesh_test::rectangleObj(), mesh_test::rectangleMtl(), 2.0f), 2.0f);
}

TEST(MeshData, SecondMeshIndicesAreOffsetAndKeepItsMaterial) {
    const std::string obj =
        "mtllib m\nv 0 0 0\nv 1 0 0\nv 0 1 0\nv 1 1 0\nvt 0 0\nvt 1 0\nvt 0 1\nvt 1 1\n"
        "o First\nusemtl red\nf 1/1 2/2 3/3\no Second\nusemtl blue\nf 1/1 2/2 4/4 3/3\n";
    const std::string mtl = "newmtl red\nKd 1 0 0\nNs 5\nnewmtl blue\nKd 0 0 1\nKa 0 0 0.5\nNs 9\n";
    const MeshData m(obj, mtl, 1.0f);
    ASSERT_EQ(m.vertexCount(), 7);
    ASSERT_EQ(m.indexCount(), 9);
    EXPECT_EQ(m.indices, (std::vector<std::uint32_t>{0, 1, 2, 3, 4, 6, 4, 5, 6}));
    EXPECT_EQ(m.diffuseColors[0], 1.0f);
    EXPECT_EQ(m.diffuseColors[3 * 3 + 2], 1.0f);
    EXPECT_EQ(m.ambientColors[3 * 6 + 2], 0.5f);
    EXPECT_EQ(m.specularColors[3], 5.0f);
    EXPECT_EQ(m.specularColors[4 * 6 + 3], 9.0f);
    // computed face normals are normalised: (p0-p1) x (p2-p1) points to -z here
    EXPECT_NEAR(m.normals[2], -1.0f, 1e-6f);
}

TEST(MeshData, UnusedVerticesHaveZeroTangentsAndPartialTriplesAreSkipped) {
    // A two-corner face adds vertices that no triangle uses.
    const MeshData m("v 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0 0\nvt 1 0\nvt 0 1\nf 1/1 2/2 3/3\nf 1/1 2/2\n", "", 1.0f);
    ASSERT_EQ(m.vertexCount(), 5);
    ASSERT_EQ(m.indexCount(), 3);
    for (int k = 9; k < 15; ++k) {
        EXPECT_EQ(m.tangents[k], 0.0f);
        EXPECT_EQ(m.bitangents[k], 0.0f);
    }
    EXPECT_NEAR(m.tangents[0], 1.0f, 1e-6f);

    // Repeated positions give an index count that is not a multiple of 3.
    const MeshData r("v 0 0 0\nv 2 0 0\nv 2 2 0\nv 0 2 0\nf 1 2 3 4 1\n", "", 1.0f);
    EXPECT_NE(r.indexCount() % 3, 0);
    EXPECT_EQ(r.tangents.size(), 3u * static_cast<std::size_t>(r.vertexCount()));
}

TEST(MeshData, FillReportsCountsOfAHandMadeLoader) {
    objl::MeshLoader loader;
    MeshData m(mesh_test::rectangleObj(), mesh_test::rectangleMtl(), 1.0f);
    EXPECT_TRUE(m.fill(loader, 3.0f));  // no meshes: zero counts, empty arrays
    EXPECT_EQ(m.vertexCount(), 0);
    EXPECT_EQ(m.indexCount(), 0);
    EXPECT_TRUE(m.positions.empty());
    EXPECT_EQ(m.scale, 3.0f);
}

TEST(MeshDataDeathTest, NothingToLoadEndsTheProcessWithCodeZero) {
    EXPECT_EXIT(MeshData("# nothing\n", "", 1.0f), ::testing::ExitedWithCode(0), "Debug: Failed to load mesh");
    EXPECT_EXIT(MeshData(9999, resource::kRectangleMtl, 1.0f), ::testing::ExitedWithCode(0), "Failed to load mesh");
}

}  // namespace
