#include "tests/support/ripple_reference.h"

#include <algorithm>
#include <cmath>

namespace ripple {

namespace {

constexpr float kHashScale1 = 0.1031f;
constexpr Vec3 kHashScale3{0.1031f, 0.1030f, 0.0973f};
constexpr int kMaxRadius = 1;

float clamp(float x, float lo, float hi) { return std::min(std::max(x, lo), hi); }

// The common tail of both hashes: q += dot(q, q.yzx + 19.19).
Vec3 scramble(Vec3 q) {
    const float k = q.x * (q.y + 19.19f) + q.y * (q.z + 19.19f) + q.z * (q.x + 19.19f);
    return {q.x + k, q.y + k, q.z + k};
}

int wrap(int i, int size) {
    const int r = i % size;
    return r < 0 ? r + size : r;
}

}  // namespace

float fract(float x) { return x - std::floor(x); }

float mix(float a, float b, float t) { return a * (1.0f - t) + b * t; }

float smoothstep(float a, float b, float x) {
    const float t = clamp((x - a) / (b - a), 0.0f, 1.0f);
    return t * t * (3.0f - 2.0f * t);
}

float hash12(Vec2 p) {
    const Vec3 q = scramble({fract(p.x * kHashScale1), fract(p.y * kHashScale1), fract(p.x * kHashScale1)});
    return fract((q.x + q.y) * q.z);
}

Vec2 hash22(Vec2 p) {
    const Vec3 q = scramble({fract(p.x * kHashScale3.x), fract(p.y * kHashScale3.y), fract(p.x * kHashScale3.z)});
    return {fract((q.x + q.y) * q.z), fract((q.x + q.z) * q.y)};
}

float wave(float e) { return std::sin(31.0f * e) * smoothstep(-0.6f, -0.3f, e) * (1.0f - smoothstep(-0.3f, 0.0f, e)); }

float refractionIntensity(float iTime) {
    const float w = std::fabs(fract(0.05f * iTime + 0.5f) * 2.0f - 1.0f);
    return mix(0.01f, 0.15f, smoothstep(0.1f, 0.6f, w));
}

Vec3 Texture::texel(int i, int j) const {
    const std::size_t k = (static_cast<std::size_t>(wrap(j, height)) * static_cast<std::size_t>(width) +
                           static_cast<std::size_t>(wrap(i, width))) *
                          3u;
    return {rgb[k], rgb[k + 1], rgb[k + 2]};
}

Vec3 sampleLinear(const Texture& texture, Vec2 st) {
    const float u = st.x * static_cast<float>(texture.width) - 0.5f;
    const float v = st.y * static_cast<float>(texture.height) - 0.5f;
    const float u0 = std::floor(u), v0 = std::floor(v);
    const float a = u - u0, b = v - v0;
    const int i = static_cast<int>(u0), j = static_cast<int>(v0);
    const Vec3 t00 = texture.texel(i, j), t10 = texture.texel(i + 1, j);
    const Vec3 t01 = texture.texel(i, j + 1), t11 = texture.texel(i + 1, j + 1);
    auto lerp2 = [&](float c00, float c10, float c01, float c11) {
        return (1.0f - b) * ((1.0f - a) * c00 + a * c10) + b * ((1.0f - a) * c01 + a * c11);
    };
    return {lerp2(t00.x, t10.x, t01.x, t11.x), lerp2(t00.y, t10.y, t01.y, t11.y), lerp2(t00.z, t10.z, t01.z, t11.z)};
}

Vec3 sampleNearest(const Texture& texture, Vec2 st) {
    const int i = static_cast<int>(std::floor(st.x * static_cast<float>(texture.width)));
    const int j = static_cast<int>(std::floor(st.y * static_cast<float>(texture.height)));
    return texture.texel(i, j);
}

namespace {

// The ring of one cell as the fragment at ripple-space position uv sees it.
struct Ring {
    Vec2 v;        // from the fragment to the drop centre
    float length;  // |v|
    float t;       // the ring's phase
    float d;       // signed distance behind the front
};

// Calls visit(ring) for the nine cells around the fragment, row by row.
template <typename Visit>
void forEachRing(Vec2 fragCoord, const ShaderTime& time, float normalsTextureSize, Visit visit) {
    const Vec2 uv{time.driftX + 5.0f * fragCoord.x / normalsTextureSize,
                  time.driftY + 5.0f * fragCoord.y / normalsTextureSize};
    const Vec2 p0{std::floor(uv.x), std::floor(uv.y)};
    const float finalRadius = static_cast<float>(kMaxRadius) + 0.5f - 0.2f * time.ringSwing;
    for (int j = -kMaxRadius; j <= kMaxRadius; ++j) {
        for (int i = -kMaxRadius; i <= kMaxRadius; ++i) {
            const Vec2 c{p0.x + static_cast<float>(i), p0.y + static_cast<float>(j)};
            const Vec2 offset = hash22(c);
            const Vec2 p{c.x + offset.x, c.y + offset.y};
            Ring ring;
            ring.t = fract(0.3f * time.cycleTime + hash12(c));
            ring.v = {p.x - uv.x, p.y - uv.y};
            ring.length = std::sqrt(ring.v.x * ring.v.x + ring.v.y * ring.v.y);
            ring.d = ring.length - finalRadius * ring.t;
            visit(ring);
        }
    }
}

}  // namespace

Vec2 circlesAverage(Vec2 fragCoord, const ShaderTime& time, float normalsTextureSize) {
    Vec2 sum;
    forEachRing(fragCoord, time, normalsTextureSize, [&](const Ring& ring) {
        const float h = 0.001f;
        float s = (wave(ring.d + h) - wave(ring.d - h)) / (2.0f * h);
        s *= (1.0f - ring.t) * (1.0f - ring.t);
        const float inverse = 1.0f / ring.length;
        sum.x += 0.5f * (ring.v.x * inverse) * s;
        sum.y += 0.5f * (ring.v.y * inverse) * s;
    });
    return {sum.x / 9.0f, sum.y / 9.0f};
}

float bandEdgeDistance(Vec2 fragCoord, const ShaderTime& time, float normalsTextureSize) {
    float nearest = 1e30f;
    forEachRing(fragCoord, time, normalsTextureSize, [&](const Ring& ring) {
        nearest = std::min({nearest, std::fabs(ring.d), std::fabs(ring.d + 0.6f)});
    });
    return nearest;
}

Vec3 normalFrom(Vec2 a) { return {a.x, a.y, std::sqrt(std::max(0.0f, 1.0f - (a.x * a.x + a.y * a.y)))}; }

Vec3 shade(Vec3 n, Vec2 uvx, float intensity, const Texture& background) {
    const Vec3 base = sampleLinear(background, {uvx.x - intensity * n.x, uvx.y - intensity * n.y});
    const float lightLength = std::sqrt(1.0f * 1.0f + 0.7f * 0.7f + 0.5f * 0.5f);
    const Vec3 light{1.0f / lightLength, 0.7f / lightLength, 0.5f / lightLength};
    const float spec = 5.0f * std::pow(clamp(n.x * light.x + n.y * light.y + n.z * light.z, 0.0f, 1.0f), 6.0f);
    return {base.x + spec, base.y + spec, base.z + spec};
}

Vec3 fragment(const Uniforms& u, const Textures& textures, Vec2 fragCoord) {
    const ShaderTime time = shaderTimeAt(u.time);
    const float intensity = refractionIntensity(time.cycleTime);
    const float aspect = u.viewportWidth / u.viewportHeight;
    const Vec2 uvx{fragCoord.x / u.viewportWidth, (fragCoord.y / u.viewportHeight) / aspect};
    if (u.renderMode < 2.0f) {
        const Vec3 n = normalFrom(circlesAverage(fragCoord, time, u.normalsTextureSize));
        if (u.renderMode < 1.0f) return n;
        return shade(n, uvx, intensity, *textures.background);
    }
    const float scale = u.normalsTextureSize / 1024.0f;
    const Vec3 n = sampleNearest(*textures.normals, {uvx.x * scale, uvx.y * scale});
    return shade(n, uvx, intensity, *textures.background);
}

std::vector<float> render(const Uniforms& u, const Textures& textures, int width, int height) {
    std::vector<float> rgb(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3u);
    float* out = rgb.data();
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const Vec3 c = fragment(u, textures, {static_cast<float>(x) + 0.5f, static_cast<float>(y) + 0.5f});
            *out++ = c.x;
            *out++ = c.y;
            *out++ = c.z;
        }
    }
    return rgb;
}

}  // namespace ripple
