// Noise, fields and the height-field shading of the image generator.
#include "imagegen.h"

namespace imagegen {

namespace {
struct Grad {
    float x, y;
};
const Grad* gradients() {
    static Grad table[256];
    static bool ready = false;
    if (!ready) {
        for (int i = 0; i < 256; ++i) {
            const float a = 2 * kPi * (i + 0.5f * unit(hash(i, 77u))) / 256.0f;
            table[i] = {std::cos(a), std::sin(a)};
        }
        ready = true;
    }
    return table;
}
inline float fade(float t) { return t * t * t * (t * (t * 6 - 15) + 10); }
}  // namespace

float gnoise2(float x, float y, int periodX, int periodY, std::uint32_t seed) {
    static const Grad* g = gradients();
    const float fx0 = std::floor(x), fy0 = std::floor(y);
    const int ix = static_cast<int>(fx0), iy = static_cast<int>(fy0);
    const float fx = x - fx0, fy = y - fy0;
    const int x0 = wrapi(ix, periodX), y0 = wrapi(iy, periodY);
    const int x1 = x0 + 1 == periodX ? 0 : x0 + 1;
    const int y1 = y0 + 1 == periodY ? 0 : y0 + 1;
    const std::uint32_t s = hash(seed);
    // hash(a, b) == hash(a ^ hash(b + 0x9e3779b9)): the row's half is shared
    // by the two corners of each row.
    const std::uint32_t row0 = hash(static_cast<std::uint32_t>(y0) + 0x9e3779b9u);
    const std::uint32_t row1 = hash(static_cast<std::uint32_t>(y1) + 0x9e3779b9u);
    auto corner = [&](int cx, std::uint32_t row, float dx, float dy) {
        const Grad& q = g[hash((static_cast<std::uint32_t>(cx) * 0x27d4eb2du ^ s) ^ row) & 255];
        return q.x * dx + q.y * dy;
    };
    const float n00 = corner(x0, row0, fx, fy);
    const float n10 = corner(x1, row0, fx - 1, fy);
    const float n01 = corner(x0, row1, fx, fy - 1);
    const float n11 = corner(x1, row1, fx - 1, fy - 1);
    const float u = fade(fx), v = fade(fy);
    return mixf(mixf(n00, n10, u), mixf(n01, n11, u), v);
}

float fbm(float u, float v, int freq, int octaves, std::uint32_t seed, float gain) {
    float sum = 0, amp = 1, norm = 0;
    for (int o = 0; o < octaves; ++o) {
        sum += amp * gnoise(u * freq, v * freq, freq, seed + o * 1013u);
        norm += amp;
        amp *= gain;
        freq *= 2;
    }
    return sum / norm * 1.6f;
}

float fbmA(float u, float v, int fx, int fy, int octaves, std::uint32_t seed, float gain) {
    float sum = 0, amp = 1, norm = 0;
    for (int o = 0; o < octaves; ++o) {
        sum += amp * gnoise2(u * fx, v * fy, fx, fy, seed + o * 1013u);
        norm += amp;
        amp *= gain;
        fx *= 2;
        fy *= 2;
    }
    return sum / norm * 1.6f;
}

float ridged(float u, float v, int freq, int octaves, std::uint32_t seed) {
    float sum = 0, amp = 1, norm = 0;
    for (int o = 0; o < octaves; ++o) {
        const float n = 1 - std::fabs(gnoise(u * freq, v * freq, freq, seed + o * 733u) * 1.6f);
        sum += amp * n * n;
        norm += amp;
        amp *= 0.5f;
        freq *= 2;
    }
    return sum / norm;
}

CellHit worley(float u, float v, int n, std::uint32_t seed, float jitter) {
    CellHit hit;
    const float x = u * n, y = v * n;
    const int ci = static_cast<int>(std::floor(x)), cj = static_cast<int>(std::floor(y));
    // The same values as hash(i, j, seed), hash(h, 1) and hash(h, 2), with
    // the parts shared by a row, or by every cell, worked out once.
    static const std::uint32_t k1 = hash(1u + 0x9e3779b9u), k2 = hash(2u + 0x9e3779b9u);
    const std::uint32_t hs = hash(seed + 0x9e3779b9u);
    for (int j = cj - 1; j <= cj + 1; ++j) {
        const std::uint32_t row = hash(hash(static_cast<std::uint32_t>(wrapi(j, n)) ^ hs) + 0x9e3779b9u);
        for (int i = ci - 1; i <= ci + 1; ++i) {
            const std::uint32_t h = hash(static_cast<std::uint32_t>(wrapi(i, n)) ^ row);
            const float px = i + 0.5f + jitter * (unit(hash(h ^ k1)) - 0.5f);
            const float py = j + 0.5f + jitter * (unit(hash(h ^ k2)) - 0.5f);
            const float dx = x - px, dy = y - py;
            const float d = std::sqrt(dx * dx + dy * dy);
            if (d < hit.f1) {
                hit.f2 = hit.f1;
                hit.f1 = d;
                hit.dx = dx;
                hit.dy = dy;
                hit.id = h;
            } else if (d < hit.f2) {
                hit.f2 = d;
            }
        }
    }
    return hit;
}

float Field::sample(float x, float y) const {
    const float fx0 = std::floor(x), fy0 = std::floor(y);
    const int ix = static_cast<int>(fx0), iy = static_cast<int>(fy0);
    const float fx = x - fx0, fy = y - fy0;
    const int x0 = wrapi(ix, n), y0 = wrapi(iy, n);
    const int x1 = x0 + 1 == n ? 0 : x0 + 1, y1 = y0 + 1 == n ? 0 : y0 + 1;
    const float* r0 = &v[static_cast<std::size_t>(y0) * n];
    const float* r1 = &v[static_cast<std::size_t>(y1) * n];
    return mixf(mixf(r0[x0], r0[x1], fx), mixf(r1[x0], r1[x1], fx), fy);
}

namespace {
// One box pass of width 2r+1 along rows or along columns, wrapping. Columns
// are summed side by side, a row at a time, to read memory in order.
void boxPass(const std::vector<float>& in, std::vector<float>& out, int n, int r, bool rows) {
    const float inv = 1.0f / (2 * r + 1);
    if (rows) {
        std::vector<float> line(static_cast<std::size_t>(n) + 2 * r + 1);  // the row with r wrapped values at each end
        for (int l = 0; l < n; ++l) {
            const float* src = &in[static_cast<std::size_t>(l) * n];
            for (int k = -r; k < n + r + 1; ++k) line[k + r] = src[wrapi(k, n)];
            float sum = 0;
            for (int k = 0; k <= 2 * r; ++k) sum += line[k];
            float* dst = &out[static_cast<std::size_t>(l) * n];
            for (int k = 0; k < n; ++k) {
                dst[k] = sum * inv;
                sum += line[k + 2 * r + 1] - line[k];
            }
        }
        return;
    }
    std::vector<float> sum(n, 0.0f);
    auto row = [&](int k) { return &in[static_cast<std::size_t>(wrapi(k, n)) * n]; };
    for (int k = -r; k <= r; ++k) {
        const float* src = row(k);
        for (int x = 0; x < n; ++x) sum[x] += src[x];
    }
    for (int k = 0; k < n; ++k) {
        float* dst = &out[static_cast<std::size_t>(k) * n];
        const float* add = row(k + r + 1);
        const float* sub = row(k - r);
        for (int x = 0; x < n; ++x) {
            dst[x] = sum[x] * inv;
            sum[x] += add[x] - sub[x];
        }
    }
}
}  // namespace

Field blur(const Field& in, float radius) {
    Field out = in;
    // Three box passes of width w approximate a Gaussian of sigma ~ w / 2.
    const int r = std::max(1, static_cast<int>(std::lround(radius * 0.58f)));
    std::vector<float> tmp(out.v.size());
    for (int pass = 0; pass < 3; ++pass) {
        boxPass(out.v, tmp, in.n, r, true);
        boxPass(tmp, out.v, in.n, r, false);
    }
    return out;
}

Image shade(const Surface& s, const Lighting& l) {
    const int n = s.n;
    Image img(n, n);
    const V3 L = norm3(l.dir);
    const V3 H = norm3({L.x, L.y, L.z + 1});
    const float lxy = std::sqrt(L.x * L.x + L.y * L.y);
    const float sx = L.x / lxy, sy = L.y / lxy, slope = L.z / lxy;
    const Field ao1 = blur(s.height, l.aoRadius);
    const Field ao2 = blur(s.height, l.aoRadius * 4);
    static const float steps[] = {1.5f, 3, 5, 8, 12, 17, 24, 33, 45, 64, 90, 128};
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            const std::size_t i = s.idx(x, y);
            const float h = s.height.v[i];
            const float dx = (s.height.at(x + 1, y) - s.height.at(x - 1, y)) * 0.5f * l.bumpScale;
            const float dy = (s.height.at(x, y + 1) - s.height.at(x, y - 1)) * 0.5f * l.bumpScale;
            const V3 nrm = norm3({-dx, -dy, 1});
            const float diff = std::max(0.0f, dot3(nrm, L));
            // Soft shadow: the least clearance above the ray towards the light.
            float lit = 1;
            for (float t : steps) {
                if (t > l.shadowReach) break;
                const float q = s.height.sample(x + sx * t, y + sy * t);
                const float clearance = (h + t * slope - q) / (t * l.shadowSoftness);
                lit = std::min(lit, clamp01(0.5f + clearance));
                if (lit <= 0) break;
            }
            const float occ1 = std::max(0.0f, ao1.v[i] - h) / l.aoRadius;
            const float occ2 = std::max(0.0f, ao2.v[i] - h) / (l.aoRadius * 4);
            const float ao = clampf(1 - l.aoStrength * (0.9f * occ1 + 0.6f * occ2), 0.15f, 1);
            const float skyTerm = 0.6f + 0.4f * nrm.z;
            const float spec = s.gloss.v[i] * std::pow(std::max(0.0f, dot3(nrm, H)), l.shininess);
            if (!s.sunGain.v.empty()) lit *= s.sunGain.v[i];
            Col c = s.albedo[i] * (l.sky * (ao * skyTerm) + l.sun * (diff * lit * (0.55f + 0.45f * ao)));
            c += l.sun * (spec * lit * (0.4f + 0.6f * ao));
            if (!s.emit.empty()) c += s.emit[i];
            img.px[i] = c;
        }
    return img;
}

