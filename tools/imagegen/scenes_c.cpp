// Backgrounds: a mountain lake, a moonlit lake, coins in a fountain, coral
// shallows, ginkgo leaves on a pool.
#include "scene_util.h"

namespace imagegen {

namespace {

// ---------------------------------------------------------------------------
// A mountain lake at midday: snow-streaked peaks behind a forested ridge, a
// few clouds, and all of it mirrored in the still water below the shore.
// v counts down from the top of the picture; the shore lies at kShore, low
// enough that a wide screen, which shows the lower part, sees the peaks.
constexpr float kShore = 0.64f;

struct Landscape {
    std::uint32_t seed;
    Col sky(float u, float v) const {
        const float d = kShore - v;  // height above the horizon
        Col c = ramp({{0.0f, hex(0xd6e4ee)}, {0.06f, hex(0xa8c8e4)}, {0.22f, hex(0x5a8ec8)}, {0.4f, hex(0x3a6eb0)}}, d);
        // Cumulus: bright tops, grey undersides.
        const float cl =
            fbm(u, v * 1.6f, 4, 6, seed + 1) + 0.4f * (smooth(0.1f, 0.2f, d) - smooth(0.3f, 0.45f, d)) - 0.25f;
        const float dens = smooth(0.0f, 0.35f, cl);
        const float lit = smooth(-0.1f, 0.25f, fbm(u + 0.004f, v - 0.01f, 4, 6, seed + 1) - cl + 0.1f);
        c = mix(c, mix(hex(0xa4aebe), hex(0xfafcff), 0.35f + 0.65f * lit), dens);
        return c;
    }
    float farTop(float u) const {
        const float r = ridged(u, 0.31f, 4, 5, seed + 2);
        return kShore - 0.09f - 0.14f * r * r;
    }
    float nearTop(float u) const {
        const float ridge = kShore - 0.03f - 0.045f * (0.5f + 0.5f * fbm(u, 0.7f, 3, 4, seed + 3));
        // Spruce tips along the skyline.
        float t = u * 260 + 2 * fbm(u, 0.2f, 20, 2, seed + 4);
        t -= std::floor(t);
        const float tip = 1 - std::fabs(t - 0.5f) * 2;
        return ridge -
               0.008f * tip *
                   (0.6f +
                    0.4f * unit(hash(static_cast<std::uint32_t>(wrapi(static_cast<int>(std::floor(u * 260)), 260)),
                                     seed)));
    }
    Col land(float u, float v) const {
        const float nearT = nearTop(u);
        if (v >= kShore - 0.0035f) {  // the shore: pale stones and sand
            const float g = grain(static_cast<int>(u * 4096), static_cast<int>(v * 4096), seed);
            return mix(hex(0x6e6456), hex(0xb0a48e), g);
        }
        if (v >= nearT) {  // the forested ridge
            const float trees = gnoise2(u * 300, v * 90, 300, 90, seed + 5);
            const float crowns = 0.5f + 0.5f * gnoise2(u * 120, v * 40, 120, 40, seed + 6);
            const float light = smooth(-0.3f, 0.6f, fbm(u, v, 12, 3, seed + 7));
            Col c = mix(hex(0x14241a), hex(0x35502e), 0.35f * crowns + 0.4f * light);
            c = c * (0.75f + 0.35f * smooth(-0.4f, 0.5f, trees));
            // Mist along the foot of the ridge.
            return mix(c, hex(0x8aa0a8), 0.35f * smooth(kShore - 0.03f, kShore, v));
        }
        const float farT = farTop(u);
        if (v >= farT) {  // the far range
            const float hv = kShore - v;
            const float alt = hv / 0.23f;  // 0 at the shore .. 1 at the highest peaks
            const float e = 0.001f;
            auto terrain = [&](float x) {
                const float warp = 0.05f * fbm(x, hv, 6, 3, seed + 12);
                return ridged(x + warp, hv * 1.3f, 7, 5, seed + 8);
            };
            const float r0 = terrain(u);
            const float slope = (terrain(u + e) - terrain(u - e)) / (2 * e);
            const float lit = smooth(-6.0f, 6.0f, -slope) * (0.75f + 0.25f * r0);  // sun from the left
            const float gully = ridged(u, hv * 2.5f, 20, 3, seed + 10);
            const float snowLine = 0.62f - 0.25f * r0 + 0.12f * fbm(u, hv, 10, 3, seed + 11);
            const float snow = smooth(snowLine, snowLine + 0.06f, alt + 0.15f * gully);
            const Col rock = mix(hex(0x343c52), hex(0xa09890), lit) * (0.8f + 0.3f * gully);
            const Col ice = mix(hex(0x8ea8cc), hex(0xf8fafe), lit);
            Col c = mix(rock, ice, snow);
            // Haze thickens towards the valley floor.
            return mix(c, hex(0xa6bcd4), 0.45f * (1 - smooth(0.0f, 0.5f, alt)) + 0.08f);
        }
        return sky(u, v);
    }
};

Image mountainLake() {
    Image img(kTile, kTile);
    const Landscape scene{2020};
    const std::uint32_t seed = 2020;
    eachPixel(kTile, [&](int x, int y, float u, float v, std::size_t i) {
        if (v < kShore) {
            img.px[i] = scene.land(u, v);
            return;
        }
        // The water: the mirrored scene, shaken by small waves that grow
        // towards the viewer, darker and bluer than the original, with
        // bands of wind-roughened water mirroring the paler sky.
        const float depth = (v - kShore) / (1 - kShore);  // 0 at the shore .. 1 nearest
        const float wave =
            gnoise2(u * 40, v * 700, 40, 700, seed + 20) + 0.5f * gnoise2(u * 90, v * 1100, 90, 1100, seed + 21);
        const float du = 0.004f * (0.2f + depth) * wave;
        const float dv = 0.0025f * (0.2f + depth) * gnoise2(u * 30, v * 500, 30, 500, seed + 22);
        const float mv = std::max(0.0f, 2 * kShore - v + dv);
        Col c = scene.land(u + du, mv);
        c = mix(c * 0.78f, hex(0x1a3040), 0.12f + 0.1f * depth);
        const float wind = smooth(0.25f, 0.6f, fbmA(u, v, 2, 24, 3, seed + 23)) * smooth(0.02f, 0.15f, depth);
        c = mix(c, hex(0x9ab6cc), 0.35f * wind * (0.7f + 0.3f * wave));
        // Near the viewer the water turns clear over a bed of stones,
        // squashed by the low angle and smaller further away.
        const float clear = smooth(0.45f, 0.95f, depth);
        if (clear > 0) {
            const float w = (v - kShore) * (1.2f + 1.6f * depth) + 0.3f * du;
            const CellHit st = worley(u + du * 0.5f, w, 22, seed + 24, 0.9f);
            const float r = 0.32f + 0.2f * unit(hash(st.id, 3));
            const float q = st.f1 / r;
            static const std::uint32_t stones[] = {0x8a7a62, 0x6a6458, 0xa89880, 0x5a5248,
                                                   0x9a8a6a, 0x7a6a5a, 0xb8a88a};
            Col bed = mix(hex(0x5a5040), hex(0x7a6c56), grain(x, y, seed)) * 0.8f;  // silt and grit
            if (q < 1) {
                const Col stone = hex(stones[hash(st.id, 1) % 7]) * (0.7f + 0.4f * unit(hash(st.id, 2)));
                const float dome = std::sqrt(1 - q * q);
                bed =
                    stone * (0.55f + 0.45f * dome) *
                    (1 + 0.35f * smooth(0.5f, 0.0f,
                                        std::sqrt((st.dx + 0.12f) * (st.dx + 0.12f) + (st.dy + 0.1f) * (st.dy + 0.1f)) /
                                            r));
            } else {
                bed = bed * (0.6f + 0.4f * smooth(1.0f, 1.4f, q));  // shade beside each stone
            }
            bed = mix(bed, hex(0x2a4a40), 0.25f);
            c = mix(c, bed, 0.75f * clear);
        }
        img.px[i] = c;
    });
    // The top rows, which no wide screen shows, lead into the bottom row, so
    // that refraction across the picture's edge finds no seam.
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < kTile; ++x)
            img.at(x, y) = mix(img.at(x, kTile - 1), img.at(x, y), smooth(0, 24, static_cast<float>(y)));
    grade(img, rgb(1.0f, 1.0f, 1.0f), 1.0f, 1.05f);
    return img;
}

// ---------------------------------------------------------------------------
// A moonlit lake: stars and a faint Milky Way over a black ridge of spruce,
// the moon low enough for a wide screen to show it, its glitter path and the
// stars trembling in the water.
Image moonlitLake() {
    Image img(kTile, kTile);
    const std::uint32_t seed = 2030;
    const float shore = 0.66f;
    const float moonU = 0.63f, moonV = 0.515f, moonR = 30.0f / kTile;
    struct Star {
        float radius, bright;
        Col color;
    };
    const ScatterGrid<Star> stars(48, 2, seed, [&](float, float, std::uint32_t h) {
        Rng rng(h);
        Star s;
        s.bright = 0.12f + 1.6f * std::pow(rng.next(), 5.0f);
        s.radius = 0.55f + 0.5f * s.bright;
        const float t = rng.next();
        s.color = t < 0.2f ? hex(0xffd8b0) : t < 0.45f ? hex(0xc8d8ff) : hex(0xf4f6ff);
        return s;
    });
    // Stars at (u, v); squash > 1 stretches them vertically (reflections).
    auto starLight = [&](float u, float v, float squash) {
        Col sum{};
        stars.forEach(u, v, [&](float cx, float cy, const Star& s) {
            const float dx = (u - cx) * kTile, dy = (v - cy) * kTile / squash;
            const float d2 = dx * dx + dy * dy;
            if (d2 > 16) return;
            sum += s.color * (s.bright * std::exp(-d2 / (s.radius * s.radius)));
            if (s.bright > 0.8f) sum += s.color * (0.12f * s.bright * std::exp(-d2 / 6.0f));  // a little glow
        });
        return sum;
    };
    auto skyAt = [&](float u, float v) {
        const float d = shore - v;
        Col c = ramp({{0.0f, hex(0x22304e)}, {0.08f, hex(0x141e38)}, {0.3f, hex(0x080e22)}, {0.66f, hex(0x04081a)}}, d);
        // The Milky Way: a faint dusty band with dark lanes, across the tile.
        const float band = wrapd(u * 1.0f + v * 1.0f - 0.35f);
        const float core = std::exp(-band * band / 0.012f);
        const float dust = 0.5f + 0.5f * fbm(u, v, 8, 5, seed + 1);
        const float lanes = smooth(0.1f, 0.5f, fbm(u, v, 6, 4, seed + 2));
        c += hex(0x3a4060) * (core * dust * (1 - 0.7f * lanes) * 0.6f);
        c += starLight(u, v, 1.0f) * (0.6f + 0.4f * core);
        // The moon and its halo.
        const float mx = wrapd(u - moonU) * kTile, my = (v - moonV) * kTile;
        const float r = std::sqrt(mx * mx + my * my) / (moonR * kTile);
        c += hex(0x8090b0) * (0.35f * std::exp(-r * r / 18.0f) + 0.15f * std::exp(-r * r / 120.0f));
        if (r < 1.02f) {
            const float maria = smooth(-0.1f, 0.35f, fbm(mx / 60.0f + 0.3f, my / 60.0f + 0.7f, 3, 4, seed + 3));
            const float limb = std::sqrt(std::max(0.0f, 1 - r * r));
            Col moon = mix(hex(0xf2eee0), hex(0xa8a498), 0.55f * maria) * (0.75f + 0.25f * limb);
            const float crater = ridged(mx / 80.0f + 0.5f, my / 80.0f + 0.5f, 6, 2, seed + 4);
            moon = moon * (0.92f + 0.12f * crater);
            c = mix(c, moon * 1.1f, smooth(1.02f, 0.98f, r));
        }
        return c;
    };
    // The skyline: a low ridge with spruce of uneven heights, black.
    auto skyline = [&](float u) {
        const float ridge = shore - 0.025f - 0.035f * (0.5f + 0.5f * fbm(u, 0.4f, 3, 4, seed + 5));
        const int n = 150;
        float top = ridge;
        const float x = u * n;
        const int i0 = static_cast<int>(std::floor(x));
        for (int i = i0 - 4; i <= i0 + 4; ++i) {
            const std::uint32_t h = hash(static_cast<std::uint32_t>(wrapi(i, n)), seed + 6);
            if (unit(hash(h, 3)) > 0.75f) continue;  // gaps in the forest
            const float cx = i + unit(hash(h, 1));
            const float height = 0.01f + 0.04f * std::pow(unit(hash(h, 2)), 1.3f);
            const float halfW = 0.3f * height * n;  // in cells
            const float t = std::fabs(x - cx) / halfW;
            if (t >= 1) continue;
            // Tiers of drooping branches make a jagged cone.
            const float along = 1 - t;
            const float tiers = std::fabs(std::sin(along * (8 + 6 * unit(hash(h, 4))) + cx));
            const float spire = along * (1 - 0.22f * tiers * t);
            top = std::min(top, ridge - height * spire + 0.004f);
        }
        return top;
    };
    eachPixel(kTile, [&](int x, int y, float u, float v, std::size_t i) {
        if (v < shore) {
            const float top = skyline(u);
            if (v >= top) {
                // The trees and the ridge: near black, the faintest moonlit rim.
                const float rim = smooth(top + 0.003f, top, v) * smooth(0.4f, 0.0f, std::fabs(wrapd(u - moonU)));
                img.px[i] = hex(0x03050a) + hex(0x2a3450) * (0.6f * rim) + hex(0x0a0e18) * grain(x, y, seed);
                return;
            }
            img.px[i] = skyAt(u, v);
            return;
        }
        const float depth = (v - shore) / (1 - shore);
        const float wave =
            gnoise2(u * 50, v * 600, 50, 600, seed + 10) + 0.5f * gnoise2(u * 110, v * 1000, 110, 1000, seed + 11);
        const float du = 0.003f * (0.3f + depth) * wave;
        const float mv = 2 * shore - v;
        Col c;
        if (mv >= skyline(u + du)) {
            c = hex(0x020308);
        } else {
            c = skyAt(u + du, mv) * 0.55f;
            c += starLight(u + du, mv, 2.5f) * 0.18f;
        }
        // The moon's glitter path: short bright flecks on the wavelets, in a
        // band under the moon that widens towards the viewer.
        const float pu = wrapd(u - moonU);
        const float width = 0.02f + 0.07f * depth;
        const float path = std::exp(-pu * pu / (width * width));
        const float fleck =
            gnoise2(u * 90, v * 420, 90, 420, seed + 12) + 0.4f * gnoise2(u * 200, v * 900, 200, 900, seed + 13);
        c += hex(0xf0ecd8) * (path * smooth(0.18f + 0.25f * (1 - path), 0.6f, fleck) * 1.2f);
        c += hex(0x404a60) * (path * 0.12f);
        c = c + hex(0x06101c) * (0.6f + 0.4f * wave);
        img.px[i] = c;
    });
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < kTile; ++x)
            img.at(x, y) = mix(img.at(x, kTile - 1), img.at(x, y), smooth(0, 24, static_cast<float>(y)));
    return img;
}

