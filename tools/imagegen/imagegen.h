// The image generator's toolkit: colours, images, periodic noise, scattered
// objects, height-field shading and the file writers.
//
// Everything is deterministic: every random number comes from an integer hash
// of a position and a seed, never from a global generator. Every background
// is periodic over its 1024 x 1024 tile (noise lattices, cell grids and
// scattered objects all wrap), so the ripples, which sample it with repeat
// wrapping, never show a seam.
#pragma once

#include "resources/resource_ids.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace imagegen {

constexpr float kPi = 3.14159265358979f;

// ---------------------------------------------------------------------------
// Colours and vectors
struct Col {
    float r = 0, g = 0, b = 0;
};
inline Col rgb(float r, float g, float b) { return {r, g, b}; }
inline Col hex(std::uint32_t v) { return {((v >> 16) & 255) / 255.0f, ((v >> 8) & 255) / 255.0f, (v & 255) / 255.0f}; }
inline Col operator+(Col a, Col b) { return {a.r + b.r, a.g + b.g, a.b + b.b}; }
inline Col operator-(Col a, Col b) { return {a.r - b.r, a.g - b.g, a.b - b.b}; }
inline Col operator*(Col a, Col b) { return {a.r * b.r, a.g * b.g, a.b * b.b}; }
inline Col operator*(Col a, float s) { return {a.r * s, a.g * s, a.b * s}; }
inline Col operator*(float s, Col a) { return a * s; }
inline Col& operator+=(Col& a, Col b) { return a = a + b; }
inline Col mix(Col a, Col b, float t) { return a + (b - a) * t; }
inline float mixf(float a, float b, float t) { return a + (b - a) * t; }
inline float clamp01(float v) { return v < 0 ? 0 : (v > 1 ? 1 : v); }
inline float clampf(float v, float lo, float hi) { return v < lo ? lo : (v > hi ? hi : v); }
inline float smooth(float e0, float e1, float x) {
    const float t = clamp01((x - e0) / (e1 - e0));
    return t * t * (3 - 2 * t);
}
inline float luma(Col c) { return 0.2126f * c.r + 0.7152f * c.g + 0.0722f * c.b; }
// Scales saturation around the colour's luminance.
inline Col saturate(Col c, float s) { return mix(Col{luma(c), luma(c), luma(c)}, c, s); }

