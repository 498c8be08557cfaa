// Ear clipping and the point-in-triangle test.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "mesh/objl.h"

namespace {

using Indices = std::vector<std::uint32_t>;

std::vector<objl::Vertex> face(const std::vector<objl::Vector3>& positions) {
    std::vector<objl::Vertex> corners(positions.size());
    for (std::size_t i = 0; i < positions.size(); ++i) corners[i].position = positions[i];
    return corners;
}

std::vector<objl::Vertex> regularPolygon(int n) {
    std::vector<objl::Vector3> p;
    for (int i = 0; i < n; ++i) {
        const double a = 2.0 * 3.14159265358979 * i / n;
        p.emplace_back(static_cast<float>(std::cos(a)), static_cast<float>(std::sin(a)), 0.0f);
    }
    return face(p);
}

TEST(Triangulate, SmallFaces) {
    EXPECT_EQ(objl::triangulateFace(face({})), Indices{});
    EXPECT_EQ(objl::triangulateFace(face({{0, 0, 0}, {1, 0, 0}})), Indices{});
    EXPECT_EQ(objl::triangulateFace(face({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}})), (Indices{0, 1, 2}));
    EXPECT_EQ(objl::triangulateFace(face({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}})), (Indices{0, 1, 3, 1, 2, 3}));
}

TEST(Triangulate, ConvexPentagon) {
    EXPECT_EQ(objl::triangulateFace(regularPolygon(5)), (Indices{0, 1, 4, 1, 2, 4, 2, 3, 4}));
}

TEST(Triangulate, RepeatedPositionsEmitEveryMatchingCorner) {
    // Corners 0 and 4 share a position: each triangle touching it names both.
    const auto corners = face({{0, 0, 0}, {2, 0, 0}, {2, 2, 0}, {0, 2, 0}, {0, 0, 0}});
    const Indices got = objl::triangulateFace(corners);
    EXPECT_EQ(got, objl::triangulateFaceReference(corners));
    EXPECT_NE(got.size() % 3, 0u);
}

TEST(Triangulate, TerminatesOnNaNCorners) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const auto corners = face({{0, 0, 0}, {nan, 0, 0}, {2, 2, 0}, {0, nan, 0}, {1, 5, 0}, {nan, nan, nan}});
    const Indices fast = objl::triangulateFace(corners);
    EXPECT_EQ(fast, objl::triangulateFaceReference(corners));
    for (std::uint32_t i : fast) EXPECT_LT(i, corners.size());
}

TEST(Triangulate, FastFormMatchesReferenceOnRandomFaces) {
    std::mt19937 rng(12345);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    for (int iteration = 0; iteration < 4000; ++iteration) {
        const int n = 4 + static_cast<int>(rng() % 12);
        const int kind = iteration % 5;
        std::vector<objl::Vector3> p;
        for (int i = 0; i < n; ++i) {
            std::uniform_real_distribution<float> unit(-1.0f, 1.0f);
            switch (kind) {
                case 0:  // random points in a plane: self-crossing, reflex corners
                    p.emplace_back(unit(rng), unit(rng), 0.0f);
                    break;
                case 1:  // a small grid: repeated positions, collinear corners
                    p.emplace_back(static_cast<float>(rng() % 3), static_cast<float>(rng() % 3), 0.0f);
                    break;
                case 2:  // not planar
                    p.emplace_back(unit(rng), unit(rng), unit(rng));
                    break;
                case 3: {  // a star
                    const double a = 2.0 * 3.14159265358979 * i / n;
                    const double r = (i % 2 == 0) ? 1.0 : 0.3 + 0.5 * (rng() % 100) / 100.0;
                    p.emplace_back(static_cast<float>(r * std::cos(a)), static_cast<float>(r * std::sin(a)), 0.0f);
                    break;
                }
                default: {  // grid with the odd NaN, infinity or negative zero
                    const float specials[] = {nan, inf, -0.0f, 0.0f, 1.0f};
                    p.emplace_back(specials[rng() % 5], static_cast<float>(rng() % 2), 0.0f);
                    break;
                }
            }
        }
        const auto corners = face(p);
        ASSERT_EQ(objl::triangulateFace(corners), objl::triangulateFaceReference(corners)) << "iteration " << iteration;
    }
}

TEST(Triangulate, FastFormMatchesReferenceOnLargerConvexAndStarFaces) {
    EXPECT_EQ(objl::triangulateFace(regularPolygon(200)), objl::triangulateFaceReference(regularPolygon(200)));
    std::vector<objl::Vector3> star;
    for (int i = 0; i < 120; ++i) {
        const double a = 2.0 * 3.14159265358979 * i / 120;
        const double r = (i % 2 == 0) ? 1.0 : 0.5;
        star.emplace_back(static_cast<float>(r * std::cos(a)), static_cast<float>(r * std::sin(a)), 0.0f);
    }
    EXPECT_EQ(objl::triangulateFace(face(star)), objl::triangulateFaceReference(face(star)));
}

TEST(PointInTriangle, ClosedProjectedAndNaNSafe) {
    const objl::Vector3 a(0, 0, 0), b(1, 0, 0), c(0, 1, 0);
    const struct {
        objl::Vector3 p;
        bool inside;
    } cases[] = {
        {{0.25f, 0.25f, 0}, true}, {{0, 0, 0}, true},         {{0.5f, 0.5f, 0}, true},
        {{0.25f, 0.25f, 9}, true},  // distance from the plane does not matter
        {{1, 1, 0}, false},        {{-0.1f, 0.2f, 0}, false}, {{std::numeric_limits<float>::quiet_NaN(), 0, 0}, false},
    };
    for (const auto& k : cases) EXPECT_EQ(objl::pointInTriangle(k.p, a, b, c), k.inside);
    EXPECT_FALSE(objl::pointInTriangle({0, 0, 0}, a, b, {2, 0, 0}));  // degenerate
}

}  // namespace