// ---------------------------------------------------------------------------
// The floor of a fountain: a mosaic of small stone tesserae in a repeating
// rosette and wave design, and coins thrown in over the years, under a few
// centimetres of water.
Col mosaicDesign(float u, float v) {
    const Col cream = hex(0xe6d8b8), terracotta = hex(0xb4553a), blue = hex(0x1f4684), turquoise = hex(0x3a9ca4),
              ochre = hex(0xcc9a3c), dark = hex(0x2a2a32);
    // Four blocks per tile; each holds a rosette in a ring, bordered by a
    // running wave.
    const float bx = u * 2 - std::floor(u * 2), by = v * 2 - std::floor(v * 2);
    const float px = (bx - 0.5f) * 512, py = (by - 0.5f) * 512;
    const float r = std::sqrt(px * px + py * py), th = std::atan2(py, px);
    const float edge = std::min(std::min(bx, 1 - bx), std::min(by, 1 - by)) * 512;
    if (edge < 40) {  // the border band with its wave
        const bool horizontal =
            std::min(by, 1 - by) * 512 < 40 && std::min(bx, 1 - bx) * 512 >= std::min(by, 1 - by) * 512;
        const float along = horizontal ? bx * 512 : by * 512;
        const float inner = edge;
        if (inner < 6 || inner > 34) return dark;
        const float wave = 20 + 9 * std::sin(along / 64 * 2 * kPi) + 3 * std::sin(along / 32 * 2 * kPi + 0.8f);
        if (std::fabs(inner - wave) < 2.5f) return dark;
        return inner < wave ? terracotta : cream;
    }
    if (r > 200 && r < 222) return blue;
    if (r > 196 && r < 226) return dark;
    if (r < 196) {
        // Eight pointed petals, alternating colours, round a centre.
        const float sector = 2 * kPi / 8;
        const float k = std::round(th / sector);
        const float local = th - k * sector;
        if (r < 28) return r < 14 ? ochre : terracotta;
        const float t = r / 185;
        const float limit = 0.92f * (sector / 2) * std::pow(std::sin(kPi * std::min(1.0f, t * 1.05f)), 0.7f);
        if (t < 1 && std::fabs(local) < limit) {
            const bool odd = static_cast<int>(k + 8) % 2 == 1;
            if (std::fabs(local) > limit - 0.05f || t > 0.93f) return dark;
            if (std::fabs(local) < 0.03f && t > 0.25f && t < 0.8f) return cream;  // the midrib
            return odd ? turquoise : blue;
        }
        const float small = (r - 150) / 28;
        const float local2 = th - (k + 0.5f) * sector;
        if (small * small + local2 * local2 * 25 < 1 && r > 122) return ochre;
        return cream;
    }
    return cream;
}

