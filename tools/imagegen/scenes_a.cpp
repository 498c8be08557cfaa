// Backgrounds: river stones, pebble beach, sand with caustics, autumn leaves on
// water, pool tiles, moss and roots, koi pond, lily pads, sunset reflection,
// city lights at night. Shared helpers of the scenes live here too.
#include "scene_util.h"

namespace imagegen {

// ---------------------------------------------------------------------------
// Shared helpers

float caustics(float u, float v, std::uint32_t seed, int cells) {
    const float wu = 0.035f * fbm(u, v, 3, 3, seed + 1);
    const float wv = 0.035f * fbm(u, v, 3, 3, seed + 2);
    const CellHit a = worley(u + wu, v + wv, cells, seed + 3, 0.85f);
    const CellHit b = worley(u - wv * 0.7f, v + wu * 0.7f, cells + 4, seed + 4, 0.85f);
    const float la = std::exp(-(a.f2 - a.f1) * 7.0f);
    const float lb = std::exp(-(b.f2 - b.f1) * 8.0f);
    const float c = 0.65f * la + 0.55f * lb;
    return c * c * 1.4f + 0.25f * la * lb;
}

SandSample sand(float u, float v, std::uint32_t seed, float rippleAmp, int rippleFreq) {
    const float warp = 0.9f * fbm(u, v, 2, 3, seed) + 0.25f * fbm(u, v, 7, 2, seed + 5);
    float p = v * rippleFreq + warp + 0.35f * std::sin(2 * kPi * (u * 3 + 0.2f * fbm(u, v, 3, 2, seed + 9)));
    p -= std::floor(p);
    // Gentle windward slope, short steep lee.
    const float r = p < 0.72f ? smooth(0, 0.72f, p) : 1 - smooth(0.72f, 1, p);
    const float fine = gnoise(u * 256, v * 256, 256, seed + 11);
    const float height = rippleAmp * r + 1.2f * fbm(u, v, 16, 3, seed + 13) + 0.35f * fine;
    const float tone = 0.5f + 0.5f * fbm(u, v, 5, 4, seed + 17);
    Col c = mix(hex(0xbca47a), hex(0xe6d4ab), tone);
    c = mix(c * 0.86f, c, 0.55f + 0.45f * r);
    return {height, c};
}

LeafSample ovalLeaf(float lx, float ly, float length, float width) {
    LeafSample s;
    const float t = lx / length;  // -1 at the stalk, +1 at the tip
    if (t < -1.25f || t > 1) return s;
    if (t < -1) {  // the stalk
        if (std::fabs(ly) < 1.6f) {
            s.inside = true;
            s.edge = 0.3f;
            s.vein = 1;
        }
        return s;
    }
    float w = width * std::sqrt(std::max(0.0f, 1 - t * t)) * (1 - 0.3f * t) * (1 + 0.08f * t * t);
    w *= 1 - 0.06f * std::fabs(std::sin(lx * 0.45f));  // serrated edge
    const float a = std::fabs(ly);
    if (a >= w) return s;
    s.inside = true;
    s.edge = 1 - a / w;
    const float mid = std::exp(-a * a / 2.5f);
    float lat = (lx + 1.8f * a) / (length * 0.22f);
    lat -= std::floor(lat);
    const float lateral = std::exp(-std::pow((lat - 0.5f) * length * 0.22f, 2.0f) / 1.5f) * smooth(0, 0.25f, s.edge);
    s.vein = std::max(mid, 0.7f * lateral);
    return s;
}

LeafSample mapleLeaf(float lx, float ly, float radius) {
    LeafSample s;
    const float r = std::sqrt(lx * lx + ly * ly);
    if (r > radius * 1.05f + 20) return s;
    const float th = std::atan2(ly, lx);  // 0 = towards the tip
    // The stalk leaves at the base, opposite the tip.
    if (lx < 0 && lx > -radius * 0.95f - 18 && std::fabs(ly) < 1.8f) {
        s.inside = true;
        s.edge = 0.3f;
        s.vein = 1;
        return s;
    }
    const float lobe = std::pow(std::fabs(std::cos(2.5f * th)), 0.55f);
    float edge = radius * (0.42f + 0.58f * lobe);
    edge *= 1 + 0.05f * std::sin(th * 34) * smooth(0.3f, 0.9f, lobe);  // teeth
    if (std::fabs(th) > 2.75f) edge = std::min(edge, radius * 0.22f);  // notch at the stalk
    if (r >= edge) return s;
    s.inside = true;
    s.edge = 1 - r / edge;
    const float sector = 2 * kPi / 5;
    const float phi = th - std::round(th / sector) * sector;
    s.vein = std::exp(-std::pow(phi * r, 2.0f) / 2.0f) * smooth(0.02f, 0.25f, s.edge);
    return s;
}

// Dark water with the soft reflection of a bright sky and trees.
Col pondWater(float u, float v, std::uint32_t seed, Col deep, Col sky) {
    const float refl = 0.5f + 0.5f * fbmA(u, v, 2, 5, 4, seed);
    const float trees = smooth(-0.1f, 0.3f, fbmA(u, v, 3, 2, 4, seed + 3));
    Col c = mix(deep, sky, 0.35f * refl * refl);
    c = mix(c, deep * 0.55f, 0.5f * trees);
    const float streak = fbmA(u, v, 3, 40, 2, seed + 5);
    return c * (0.92f + 0.16f * streak);
}

Col ramp(const std::vector<std::pair<float, Col>>& stops, float t) {
    if (t <= stops.front().first) return stops.front().second;
    for (std::size_t k = 1; k < stops.size(); ++k)
        if (t <= stops[k].first)
            return mix(stops[k - 1].second, stops[k].second,
                       (t - stops[k - 1].first) / (stops[k].first - stops[k - 1].first));
    return stops.back().second;
}

namespace {

// ---------------------------------------------------------------------------
// Rounded stones scattered over a ground; shared by river stones and beach.
struct StoneHit {
    float height = -1e9f;
    std::uint32_t id = 0;
    float nx = 0, ny = 0;  // stone-local normalised position
    float d = 1;           // 0 centre .. 1 outline
};
struct StoneLayer {
    int cells;
    int perCell;
    float rMin, rMax;  // radius as a fraction of a cell
    float thickness;   // dome height per radius
    float lift;
    std::uint32_t seed;
};
// A layer of stones with each stone's shape worked out once.
class Stones {
public:
    explicit Stones(const StoneLayer& L)
        : grid_(L.cells, L.perCell, L.seed, [&](float, float, std::uint32_t h) {
              Stone s;
              s.R = static_cast<float>(kTile) / L.cells * (L.rMin + (L.rMax - L.rMin) * unit(hash(h, 3)));
              s.aspect = 0.55f + 0.45f * unit(hash(h, 4));
              s.frame = Frame(unit(hash(h, 5)) * kPi);
              s.ex = 2.2f + 1.3f * unit(hash(h, 6));  // superellipse exponent: flatter sides
              s.phase3 = 6.28f * unit(hash(h, 7));
              s.phase5 = 6.28f * unit(hash(h, 8));
              s.lift = L.lift + 3 * unit(hash(h, 9));
              s.thickness = L.thickness;
              s.id = h;
              return s;
          }) {}

