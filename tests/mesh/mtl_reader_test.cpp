// The MTL reader.
#include <gtest/gtest.h>

#include <string>

#include "mesh/objl.h"
#include "test_texts.h"
#include "resources/resource_ids.h"

namespace {

std::vector<objl::Material> readMtl(const std::string& text) {
    objl::MeshLoader loader;
    EXPECT_TRUE(loader.loadMtlText(text));
    return loader.materials;
}

void expectVector(const objl::Vector3& v, float x, float y, float z) {
    EXPECT_FLOAT_EQ(v.x, x);
    EXPECT_FLOAT_EQ(v.y, y);
    EXPECT_FLOAT_EQ(v.z, z);
}

TEST(MtlReader, RectangleMaterial) {
    const auto materials = readMtl(mesh_test::rectangleMtl());
    ASSERT_EQ(materials.size(), 1u);
    const objl::Material& m = materials[0];
    EXPECT_EQ(m.name, "wire_198225087");
    EXPECT_EQ(m.Ns, 32.0f);
    EXPECT_EQ(m.d, 1.0f);
    EXPECT_EQ(m.illum, 2);
    EXPECT_EQ(m.Ni, 0.0f);
    expectVector(m.Ka, 0.7765f, 0.8824f, 0.3412f);
    expectVector(m.Kd, 0.7765f, 0.8824f, 0.3412f);
    expectVector(m.Ks, 0.35f, 0.35f, 0.35f);
    for (const std::string* map : {&m.map_Ka, &m.map_Kd, &m.map_Ks, &m.map_Ns, &m.map_d, &m.map_bump}) {
        EXPECT_TRUE(map->empty());
    }
}

TEST(MtlReader, NewmtlNamingRule) {
    const struct {
        const char* line;
        const char* name;
    } cases[] = {
        {"newmtl", "none"},  {"newmtl ", "none"},  {"newmtl x", "x"},       {"newmtl  ", ""},
        {"newmtl x\r", "x"}, {"\tnewmtl", "none"}, {"newmtl a b\r", "a b"},
    };
    for (const auto& c : cases) {
        const auto materials = readMtl(c.line);
        ASSERT_EQ(materials.size(), 1u);
        EXPECT_EQ(materials[0].name, c.name) << '"' << c.line << '"';
    }
}

TEST(MtlReader, ColourNeedsExactlyThreeSingleBlankValues) {
    const struct {
        const char* text;
        float x;
    } cases[] = {
        {"Ka 0.5 0.5 0.5\nKa 0.1 0.2", 0.5f},         {"Ka 0.5 0.5 0.5\nKa 0.1  0.2 0.3", 0.5f},
        {"Ka 0.5 0.5 0.5\nKa 0.1 0.2 0.3 0.4", 0.5f}, {"Ka 0.5 0.5 0.5\nKa 0.1 0.2 0.3\r", 0.1f},
        {"Ka 0.5 0.5 0.5\nKa 0.1 oops 0.3", 0.5f},  // no partial update either
    };
    for (const auto& c : cases) {
        const auto materials = readMtl(c.text);
        ASSERT_EQ(materials.size(), 1u);
        EXPECT_FLOAT_EQ(materials[0].Ka.x, c.x) << c.text;
        EXPECT_FLOAT_EQ(materials[0].Ka.y, c.x == 0.1f ? 0.2f : 0.5f) << c.text;
    }
}

TEST(MtlReader, UnconvertibleNumbersLeaveTheFieldAndTheRestLoads) {
    const auto materials =
        readMtl("newmtl m\nNs 12\nNs abc\nNi 1e99999\nd 1e-39\nillum 2147483648\nillum x\nKd 1 2 3\n");
    ASSERT_EQ(materials.size(), 1u);
    EXPECT_EQ(materials[0].Ns, 12.0f);
    EXPECT_EQ(materials[0].Ni, 0.0f);
    EXPECT_EQ(materials[0].d, 0.0f);
    EXPECT_EQ(materials[0].illum, 0);
    EXPECT_EQ(materials[0].Kd.z, 3.0f);
}

TEST(MtlReader, MaterialsSplitAtNewmtl) {
    const auto materials = readMtl("Ns 5\nnewmtl a\nNs 6\nnewmtl b\nNi 2\nmap_Kd tex.png\r\nbump b.png\n");
    ASSERT_EQ(materials.size(), 2u);
    EXPECT_EQ(materials[0].name, "a");
    EXPECT_EQ(materials[0].Ns, 6.0f);  // set before and after the first newmtl
    EXPECT_EQ(materials[1].name, "b");
    EXPECT_EQ(materials[1].Ns, 0.0f);
    EXPECT_EQ(materials[1].Ni, 2.0f);
    EXPECT_EQ(materials[1].map_Kd, "tex.png\r");  // map names keep the carriage return
    EXPECT_EQ(materials[1].map_bump, "b.png");
}

TEST(MtlReader, EmptyTextGivesOneEmptyMaterial) {
    const auto materials = readMtl("");
    ASSERT_EQ(materials.size(), 1u);
    EXPECT_EQ(materials[0].name, "");
    EXPECT_EQ(materials[0].Ns, 0.0f);
}

TEST(MtlReader, LoadingTwiceAppendsTwice) {
    objl::MeshLoader loader;
    EXPECT_TRUE(loader.loadMtlText(mesh_test::rectangleMtl()));
    EXPECT_TRUE(loader.loadMtlText(mesh_test::rectangleMtl()));
    ASSERT_EQ(loader.materials.size(), 2u);
    EXPECT_EQ(loader.materials[1].name, "wire_198225087");
}

TEST(MtlReader, FromTheResource) {
    objl::MeshLoader loader;
    EXPECT_TRUE(loader.loadMtl(resource::kRectangleMtl));
    ASSERT_EQ(loader.materials.size(), 1u);
    EXPECT_EQ(loader.materials[0].name, "wire_198225087");
    EXPECT_EQ(loader.materials[0].Ns, 32.0f);
    // A missing resource reads as an empty text.
    EXPECT_TRUE(loader.loadMtl(9999));
    ASSERT_EQ(loader.materials.size(), 2u);
    EXPECT_EQ(loader.materials[1].name, "");
}

}  // namespace