Image fountainCoins() {
    Surface s;
    const std::uint32_t seed = 2040;
    s.sunGain = Field(kTile);
    struct Coin {
        float cx, cy, R, z, tilt;
        int metal;  // 0 copper, 1 brass, 2 silver
        Frame frame;
        std::uint32_t id;
    };
    std::vector<Coin> coins;
    {
        Rng rng(seed + 1);
        for (int k = 0; k < 46; ++k) {
            Coin c;
            c.cx = rng.next();
            c.cy = rng.next();
            c.R = rng.range(16, 26);
            c.z = 3 + 0.5f * k / 46.0f * 10;
            c.tilt = rng.range(-0.08f, 0.08f);
            const float m = rng.next();
            c.metal = m < 0.5f ? 0 : m < 0.8f ? 1 : 2;
            c.frame = Frame(rng.range(0, 2 * kPi));
            c.id = hash(seed, k);
            coins.push_back(c);
        }
    }
    const int cells = 96;
    eachPixel(kTile, [&](int x, int y, float u, float v, std::size_t i) {
        // Tesserae: near-square cells laid in rows.
        const CellHit t = worley(u, v, cells, seed + 2, 0.35f);
        const float cx = u - t.dx / cells, cy = v - t.dy / cells;
        Col c = mosaicDesign(cx - std::floor(cx), cy - std::floor(cy));
        Rng rng(t.id);
        c = c * rng.range(0.82f, 1.1f) * (0.92f + 0.12f * fbm(u, v, 160, 2, t.id & 0xfff));
        const float gap = (t.f2 - t.f1) * kTile / cells;  // pixels, roughly, from the joint
        float h =
            2.5f * smooth(0.8f, 3.0f, gap) + rng.range(-0.4f, 0.4f) + 0.3f * gnoise(u * 400, v * 400, 400, seed + 3);
        float gloss = 0.35f;
        if (gap < 1.2f) {
            c = mix(hex(0x8a8070), hex(0x5a5448), grain(x, y, seed)) * 0.9f;
            gloss = 0.05f;
        }
        // A film of algae in the corners of the basin.
        c = mix(c, c * rgb(0.75f, 0.9f, 0.7f), 0.5f * smooth(0.2f, 0.6f, fbm(u, v, 3, 4, seed + 4)));
        // Coins.
        float top = h;
        for (const Coin& cn : coins) {
            const float dx = wrapd(u - cn.cx) * kTile, dy = wrapd(v - cn.cy) * kTile;
            const float r2 = dx * dx + dy * dy;
            if (r2 >= cn.R * cn.R) continue;
            float lx, ly;
            cn.frame.apply(dx, dy, lx, ly);
            const float r = std::sqrt(r2) / cn.R, th = std::atan2(ly, lx);
            // Relief: a raised rim, a ring of beads, and a star in the middle.
            float relief = 0;
            if (r > 0.86f)
                relief = 1.0f;
            else if (r > 0.72f && r < 0.8f)
                relief = 0.5f * smooth(0.4f, 1.0f, std::cos(th * 36));
            const float star = 0.45f * (0.55f + 0.45f * std::pow(std::fabs(std::cos(th * 2.5f)), 4.0f));
            if (r < star) relief = std::max(relief, 0.8f * (1 - r / star) + 0.3f);
            const float ht = cn.z + cn.tilt * lx + 1.2f * relief * 1.5f;
            if (ht <= top) continue;
            top = ht;
            Rng cr(cn.id);
            static const std::uint32_t metals[] = {0xb8703a, 0xd4a84a, 0xc4c8cc};
            Col m = hex(metals[cn.metal]) * cr.range(0.75f, 1.05f);
            if (cn.metal == 0) {  // old copper: dark tarnish and green patina
                const float tarnish = smooth(-0.2f, 0.5f, fbm(u, v, 30, 3, cn.id & 0xfff));
                m = mix(m, hex(0x5a3020), 0.6f * tarnish * cr.next());
                m = mix(m, hex(0x4a8a70), 0.7f * smooth(0.35f, 0.6f, fbm(u, v, 40, 3, (cn.id >> 8) & 0xfff)));
            }
            c = m * (0.85f + 0.3f * relief);
            gloss = 0.9f;
        }
        s.height.v[i] = top;
        s.albedo[i] = c;
        s.gloss.v[i] = gloss;
        s.sunGain.v[i] = 0.6f + 0.8f * caustics(u, v, seed + 5, 7);
    });
    Lighting l;
    l.dir = {-0.45f, -0.5f, 0.75f};
    l.sky = rgb(0.36f, 0.44f, 0.46f);
    l.sun = rgb(1.0f, 0.97f, 0.9f);
    l.shininess = 60;
    l.aoRadius = 4;
    l.shadowReach = 24;
    Image img = shade(s, l);
    grade(img, rgb(0.92f, 1.0f, 1.0f), 1.0f, 1.0f);
    smoothEdges(img);
    return img;
}