    void find(float u, float v, StoneHit& best) const {
        grid_.forEach(u, v, [&](float cx, float cy, const Stone& s) {
            const float dx = (u - cx) * kTile, dy = (v - cy) * kTile;
            if (dx * dx + dy * dy > s.R * s.R) return;
            float lx, ly;
            s.frame.apply(dx, dy, lx, ly);
            const float qx = lx / s.R, qy = ly / (s.R * s.aspect);
            float d = std::pow(std::pow(std::fabs(qx), s.ex) + std::pow(std::fabs(qy), s.ex), 1.0f / s.ex);
            const float ang = std::atan2(qy, qx);
            d *= 1 + 0.045f * std::sin(3 * ang + s.phase3) + 0.03f * std::sin(5 * ang + s.phase5);
            if (d >= 1) return;
            const float dome = std::pow(std::max(0.0f, 1 - d * d), 0.55f);
            const float ht = s.lift + s.R * s.aspect * s.thickness * dome;
            if (ht > best.height) {
                best.height = ht;
                best.id = s.id;
                best.nx = qx;
                best.ny = qy;
                best.d = d;
            }
        });
    }

private:
    struct Stone {
        float R, aspect, ex, phase3, phase5, lift, thickness;
        Frame frame;
        std::uint32_t id;
    };
    ScatterGrid<Stone> grid_;
};

Col stoneColor(std::uint32_t id, float u, float v, float nx, float ny, float wet) {
    static const std::uint32_t palette[] = {0x8a8580, 0x6f6a66, 0xa39a8c, 0x9c8064, 0x7b5e48, 0x5c6068,
                                            0xb8b0a2, 0x8f7a5a, 0x4a4b4f, 0xc9c0b0, 0x8b6d5c, 0x6b7370};
    Rng rng(id);
    const Col base = hex(palette[rng.below(12)]) * rng.range(0.85f, 1.1f);
    const Col second = hex(palette[rng.below(12)]);
    const std::uint32_t s = id & 0xffff;
    const float mottle = fbm(u, v, 12, 4, s);
    Col c = mix(base, mix(base, second, 0.5f), 0.5f + 0.5f * mottle);
    const float kind = rng.next();
    if (kind < 0.35f) {  // granite speckle
        const float sp = gnoise(u * 300, v * 300, 300, s + 3);
        if (sp > 0.28f)
            c = c * 0.45f;
        else if (sp < -0.32f)
            c = mix(c, hex(0xeae4da), 0.7f);
    } else if (kind < 0.55f) {  // a quartz band
        const float a = rng.range(0, kPi);
        const float band = std::sin((nx * std::cos(a) + ny * std::sin(a)) * rng.range(4, 9) +
                                    2.0f * fbm(u, v, 16, 2, s + 5) + rng.range(0, 6));
        c = mix(c, hex(0xf0ece4), smooth(0.82f, 0.95f, band));
    } else if (kind < 0.7f) {  // fine layering
        const float band = std::sin((nx * 0.6f + ny) * rng.range(12, 24) + 1.5f * fbm(u, v, 8, 3, s + 7));
        c = c * (0.9f + 0.1f * band);
    }
    // Wet stones are darker and more saturated.
    return saturate(c * (1 - 0.35f * wet), 1 + 0.35f * wet);
}

// ---------------------------------------------------------------------------
Image riverStones() {
    Surface s;
    const std::uint32_t seed = 1870;
    const Stones big(StoneLayer{6, 1, 0.62f, 0.95f, 0.55f, 4, seed});
    const Stones mid(StoneLayer{11, 1, 0.45f, 0.85f, 0.5f, 2, seed + 100});
    const Stones small(StoneLayer{26, 1, 0.3f, 0.7f, 0.5f, 0, seed + 200});
    s.sunGain = Field(kTile);
    eachPixel(kTile, [&](int x, int y, float u, float v, std::size_t i) {
        StoneHit hit;
        big.find(u, v, hit);
        mid.find(u, v, hit);
        small.find(u, v, hit);
        const SandSample g = sand(u, v, seed + 7, 1.5f, 9);
        const float gravel = gnoise(u * 160, v * 160, 160, seed + 9);
        const float groundH = g.height + 2 * gravel;
        Col ground = mix(g.color * 0.7f, hex(0x6d6453), 0.5f + 0.5f * fbm(u, v, 8, 3, seed + 11));
        ground = ground * (0.85f + 0.3f * grain(x, y, seed));
        if (hit.height > groundH) {
            s.height.v[i] = hit.height;
            s.albedo[i] = stoneColor(hit.id, u, v, hit.nx, hit.ny, 1);
            s.gloss.v[i] = 0.35f + 0.25f * (1 - hit.d);
        } else {
            s.height.v[i] = groundH;
            s.albedo[i] = ground;
            s.gloss.v[i] = 0.1f;
        }
        s.sunGain.v[i] = 0.55f + 1.1f * caustics(u, v, seed + 13, 7);
    });
    Lighting l;
    l.sky = rgb(0.30f, 0.40f, 0.42f);
    l.sun = rgb(1.0f, 0.97f, 0.86f);
    l.shininess = 60;
    l.aoRadius = 8;
    Image img = shade(s, l);
    grade(img, rgb(0.93f, 1.02f, 1.0f), 0.95f, 1.05f);
    return img;
}

Image pebbleBeach() {
    Surface s;
    const std::uint32_t seed = 1880;
    const Stones a(StoneLayer{13, 1, 0.55f, 0.9f, 0.42f, 3, seed});
    const Stones b(StoneLayer{21, 1, 0.5f, 0.85f, 0.42f, 1.5f, seed + 10});
    const Stones c(StoneLayer{40, 1, 0.45f, 0.8f, 0.45f, 0, seed + 20});
    eachPixel(kTile, [&](int x, int y, float u, float v, std::size_t i) {
        StoneHit hit;
        a.find(u, v, hit);
        b.find(u, v, hit);
        c.find(u, v, hit);
        const float grit = gnoise(u * 340, v * 340, 340, seed + 3);
        const float groundH = -2 + 1.5f * grit;
        if (hit.height > groundH) {
            s.height.v[i] = hit.height;
            // A damp band of the beach: some stones still wet.
            const float wet = smooth(0.1f, 0.5f, fbm(u, v, 2, 3, seed + 5));
            Col col = stoneColor(hit.id * 2654435761u, u, v, hit.nx, hit.ny, wet);
            s.albedo[i] = col * (1.05f + 0.1f * unit(hash(hit.id, 44)));
            s.gloss.v[i] = 0.08f + 0.45f * wet * (1 - hit.d);
        } else {
            s.height.v[i] = groundH;
            s.albedo[i] = mix(hex(0x5a5046), hex(0x8a7c68), grain(x, y, seed));
            s.gloss.v[i] = 0.02f;
        }
    });
    Lighting l;
    l.dir = {-0.6f, -0.45f, 0.65f};
    l.sky = rgb(0.36f, 0.40f, 0.46f);
    l.shininess = 50;
    l.aoRadius = 6;
    l.aoStrength = 1.3f;
    Image img = shade(s, l);
    grade(img, rgb(1.0f, 0.99f, 0.97f), 1.0f, 1.0f);
    return img;
}

Image sandCaustics() {
    Surface s;
    const std::uint32_t seed = 1890;
    s.sunGain = Field(kTile);
    eachPixel(kTile, [&](int x, int y, float u, float v, std::size_t i) {
        SandSample g = sand(u, v, seed, 9, 14);
        float h = g.height;
        Col c = g.color;
        const float gr = grain(x, y, seed);
        c = c * (0.9f + 0.2f * gr);
        if (gr > 0.985f) c = c * 0.55f;  // dark grains
        // Half-buried cockle shells, small pebbles and the odd sand dollar.
        const CellHit w = worley(u, v, 16, seed + 4, 0.85f);
        const float kind = unit(hash(w.id, 9));
        float lx, ly;
        Frame(unit(hash(w.id, 11)) * 2 * kPi).apply(w.dx * kTile / 16, w.dy * kTile / 16, lx, ly);
        if (kind < 0.16f) {  // a cockle: a ribbed fan, hinge towards -x
            const float R = 13 + 10 * unit(hash(w.id, 12));
            const float hx = lx + 0.7f * R;
            const float r = std::sqrt(hx * hx + ly * ly), th = std::atan2(ly, hx);
            if (r < R * (1 - 0.12f * th * th) && std::fabs(th) < 1.2f) {
                const float q = r / R;
                const float rib = 0.5f + 0.5f * std::cos(th * 22);
                h = std::max(h, 4 + 3.5f * std::sqrt(std::max(0.0f, 1 - q * q)) + 0.6f * rib);
                const Col a = unit(hash(w.id, 13)) < 0.5f ? hex(0xf0e6d6) : hex(0xe0b48c);
                c = mix(a, a * 0.75f, 0.4f * (0.5f + 0.5f * std::sin(r * 0.9f))) * (0.85f + 0.15f * rib);
            }
        } else if (kind < 0.2f) {  // a sand dollar: a flat disc with a five-petal star
            const float R = 22 + 6 * unit(hash(w.id, 12));
            const float r = std::sqrt(lx * lx + ly * ly);
            if (r < R) {
                const float th = std::atan2(ly, lx);
                const float petal = std::pow(std::fabs(std::cos(th * 2.5f)), 6.0f) * smooth(0.15f, 0.3f, r / R) *
                                    smooth(0.75f, 0.55f, r / R);
                h = std::max(h, 3.5f + 2.0f * smooth(1.0f, 0.8f, r / R) + 0.8f * petal);
                c = mix(hex(0xe8dcc4), hex(0xc8b494), petal) * (0.9f + 0.1f * grain(x, y, seed + 2));
            }
        } else if (kind < 0.42f) {  // pebbles
            const float R = 5 + 7 * unit(hash(w.id, 12));
            const float q = std::sqrt(lx * lx + ly * ly / 0.55f) / R;
            if (q < 1) {
                h = std::max(h, 1 + 0.5f * R * std::sqrt(1 - q * q));
                static const std::uint32_t pebbles[] = {0x7d7468, 0x5a5652, 0xa89c88, 0x8a6a52, 0xc8c0b0};
                c = hex(pebbles[hash(w.id, 14) % 5]) * (0.85f + 0.3f * unit(hash(w.id, 15)));
            }
        }
        // Green-brown weed patches in the troughs.
        const float weed = smooth(0.45f, 0.75f, fbm(u, v, 4, 4, seed + 6)) * (1 - smooth(2, 7, h));
        c = mix(c, hex(0x7a6a42), weed * 0.45f);
        s.height.v[i] = h;
        s.albedo[i] = c;
        s.gloss.v[i] = 0.04f;
        s.sunGain.v[i] = 0.6f + 0.8f * caustics(u, v, seed + 8, 8);
    });
    Lighting l;
    l.dir = {-0.4f, -0.5f, 0.8f};
    l.sky = rgb(0.42f, 0.42f, 0.42f);
    l.sun = rgb(0.98f, 1.0f, 0.94f);
    l.aoRadius = 6;
    Image img = shade(s, l);
    grade(img, rgb(0.94f, 1.0f, 1.0f), 1.05f, 1.0f);
    smoothEdges(img);
    return img;
}

Image autumnLeaves() {
    Surface s;
    const std::uint32_t seed = 1900;
    s.emit.assign(s.albedo.size(), Col{});
    static const std::uint32_t maple[] = {0xc2361b, 0xd9551f, 0xe88a1e, 0xf0b429, 0xa8281c, 0xd46a24, 0xb84a1a};
    static const std::uint32_t oval[] = {0xd9a62a, 0xc98a22, 0x9c6a2c, 0xe3c04a, 0x8a5a2a, 0xb57b2c};
    eachPixel(kTile, [&](int x, int y, float u, float v, std::size_t i) {
        float bestZ = -1;
        LeafSample leaf;
        std::uint32_t leafId = 0;
        bool isMaple = false;
        scatter(u, v, 5, 2, seed, [&](float cx, float cy, std::uint32_t h) {
            if (unit(hash(h, 11)) < 0.18f) return;
            const float dx = (u - cx) * kTile, dy = (v - cy) * kTile;
            const bool m = unit(hash(h, 12)) < 0.55f;
            const float R = m ? 62 + 40 * unit(hash(h, 13)) : 70 + 45 * unit(hash(h, 13));
            if (dx * dx + dy * dy > (R + 25) * (R + 25)) return;
            const float z = 4 + 6 * unit(hash(h, 14));
            if (z < bestZ) return;
            const Frame f(unit(hash(h, 15)) * 2 * kPi);
            float lx, ly;
            f.apply(dx, dy, lx, ly);
            const LeafSample ls =
                m ? mapleLeaf(lx, ly, R) : ovalLeaf(lx, ly, R, R * (0.42f + 0.15f * unit(hash(h, 16))));
            if (!ls.inside) return;
            bestZ = z;
            leaf = ls;
            leafId = h;
            isMaple = m;
        });
        if (bestZ < 0) {
            s.height.v[i] = 0.6f * fbmA(u, v, 6, 10, 2, seed + 1);
            s.albedo[i] = hex(0x0c1612);
            s.emit[i] = pondWater(u, v, seed + 2, hex(0x08120f), hex(0x6d8a9a)) * 0.6f;
            s.gloss.v[i] = 0.9f;
            return;
        }
        Rng rng(leafId);
        const Col base = isMaple ? hex(maple[rng.below(7)]) : hex(oval[rng.below(6)]);
        const Col other = isMaple ? hex(maple[rng.below(7)]) : hex(oval[rng.below(6)]);
        const float mot = fbm(u, v, 10, 4, leafId & 0xffff);
        Col c = mix(base, other, smooth(-0.3f, 0.5f, mot));
        c = mix(c, c * 0.55f, smooth(0.35f, 0.8f, fbm(u, v, 24, 3, (leafId >> 8) & 0xffff)) * 0.6f);  // blotches
        c = mix(c, mix(c, hex(0xf2d27a), 0.5f), leaf.vein * 0.6f);
        c = c * (0.85f + 0.15f * smooth(0, 0.3f, leaf.edge));
        s.albedo[i] = c;
        s.height.v[i] = bestZ + 4 * (1 - leaf.edge) * (1 - leaf.edge) + 0.8f * leaf.vein + 0.3f * grain(x, y, seed);
        s.gloss.v[i] = 0.25f + 0.2f * (1 - leaf.edge);
    });
    Lighting l;
    l.dir = {-0.5f, -0.55f, 0.7f};
    l.sky = rgb(0.35f, 0.38f, 0.42f);
    l.sun = rgb(1.0f, 0.92f, 0.78f);
    l.shininess = 30;
    l.aoRadius = 5;
    l.shadowSoftness = 0.6f;
    Image img = shade(s, l);
    grade(img, rgb(1.0f, 0.98f, 0.95f), 1.0f, 1.05f);
    return img;
}

Image poolTiles() {
    Surface s;
    const std::uint32_t seed = 1910;
    const int tiles = 32;
    const float tilePx = static_cast<float>(kTile) / tiles;
    s.sunGain = Field(kTile);
    eachPixel(kTile, [&](int x, int y, float u, float v, std::size_t i) {
        const int tx = static_cast<int>(u * tiles), ty = static_cast<int>(v * tiles);
        const float fx = u * tiles - tx, fy = v * tiles - ty;
        const float e = std::min(std::min(fx, 1 - fx), std::min(fy, 1 - fy)) * tilePx;  // pixels to the tile edge
        const std::uint32_t h = hash(tx, ty, seed);
        const bool lane = (tx == 15 || tx == 16) && ty != 3 && ty != 28;
        const bool laneEnd = (ty == 3 || ty == 28) && tx >= 13 && tx <= 18;
        Col c;
        if (lane || laneEnd)
            c = hex(0x17306e) * (0.9f + 0.2f * unit(hash(h, 1)));
        else {
            static const std::uint32_t blues[] = {0x3aa6d6, 0x4db4e0, 0x2f94c8, 0x61c1e6, 0x2886bd, 0x56b9da};
            c = hex(blues[hash(h, 2) % 6]) * (0.92f + 0.14f * unit(hash(h, 3)));
        }
        c = c * (0.96f + 0.08f * gnoise(u * 96, v * 96, 96, seed + 5));
        const float grout = 2.2f;
        float ht;
        if (e < grout) {
            ht = -1.5f;
            c = hex(0xb9c6c8) * (0.85f + 0.15f * grain(x, y, seed));
            s.gloss.v[i] = 0.05f;
        } else {
            ht = 2.2f * smooth(grout, grout + 4.5f, e) + 0.25f * gnoise(u * 64, v * 64, 64, h & 1023);
            s.gloss.v[i] = 0.8f;
        }
        s.height.v[i] = ht;
        s.albedo[i] = c;
        s.sunGain.v[i] = 0.4f + 1.9f * caustics(u, v, seed + 9, 6);
    });
    Lighting l;
    l.dir = {-0.35f, -0.5f, 0.8f};
    l.sky = rgb(0.30f, 0.42f, 0.48f);
    l.shininess = 90;
    l.aoRadius = 3;
    l.shadowReach = 16;
    Image img = shade(s, l);
    grade(img, rgb(0.88f, 1.0f, 1.03f), 1.0f, 1.0f);
    return img;
}

// ---------------------------------------------------------------------------
Image mossRoots() {
    Surface s;
    const std::uint32_t seed = 1920;
    // Root centre lines, tabulated per column (horizontal roots) or row (vertical ones).
    struct Root {
        bool vertical;
        float radius, z;
        std::vector<float> centre, slope, rad;
        std::uint32_t id;
    };
    std::vector<Root> roots;
    Rng rng(seed);
    for (int k = 0; k < 9; ++k) {
        Root r;
        r.vertical = k % 3 == 2;
        r.radius = k < 4 ? rng.range(16, 26) : rng.range(6, 13);
        r.z = rng.range(0, 8);
        r.id = hash(seed, k);
        const float base = rng.next(), amp = rng.range(0.03f, 0.12f), phase = rng.range(0, 6.28f);
        const int freq = 1 + rng.below(2);
        r.centre.resize(kTile);
        r.slope.resize(kTile);
        r.rad.resize(kTile);
        for (int t = 0; t < kTile; ++t) {
            const float a = (t + 0.5f) / kTile;
            r.centre[t] = base + amp * std::sin(2 * kPi * freq * a + phase) + 0.04f * fbm(a, 0.37f * k, 4, 3, r.id);
            r.rad[t] = r.radius * (0.8f + 0.35f * fbm(a, 0.1f * k, 3, 2, r.id + 1));
        }
        for (int t = 0; t < kTile; ++t)
            r.slope[t] = wrapd(r.centre[(t + 1) % kTile] - r.centre[(t + kTile - 1) % kTile]) * kTile * 0.5f;
        roots.push_back(std::move(r));
    }
    eachPixel(kTile, [&](int x, int y, float u, float v, std::size_t i) {
        // Moss: tiny tufts with colour drift.
        const CellHit tuft = worley(u, v, 110, seed + 3, 0.9f);
        const float patch = fbm(u, v, 4, 4, seed + 5);
        const float tuftH = 3.5f * std::max(0.0f, 1 - tuft.f1 * tuft.f1);
        float h = tuftH + 4 * patch + 1.2f * gnoise(u * 220, v * 220, 220, seed + 7);
        Col c = mix(hex(0x3f5a1c), hex(0x8aa33a), 0.5f + 0.5f * fbm(u, v, 8, 3, seed + 9));
        c = mix(c, hex(0x2c3a16), smooth(0.3f, 0.8f, -patch) * 0.7f);
        c = c * (0.75f + 0.35f * (1 - tuft.f1));
        if (unit(hash(tuft.id, 4)) < 0.12f && tuft.f1 < 0.3f) c = mix(c, hex(0xc6d46a), 0.6f);  // bright tips
        float gloss = 0.05f;
        for (const Root& r : roots) {
            const int t = r.vertical ? y : x;
            const float across = r.vertical ? u : v;
            const float d = std::fabs(wrapd(across - r.centre[t])) * kTile / std::sqrt(1 + r.slope[t] * r.slope[t]);
            const float rad = r.rad[t];
            if (d >= rad) continue;
            const float q = d / rad;
            const float top = r.z + 6 + rad * 0.85f * std::sqrt(1 - q * q);
            if (top <= h) continue;
            h = top;
            const float along = r.vertical ? v : u;
            const float side = wrapd(across - r.centre[t]) * kTile / rad;
            const float streak = gnoise(along * 96, side * 2.5f + (r.id & 255), 96, r.id + 3);
            Col bark = mix(hex(0x4a3122), hex(0x8a6446), 0.5f + 0.5f * fbm(along, side * 0.05f, 6, 3, r.id + 5));
            bark = bark * (0.8f + 0.3f * streak);
            const float mossy = smooth(0.15f, 0.5f, fbm(u, v, 9, 3, r.id + 7)) * smooth(0.5f, 0.1f, q);
            c = mix(bark, hex(0x6d8a2c), mossy * 0.8f);
            gloss = 0.12f;
        }
        s.height.v[i] = h;
        s.albedo[i] = c;
        s.gloss.v[i] = gloss;
    });
    Lighting l;
    l.dir = {-0.55f, -0.5f, 0.6f};
    l.sky = rgb(0.28f, 0.34f, 0.30f);
    l.sun = rgb(1.0f, 0.95f, 0.8f);
    l.aoRadius = 8;
    l.aoStrength = 1.4f;
    l.shadowSoftness = 0.5f;
    Image img = shade(s, l);
    grade(img, rgb(1.0f, 1.0f, 0.95f), 1.05f, 1.0f);
    return img;
}

// ---------------------------------------------------------------------------
Image koiPond() {
    Surface s;
    const std::uint32_t seed = 1930;
    s.emit.assign(s.albedo.size(), Col{});
    eachPixel(kTile, [&](int x, int y, float u, float v, std::size_t i) {
        // The pond bed: dim stones under greenish water.
        const CellHit w = worley(u, v, 9, seed + 1, 0.9f);
        const float stone = smooth(0.02f, 0.2f, w.f2 - w.f1);
        float h = 10 * std::sqrt(stone) + 2 * fbm(u, v, 16, 3, seed + 2);
        Col c = mix(hex(0x1d2a1c), hex(0x3d4a33) * (0.8f + 0.4f * unit(hash(w.id, 1))), stone);
        c = c * (0.85f + 0.3f * (0.5f + 0.5f * fbm(u, v, 6, 3, seed + 3)));
        float gloss = 0.05f;
        // Fish near the surface, 45 px above the bed.
        float bestZ = -1;
        scatter(u, v, 3, 1, seed + 10, [&](float cx, float cy, std::uint32_t hf) {
            if (unit(hash(hf, 1)) < 0.15f) return;
            const float L = 190 + 110 * unit(hash(hf, 2));  // body length, px
            const float dx = (u - cx) * kTile, dy = (v - cy) * kTile;
            if (dx * dx + dy * dy > 0.36f * L * L) return;
            const float z = 45 + 12 * unit(hash(hf, 3));
            if (z < bestZ) return;
            const Frame f(unit(hash(hf, 4)) * 2 * kPi);
            float lx, ly;
            f.apply(dx, dy, lx, ly);
            const float bend = (unit(hash(hf, 5)) - 0.5f) * 1.4f;
            const float lyb = ly - bend * lx * lx / L;
            const float t = 0.5f - lx / L;  // 0 at the head, 1 at the tail tip
            const float W = L * 0.13f;
            float body = 0;
            bool fin = false;
            float finA = 0;
            if (t >= 0 && t <= 0.86f) {
                const float tt = std::max(t, 0.0f);
                const float w = W * 2.5f * std::pow(tt, 0.45f) * std::pow(1 - tt, 0.95f);
                if (std::fabs(lyb) < w) body = std::sqrt(1 - (lyb / w) * (lyb / w));
            }
            if (body <= 0 && t > 0.8f && t < 1.1f) {  // tail fin, forked
                const float spread = W * (0.25f + 3.0f * (t - 0.8f));
                const float fork = t > 1.0f - 0.5f * std::fabs(lyb) / (W * 1.2f) + 0.05f;
                if (std::fabs(lyb) < spread && !fork) {
                    fin = true;
                    finA = 0.75f;
                }
            }
            if (body <= 0 && !fin) {  // pectoral fins
                const float px = (t - 0.3f) * L, py = std::fabs(lyb) - W * 1.25f;
                const float fx = px * 0.8f - py * 0.6f, fy = px * 0.6f + py * 0.8f;
                if ((fx / (W * 0.9f)) * (fx / (W * 0.9f)) + (fy / (W * 0.45f)) * (fy / (W * 0.45f)) < 1) {
                    fin = true;
                    finA = 0.55f;
                }
            }
            if (body <= 0 && !fin) return;
            bestZ = z;
            Rng rng(hf);
            const int kind = rng.below(5);
            const Col white = hex(0xf4efe6), red = hex(0xd8401a), black = hex(0x18161a), gold = hex(0xf2a328),
                      orange = hex(0xe8701e);
            const float pat = fbm(u, v, 14, 3, hf & 0xffff) + 0.4f * (rng.next() - 0.5f);
            const float pat2 = fbm(u, v, 18, 3, (hf >> 8) & 0xffff);
            Col fc;
            if (kind == 0)
                fc = pat > 0.05f ? red : white;  // kohaku
            else if (kind == 1)
                fc = mix(gold, orange, 0.5f + 0.5f * pat2);  // ogon
            else if (kind == 2)
                fc = pat > 0.2f ? black : (pat2 > 0.0f ? red : white);  // showa
            else if (kind == 3)
                fc = (t < 0.22f && std::fabs(lyb) < W * 0.5f && t > 0.08f) ? red : white;  // tancho
            else
                fc = pat > -0.1f ? orange : (pat2 > 0.2f ? black : white);  // sanke-like
            if (fin) {
                c = mix(c, mix(fc, white, 0.4f), finA * 0.7f);
                h = z + 1;
                gloss = 0.1f;
                return;
            }
            // Scales: a faint diamond lattice along the body.
            const float sc = std::sin(lx * 0.55f + lyb * 0.55f) * std::sin(lx * 0.55f - lyb * 0.55f);
            fc = fc * (0.92f + 0.08f * sc);
            c = fc;
            h = z + W * 0.9f * body;
            gloss = 0.5f;
            if (t < 0.07f) c = c * 0.92f;
        });
        s.height.v[i] = h;
        s.albedo[i] = c;
        s.gloss.v[i] = gloss;
        const float depth = bestZ > 0 ? 0.12f : 0.4f;
        s.albedo[i] = mix(s.albedo[i], hex(0x1f4a3c), depth);
        s.emit[i] = pondWater(u, v, seed + 20, Col{}, hex(0x7aa0a8)) * 0.22f;
    });
    Lighting l;
    l.dir = {-0.45f, -0.55f, 0.72f};
    l.sky = rgb(0.30f, 0.40f, 0.38f);
    l.sun = rgb(1.0f, 0.97f, 0.9f);
    l.shininess = 50;
    l.aoRadius = 8;
    l.shadowSoftness = 0.9f;
    Image img = shade(s, l);
    grade(img, rgb(0.95f, 1.02f, 1.0f), 1.0f, 1.05f);
    return img;
}

Image lilyPads() {
    Surface s;
    const std::uint32_t seed = 1940;
    s.emit.assign(s.albedo.size(), Col{});
    struct PadHit {
        float z = -1;
        std::uint32_t id = 0;
        float r = 0, th = 0, R = 1;
        bool petal = false, centre = false;
        float pr = 0;
    };
    auto pads = [&](float u, float v, int cells, int per, float rMin, float rMax, std::uint32_t sd, PadHit& best) {
        const float cellPx = static_cast<float>(kTile) / cells;
        scatter(u, v, cells, per, sd, [&](float cx, float cy, std::uint32_t h) {
            if (unit(hash(h, 1)) < 0.2f) return;
            const float R = cellPx * (rMin + (rMax - rMin) * unit(hash(h, 2)));
            const float dx = (u - cx) * kTile, dy = (v - cy) * kTile;
            const float r2 = dx * dx + dy * dy;
            if (r2 >= R * R) return;
            const float z = 2 + 4 * unit(hash(h, 3));
            const bool flower = unit(hash(h, 4)) < 0.3f && R > 60;
            const float r = std::sqrt(r2);
            // A flower sits above the pad, near its centre.
            if (flower) {
                const float fr = R * 0.5f;
                if (r < fr) {
                    const float th = std::atan2(dy, dx) + unit(hash(h, 5)) * 6.28f;
                    const int petals = 9;
                    const float sector = 2 * kPi / petals;
                    float ph = th / sector;
                    ph -= std::floor(ph);
                    const float pw = std::fabs(ph - 0.5f) * 2;  // 0 mid-petal
                    const float shape = std::sqrt(std::max(0.0f, 1 - pw * pw));
                    float ph2 = th / sector + 0.5f;
                    ph2 -= std::floor(ph2);
                    const float shape2 = std::sqrt(std::max(0.0f, 1 - std::pow(std::fabs(ph2 - 0.5f) * 2, 2.0f)));
                    const float outer = fr * (0.35f + 0.65f * shape);
                    const float inner = fr * 0.75f * (0.3f + 0.7f * shape2);
                    const float fz = z + 14;
                    if (r < fr * 0.2f && fz + 6 > best.z) {
                        best = {fz + 6 - r * 0.2f, h, r, th, fr, false, true, r / (fr * 0.2f)};
                        return;
                    }
                    if (r < inner && fz + 8 > best.z) {
                        best = {fz + 8 * (r / inner), h, r, th, fr, true, false, r / inner};
                        return;
                    }
                    if (r < outer && fz > best.z) {
                        best = {fz + 4 * (r / outer), h, r, th, fr, true, false, r / outer};
                        return;
                    }
                }
            }
            if (z < best.z) return;
            const float notchDir = unit(hash(h, 6)) * 6.28f;
            const float th = std::atan2(dy, dx);
            const float rel = std::fabs(wrapd((th - notchDir) / (2 * kPi))) * 2 * kPi;
            if (rel < 0.22f * smooth(0, 0.15f * R, r) + 0.02f) return;  // the slit
            best = {z, h, r, th - notchDir, R, false, false, 0};
        });
    };
    eachPixel(kTile, [&](int x, int y, float u, float v, std::size_t i) {
        PadHit hit;
        pads(u, v, 4, 2, 0.3f, 0.5f, seed, hit);
        pads(u, v, 9, 1, 0.2f, 0.45f, seed + 50, hit);
        if (hit.z < 0) {
            s.height.v[i] = 0.5f * fbmA(u, v, 5, 9, 2, seed + 1);
            s.albedo[i] = hex(0x0b1a14);
            s.emit[i] = pondWater(u, v, seed + 2, hex(0x0a1f1a), hex(0x9fb6c0)) * 0.55f;
            s.gloss.v[i] = 0.9f;
            return;
        }
        Rng rng(hit.id);
        if (hit.centre) {
            s.albedo[i] = mix(hex(0xf2c02a), hex(0xd08a1a), grain(x, y, 3));
            s.height.v[i] = hit.z + 1.5f * grain(x, y, 4);
            s.gloss.v[i] = 0.1f;
            return;
        }
        if (hit.petal) {
            const Col tip = rng.next() < 0.5f ? hex(0xf4a6c4) : hex(0xfbf0f2);
            s.albedo[i] = mix(hex(0xfdf6f4), tip, smooth(0.3f, 1.0f, hit.pr));
            s.height.v[i] = hit.z;
            s.gloss.v[i] = 0.2f;
            return;
        }
        const float q = hit.r / hit.R;
        static const std::uint32_t greens[] = {0x3f7a2a, 0x4d8a30, 0x5b9636, 0x386e28, 0x6a9a3a};
        Col c = hex(greens[rng.below(5)]);
        c = mix(c, c * 1.25f, 0.5f + 0.5f * fbm(u, v, 12, 3, hit.id & 0xffff));
        const float veins = std::exp(-std::pow(std::sin(hit.th * 15) * hit.r, 2.0f) / 3.0f) * smooth(0.1f, 0.3f, q);
        c = mix(c, hex(0x9cc25a), veins * 0.45f);
        const float decay = smooth(0.3f, 0.8f, fbm(u, v, 10, 3, (hit.id >> 4) & 0xffff)) * smooth(0.6f, 1.0f, q);
        c = mix(c, rng.next() < 0.5f ? hex(0x8a5a2a) : hex(0xb0402a), decay * 0.7f);
        c = mix(c, c * 0.7f, smooth(0.25f, 0.0f, q) * 0.5f);
        s.albedo[i] = c;
        s.height.v[i] = hit.z + 2.5f * smooth(0.88f, 1.0f, q) - 1.0f * q + 0.3f * veins;
        s.gloss.v[i] = 0.45f;
    });
    Lighting l;
    l.dir = {-0.5f, -0.6f, 0.7f};
    l.sky = rgb(0.32f, 0.38f, 0.40f);
    l.shininess = 45;
    l.aoRadius = 6;
    l.shadowSoftness = 0.6f;
    Image img = shade(s, l);
    grade(img, rgb(1.0f, 1.0f, 0.98f), 1.0f, 1.05f);
    return img;
}

// ---------------------------------------------------------------------------
Image sunsetReflection() {
    Image img(kTile, kTile);
    const std::uint32_t seed = 1950;
    const std::vector<std::pair<float, Col>> sky = {{0.0f, hex(0x15143a)},  {0.3f, hex(0x3a2a66)},
                                                    {0.55f, hex(0x8e3a78)}, {0.75f, hex(0xd9566a)},
                                                    {0.9f, hex(0xf59447)},  {1.0f, hex(0xffd57e)}};
    eachPixel(kTile, [&](int x, int y, float u, float v, std::size_t i) {
        const float g = 0.5f + 0.5f * std::cos(2 * kPi * (v - 0.58f));  // 1 at the horizon glow
        const float du = wrapd(u - 0.5f), dv = wrapd(v - 0.58f);
        const float d2 = du * du * 0.6f + dv * dv;
        const float sun = std::exp(-d2 / 0.0009f);
        const float glow = std::exp(-d2 / 0.012f) * 0.55f + std::exp(-d2 / 0.06f) * 0.35f;
        Col c = ramp(sky, clamp01(g * g * 0.92f + glow * 0.3f));
        c += hex(0xffb060) * glow;
        // Streaks of cloud, lit from below near the glow.
        const float wu = 0.04f * fbm(u, v, 3, 3, seed + 1);
        const float cl = fbmA(u + wu, v, 3, 16, 5, seed + 2) + 0.35f * fbmA(u, v, 6, 30, 3, seed + 3);
        const float dens = smooth(0.0f, 0.55f, cl) * (0.35f + 0.65f * g);
        const Col lit = mix(hex(0x5a2a5e), hex(0xff9a58), clamp01(g * g * 1.1f + glow));
        const Col rim = hex(0xffd890);
        const float edge = smooth(0.0f, 0.25f, cl) - smooth(0.25f, 0.6f, cl);
        c = mix(c, lit, dens * 0.85f);
        c += rim * (edge * glow * 0.9f);
        c += hex(0xfff0c8) * (sun * 1.2f);
        // The sun's glitter path on the water: short horizontal flecks.
        const float path = std::exp(-du * du / 0.0035f) * (0.3f + 0.7f * g);
        const float fleck = gnoise2(u * 60, v * 380, 60, 380, seed + 4);
        c += hex(0xffd9a0) * (path * smooth(0.25f, 0.55f, fleck) * 0.9f);
        const float wave = fbmA(u, v, 4, 90, 2, seed + 5);
        c = c * (0.93f + 0.07f * wave);
        img.px[i] = c;
        (void)x;
        (void)y;
    });
    grade(img, rgb(1.0f, 1.0f, 1.0f), 1.0f, 1.1f);
    return img;
}

Image cityLights() {
    Image img(kTile, kTile);
    const std::uint32_t seed = 1960;
    static const std::uint32_t colors[] = {0xffa040, 0xffc070, 0xfff0d0, 0xff3060, 0x40c0ff,
                                           0x60ff9a, 0xff6020, 0xc060ff, 0xffe080, 0xff8030};
    struct Streak {
        float sx, sy, phase, bright;
        std::uint32_t breakSeed;
        Col color;
    };
    const ScatterGrid<Streak> streaks(6, 5, seed + 4, [&](float, float, std::uint32_t h) {
        return Streak{1.5f + 3.5f * unit(hash(h, 1)),
                      18 + 32 * unit(hash(h, 2)),
                      6.28f * unit(hash(h, 3)),
                      0.25f + 1.6f * std::pow(unit(hash(h, 4)), 3.0f),
                      h & 0xffff,
                      hex(colors[hash(h, 5) % 10])};
    });
    struct Disc {
        bool present;
        float R, fill;
        Col color;
    };
    const ScatterGrid<Disc> discs(5, 2, seed + 5, [&](float, float, std::uint32_t h) {
        return Disc{unit(hash(h, 1)) >= 0.3f, 18 + 45 * unit(hash(h, 2)), 0.05f + 0.12f * unit(hash(h, 3)),
                    hex(colors[hash(h, 4) % 10])};
    });
    eachPixel(kTile, [&](int x, int y, float u, float v, std::size_t i) {
        const float g = 0.5f + 0.5f * std::cos(2 * kPi * (v - 0.3f));
        Col c = mix(hex(0x03050c), hex(0x0c1430), g);
        // Building reflections: dim warm columns with window rows.
        const float cols = smooth(0.1f, 0.6f, fbmA(u, v, 24, 2, 2, seed + 1));
        const float windows = smooth(0.4f, 0.9f, gnoise2(u * 256, v * 64, 256, 64, seed + 2)) *
                              smooth(0.2f, 0.7f, gnoise2(u * 128, v * 8, 128, 8, seed + 3));
        c += hex(0x7a5a30) * (cols * (0.05f + 0.25f * windows));
        // Long streaks of light broken by the waves.
        streaks.forEach(u, v, [&](float cx, float cy, const Streak& st) {
            const float wob = 3 * std::sin(v * 2 * kPi * 40 + st.phase);
            const float dx = (u - cx) * kTile + wob, dy = (v - cy) * kTile;
            if (std::fabs(dx) > st.sx * 4 || std::fabs(dy) > st.sy * 3.4f) return;
            const float breaks = smooth(-0.25f, 0.35f, gnoise2(cx * 97, v * 240, 97, 240, st.breakSeed));
            const float k =
                st.bright * std::exp(-dx * dx / (2 * st.sx * st.sx) - dy * dy / (2 * st.sy * st.sy)) * breaks;
            c += st.color * k;
        });
        // Out-of-focus discs.
        discs.forEach(u, v, [&](float cx, float cy, const Disc& d) {
            if (!d.present) return;
            const float dx = (u - cx) * kTile, dy = (v - cy) * kTile;
            const float r = std::sqrt(dx * dx + dy * dy);
            if (r > d.R + 2) return;
            const float disc = 1 - smooth(d.R - 1.5f, d.R + 1.5f, r);
            const float rim = smooth(d.R * 0.7f, d.R, r) * 0.6f;
            const float fill = d.fill * (1 + rim);
            c += d.color * (disc * fill);
        });
        const float wave = fbmA(u, v, 4, 70, 2, seed + 6);
        c = c * (0.88f + 0.12f * wave);
        img.px[i] = c;
        (void)x;
        (void)y;
    });
    // Soft bloom: add a blurred copy of the bright parts.
    Field lum(kTile);
    for (std::size_t i = 0; i < img.px.size(); ++i) lum.v[i] = std::max(0.0f, luma(img.px[i]) - 0.5f);
    const Field b = blur(lum, 10);
    for (std::size_t i = 0; i < img.px.size(); ++i) {
        Col& c = img.px[i];
        c += Col{1.0f, 0.85f, 0.7f} * (b.v[i] * 0.8f);
        // Soft shoulder instead of a hard clip.
        c = {1 - std::exp(-c.r * 1.3f), 1 - std::exp(-c.g * 1.3f), 1 - std::exp(-c.b * 1.3f)};
    }
    return img;
}

}  // namespace

Image renderSceneA(int index) {
    switch (index) {
        case 0: return riverStones();
        case 1: return pebbleBeach();
        case 2: return sandCaustics();
        case 3: return autumnLeaves();
        case 4: return poolTiles();
        case 5: return mossRoots();
        case 6: return koiPond();
        case 7: return lilyPads();
        case 8: return sunsetReflection();
        default: return cityLights();
    }
}

}  // namespace imagegen
