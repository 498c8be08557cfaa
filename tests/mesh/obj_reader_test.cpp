// The OBJ reader: faces, meshes, materials, and the guarded inputs.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "mesh/objl.h"
#include "test_texts.h"
#include "resources/resource_ids.h"

namespace {

using Indices = std::vector<std::uint32_t>;

struct Loaded {
    objl::MeshLoader loader;
    bool ok = false;
    std::string output;
};

Loaded load(const std::string& obj, const std::string& mtl = "") {
    Loaded result;
    std::ostringstream out;
    result.loader.progress = &out;
    result.ok = result.loader.loadObjText(obj, mtl);
    result.output = out.str();
    return result;
}

const char* const kSquare = "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\n";

TEST(ObjReader, Rectangle) {
    const Loaded r = load(mesh_test::rectangleObj(), mesh_test::rectangleMtl());
    ASSERT_TRUE(r.ok);
    ASSERT_EQ(r.loader.meshes.size(), 1u);
    const objl::Mesh& mesh = r.loader.meshes[0];
    EXPECT_EQ(mesh.name, "Plane001");
    EXPECT_EQ(mesh.vertices.size(), 6u);
    EXPECT_EQ(mesh.indices, (Indices{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(mesh.material.name, "wire_198225087");
    EXPECT_EQ(mesh.material.Ns, 32.0f);
    EXPECT_EQ(r.loader.vertices.size(), 6u);
    EXPECT_EQ(r.loader.indices, (Indices{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(r.loader.materials.size(), 1u);
    const objl::Vertex& v3 = mesh.vertices[3];  // first corner of the second face: 4/4/1
    EXPECT_EQ(v3.position, objl::Vector3(1, -1, 0));
    EXPECT_EQ(v3.texCoord.x, 1.0f);
    EXPECT_EQ(v3.texCoord.y, 0.0f);
    EXPECT_EQ(v3.normal, objl::Vector3(0, 0, 1));
}

TEST(ObjReader, FromTheResources) {
    objl::MeshLoader loader;
    std::ostringstream out;
    loader.progress = &out;
    ASSERT_TRUE(loader.loadObj(resource::kRectangleObj, resource::kRectangleMtl));
    ASSERT_EQ(loader.meshes.size(), 1u);
    EXPECT_EQ(loader.meshes[0].name, "Plane001");
    EXPECT_EQ(loader.meshes[0].indices, (Indices{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(loader.meshes[0].material.name, "wire_198225087");
    // A missing OBJ resource reads as an empty text: nothing, false.
    objl::MeshLoader empty;
    empty.progress = nullptr;
    EXPECT_FALSE(empty.loadObj(9999, resource::kRectangleMtl));
}

TEST(ObjReader, UsemtlSplitsTheRunAndPairsNamesWithMeshes) {
    const std::string obj = std::string(kSquare) + "o A\nf 1 2 3\nusemtl M\nf 1 3 4\n";
    const Loaded r = load(obj + "mtllib x.mtl\n", "newmtl M\nNs 7\n");
    ASSERT_TRUE(r.ok);
    ASSERT_EQ(r.loader.meshes.size(), 2u);
    EXPECT_EQ(r.loader.meshes[0].name, "A_2");
    EXPECT_EQ(r.loader.meshes[1].name, "A");
    EXPECT_EQ(r.loader.meshes[0].material.name, "M");
    EXPECT_EQ(r.loader.meshes[0].material.Ns, 7.0f);
    EXPECT_EQ(r.loader.meshes[1].material.name, "");
    EXPECT_EQ(r.loader.meshes[1].indices, (Indices{0, 1, 2}));  // into its own vertices
    EXPECT_EQ(r.loader.indices, (Indices{0, 1, 2, 3, 4, 5}));
}

TEST(ObjReader, GroupsAndObjectsCloseRuns) {
    const std::string obj = std::string(kSquare) +
                            "usemtl first\n"  // before any face: only records the name
                            "f 1 2 3\no B\nf 1 3 4\ngroupish\nf 2 3 4\n";
    const Loaded r = load(obj);
    // The first object line names the run it finds (faces before it included);
    // a g... line closing a run names the next one restOf("groupish"), empty.
    ASSERT_EQ(r.loader.meshes.size(), 2u);
    EXPECT_EQ(r.loader.meshes[0].name, "B");
    EXPECT_EQ(r.loader.meshes[0].vertices.size(), 6u);
    EXPECT_EQ(r.loader.meshes[1].name, "");
    EXPECT_EQ(r.loader.meshes[1].vertices.size(), 3u);
}

TEST(ObjReader, FirstGroupishLineNamesUnnamed) {
    const Loaded r = load(std::string(kSquare) + "gx y\nf 1 2 3\n");
    ASSERT_EQ(r.loader.meshes.size(), 1u);
    EXPECT_EQ(r.loader.meshes[0].name, "unnamed");
}

TEST(ObjReader, FacesWithoutObjectLine) {
    const Loaded r = load(std::string(kSquare) + "f 1 2 3 4\n");
    ASSERT_TRUE(r.ok);
    ASSERT_EQ(r.loader.meshes.size(), 1u);
    EXPECT_EQ(r.loader.meshes[0].name, "");
    EXPECT_EQ(r.loader.meshes[0].indices, (Indices{0, 1, 3, 1, 2, 3}));
}

TEST(ObjReader, FormPGetsTheComputedNormal) {
    const Loaded r = load("v 0 0 0\nv 2 0 0\nv 0 3 0\nf 1 2 3\n");
    ASSERT_EQ(r.loader.vertices.size(), 3u);
    // (p0 - p1) x (p2 - p1) = (-2,0,0) x (-2,3,0) = (0,0,-6), not normalised
    for (const objl::Vertex& v : r.loader.vertices) {
        EXPECT_EQ(v.normal, objl::Vector3(0, 0, -6));
        EXPECT_EQ(v.texCoord.x, 0.0f);
        EXPECT_EQ(v.texCoord.y, 0.0f);
    }
}

TEST(ObjReader, IndentedLinesAndNegativeIndices) {
    const Loaded r = load("\tv 1 0 0\nv 0 1 0\nv 0 0 1\nf -3 -2 -1\nv 5 5 5\nf 1 2 -1\n");
    ASSERT_EQ(r.loader.vertices.size(), 6u);
    EXPECT_EQ(r.loader.vertices[0].position, objl::Vector3(1, 0, 0));
    EXPECT_EQ(r.loader.vertices[2].position, objl::Vector3(0, 0, 1));
    EXPECT_EQ(r.loader.vertices[5].position, objl::Vector3(5, 5, 5));  // last read before the line
}

TEST(ObjReader, CarriageReturnTakesTheNextCharacterWithIt) {
    const Loaded r = load("v 1 2 3\r\nv 4 5 6\rX\r\nv 7 8\r9 0\r\n");
    // "v 4 5 6\rX" reads as "v 4 5 6"; "v 7 8\r9 0" as "v 7 8 0"
    ASSERT_TRUE(r.loader.meshes.empty());
    const Loaded f = load("v 1 2 3\r\nv 4 5 6\rX\r\nv 7 8\r9 0\r\nf 1 2 3\r\n");
    ASSERT_EQ(f.loader.vertices.size(), 3u);
    EXPECT_EQ(f.loader.vertices[1].position, objl::Vector3(4, 5, 6));
    EXPECT_EQ(f.loader.vertices[2].position, objl::Vector3(7, 8, 0));
}

TEST(ObjReader, ProgressLines) {
    // Each line advances a counter modulo 1000; object, group and usemtl lines
    // reset it; a line that brings it to 1 reports the state before itself.
    const std::string obj =
        "o Q\nv 0 0 0\nv 1 0 0\nv 0 1 0\nusemtl a\nf 1 2 3\nvn 0 0 1\n" + std::string(998, '\n') + "v 2 2 2\n";
    const Loaded r = load(obj);
    EXPECT_EQ(r.output,
              "\n"
              "\r- Q\t| vertices > 0\t| texcoords > 0\t| normals > 0\t| triangles > 0"
              "\r- Q\t| vertices > 3\t| texcoords > 0\t| normals > 0\t| triangles > 0\t| material: a"
              "\r- Q\t| vertices > 3\t| texcoords > 0\t| normals > 1\t| triangles > 1\t| material: a"
              "\n");
}

// --- Guarded inputs: each must neither raise nor read out of range, and the
// rest of the text must still load.

TEST(ObjReader, BadNumbersDropTheirLineOnly) {
    const Loaded r = load(
        "v 0 0 0\nv abc 0 0\nv 1e99999 0 0\nv 1e-39 0 0\nv 1 0 0\nv 0 1\nv 0 1 0\n"
        "vt 0\nvt 0.5 0.5\nvn 0 0\nvn 0 0 1\nf 1/1/1 2/1/1 3/1/1\n");
    ASSERT_TRUE(r.ok);
    ASSERT_EQ(r.loader.vertices.size(), 3u);
    EXPECT_EQ(r.loader.vertices[1].position, objl::Vector3(1, 0, 0));
    EXPECT_EQ(r.loader.vertices[2].position, objl::Vector3(0, 1, 0));
    EXPECT_EQ(r.loader.vertices[2].texCoord.x, 0.5f);
    EXPECT_EQ(r.loader.vertices[2].normal, objl::Vector3(0, 0, 1));
}

TEST(ObjReader, CornersAddressingNothingAreDropped) {
    const struct {
        const char* face;
        std::size_t corners;
    } cases[] = {
        {"f 1 2 3", 3},
        {"f 0 1 2 3", 3},
        {"f 1 2 3 5", 3},           // past the four positions
        {"f -5 1 2 3", 3},          // before the first
        {"f 2147483648 1 2 3", 3},  // does not convert
        {"f x 1 2 3", 3},
        {"f 1/9 2/1 3/1 4/1", 3},  // texture coordinate past the end
        {"f 1//2 2//1 3//1", 2},   // normal past the end
        {"f 1/1/1/1 1 2 3", 3},    // four parts
        {"f 1  2 3", 3},           // empty token
        {"f /1 1 2 3", 3},         // empty position part
        {"f", 0},
    };
    const std::string base = std::string(kSquare) + "vt 0 0\nvn 0 0 1\n";
    for (const auto& c : cases) {
        const Loaded r = load(base + c.face + "\n");
        EXPECT_EQ(r.loader.vertices.size(), c.corners) << c.face;
    }
}

TEST(ObjReader, ShortComputedNormalFaceGetsZeroNormal) {
    const Loaded r = load("v 1 2 3\nv 4 5 6\nf 1 2\nf 1\n");
    ASSERT_EQ(r.loader.vertices.size(), 3u);  // corners kept, no triangle
    EXPECT_TRUE(r.ok);
    EXPECT_TRUE(r.loader.meshes.empty());
    EXPECT_TRUE(r.loader.indices.empty());
    for (const objl::Vertex& v : r.loader.vertices) EXPECT_EQ(v.normal, objl::Vector3(0, 0, 0));
}

TEST(ObjReader, FaceBeforeAnyPositionAddsNothing) {
    const Loaded r = load("f 1 2 3\nf -1 -2 -3\n");
    EXPECT_FALSE(r.ok);
}

TEST(ObjReader, SurplusMaterialNamesAreIgnored) {
    const Loaded r = load(std::string(kSquare) + "mtllib m\nf 1 2 3\nusemtl a\nusemtl b\nusemtl c\n",
                          "newmtl a\nnewmtl b\nnewmtl c\n");
    ASSERT_EQ(r.loader.meshes.size(), 1u);
    EXPECT_EQ(r.loader.meshes[0].material.name, "a");
}

TEST(ObjReader, EveryMtllibLineReadsTheMaterialsAgain) {
    const Loaded r = load("mtllib a\nmtllib b\n", "newmtl m\n");
    EXPECT_FALSE(r.ok);  // no mesh, vertex or index
    EXPECT_EQ(r.loader.materials.size(), 2u);
}

TEST(ObjReader, NulBytesAreOrdinaryText) {
    static const char text[] = "v 0 0 0\nv 1 0 0\0junk\nv 0 1 0\n\0f 1 2 3\nf 1 2 3\n";
    const std::string obj(text, sizeof text - 1);
    const Loaded r = load(obj);
    ASSERT_EQ(r.loader.meshes.size(), 1u);
    EXPECT_EQ(r.loader.meshes[0].vertices.size(), 3u);
}

TEST(PickElement, ObjIndices) {
    const std::vector<int> list{10, 20, 30};
    const struct {
        const char* text;
        bool ok;
        int value;
    } cases[] = {
        {"1", true, 10}, {"3", true, 30},  {"-1", true, 30},          {"-3", true, 10}, {"0", false, 0},
        {"4", false, 0}, {"-4", false, 0}, {"-2147483648", false, 0}, {"", false, 0},   {"2abc", true, 20},
    };
    for (const auto& c : cases) {
        int value = -1;
        EXPECT_EQ(objl::pickElement(list, c.text, value), c.ok) << c.text;
        EXPECT_EQ(value, c.ok ? c.value : -1) << c.text;
    }
}

}  // namespace