// ---------------------------------------------------------------------------
// Coral shallows: pale rippled sand between brain corals, clumps of finger
// coral, a table coral, giant clams and sea urchins, and a few reef fish
// whose shadows fall on the sand below them.
Image coralShallows() {
    Surface s;
    const std::uint32_t seed = 2050;
    s.sunGain = Field(kTile);
    struct Piece {
        int kind;  // 0 brain, 1 finger clump, 2 table, 3 clam, 4 urchin, 5 fish
        float cx, cy, R;
        Frame frame;
        std::uint32_t id;
    };
    std::vector<Piece> pieces;
    {
        Rng rng(seed + 1);
        const int counts[] = {8, 9, 7, 4, 7, 8};
        const float sizes[] = {95, 85, 110, 46, 30, 44};
        for (int kind = 0; kind < 6; ++kind)
            for (int n = 0; n < counts[kind]; ++n) {
                Piece p;
                p.kind = kind;
                p.cx = rng.next();
                p.cy = rng.next();
                p.R = sizes[kind] * rng.range(0.8f, 1.2f);
                p.frame = Frame(rng.range(0, 2 * kPi));
                p.id = hash(seed, kind, n);
                pieces.push_back(p);
            }
    }
    eachPixel(kTile, [&](int x, int y, float u, float v, std::size_t i) {
        const SandSample sd = sand(u, v, seed + 2, 5, 10);
        float h = sd.height;
        Col c = mix(sd.color, hex(0xfaf0dc), 0.5f) * (0.88f + 0.24f * grain(x, y, seed));
        float gloss = 0.04f;
        for (const Piece& p : pieces) {
            const float dx = wrapd(u - p.cx) * kTile, dy = wrapd(v - p.cy) * kTile;
            const float r2 = dx * dx + dy * dy;
            if (r2 >= p.R * p.R * 1.3f) continue;
            float lx, ly;
            p.frame.apply(dx, dy, lx, ly);
            const float th = std::atan2(ly, lx);
            const float r = std::sqrt(r2);
            Rng rng(p.id);
            if (p.kind == 0) {  // brain coral: a dome of meandering ridges
                const float R = p.R * (1 + 0.08f * std::sin(th * 3 + rng.next() * 6) + 0.05f * std::sin(th * 7));
                if (r >= R) continue;
                const float q = r / R;
                const float wu = 0.01f * fbm(u, v, 10, 3, p.id & 0xfff),
                            wv = 0.01f * fbm(u, v, 10, 3, (p.id >> 4) & 0xfff);
                const float maze = ridged(u + wu, v + wv, 34, 2, (p.id >> 8) & 0xffff);
                const float ridge = smooth(0.55f, 0.9f, maze);
                const float ht = 10 + 40 * std::pow(1 - q * q, 0.6f) + 4 * ridge;
                if (ht <= h) continue;
                h = ht;
                const Col base = rng.next() < 0.5f ? hex(0xd0a868) : hex(0xc0a078);
                c = mix(base * 0.55f, mix(base, hex(0xf4e8c8), 0.35f), ridge);
                gloss = 0.15f;
            } else if (p.kind == 1) {  // finger coral: a clump of branch tips
                const float R = p.R * (1 + 0.15f * fbm(th * 0.2f + 5, 0.3f, 3, 2, p.id & 0xfff));
                if (r >= R) continue;
                const CellHit tip = worley(u, v, 60, p.id & 0xffff, 0.9f);
                const float tr = 0.62f + 0.15f * unit(hash(tip.id, 1));
                const float q = r / R;
                const float body = 16 + 22 * std::sqrt(1 - q * q);
                const float tq = std::min(1.0f, tip.f1 / tr);
                const float ht = body + 5 * std::sqrt(1 - tq * tq) + 2 * unit(hash(tip.id, 2)) * (tq < 1 ? 1.0f : 0.0f);
                if (ht <= h) continue;
                h = ht;
                static const std::uint32_t cols[] = {0xa070c0, 0xe07898, 0x6a9ad0, 0xe8a048, 0x88c070, 0xd8c050};
                const Col base = hex(cols[rng.below(6)]);
                c = mix(base * 0.3f, mix(base, hex(0xfaf4f0), 0.45f), smooth(0.98f, 0.1f, tq));
                gloss = 0.2f;
            } else if (p.kind == 2) {  // staghorn coral: a thicket of forking branches
                const float R = p.R * (1 + 0.12f * std::sin(th * 3 + rng.next() * 6));
                if (r >= R) continue;
                const float q = r / R;
                const float wu = 0.02f * fbm(u, v, 8, 2, p.id & 0xfff),
                            wv = 0.02f * fbm(u, v, 8, 2, (p.id >> 4) & 0xfff);
                const float net = ridged(u + wu, v + wv, 14, 3, (p.id >> 8) & 0xffff);
                const float branch = smooth(0.58f + 0.12f * q, 0.8f + 0.06f * q, net);
                if (branch <= 0.05f) continue;
                const float ht = 12 + 26 * (1 - q * q) + 7 * std::sqrt(branch);
                if (ht <= h) continue;
                h = ht;
                static const std::uint32_t stag[] = {0xb08a60, 0x9a80b8, 0xd88a70, 0x70a0b0};
                const Col base = hex(stag[rng.below(4)]);
                c = mix(base * 0.6f, mix(base, hex(0xe8e0f0), 0.45f), branch) * (0.85f + 0.3f * (1 - q));
                gloss = 0.15f;
            } else if (p.kind == 3) {  // giant clam: wavy lips with a blue mantle
                const float qx = lx / p.R, qy = ly / (p.R * 0.55f);
                const float q = std::sqrt(qx * qx + qy * qy);
                if (q >= 1) continue;
                const float lip = std::fabs(qy) + 0.12f * std::sin(qx * 12);
                const float ht = 14 + 8 * std::sqrt(1 - q * q);
                if (ht <= h) continue;
                h = ht;
                if (lip < 0.5f) {
                    const float spots = 0.5f + 0.5f * gnoise(u * 260, v * 260, 260, p.id & 0xfff);
                    c = mix(hex(0x1a4aa0), hex(0x38d0c8), spots) * (0.7f + 0.3f * smooth(0.5f, 0.1f, lip));
                    if (lip < 0.05f) c = hex(0x0a1830);
                    gloss = 0.7f;
                } else {
                    c = mix(hex(0xd8d0c0), hex(0x9a9080), 0.5f + 0.5f * std::sin(qx * 12));
                    gloss = 0.2f;
                }
            } else if (p.kind == 4) {  // sea urchin: a black ball bristling with spines
                const float spines = std::pow(std::fabs(std::cos(th * 14 + r * 0.04f)), 24.0f);
                const float R = p.R * (0.4f + 0.6f * spines);
                if (r >= R) continue;
                const float ht = 6 + 14 * std::sqrt(std::max(0.0f, 1 - r / p.R));
                if (ht <= h) continue;
                h = ht;
                c = r < p.R * 0.4f ? hex(0x1a1420) : hex(0x2a2436) * (1.0f + 0.6f * spines);
                gloss = 0.6f;
            }
        }
        // Fish swim above everything; their shadows come from the shading.
        for (const Piece& p : pieces) {
            if (p.kind != 5) continue;
            const float dx = wrapd(u - p.cx) * kTile, dy = wrapd(v - p.cy) * kTile;
            if (dx * dx + dy * dy >= p.R * p.R * 1.5f) continue;
            float lx, ly;
            p.frame.apply(dx, dy, lx, ly);
            const float t = 0.5f - lx / (2 * p.R);  // 0 at the snout, 1 at the tail's end
            const bool yellow = unit(hash(p.id, 1)) < 0.5f;
            bool inside = false;
            float body = 0;
            if (t >= 0 && t < 0.78f) {
                const float w =
                    p.R * (yellow ? 0.62f : 0.42f) * std::pow(std::sin(kPi * std::min(1.0f, t / 0.78f)), 0.7f);
                if (std::fabs(ly) < w) {
                    inside = true;
                    body = std::sqrt(1 - (ly / w) * (ly / w));
                }
            } else if (t >= 0.78f && t < 1.0f) {
                const float spread = p.R * 0.5f * (t - 0.72f) / 0.28f;
                inside = std::fabs(ly) < spread && t < 0.95f + 0.1f * std::fabs(ly) / p.R;
            }
            if (!inside) continue;
            h = 90 + 6 * body;
            if (yellow)
                c = mix(hex(0xe8c018), hex(0xfae060), body * 0.6f);
            else
                c = t > 0.75f ? hex(0xf0c830) : mix(hex(0x1a48b0), hex(0x3a80e0), body);
            if (t < 0.14f && t > 0.09f && std::fabs(ly) < p.R * 0.12f && std::fabs(ly) > p.R * 0.03f)
                c = hex(0x101010);  // eye
            gloss = 0.5f;
        }
        s.height.v[i] = h;
        s.albedo[i] = c;
        s.gloss.v[i] = gloss;
        s.sunGain.v[i] = 0.6f + 0.65f * caustics(u, v, seed + 3, 6);
    });
    Lighting l;
    l.dir = {-0.4f, -0.5f, 0.8f};
    l.sky = rgb(0.42f, 0.44f, 0.44f);
    l.sun = rgb(1.0f, 0.98f, 0.9f);
    l.shininess = 50;
    l.aoRadius = 8;
    l.shadowSoftness = 0.8f;
    l.shadowReach = 128;
    Image img = shade(s, l);
    grade(img, rgb(0.96f, 1.0f, 1.0f), 1.0f, 1.1f);
    smoothEdges(img);
    return img;
}

