// Pieces shared by several backgrounds: pixel loops, caustics, sand, leaves.
#pragma once

#include <utility>

#include "imagegen.h"

namespace imagegen {

constexpr int kTile = 1024;

// Calls f(x, y, u, v, index) for every pixel of an n x n tile.
template <class F>
void eachPixel(int n, F f) {
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) f(x, y, (x + 0.5f) / n, (y + 0.5f) / n, static_cast<std::size_t>(y) * n + x);
}

// An object-local frame: offset from a centre in pixels, rotated by angle a.
struct Frame {
    float c = 1, s = 0;
    explicit Frame(float angle = 0) : c(std::cos(angle)), s(std::sin(angle)) {}
    void apply(float dx, float dy, float& lx, float& ly) const {
        lx = dx * c + dy * s;
        ly = -dx * s + dy * c;
    }
};

// Bright caustic network of sunlight focused by a wavy surface, about [0, 1.5].
float caustics(float u, float v, std::uint32_t seed, int cells = 9);

// Rippled sand: height in pixels and colour.
struct SandSample {
    float height;
    Col color;
};
SandSample sand(float u, float v, std::uint32_t seed, float rippleAmp, int rippleFreq);

// Leaf outlines in a leaf-local frame (x along the midrib, tip at +x).
// Each returns the inside measure (> 0 inside) and a vein mask in [0, 1].
struct LeafSample {
    bool inside = false;
    float edge = 0;  // 0 at the outline, 1 at the middle
    float vein = 0;
};
LeafSample ovalLeaf(float lx, float ly, float length, float width);
LeafSample mapleLeaf(float lx, float ly, float radius);

// A value in [0, 1) that changes per pixel (fine grain).
inline float grain(int x, int y, std::uint32_t seed) {
    return unit(hash(static_cast<std::uint32_t>(x), static_cast<std::uint32_t>(y), seed));
}

// Dark water with the soft reflection of a bright sky and trees.
Col pondWater(float u, float v, std::uint32_t seed, Col deep, Col sky);
// Piecewise linear colour ramp over stops sorted by position.
Col ramp(const std::vector<std::pair<float, Col>>& stops, float t);

// Distance in pixels from (px, py) to the segment a-b, and where along it
// (0 at a, 1 at b) the nearest point lies.
struct SegmentHit {
    float d, t;
};
inline SegmentHit segment(float px, float py, float ax, float ay, float bx, float by) {
    const float ex = bx - ax, ey = by - ay;
    const float len2 = ex * ex + ey * ey;
    const float t = len2 > 0 ? clamp01(((px - ax) * ex + (py - ay) * ey) / len2) : 0.0f;
    const float dx = px - ax - ex * t, dy = py - ay - ey * t;
    return {std::sqrt(dx * dx + dy * dy), t};
}

Image renderSceneA(int index);  // backgrounds 187..196
Image renderSceneB(int index);  // backgrounds 197..201
Image renderSceneC(int index);  // backgrounds 202..206

}  // namespace imagegen
