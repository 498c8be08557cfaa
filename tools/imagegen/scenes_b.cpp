// Backgrounds: cherry blossom petals, pine needles and cones, sea glass on wet
// sand, a rock pool, slate and ferns.
#include "scene_util.h"

namespace imagegen {

namespace {

// ---------------------------------------------------------------------------
// Cherry blossom petals adrift on dark water, gathered into drifts, with a few
// whole flowers and the blurred reflection of the tree.

// A petal in its own frame: base at lx = -L/2, notched tip at +L/2.
// Returns 0 outside, else the half-width fraction |ly| / halfwidth in [0, 1).
struct PetalSample {
    bool inside = false;
    float t = 0;       // 0 at the base, 1 at the tip
    float across = 0;  // 0 on the midline, 1 at the edge
};
PetalSample petal(float lx, float ly, float L, float W) {
    PetalSample p;
    const float t = lx / L + 0.5f;
    if (t <= 0 || t >= 1) return p;
    const float hw = 1.3f * W * std::pow(t, 0.6f) * std::sqrt(std::max(0.0f, 1 - std::pow(t, 6.0f)));
    const float a = std::fabs(ly);
    if (a >= hw) return p;
    // The notch at the tip.
    const float notchHalf = 0.24f * W;
    if (a < notchHalf && t > 1 - 0.09f * (1 - a / notchHalf)) return p;
    p.inside = true;
    p.t = t;
    p.across = a / hw;
    return p;
}

Image cherryPetals() {
    Surface s;
    const std::uint32_t seed = 1970;
    s.emit.assign(s.albedo.size(), Col{});
    const Field drifts = makeField(256, [&](float u, float v) { return fbm(u, v, 3, 3, seed + 5); });
    struct Petal {
        bool present;
        float L, W, z, curve;
        Frame frame;
        std::uint32_t id;
    };
    const ScatterGrid<Petal> petals(30, 3, seed, [&](float cx, float cy, std::uint32_t h) {
        Petal p;
        p.present = unit(hash(h, 1)) <= 0.08f + 0.75f * smooth(-0.15f, 0.45f, drifts.sampleUV(cx, cy));
        p.L = 24 + 12 * unit(hash(h, 2));
        p.frame = Frame(unit(hash(h, 3)) * 2 * kPi);
        p.curve = (unit(hash(h, 4)) - 0.5f) * 0.5f;
        p.W = p.L * (0.27f + 0.07f * unit(hash(h, 5)));
        p.z = 1 + 5 * unit(hash(h, 6));
        p.id = h;
        return p;
    });
    eachPixel(kTile, [&](int x, int y, float u, float v, std::size_t i) {
        float top = -1;
        PetalSample hit;
        std::uint32_t hitId = 0;
        float hitTheta = 0;  // angle around a flower's centre, for the stamens
        bool flowerCentre = false;
        // Loose petals: dense in the drifts, scattered elsewhere.
        petals.forEach(u, v, [&](float cx, float cy, const Petal& pt) {
            if (!pt.present) return;
            const float dx = (u - cx) * kTile, dy = (v - cy) * kTile;
            if (dx * dx + dy * dy > 0.3f * pt.L * pt.L) return;
            float lx, ly;
            pt.frame.apply(dx, dy, lx, ly);
            ly -= pt.curve * lx * lx / pt.L;  // a slight curve
            const PetalSample p = petal(lx, ly, pt.L, pt.W);
            if (!p.inside) return;
            const float z = pt.z + 0.9f * p.across * p.across + 0.6f * p.t;
            if (z <= top) return;
            top = z;
            hit = p;
            hitId = pt.id;
            flowerCentre = false;
        });
        // Whole flowers: five petals round a centre of stamens.
        scatter(u, v, 7, 1, seed + 40, [&](float cx, float cy, std::uint32_t h) {
            if (unit(hash(h, 1)) < 0.35f) return;
            const float L = 30 + 8 * unit(hash(h, 2));
            const float dx = (u - cx) * kTile, dy = (v - cy) * kTile;
            const float r = std::sqrt(dx * dx + dy * dy);
            if (r > L * 1.05f) return;
            const float spin = unit(hash(h, 3)) * 2 * kPi;
            const float th = std::atan2(dy, dx) - spin;
            const float sector = 2 * kPi / 5;
            const float k = std::round(th / sector);
            const float local = th - k * sector;
            const float lx = r * std::cos(local) - L * 0.5f + 2, ly = r * std::sin(local);
            const float zf = 9;
            if (r < L * 0.24f) {
                if (zf + 2 <= top) return;
                top = zf + 2;
                hitId = h;
                hitTheta = std::atan2(dy, dx);
                hit.inside = true;
                hit.t = r / (L * 0.24f);
                hit.across = 0;
                flowerCentre = true;
                return;
            }
            const PetalSample p = petal(lx, ly, L, L * 0.42f);
            if (!p.inside) return;
            const float z = zf + 2.2f * p.across * p.across + 2.5f * p.t;
            if (z <= top) return;
            top = z;
            hit = p;
            hitId = hash(h, static_cast<std::uint32_t>(k + 16));  // k >= -8
            flowerCentre = false;
        });
        if (top < 0) {
            s.height.v[i] = 0.4f * fbmA(u, v, 4, 9, 2, seed + 1);
            s.albedo[i] = hex(0x060a0e);
            // The tree overhead, blurred by the water: pale pink clouds on
            // dark water, and the sky between the branches.
            const float canopy = smooth(0.0f, 0.5f, fbm(u, v, 3, 5, seed + 7));
            const float gaps = smooth(0.15f, 0.55f, fbm(u, v, 6, 4, seed + 8));
            Col c = pondWater(u, v, seed + 2, hex(0x08121c), hex(0x7890a8)) * 0.6f;
            c = mix(c, hex(0x8a6272), 0.6f * canopy * (1 - gaps));
            c = mix(c, hex(0x9eb4c8), 0.45f * gaps * (1 - canopy));
            s.emit[i] = c;
            s.gloss.v[i] = 0.9f;
            return;
        }
        Rng rng(hitId);
        if (flowerCentre) {
            // Green-yellow heart, a ring of stamens with yellow anthers.
            const float q = hit.t;
            Col c = mix(hex(0xb8c25a), hex(0xe0789a), smooth(0.2f, 0.6f, q));
            const float ray = std::pow(std::fabs(std::cos(hitTheta * 11)), 8.0f);
            c = mix(c, hex(0xf6d0dc), ray * smooth(0.3f, 0.7f, q));
            const bool anther = q > 0.72f && q < 1.0f && std::fabs(std::sin(hitTheta * 11)) < 0.35f;
            if (anther) c = hex(0xf2c646);
            s.albedo[i] = c * (0.9f + 0.2f * grain(x, y, seed));
            s.height.v[i] = top + (anther ? 1.5f : 0.0f) + 0.6f * (1 - q);
            s.gloss.v[i] = 0.1f;
            return;
        }
        // Petals: white to pale pink, deeper pink at the base, fine veins.
        const float pinkness = rng.next();
        const Col pale = mix(hex(0xfff4f6), hex(0xfbd6e0), pinkness);
        const Col base = mix(hex(0xf4a8be), hex(0xe47896), pinkness);
        Col c = mix(base, pale, smooth(0.0f, 0.5f, hit.t));
        const float vein =
            std::pow(std::fabs(std::sin(hit.across * (6 + 3 * hit.t) * kPi)), 12.0f) * smooth(0.1f, 0.5f, hit.t);
        c = c * (1 - 0.07f * vein);
        // Older petals brown at the edge; wet patches look darker and clearer.
        const float bruise = smooth(0.4f, 0.9f, fbm(u, v, 24, 2, hitId & 0xffff)) * (rng.next() < 0.3f ? 1.0f : 0.0f);
        c = mix(c, hex(0xc8a090), bruise * 0.5f * hit.across);
        c = c * (0.93f + 0.07f * (1 - hit.across));
        s.albedo[i] = c;
        s.height.v[i] = top;
        s.gloss.v[i] = 0.18f;
        (void)y;
    });
    Lighting l;
    l.dir = {-0.5f, -0.55f, 0.7f};
    l.sky = rgb(0.40f, 0.40f, 0.46f);
    l.sun = rgb(1.0f, 0.95f, 0.92f);
    l.shininess = 40;
    l.aoRadius = 4;
    l.shadowSoftness = 0.5f;
    l.shadowReach = 24;
    Image img = shade(s, l);
    grade(img, rgb(1.0f, 0.98f, 1.0f), 1.0f, 1.0f);
    return img;
}

// ---------------------------------------------------------------------------
// A forest floor: layers of fallen pine needles in pairs, a few cones and
// twigs, moss in the bare patches, dappled light through the canopy.

// A pine cone seen from above, in its own frame: base at lx = -L/2, tip at
// +L/2. Height above the cone's resting level, or a negative number outside.
struct ConeSample {
    float height = -1;
    float shade = 0;  // 0 deep between the scales, 1 on a scale's exposed end
    float umbo = 0;   // 1 on the boss in the middle of a scale
    float tone = 0;   // per-scale variation
};
ConeSample pineCone(float lx, float ly, float L, float W, std::uint32_t id) {
    ConeSample c;
    const float t = lx / L + 0.5f;
    if (t < -0.1f || t > 1.05f) return c;
    auto halfWidth = [&](float tt) {
        return 0.5f * W * std::pow(std::sin(kPi * std::pow(clamp01(tt), 0.85f)), 0.55f) * (1.0f - 0.3f * tt);
    };
    if (t < 0.03f && std::fabs(ly) < 4) {  // the stalk
        c.height = W * 0.25f;
        c.shade = 0.3f;
        return c;
    }
    // Scales in a golden-angle spiral round the cone's axis; the nearest to
    // the eye covers the others.
    constexpr int kScales = 110;
    const float scaleLen = 1.25f * L / std::sqrt(static_cast<float>(kScales));
    const int k0 = std::max(0, static_cast<int>((t - 1.4f * scaleLen / L) * kScales));
    const int k1 = std::min(kScales - 1, static_cast<int>((t + 1.4f * scaleLen / L) * kScales) + 1);
    float best = -1e9f;
    for (int k = k0; k <= k1; ++k) {
        const float tk = (k + 0.5f) / kScales;
        const float th = k * 2.39996f + unit(hash(id, 9)) * 6.28f;
        const float ct = std::cos(th);
        if (ct < -0.1f) continue;
        const float hw = halfWidth(tk);
        const float cx = (tk - 0.5f) * L, cy = hw * std::sin(th);
        const float size = scaleLen * (0.55f + 0.6f * std::sin(kPi * tk));
        const float sx = (lx - cx) / (size * 0.8f);  // towards the tip
        const float sy = (ly - cy) / (size * (0.35f + 0.65f * std::max(0.0f, ct)));
        const float d = std::pow(std::pow(std::fabs(sx), 1.6f) + std::pow(std::fabs(sy), 1.6f), 1 / 1.6f);
        if (d >= 1) continue;
        // Each scale lifts towards its outer end, which catches the light.
        const float z = hw * 0.9f * ct + 4.0f * (1 - d) + 2.5f * clampf(-sx, -1, 1);
        if (z <= best) continue;
        best = z;
        c.height = z;
        c.shade = smooth(0.0f, 0.5f, 1 - d) * (0.6f + 0.4f * clamp01(0.5f - 0.5f * sx));
        c.umbo = smooth(0.25f, 0.1f, std::sqrt((sx + 0.25f) * (sx + 0.25f) + sy * sy));
        c.tone = unit(hash(id, k));
    }
    return c;
}

Image pineFloor() {
    Surface s;
    const std::uint32_t seed = 1980;
    s.sunGain = Field(kTile);
    const Field density = makeField(256, [&](float u, float v) { return fbm(u, v, 4, 3, seed + 3); });
    const Field dapple =
        blur(makeField(kTile, [&](float u, float v) { return smooth(0.05f, 0.3f, fbm(u, v, 5, 4, seed + 9)); }), 6);
    struct Needle {
        bool present;
        float reach2, z, ax, ay, bx[2], by[2];
        std::uint32_t id;
    };
    const ScatterGrid<Needle> needles(20, 9, seed, [&](float cx, float cy, std::uint32_t hn) {
        Needle n{};
        n.present = unit(hash(hn, 1)) <= 0.25f + 0.75f * smooth(-0.35f, 0.25f, density.sampleUV(cx, cy));
        const float L = 60 + 34 * unit(hash(hn, 2));
        n.reach2 = (0.5f * L + 6) * (0.5f * L + 6);
        const float ang = unit(hash(hn, 3)) * 2 * kPi;
        n.ax = -0.5f * L * std::cos(ang);
        n.ay = -0.5f * L * std::sin(ang);
        n.z = 2 + 9 * unit(hash(hn, 4));
        for (int k = 0; k < 2; ++k) {
            const float spread = (k == 0 ? 1 : -1) * (0.05f + 0.12f * unit(hash(hn, 5)));
            n.bx[k] = n.ax + L * std::cos(ang + spread);
            n.by[k] = n.ay + L * std::sin(ang + spread);
        }
        n.id = hn;
        return n;
    });
    static const std::uint32_t needleCols[] = {0xa65a2a, 0xb86c34, 0x8c4a22, 0xc4894e,
                                               0x74401e, 0xb07840, 0x96602e, 0xc8945a};
    eachPixel(kTile, [&](int x, int y, float u, float v, std::size_t i) {
        // Soil and moss below everything.
        const float moss = smooth(0.1f, 0.45f, -density.sampleUV(u, v) + 0.25f * fbm(u, v, 16, 2, seed + 4));
        const CellHit tuft = worley(u, v, 140, seed + 5, 0.9f);
        float h = 1.2f * fbm(u, v, 12, 3, seed + 6) + moss * 3.0f * (1 - tuft.f1 * tuft.f1);
        Col c = mix(hex(0x3a2a1c), hex(0x5a4330), grain(x, y, seed));
        c = mix(c, mix(hex(0x3c5420), hex(0x76903a), (1 - tuft.f1) * (0.6f + 0.4f * grain(x, y, seed + 1))), moss);
        float gloss = 0.03f;
        // Needles, in pairs from a common sheath.
        float top = h;
        std::uint32_t needleId = 0;
        float along = 0;
        needles.forEach(u, v, [&](float cx, float cy, const Needle& n) {
            if (!n.present) return;
            const float dx = (u - cx) * kTile, dy = (v - cy) * kTile;
            if (dx * dx + dy * dy > n.reach2) return;
            for (int k = 0; k < 2; ++k) {
                const SegmentHit sh = segment(dx, dy, n.ax, n.ay, n.bx[k], n.by[k]);
                const float r = 1.7f - 0.6f * sh.t * sh.t;
                if (sh.d >= r) continue;
                const float ht = n.z + 1.6f * std::sqrt(1 - (sh.d / r) * (sh.d / r));
                if (ht <= top) continue;
                top = ht;
                needleId = n.id;
                along = sh.t;
            }
        });
        if (needleId != 0) {
            Col nc = hex(needleCols[hash(needleId, 6) % 8]) * (0.85f + 0.3f * unit(hash(needleId, 7)));
            nc = nc * (0.8f + 0.2f * smooth(0.0f, 0.15f, along)) * (1 - 0.25f * smooth(0.85f, 1.0f, along));
            if (along < 0.05f) nc = hex(0x3a2616);  // the sheath
            c = nc;
            h = top;
            gloss = 0.3f;
        }
        // Twigs.
        scatter(u, v, 5, 1, seed + 60, [&](float cx, float cy, std::uint32_t ht) {
            if (unit(hash(ht, 1)) < 0.4f) return;
            const float L = 150 + 80 * unit(hash(ht, 2));
            const float dx = (u - cx) * kTile, dy = (v - cy) * kTile;
            if (dx * dx + dy * dy > (0.5f * L + 8) * (0.5f * L + 8)) return;
            const float ang = unit(hash(ht, 3)) * 2 * kPi;
            const float ex = 0.5f * L * std::cos(ang), ey = 0.5f * L * std::sin(ang);
            const float bend = (unit(hash(ht, 4)) - 0.5f) * 14;
            const SegmentHit sh = segment(dx, dy, -ex, -ey, ex, ey);
            const float off = bend * std::sin(kPi * sh.t);
            const SegmentHit sb = segment(dx + off * std::sin(ang), dy - off * std::cos(ang), -ex, -ey, ex, ey);
            const float r = 4.5f - 2.0f * sb.t;
            if (sb.d >= r) return;
            const float th = 12 + r * std::sqrt(1 - (sb.d / r) * (sb.d / r));
            if (th <= h) return;
            h = th;
            const float bark = gnoise(sb.t * 60, sb.d * 0.6f, 60, ht & 0xffff);
            c = mix(hex(0x4a3424), hex(0x7a5c44), 0.5f + 0.6f * bark);
            gloss = 0.1f;
        });
        // Cones.
        scatter(u, v, 4, 1, seed + 80, [&](float cx, float cy, std::uint32_t hc) {
            if (unit(hash(hc, 1)) < 0.4f) return;
            const float L = 150 + 45 * unit(hash(hc, 2));
            const float dx = (u - cx) * kTile, dy = (v - cy) * kTile;
            if (dx * dx + dy * dy > 0.36f * L * L) return;
            const Frame f(unit(hash(hc, 3)) * 2 * kPi);
            float lx, ly;
            f.apply(dx, dy, lx, ly);
            const ConeSample cs = pineCone(lx, ly, L, L * (0.55f + 0.08f * unit(hash(hc, 4))), hc);
            if (cs.height < 0) return;
            const float ch = 8 + cs.height;
            if (ch <= h) return;
            h = ch;
            Col cc = mix(hex(0x2a180e), mix(hex(0x8a5530), hex(0xb07a48), cs.tone), cs.shade);
            cc = mix(cc, hex(0x5e5046), cs.umbo * 0.7f);
            cc = cc * (0.9f + 0.2f * grain(x, y, hc));
            c = cc;
            gloss = 0.15f * cs.shade;
        });
        s.height.v[i] = h;
        s.albedo[i] = c;
        s.gloss.v[i] = gloss;
        s.sunGain.v[i] = 0.4f + 1.1f * dapple.v[i];
    });
    Lighting l;
    l.dir = {-0.6f, -0.45f, 0.6f};
    l.sky = rgb(0.40f, 0.42f, 0.40f);
    l.sun = rgb(1.2f, 1.06f, 0.86f);
    l.shininess = 30;
    l.aoRadius = 6;
    l.aoStrength = 1.2f;
    l.shadowSoftness = 0.35f;
    Image img = shade(s, l);
    grade(img, rgb(1.05f, 1.0f, 0.95f), 1.0f, 1.05f);
    smoothEdges(img);
    return img;
}

// ---------------------------------------------------------------------------
// Sea glass on wet sand: frosted pieces of green, brown, white, aqua and a
// rare cobalt, each throwing a little coloured light into its shadow; small
// pebbles and broken shells; a film of water mirroring the sky.
Image seaGlass() {
    Surface s;
    const std::uint32_t seed = 1990;
    s.emit.assign(s.albedo.size(), Col{});
    struct Piece {
        bool present;
        float R, aspect, z, k1, k2, p1, p2, ex;
        Frame frame;
        Col color;
        float clear;  // 1 for colourless glass the sand shows through
    };
    static const std::uint32_t glassCols[] = {0x3f8f5a, 0x5fae7a, 0x7a4a1e, 0x9a6a2a, 0xd8e6e0, 0xc8ddd8,
                                              0x6cc0b8, 0x8fd0c0, 0x2c4fa0, 0xb89a4a, 0x8a9f4a, 0xd8e6e0};
    const ScatterGrid<Piece> pieces(7, 2, seed, [&](float, float, std::uint32_t h) {
        Piece p;
        Rng rng(h);
        p.present = rng.next() < 0.75f;
        p.R = 14 + 28 * std::pow(rng.next(), 1.5f);
        p.aspect = rng.range(0.5f, 0.95f);
        p.z = rng.range(0, 3);
        p.k1 = rng.range(0.04f, 0.12f);
        p.k2 = rng.range(0.02f, 0.06f);
        p.p1 = rng.range(0, 6.28f);
        p.p2 = rng.range(0, 6.28f);
        p.ex = rng.range(2.0f, 3.2f);
        p.frame = Frame(rng.range(0, kPi));
        const int ci = rng.below(12);
        p.color = hex(glassCols[ci]);
        p.clear = (ci == 4 || ci == 5 || ci == 11) ? 1.0f : 0.0f;
        return p;
    });
    // Where the glass lies: its colour and thickness, for the coloured light
    // it throws onto the sand.
    Field glassThick(kTile);
    std::vector<Col> glassCol(s.albedo.size());
    eachPixel(kTile, [&](int x, int y, float u, float v, std::size_t i) {
        // Wet sand: fine grain, faint ripple marks, darker where the water lies.
        const SandSample sd = sand(u, v, seed + 1, 2.5f, 11);
        const float wet = smooth(-0.1f, 0.5f, fbm(u, v, 3, 4, seed + 2));
        float h = sd.height * 0.6f + 0.5f * gnoise(u * 300, v * 300, 300, seed + 3);
        Col c = mix(sd.color * 0.85f, sd.color * 0.66f, wet) * (0.86f + 0.28f * grain(x, y, seed));
        c = saturate(c, 0.85f);
        float gloss = 0.25f + 0.5f * wet;
        // Small pebbles and broken shells.
        const Col sandCol = c;
        const CellHit pb = worley(u, v, 44, seed + 4, 0.9f);
        float pq;
        {
            const Frame f(unit(hash(pb.id, 5)) * kPi);
            float lx, ly;
            f.apply(pb.dx, pb.dy, lx, ly);
            ly /= 0.6f + 0.4f * unit(hash(pb.id, 6));
            const float ang = std::atan2(ly, lx);
            pq = std::sqrt(lx * lx + ly * ly) * (1 + 0.04f * std::sin(5 * ang + unit(hash(pb.id, 7)) * 6.28f));
        }
        const float pr = 0.15f + 0.27f * unit(hash(pb.id, 1));
        if (unit(hash(pb.id, 2)) < 0.4f && pq < pr) {
            const float q = pq / pr;
            h = std::max(h, 1.0f + 10 * pr * std::sqrt(1 - q * q));
            static const std::uint32_t pebbleCols[] = {0x5a5550, 0x8a8070, 0x3e3a38, 0xa89c8a, 0x6e5a48, 0xcfc6b8};
            c = hex(pebbleCols[hash(pb.id, 3) % 6]) * (0.7f + 0.3f * unit(hash(pb.id, 4)));
            c = c * (0.9f + 0.2f * fbm(u, v, 64, 2, pb.id & 0xfff));
            gloss = 0.5f;
        }
        const CellHit sh = worley(u, v, 9, seed + 5, 0.8f);
        if (unit(hash(sh.id, 1)) < 0.45f) {
            // A broken shell: a ribbed fan with a jagged edge, or a shard of
            // blue-black mussel.
            const Frame f(unit(hash(sh.id, 2)) * 6.28f);
            float lx, ly;
            f.apply(sh.dx * kTile / 9, sh.dy * kTile / 9, lx, ly);
            const float r = std::sqrt(lx * lx + ly * ly), th = std::atan2(ly, lx);
            const float R = 24 + 22 * unit(hash(sh.id, 3));
            const float cut =
                0.25f * R + 0.2f * R * std::sin(th * 4 + unit(hash(sh.id, 4)) * 6) + 0.08f * R * std::sin(th * 13);
            const bool mussel = unit(hash(sh.id, 6)) < 0.35f;
            const float spread = 0.7f + 0.6f * unit(hash(sh.id, 7));
            if (r < R && std::fabs(th) < spread && lx > cut) {
                const float ribs = mussel ? 0.0f : 0.5f + 0.5f * std::cos(th * (12 + 10 * unit(hash(sh.id, 8))));
                const float growth = 0.5f + 0.5f * std::sin(r * 0.9f);
                h = std::max(h, 2 + 2.5f * (1 - r / R) + 0.8f * ribs);
                if (mussel) {
                    c = mix(hex(0x1c2230), hex(0x4a5a78), 0.3f * growth + 0.4f * smooth(0.7f, 1.0f, r / R));
                    gloss = 0.8f;
                } else {
                    c = mix(hex(0xeee4d8), hex(0xd8a890), unit(hash(sh.id, 5))) *
                        (0.82f + 0.12f * ribs + 0.06f * growth);
                    gloss = 0.3f;
                }
            }
        }
        // Holes left by burrowers and escaping air.
        const CellHit hole = worley(u, v, 60, seed + 6, 0.9f);
        if (unit(hash(hole.id, 1)) < 0.25f && hole.f1 < 0.07f) {
            h -= 2.5f * (1 - hole.f1 / 0.07f);
            c = c * 0.6f;
        }
        // Sea glass.
        float top = -1;
        const Piece* hit = nullptr;
        float hitD = 1;
        pieces.forEach(u, v, [&](float cx, float cy, const Piece& p) {
            if (!p.present) return;
            const float dx = (u - cx) * kTile, dy = (v - cy) * kTile;
            if (dx * dx + dy * dy > p.R * p.R * 1.3f) return;
            float lx, ly;
            p.frame.apply(dx, dy, lx, ly);
            const float qx = lx / p.R, qy = ly / (p.R * p.aspect);
            const float ang = std::atan2(qy, qx);
            float d = std::pow(std::pow(std::fabs(qx), p.ex) + std::pow(std::fabs(qy), p.ex), 1 / p.ex);
            d *= 1 + p.k1 * std::sin(2 * ang + p.p1) + p.k2 * std::sin(5 * ang + p.p2);
            if (d >= 1) return;
            const float ht = 3 + p.z + p.R * p.aspect * 0.3f * std::pow(1 - d * d, 0.35f);
            if (ht <= top) return;
            top = ht;
            hit = &p;
            hitD = d;
        });
        if (hit) {
            const float rim = smooth(0.5f, 1.0f, hitD);
            const float frost = 0.5f + 0.5f * gnoise(u * 420, v * 420, 420, seed + 7);
            const float cloud = 0.5f + 0.5f * fbm(u, v, 40, 3, seed + 9);
            Col gc = mix(hit->color * 0.75f, mix(hit->color, hex(0xf4f8f4), 0.5f), rim);
            gc = mix(gc, mix(hit->color, hex(0xeef4f0), 0.35f), 0.5f * cloud * (1 - rim));  // milky inside
            gc = mix(gc, sandCol * 1.3f, 0.35f * hit->clear * (1 - rim));  // sand seen through clear glass
            c = mix(gc, hex(0xf0f4f2), 0.12f * frost) * (0.95f + 0.08f * frost);
            h = top + 0.35f * frost;
            gloss = 0.45f + 0.25f * (1 - rim);
            glassThick.v[i] = 1 - hitD * hitD;
            glassCol[i] = hit->color;
        }
        s.height.v[i] = h;
        s.albedo[i] = c;
        s.gloss.v[i] = gloss;
        // The water film mirrors a pale sky.
        s.emit[i] =
            mix(hex(0x6a7e96), hex(0xb8c8d4), 0.5f + 0.5f * fbmA(u, v, 2, 6, 3, seed + 8)) * (0.22f * wet * wet);
        (void)y;
    });
    // Coloured light through the glass lands beyond it, away from the sun.
    Lighting l;
    l.dir = {-0.5f, -0.55f, 0.55f};
    {
        const float len = std::sqrt(l.dir.x * l.dir.x + l.dir.y * l.dir.y);
        const float ox = -l.dir.x / len * 18, oy = -l.dir.y / len * 18;
        const Field thick = blur(glassThick, 5);
        for (int y = 0; y < kTile; ++y)
            for (int x = 0; x < kTile; ++x) {
                const std::size_t i = s.idx(x, y);
                if (glassThick.v[i] > 0) continue;
                const int sx = wrapi(static_cast<int>(x - ox), kTile), sy = wrapi(static_cast<int>(y - oy), kTile);
                const float t = thick.v[s.idx(sx, sy)];
                if (t <= 0.01f) continue;
                // Colour of the nearest glass pixel behind (search a few pixels).
                Col gc{};
                for (int r = 0; r < 12 && luma(gc) == 0; r += 3)
                    for (int k = 0; k < 4 && luma(gc) == 0; ++k) {
                        const int qx = wrapi(sx + (k == 0 ? r : k == 1 ? -r : 0), kTile);
                        const int qy = wrapi(sy + (k == 2 ? r : k == 3 ? -r : 0), kTile);
                        gc = glassCol[s.idx(qx, qy)];
                    }
                s.emit[i] += saturate(gc, 1.6f) * (0.35f * t);
            }
    }
    l.sky = rgb(0.38f, 0.42f, 0.48f);
    l.sun = rgb(1.05f, 1.0f, 0.92f);
    l.shininess = 70;
    l.aoRadius = 5;
    l.shadowSoftness = 0.3f;
    l.shadowReach = 40;
    Image img = shade(s, l);
    grade(img, rgb(1.0f, 1.0f, 1.0f), 1.0f, 1.05f);
    smoothEdges(img);
    return img;
}

// ---------------------------------------------------------------------------
// A rock pool: gravel and sand between barnacled rocks, sea lettuce, shells,
// beadlet anemones and a starfish, under clear shallow water.
Image rockPool() {
    Surface s;
    const std::uint32_t seed = 2000;
    s.sunGain = Field(kTile);
    // Slow fields, painted once at a lower resolution.
    const Field rockField = makeField(256, [&](float u, float v) { return fbm(u, v, 2, 5, seed + 1); });
    const Field weedField = makeField(512, [&](float u, float v) { return fbm(u, v, 4, 5, seed + 10); });
    struct Thing {
        int kind;  // 0 scallop, 1 periwinkle, 2 anemone, 3 starfish, 4 cowrie
        float cx, cy, R, z;
        Frame frame;
        std::uint32_t id;
    };
    // A fixed cast, placed at random on the floor (anemones also on rock).
    std::vector<Thing> things;
    {
        Rng rng(seed + 2);
        const int counts[] = {6, 8, 5, 2, 4};
        const float sizes[] = {40, 21, 28, 105, 24};
        for (int kind = 4; kind >= 0; --kind)
            for (int n = 0; n < counts[kind]; ++n) {
                Thing t;
                t.kind = kind;
                for (int attempt = 0; attempt < 40; ++attempt) {
                    t.cx = rng.next();
                    t.cy = kind == 3 ? rng.range(0.45f, 1.0f) : rng.next();  // starfish where a wide screen shows them
                    if (kind == 2 ? rockField.sampleUV(t.cx, t.cy) < 0.3f : rockField.sampleUV(t.cx, t.cy) < 0.05f)
                        break;
                }
                t.R = sizes[kind] * rng.range(0.8f, 1.2f);
                t.z = rng.range(0, 3);
                t.frame = Frame(rng.range(0, 2 * kPi));
                t.id = hash(seed, kind, n);
                things.push_back(t);
            }
    }
    const Field floorLevel = blur(
        makeField(kTile, [&](float u, float v) { return 70 * smooth(0.12f, 0.3f, rockField.sampleUV(u, v)); }), 12);
    eachPixel(kTile, [&](int x, int y, float u, float v, std::size_t i) {
        // Pool floor: pale sand with scattered gravel.
        const SandSample sd = sand(u, v, seed + 3, 3, 12);
        float h = sd.height;
        Col c = mix(sd.color, hex(0xe8d4b0), 0.35f) * (0.85f + 0.3f * grain(x, y, seed));
        float gloss = 0.05f;
        const CellHit gv = worley(u, v, 56, seed + 4, 0.9f);
        const float gr = 0.2f + 0.3f * unit(hash(gv.id, 4));
        const float rf = rockField.sampleUV(u, v);
        if (unit(hash(gv.id, 1)) < 0.2f + 0.3f * smooth(0.0f, 0.15f, rf) && gv.f1 < gr) {
            const float q = gv.f1 / gr;
            h = std::max(h, 1.5f + 7 * gr * std::sqrt(1 - q * q));
            static const std::uint32_t gravel[] = {0x6a625a, 0x8e8476, 0x4a4644, 0xb0a592,
                                                   0x7a6656, 0x58606a, 0xc8bfae};
            c = hex(gravel[hash(gv.id, 2) % 7]) * (0.8f + 0.35f * unit(hash(gv.id, 3)));
            gloss = 0.2f;
        }
        // Rocks rise where the slow noise is high, rough and crusted.
        const float rock = smooth(0.12f, 0.3f, rf);
        if (rock > 0) {
            const float rough = fbm(u, v, 16, 5, seed + 5);
            const float crack = std::pow(ridged(u, v, 6, 4, seed + 15), 6.0f);
            const float rh = 70 * rock + 7 * rough + 25 * rf - 9 * crack;
            if (rh > h) {
                h = rh;
                const float mottle = 0.5f + 0.5f * fbm(u, v, 10, 4, seed + 6);
                c = mix(hex(0x6e655a), hex(0xb0a696), mottle) * (0.85f + 0.25f * grain(x, y, seed + 1));
                c = c * (1 - 0.5f * crack);
                const float crust = smooth(0.05f, 0.3f, fbm(u, v, 6, 5, seed + 7));
                c = mix(c, mix(hex(0xc86a82), hex(0xf0b0bc), mottle), 0.85f * crust);  // coralline crust
                gloss = 0.15f;
                // Barnacles and mussels in colonies, limpets alone.
                const float colony = smooth(0.1f, 0.35f, fbm(u, v, 5, 3, seed + 13)) * (1 - crust);
                const float mussels = smooth(0.0f, 0.25f, fbm(u, v, 4, 3, seed + 16)) * rock;
                const CellHit b = worley(u, v, 80, seed + 8, 0.9f);
                const float br = 0.3f + 0.15f * unit(hash(b.id, 1));
                const CellHit m = worley(u, v, 28, seed + 17, 0.9f);
                float mlx, mly;
                Frame(unit(hash(m.id, 1)) * kPi).apply(m.dx, m.dy, mlx, mly);
                const float mq = std::sqrt(mlx * mlx / 0.36f + mly * mly / 0.08f);
                if (unit(hash(m.id, 2)) < mussels && mq < 1) {
                    const float growth = 0.5f + 0.5f * std::sin(mq * 22);
                    h += 9 * std::sqrt(1 - mq * mq);
                    c = mix(hex(0x141a26), hex(0x3a4a66), 0.35f * growth + 0.5f * smooth(0.75f, 1.0f, mq));
                    if (mlx > 0.45f) c = mix(c, hex(0x8a7a6a), 0.5f);  // the worn umbo
                    gloss = 0.9f;
                } else if (unit(hash(b.id, 2)) < colony && b.f1 < br) {
                    const float q = b.f1 / br;
                    const float plates = 0.5f + 0.5f * std::cos(std::atan2(b.dy, b.dx) * 6);
                    h += 6 * smooth(1.0f, 0.45f, q) - 4 * smooth(0.3f, 0.0f, q) + 0.8f * plates * q;
                    c = q < 0.28f ? hex(0x302c28) : mix(hex(0xece6da), hex(0xa09886), q * 0.8f - 0.2f * plates);
                }
                const CellHit lp = worley(u, v, 22, seed + 9, 0.8f);
                if (unit(hash(lp.id, 1)) < 0.35f * rock && lp.f1 < 0.33f) {
                    const float q = lp.f1 / 0.33f;
                    const float rib = 0.5f + 0.5f * std::cos(std::atan2(lp.dy, lp.dx) * 16);
                    h += 12 * (1 - q) + 0.6f * rib * q;
                    c = mix(hex(0xc0b8a8), hex(0x6a6054), 0.3f * rib + 0.4f * smooth(0.6f, 1.0f, q));
                    if (q < 0.1f) c = hex(0xe0d8c8);
                }
            }
        }
        // Sea lettuce: thin translucent green sheets with ruffled edges.
        const float weed = weedField.sampleUV(u, v) + 0.2f * fbm(u, v, 20, 2, seed + 11);
        if (weed > 0.36f) {
            const float ruffle = fbm(u, v, 24, 3, seed + 14);
            const float edge = smooth(0.36f, 0.44f, weed);
            h = std::max(h * 0.3f, floorLevel.v[i]) + 3 + 3 * edge + 3 * ruffle;
            const Col sheet =
                mix(hex(0x3e7a2c), hex(0x8ab852), 0.5f + 0.5f * ruffle) * (0.92f + 0.16f * grain(x, y, seed + 2));
            c = mix(c, sheet, 0.5f + 0.4f * edge);
            gloss = 0.3f;
        }
        // Shells, anemones, the starfish.
        float top = h;
        const float ground = std::max(3.0f, floorLevel.v[i]);
        for (const Thing& t : things) {
            const float dx = wrapd(u - t.cx) * kTile, dy = wrapd(v - t.cy) * kTile;
            if (dx * dx + dy * dy > t.R * t.R * 1.2f) continue;
            float lx, ly;
            t.frame.apply(dx, dy, lx, ly);
            const float base = ground + t.z;
            const float r = std::sqrt(lx * lx + ly * ly), th = std::atan2(ly, lx);
            Rng rng(t.id);
            if (t.kind == 0) {                      // scallop: a ribbed fan with two ears at the hinge
                const float hx = lx + t.R * 0.55f;  // hinge at the left
                const float hr = std::sqrt(hx * hx + ly * ly), hth = std::atan2(ly, hx);
                const bool fan = hr < t.R * (1.0f - 0.1f * hth * hth) && std::fabs(hth) < 1.05f;
                const bool ears = hx > -2 && hx < t.R * 0.22f && std::fabs(ly) < t.R * 0.38f;
                if (!fan && !ears) continue;
                const float rib = 0.5f + 0.5f * std::cos(hth * 19);
                const float ht = base + (fan ? 7 * std::sqrt(std::max(0.0f, 1 - hr / t.R)) + 1.3f * rib : 2.5f);
                if (ht <= top) continue;
                top = ht;
                const Col a = rng.next() < 0.5f ? hex(0xe8904a) : hex(0xd86a70), b = hex(0xf2e2c8);
                const float ring = 0.5f + 0.5f * std::sin(hr * 0.7f);
                c = mix(a, b, 0.35f * ring + 0.3f * smooth(0.2f, 0.8f, fbm(u, v, 18, 2, t.id & 0xfff))) *
                    (0.8f + 0.2f * rib);
                gloss = 0.25f;
            } else if (t.kind == 1) {  // periwinkle: a spiral dome
                const float R = t.R * (1 + 0.06f * std::sin(th * 2));
                if (r >= R) continue;
                const float q = r / R;
                const float turns = th / (2 * kPi) + std::sqrt(q) * 3.2f;
                const float suture = std::pow(std::fabs(std::sin(kPi * turns)), 0.3f);
                const float ht = base + 11 * std::sqrt(1 - q * q) * (0.85f + 0.15f * suture);
                if (ht <= top) continue;
                top = ht;
                const Col a = rng.next() < 0.5f ? hex(0x4a3a2a) : hex(0x6a5a2a);
                c = mix(a * 0.6f, mix(a, hex(0xc8b48a), 0.4f), suture) * (0.9f + 0.2f * std::sin(turns * 6 * kPi) * q);
                gloss = 0.6f;
            } else if (t.kind == 2) {  // beadlet anemone, closed: a glossy red dome
                const float R = t.R * (1 + 0.05f * std::sin(th * 3 + rng.next() * 6));
                if (r >= R) continue;
                const float q = r / R;
                const float ht = base + 14 * std::sqrt(1 - q * q);
                if (ht <= top) continue;
                top = ht;
                c = mix(hex(0xa01828), hex(0x5a0a18), smooth(0.6f, 1.0f, q));
                const float bead = std::cos(th * 14) * std::cos(q * 30);
                if (q > 0.75f && bead > 0.85f) c = hex(0x3a7ad0);  // the blue beads round its foot
                gloss = 0.9f;
            } else if (t.kind == 3) {  // starfish
                const float bend = th + 0.12f * std::sin(r * 0.05f + rng.next() * 6);
                const float arm = std::pow(std::fabs(std::cos(2.5f * bend)), 2.2f);
                const float R = t.R * (0.26f + 0.74f * arm);
                if (r >= R) continue;
                const float q = r / R;
                const float ht = base + 10 + 12 * std::sqrt(1 - q) * (0.5f + 0.5f * arm) - 4 * r / t.R;
                const CellHit tb = worley(u, v, 110, t.id & 0xffff, 0.7f);
                const float bump = smooth(0.45f, 0.1f, tb.f1);
                if (ht + 2 * bump <= top) continue;
                top = ht + 2 * bump;
                const Col body = rng.next() < 0.6f ? hex(0xe0642a) : hex(0x9a3a6a);
                c = mix(body, body * 0.6f, smooth(0.5f, 1.0f, q) * 0.5f);
                c = mix(c, hex(0xf6d0a0), 0.6f * bump);
                gloss = 0.3f;
            } else {  // cowrie: a glossy ovoid with a toothed slit
                const float qx = lx / t.R, qy = ly / (t.R * 0.62f);
                const float q = std::sqrt(qx * qx + qy * qy);
                if (q >= 1) continue;
                const float ht = base + 9 * std::sqrt(1 - q * q);
                if (ht <= top) continue;
                top = ht;
                c = mix(hex(0xe8d8c0), hex(0x9a6a48), smooth(0.2f, 0.7f, fbm(u, v, 30, 3, t.id & 0xfff)));
                if (std::fabs(qy) < 0.08f && std::fabs(qx) < 0.8f && std::cos(qx * 40) > 0) c = hex(0x4a3020);
                gloss = 0.9f;
            }
        }
        s.height.v[i] = top;
        s.albedo[i] = c;
        s.gloss.v[i] = gloss;
        s.sunGain.v[i] = 0.65f + 0.7f * caustics(u, v, seed + 12, 6);
    });
    Lighting l;
    l.dir = {-0.45f, -0.55f, 0.7f};
    l.sky = rgb(0.36f, 0.42f, 0.44f);
    l.sun = rgb(1.0f, 0.96f, 0.88f);
    l.shininess = 60;
    l.aoRadius = 8;
    l.aoStrength = 1.2f;
    l.shadowSoftness = 0.4f;
    Image img = shade(s, l);
    grade(img, rgb(0.94f, 1.0f, 1.0f), 1.0f, 1.05f);
    smoothEdges(img);
    return img;
}

// ---------------------------------------------------------------------------
// Slate by a stream: flat plates with broken, stepped edges, cleavage lines,
// lichen and moss in the joints, and fern fronds laid across them.
struct Frond {
    float bx, by;  // base, tile coordinates
    float angle;   // heading at the base
    float radius;  // signed radius of the rachis' arc, pixels
    float length;  // pixels
    float pinna;   // longest pinna, pixels
    float z;
    std::uint32_t id;
};
struct FrondSample {
    bool inside = false;
    bool rachis = false;
    float along = 0;   // 0 base .. 1 tip of the frond
    float pinnaT = 0;  // 0 at the rachis .. 1 at the pinna's tip
    float across = 0;  // 0 on the pinna's midrib .. 1 at its edge
    float height = 0;
};
FrondSample frondAt(const Frond& f, float u, float v) {
    FrondSample out;
    const float dx = wrapd(u - f.bx) * kTile, dy = wrapd(v - f.by) * kTile;
    if (dx * dx + dy * dy > (f.length + f.pinna) * (f.length + f.pinna)) return out;
    float px, py;
    Frame(f.angle).apply(dx, dy, px, py);
    // Arc from the origin heading along +x, curving towards +y for radius > 0.
    const float R = f.radius;
    const float qx = px, qy = py - R;
    const float dist = std::sqrt(qx * qx + qy * qy);
    float th = std::atan2(R > 0 ? qx : -qx, R > 0 ? -qy : qy);
    const float s = th * std::fabs(R);
    const float n = (R > 0 ? R - dist : dist + R);  // > 0 on the +y side
    const float L = f.length;
    if (s < -4 || s > L + 4) return out;
    const float t = clamp01(s / L);
    // Rachis.
    const float rw = 2.4f * (1 - 0.7f * t);
    if (std::fabs(n) < rw && s >= 0 && s <= L) {
        out.inside = out.rachis = true;
        out.along = t;
        out.height = f.z + 1.5f;
        return out;
    }
    // Pinnae: alternate, leaning towards the tip.
    const float side = n > 0 ? 1.0f : -1.0f;
    const float sp = 21;
    const float alpha = 1.2f;  // from the rachis
    const float ca = std::cos(alpha), sa = std::sin(alpha);
    const float a = std::fabs(n) / sa;
    const float sBase = s - a * ca;
    const float offset = side > 0 ? 0.0f : 0.5f;
    const float kk = std::round(sBase / sp - offset);
    for (float k = kk - 1; k <= kk + 1; ++k) {
        const float sk = (k + offset) * sp;
        if (sk < 0.06f * L || sk > L) continue;
        const float tk = sk / L;
        const float lp = f.pinna * std::pow(std::sin(kPi * std::pow(tk, 0.75f)), 0.8f) * (1 - 0.25f * tk);
        if (lp < 4 || a > lp) continue;
        const float w = (s - sk - a * ca) * sa;  // across the pinna
        const float pt = a / lp;
        float hw = std::min(8.5f, 0.16f * lp) * std::pow(std::sin(kPi * std::min(1.0f, pt * 0.92f + 0.08f)), 0.5f);
        hw *= 0.6f + 0.4f * std::fabs(std::sin(a * kPi / 6.5f));  // pinnules
        if (std::fabs(w) >= hw) continue;
        out.inside = true;
        out.along = tk;
        out.pinnaT = pt;
        out.across = std::fabs(w) / hw;
        out.height = f.z + 1.2f * (1 - out.across) - 2.0f * pt * pt;
        return out;
    }
    return out;
}

Image slateFerns() {
    Surface s;
    const std::uint32_t seed = 2010;
    std::vector<Frond> fronds;
    {
        Rng rng(seed + 1);
        for (int k = 0; k < 8; ++k) {
            Frond f;
            f.bx = (k % 4 + rng.range(0.1f, 0.9f)) / 4;
            f.by = (k / 4 + rng.range(0.1f, 0.9f)) / 2;
            f.angle = rng.range(0, 2 * kPi);
            f.radius = (rng.next() < 0.5f ? -1 : 1) * rng.range(300, 600);
            f.length = rng.range(320, 450);
            f.pinna = f.length * rng.range(0.24f, 0.3f);
            f.z = 34 + 4 * k;
            f.id = hash(seed, k);
            fronds.push_back(f);
        }
    }
    // Slow fields, painted once at a lower resolution.
    const Field warpU = makeField(512, [&](float u, float v) { return fbm(u, v, 6, 4, seed + 2); });
    const Field warpV = makeField(512, [&](float u, float v) { return fbm(u, v, 6, 4, seed + 3); });
    const Field layerMask = makeField(128, [&](float u, float v) { return fbm(u, v, 5, 2, seed + 13); });
    const Field rust = makeField(512, [&](float u, float v) { return fbm(u, v, 9, 4, seed + 16); });
    const Field veins = makeField(512, [&](float u, float v) { return ridged(u, v, 5, 3, seed + 17); });
    const Field veinMask = makeField(128, [&](float u, float v) { return fbm(u, v, 3, 2, seed + 14); });
    const Field wetMask = makeField(128, [&](float u, float v) { return fbm(u, v, 3, 3, seed + 8); });
    eachPixel(kTile, [&](int x, int y, float u, float v, std::size_t i) {
        // Slate: a bed of large plates with thin joints, and a second layer of
        // plates lying on it in places, with chipped and stepped edges.
        const float wu = 0.02f * warpU.sampleUV(u, v), wv = 0.02f * warpV.sampleUV(u, v);
        const CellHit low = worley(u + wu, v + wv, 4, seed + 4, 0.95f);
        const CellHit up = worley(u + 1.6f * wv, v + 1.6f * wu, 5, seed + 11, 0.95f);
        const bool upper = unit(hash(up.id, 7)) < 0.5f;
        const CellHit& cell = upper && (up.f2 - up.f1) * kTile / 5 > 0 ? up : low;
        Rng rng(cell.id);
        const float edge = (cell.f2 - cell.f1) * kTile / (upper ? 5 : 4);  // pixels from the plate's edge, roughly
        const float chip = 4 * fbm(u, v, 40, 3, seed + 5);
        float h, fresh;
        if (upper) {
            const float steps = std::floor(clampf((edge + chip) / 6, 0, 2)) / 2;
            h = 22 + rng.range(0, 8) + 8 * steps;
            fresh = 1 - steps;
        } else {
            h = rng.range(0, 10);
            fresh = 0;
        }
        const float tiltX = rng.range(-0.03f, 0.03f), tiltY = rng.range(-0.03f, 0.03f);
        h += tiltX * cell.dx * kTile / 5 + tiltY * cell.dy * kTile / 5;
        const float cleaveA = rng.range(0, kPi);
        const float along = (u * std::cos(cleaveA) + v * std::sin(cleaveA)) * kTile;
        const float layer =
            std::pow(std::fabs(std::sin(along * 0.045f + 4 * fbm(u, v, 8, 3, cell.id & 0xfff))), 60.0f) *
            smooth(0.0f, 0.3f, layerMask.sampleUV(u, v));
        h += 0.7f * fbm(u, v, 48, 2, seed + 6) - 0.6f * layer;
        static const std::uint32_t slates[] = {0x3c4450, 0x4a525e, 0x566070, 0x463f4c, 0x5a5454, 0x363c46};
        Col c = hex(slates[rng.below(6)]) * rng.range(0.9f, 1.15f);
        c = c * (0.72f + 0.56f * (0.5f + 0.5f * fbm(u, v, 12, 6, seed + 7))) * (1 - 0.3f * layer);
        c = c * (0.9f + 0.2f * gnoise(u * 180, v * 180, 180, seed + 15));  // fine grain of the stone
        const float ou = unit(hash(cell.id, 20)),
                    ov = unit(hash(cell.id, 21));  // each plate its own part of the fields
        c = mix(c, hex(0x8a5a3a), 0.35f * smooth(0.3f, 0.7f, rust.sampleUV(u + ou, v + ov)));  // rust stains
        const float vein = std::pow(veins.sampleUV(u + ov, v + ou), 24.0f);
        c = mix(c, hex(0xd8d4cc), 0.7f * vein * smooth(0.0f, 0.2f, veinMask.sampleUV(u, v)));  // quartz veins
        c = mix(c, mix(c * 1.5f, hex(0x8a8a8e), 0.3f), 0.6f * fresh);              // fresh broken edges are paler
        float gloss = 0.25f + 0.35f * smooth(0.1f, 0.5f, wetMask.sampleUV(u, v));  // wet streaks
        // Lichen: round crusts with lobed margins on the plates.
        const CellHit li = worley(u, v, 14, seed + 9, 0.8f);
        const float lang = std::atan2(li.dy, li.dx);
        const float lr =
            (0.12f + 0.22f * unit(hash(li.id, 1))) *
            (1 + 0.18f * gnoise2(lang * 2.0f + 10, 0.5f, 13, 4, li.id & 0xfff) + 0.08f * std::sin(lang * 23));
        if (unit(hash(li.id, 2)) < 0.3f && li.f1 < lr && fresh == 0 && edge > 10) {
            const float q = li.f1 / lr;
            const bool orange = unit(hash(li.id, 3)) < 0.35f;
            const Col lc = orange ? hex(0xc8822e) : hex(0x9eaa84);
            const float texture = 0.5f + 0.5f * gnoise(u * 300, v * 300, 300, seed + 12);
            c = mix(lc * (0.8f + 0.3f * texture), c, 0.25f * smooth(0.5f, 0.0f, q));
            h += 0.6f * texture;
            gloss = 0.05f;
        }
        // Moss and dark silt in the joints of the bed.
        if (!upper && edge < 7) {
            const float m = smooth(7.0f, 1.5f, edge);
            const float tuft = 0.5f + 0.5f * gnoise(u * 260, v * 260, 260, seed + 10);
            h = mixf(h, -2 + 4 * tuft, m);
            c = mix(c, mix(hex(0x2e4a1a), hex(0x6e9a34), tuft), m);
            gloss = mixf(gloss, 0.05f, m);
        }
        // Fern fronds.
        FrondSample best;
        const Frond* bf = nullptr;
        for (const Frond& f : fronds) {
            const FrondSample fs = frondAt(f, u, v);
            if (fs.inside && fs.height > best.height) {
                best = fs;
                bf = &f;
            }
        }
        if (bf) {
            h = best.height;
            if (best.rachis) {
                c = mix(hex(0x7a8a3a), hex(0x5a4a2a), 0.4f * (1 - best.along));
            } else {
                Rng fr(bf->id);
                const Col deep = mix(hex(0x2f6420), hex(0x447a26), fr.next());
                c = mix(deep, hex(0x78a83e), 0.5f * best.pinnaT + 0.3f * best.along);
                c = mix(c, hex(0x98c058), 0.5f * smooth(0.25f, 0.0f, best.across));  // midrib
                c = c * (0.82f + 0.18f * (1 - best.across));
            }
            gloss = 0.25f;
        }
        s.height.v[i] = h;
        s.albedo[i] = c;
        s.gloss.v[i] = gloss;
        (void)x;
        (void)y;
    });
    Lighting l;
    l.dir = {-0.5f, -0.5f, 0.65f};
    l.sky = rgb(0.38f, 0.42f, 0.46f);
    l.sun = rgb(1.05f, 1.0f, 0.9f);
    l.shininess = 50;
    l.aoRadius = 7;
    l.shadowSoftness = 0.5f;
    l.shadowReach = 90;
    Image img = shade(s, l);
    grade(img, rgb(1.0f, 1.0f, 1.0f), 1.0f, 1.05f);
    smoothEdges(img);
    return img;
}

}  // namespace

Image renderSceneB(int index) {
    switch (index) {
        case 0: return cherryPetals();
        case 1: return pineFloor();
        case 2: return seaGlass();
        case 3: return rockPool();
        default: return slateFerns();
    }
}

}  // namespace imagegen