// ---------------------------------------------------------------------------
// Ginkgo leaves on a pool: golden fans floating on clear water over a pale
// blue plastered floor, far enough below that their shadows fall soft and
// wide beside them among the caustics; a few sunken leaves on the floor.

// A ginkgo leaf in its own frame: the stalk's base at the origin, the fan
// opening towards +x. Returns the leaf sample (vein = the fine radiating veins).
LeafSample ginkgoLeaf(float lx, float ly, float R, float notch) {
    LeafSample s;
    const float r = std::sqrt(lx * lx + ly * ly);
    const float th = std::atan2(ly, lx);
    // The stalk.
    if (lx < 0.3f * R && lx > -0.45f * R && std::fabs(ly) < 1.6f) {
        s.inside = true;
        s.edge = 0.2f;
        s.vein = 1;
        return s;
    }
    const float half = 1.15f;  // half the fan's opening, radians
    if (std::fabs(th) >= half || r < 0.28f * R) return s;
    float outer =
        R * (1 - notch * std::exp(-th * th / 0.006f)) * (1 + 0.025f * std::sin(th * 23) + 0.015f * std::sin(th * 41));
    outer *= 1 - 0.12f * std::pow(std::fabs(th) / half, 4.0f);  // rounded corners
    const float inner = 0.28f * R + 0.05f * R * std::fabs(th);
    if (r >= outer) return s;
    // The base narrows into the stalk: the fan's sides run straight from it.
    const float side = (half - std::fabs(th)) * r;
    if (side < 0 || r < inner) return s;
    s.inside = true;
    s.edge = clamp01(std::min((outer - r) / (0.25f * R), side / (0.1f * R)));
    s.vein = std::pow(std::fabs(std::cos(th * 34 * (0.6f + 0.4f * r / R))), 16.0f);
    return s;
}