struct V3 {
    float x = 0, y = 0, z = 0;
};
inline V3 norm3(V3 v) {
    const float l = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    return l > 0 ? V3{v.x / l, v.y / l, v.z / l} : V3{0, 0, 1};
}
inline float dot3(V3 a, V3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

// Wraps v into [0, n).
inline int wrapi(int v, int n) {
    if (static_cast<unsigned>(v) < static_cast<unsigned>(n)) return v;  // the common case, without a division
    const int m = v % n;
    return m < 0 ? m + n : m;
}
// Wrapped difference a - b on a circle of circumference 1, in [-0.5, 0.5).
inline float wrapd(float d) { return d - std::floor(d + 0.5f); }

// ---------------------------------------------------------------------------
// Hashing: integer hashes of positions and seeds.
inline std::uint32_t hash(std::uint32_t x) {
    x ^= x >> 16;
    x *= 0x7feb352du;
    x ^= x >> 15;
    x *= 0x846ca68bu;
    x ^= x >> 16;
    return x;
}
inline std::uint32_t hash(std::uint32_t a, std::uint32_t b) { return hash(a ^ hash(b + 0x9e3779b9u)); }
inline std::uint32_t hash(std::uint32_t a, std::uint32_t b, std::uint32_t c) { return hash(a, hash(b, c)); }
inline std::uint32_t hash(std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t d) {
    return hash(a, hash(b, hash(c, d)));
}
// A float in [0, 1) from a hash.
inline float unit(std::uint32_t h) { return (h >> 8) * (1.0f / 16777216.0f); }
// A deterministic stream of numbers for one object.
struct Rng {
    std::uint32_t state;
    explicit Rng(std::uint32_t s) : state(hash(s)) {}
    float next() {
        state = hash(state + 0x6d2b79f5u);
        return unit(state);
    }
    float range(float lo, float hi) { return lo + (hi - lo) * next(); }
    int below(int n) { return std::min(n - 1, static_cast<int>(next() * n)); }
};

// ---------------------------------------------------------------------------
// Periodic gradient noise. x, y in lattice units; the lattice repeats every
// `period` cells. Result roughly in [-0.7, 0.7].
float gnoise2(float x, float y, int periodX, int periodY, std::uint32_t seed);
inline float gnoise(float x, float y, int period, std::uint32_t seed) { return gnoise2(x, y, period, period, seed); }
// Fractal sum over tile coordinates u, v (one tile = [0, 1)); `freq` is the
// lattice count of the first octave, doubled per octave. Result about [-1, 1].
float fbm(float u, float v, int freq, int octaves, std::uint32_t seed, float gain = 0.5f);
// Anisotropic fractal sum: fx lattice cells across u, fy across v.
float fbmA(float u, float v, int fx, int fy, int octaves, std::uint32_t seed, float gain = 0.5f);
// Ridged variant in [0, 1]: bright thin ridges where the noise crosses zero.
float ridged(float u, float v, int freq, int octaves, std::uint32_t seed);

// Periodic cellular (Worley) noise over tile coordinates with n x n cells.
struct CellHit {
    float f1 = 1e9f, f2 = 1e9f;  // nearest and second-nearest distance, in cell units
    float dx = 0, dy = 0;        // from the nearest point to the sample, cell units
    std::uint32_t id = 0;        // hash of the nearest cell (wrapped indices)
};
CellHit worley(float u, float v, int n, std::uint32_t seed, float jitter = 0.9f);

// ---------------------------------------------------------------------------
// Scalar and colour fields over one square tile, sampled with wrap.
struct Field {
    int n = 0;
    std::vector<float> v;
    Field() = default;
    explicit Field(int size, float init = 0) : n(size), v(static_cast<std::size_t>(size) * size, init) {}
    float& at(int x, int y) { return v[static_cast<std::size_t>(wrapi(y, n)) * n + wrapi(x, n)]; }
    float at(int x, int y) const { return v[static_cast<std::size_t>(wrapi(y, n)) * n + wrapi(x, n)]; }
    // Bilinear sample at pixel coordinates (pixel centres at integers).
    float sample(float x, float y) const;
    // Bilinear sample at tile coordinates u, v in [0, 1).
    float sampleUV(float u, float v) const { return sample(u * n - 0.5f, v * n - 0.5f); }
};
// Fills a field of side `size` by calling f(u, v) at each pixel centre.
template <class F>
Field makeField(int size, F f) {
    Field out(size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            out.v[static_cast<std::size_t>(y) * size + x] = f((x + 0.5f) / size, (y + 0.5f) / size);
    return out;
}
// Approximately Gaussian blur (three box passes), wrapping at the edges.
Field blur(const Field& in, float radius);

// An RGB image, rows top to bottom, values nominally in [0, 1].
struct Image {
    int w = 0, h = 0;
    std::vector<Col> px;
    Image() = default;
    Image(int width, int height, Col fill = {})
        : w(width), h(height), px(static_cast<std::size_t>(width) * height, fill) {}
    Col& at(int x, int y) { return px[static_cast<std::size_t>(y) * w + x]; }
    const Col& at(int x, int y) const { return px[static_cast<std::size_t>(y) * w + x]; }
};
// An RGBA image with 8-bit channels, rows top to bottom.
struct ImageRGBA {
    int w = 0, h = 0;
    std::vector<std::uint8_t> px;  // r, g, b, a
};

// ---------------------------------------------------------------------------
// Surface description that the shading turns into a picture.
struct Surface {
    int n = 1024;
    std::vector<Col> albedo;
    Field height;           // pixels
    Field gloss;            // specular strength, 0 = matte
    std::vector<Col> emit;  // added light (reflections, glows), may be empty
    Field sunGain;          // multiplies the direct light (caustics, dapples); empty = 1
    explicit Surface(int size = 1024)
        : n(size), albedo(static_cast<std::size_t>(size) * size), height(size), gloss(size) {}
    std::size_t idx(int x, int y) const { return static_cast<std::size_t>(y) * n + x; }
};
struct Lighting {
    V3 dir = {-0.55f, -0.6f, 0.75f};  // towards the light; x right, y down, z up
    Col sun = {1.0f, 0.96f, 0.88f};
    Col sky = {0.42f, 0.46f, 0.52f};  // ambient
    float shininess = 40;
    float aoRadius = 10;
    float aoStrength = 1.0f;
    float shadowSoftness = 0.35f;  // larger = softer
    float shadowReach = 64;        // pixels searched towards the light
    float bumpScale = 1.0f;        // multiplies the height's slopes for the normals
};
Image shade(const Surface& s, const Lighting& l);

// Tone, colour balance and final clamping helpers.
void grade(Image& img, Col gain, float gamma = 1.0f, float saturation = 1.0f);
// Softens hard outlines (objects drawn without coverage) with a small tent
// filter where a pixel differs from a neighbour by more than `threshold` in
// luminance; smooth areas and fine low-contrast detail are left alone.
void smoothEdges(Image& img, float threshold = 0.08f);

// ---------------------------------------------------------------------------
// Scattered objects: calls f(cx, cy, h) for each object whose centre lies in
// one of the 3 x 3 cells around (u, v) of an n x n grid (k objects per cell).
// The centre is given unwrapped, in the same frame as (u, v), so u - cx is the
// object-local offset. h is the object's own hash. Objects must not reach
// beyond one cell from their centre.
template <class F>
void scatter(float u, float v, int n, int k, std::uint32_t seed, F f) {
    const int ci = static_cast<int>(std::floor(u * n));
    const int cj = static_cast<int>(std::floor(v * n));
    for (int j = cj - 1; j <= cj + 1; ++j)
        for (int i = ci - 1; i <= ci + 1; ++i)
            for (int m = 0; m < k; ++m) {
                const std::uint32_t h =
                    hash(static_cast<std::uint32_t>(wrapi(i, n)), static_cast<std::uint32_t>(wrapi(j, n)), seed, m);
                const float cx = (i + unit(hash(h, 1))) / n;
                const float cy = (j + unit(hash(h, 2))) / n;
                f(cx, cy, h);
            }
}

// The same objects as scatter() with the per-object work done once: make(cx,
// cy, h) turns each object (centre in its home cell) into a T, and forEach
// calls f(cx, cy, t) with the centre shifted into the frame of (u, v).
template <class T>
class ScatterGrid {
public:
    template <class Make>
    ScatterGrid(int n, int k, std::uint32_t seed, Make make) : n_(n), k_(k) {
        items_.reserve(static_cast<std::size_t>(n) * n * k);
        for (int j = 0; j < n; ++j)
            for (int i = 0; i < n; ++i)
                for (int m = 0; m < k; ++m) {
                    const std::uint32_t h = hash(static_cast<std::uint32_t>(i), static_cast<std::uint32_t>(j), seed, m);
                    const float cx = (i + unit(hash(h, 1))) / n;
                    const float cy = (j + unit(hash(h, 2))) / n;
                    items_.push_back({cx, cy, make(cx, cy, h)});
                }
    }
    template <class F>
    void forEach(float u, float v, F f) const {
        const int ci = static_cast<int>(std::floor(u * n_));
        const int cj = static_cast<int>(std::floor(v * n_));
        for (int j = cj - 1; j <= cj + 1; ++j)
            for (int i = ci - 1; i <= ci + 1; ++i) {
                const int wi = wrapi(i, n_), wj = wrapi(j, n_);
                const float sx = static_cast<float>(i - wi) / n_, sy = static_cast<float>(j - wj) / n_;
                const Item* item = &items_[(static_cast<std::size_t>(wj) * n_ + wi) * k_];
                for (int m = 0; m < k_; ++m, ++item) f(item->cx + sx, item->cy + sy, item->value);
            }
    }

private:
    struct Item {
        float cx, cy;
        T value;
    };
    int n_, k_;
    std::vector<Item> items_;
};

// ---------------------------------------------------------------------------
// The scenes and artwork.
constexpr int kFirstBackground = resource::kBackground01;
constexpr int kBackgroundCount = 20;
const char* backgroundName(int id);
Image renderBackground(int id);
Image renderLogo();            // 110 x 83
Image renderWide();            // 1920 x 1080
Image renderEmblem(int size);  // square
ImageRGBA renderIcon(int size, int variant);

// ---------------------------------------------------------------------------
// Writers. Each returns false when the file could not be written.
bool writeBmp24(const std::string& path, const Image& img);
bool writePngRgb(const std::string& path, const Image& img);
std::vector<std::uint8_t> encodePngRgba(const ImageRGBA& img);
bool writeIco(const std::string& path, const std::vector<ImageRGBA>& images);
std::uint8_t toByte(float v, int x, int y, int channel);  // dithered quantisation

}  // namespace imagegen