void grade(Image& img, Col gain, float gamma, float saturation) {
    for (Col& c : img.px) {
        c = saturate(c * gain, saturation);
        if (gamma != 1.0f) {
            c.r = std::pow(std::max(0.0f, c.r), gamma);
            c.g = std::pow(std::max(0.0f, c.g), gamma);
            c.b = std::pow(std::max(0.0f, c.b), gamma);
        }
    }
}

void smoothEdges(Image& img, float threshold) {
    const Image src = img;
    const int w = src.w, h = src.h;
    auto at = [&](int x, int y) -> const Col& { return src.at(wrapi(x, w), wrapi(y, h)); };
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const Col& c = src.at(x, y);
            const float l = luma(c);
            const float d = std::max(std::max(std::fabs(luma(at(x - 1, y)) - l), std::fabs(luma(at(x + 1, y)) - l)),
                                     std::max(std::fabs(luma(at(x, y - 1)) - l), std::fabs(luma(at(x, y + 1)) - l)));
            if (d <= threshold) continue;
            const Col tent = (c * 4 + (at(x - 1, y) + at(x + 1, y) + at(x, y - 1) + at(x, y + 1)) * 2 +
                              at(x - 1, y - 1) + at(x + 1, y - 1) + at(x - 1, y + 1) + at(x + 1, y + 1)) *
                             (1.0f / 16);
            img.at(x, y) = mix(c, tent, 0.8f * smooth(threshold, threshold * 3, d));
        }
}

std::uint8_t toByte(float v, int x, int y, int channel) {
    // Triangular dither of one level keeps smooth gradients free of bands.
    const std::uint32_t h =
        hash(static_cast<std::uint32_t>(x), static_cast<std::uint32_t>(y), static_cast<std::uint32_t>(channel));
    const float d = unit(h) + unit(hash(h)) - 1.0f;
    const float q = v * 255.0f + 0.5f + d * 0.5f;
    return static_cast<std::uint8_t>(clampf(q, 0, 255));
}

}  // namespace imagegen