Image ginkgoPool() {
    Surface s;
    const std::uint32_t seed = 2060;
    s.sunGain = Field(kTile);
    struct Leaf {
        float R, z, notch;
        bool present, sunk;
        Frame frame;
        Col color;
    };
    static const std::uint32_t golds[] = {0xf2c230, 0xf0b428, 0xe8cc40, 0xd8c848, 0xf4d250, 0xe0a828};
    const ScatterGrid<Leaf> leaves(6, 2, seed, [&](float, float, std::uint32_t h) {
        Rng rng(h);
        Leaf l;
        l.present = rng.next() < 0.8f;
        l.sunk = rng.next() < 0.25f;
        l.R = rng.range(48, 70);
        l.z = l.sunk ? rng.range(0.5f, 1.5f) : rng.range(60, 64);
        l.notch = rng.next() < 0.6f ? rng.range(0.1f, 0.3f) : 0.02f;
        l.frame = Frame(rng.range(0, 2 * kPi));
        l.color = hex(golds[rng.below(6)]);
        if (rng.next() < 0.2f) l.color = mix(l.color, hex(0x9ab040), 0.5f);  // still greenish
        return l;
    });
    Lighting l;
    l.dir = {-0.35f, -0.45f, 0.8f};
    Field floating(kTile);  // coverage of the floating leaves, for their shadows
    eachPixel(kTile, [&](int x, int y, float u, float v, std::size_t i) {
        // The pool's floor: pale plaster, mottled, with a faint trowel grain.
        const float mottle = fbm(u, v, 6, 5, seed + 1);
        Col c = mix(hex(0x1c4c70), hex(0x3c7496), 0.5f + 0.5f * mottle) * (0.95f + 0.1f * grain(x, y, seed));
        c = c * (0.96f + 0.04f * fbmA(u, v, 40, 6, 2, seed + 2));
        float h = 0.6f * mottle;
        float gloss = 0.05f;
        float top = -1;
        LeafSample hit;
        const Leaf* hl = nullptr;
        leaves.forEach(u, v, [&](float cx, float cy, const Leaf& lf) {
            if (!lf.present) return;
            const float dx = (u - cx) * kTile, dy = (v - cy) * kTile;
            if (dx * dx + dy * dy > lf.R * lf.R * 1.1f) return;
            float lx, ly;
            lf.frame.apply(dx, dy, lx, ly);
            const LeafSample ls = ginkgoLeaf(lx + 0.45f * lf.R, ly, lf.R, lf.notch);
            if (!ls.inside) return;
            const float z = (lf.sunk ? 0.0f : 4.0f) + 1.5f * (1 - ls.edge) + 0.01f * lf.z;
            if (z <= top) return;
            top = z;
            hit = ls;
            hl = &lf;
        });
        if (hl) {
            Col lc = hl->color * (0.9f + 0.15f * fbm(u, v, 30, 3, seed + 3));
            lc = mix(lc, lc * 0.8f, 0.5f * hit.vein);
            lc = mix(lc, hex(0xa06a20),
                     0.45f * smooth(0.25f, 0.0f, hit.edge) * smooth(0.2f, 0.6f, fbm(u, v, 20, 2, seed + 4)));
            if (hl->sunk) {
                // Seen through the water: bluer, darker, softer.
                c = mix(c, mix(lc * 0.65f, hex(0x1c4c70), 0.4f), 0.85f);
                h += 0.4f * (1 - hit.edge);
            } else {
                c = lc;
                h = top;
                gloss = 0.35f;
                floating.v[i] = 1;
            }
        }
        s.height.v[i] = h;
        s.albedo[i] = c;
        s.gloss.v[i] = gloss;
    });
    // The floating leaves sit some 60 pixels above the floor: their shadows
    // fall that far away from the light, with soft edges; the caustics light
    // the floor around them.
    {
        const float reach = 60 / l.dir.z;
        const int ox = static_cast<int>(std::lround(l.dir.x * reach)),
                  oy = static_cast<int>(std::lround(l.dir.y * reach));
        const Field soft = blur(floating, 5);
        eachPixel(kTile, [&](int x, int y, float u, float v, std::size_t i) {
            if (floating.v[i] > 0) {
                s.sunGain.v[i] = 1.0f;
                return;
            }
            const float shadow = soft.at(x + ox, y + oy);
            s.sunGain.v[i] = (0.6f + 0.75f * caustics(u, v, seed + 5, 6)) * (1 - 0.75f * shadow);
        });
    }
    l.sky = rgb(0.38f, 0.46f, 0.52f);
    l.sun = rgb(1.02f, 1.0f, 0.94f);
    l.shininess = 40;
    l.aoRadius = 3;
    l.aoStrength = 0.6f;
    l.shadowSoftness = 0.6f;
    l.shadowReach = 8;
    Image img = shade(s, l);
    grade(img, rgb(1.0f, 1.0f, 1.0f), 1.0f, 1.05f);
    smoothEdges(img);
    return img;
}

}  // namespace

Image renderSceneC(int index) {
    switch (index) {
        case 0: return mountainLake();
        case 1: return moonlitLake();
        case 2: return fountainCoins();
        case 3: return coralShallows();
        default: return ginkgoPool();
    }
}

}  // namespace imagegen
