// The raindrop emblem (About logo, large PNG, icons) and the wide picture.
#include "scene_util.h"

namespace imagegen {

namespace {

// Signed distance to a teardrop: a circle of radius r1 at the origin joined
// to a small circle of radius r2 at height h above it (y up).
float teardrop(float px, float py, float r1, float r2, float h) {
    px = std::fabs(px);
    const float b = (r1 - r2) / h;
    const float a = std::sqrt(1 - b * b);
    const float k = -b * px + a * py;
    if (k < 0) return std::sqrt(px * px + py * py) - r1;
    if (k > a * h) return std::sqrt(px * px + (py - h) * (py - h)) - r2;
    return a * px + b * py - r1;
}

// Distance to an ellipse outline with semi-axes a, b (first-order estimate).
float ellipseRing(float px, float py, float a, float b) {
    const float qx = px / a, qy = py / b;
    const float q = std::sqrt(qx * qx + qy * qy);
    if (q < 1e-6f) return std::min(a, b);
    const float gx = qx / (a * q), gy = qy / (b * q);
    return std::fabs(q - 1) / std::sqrt(gx * gx + gy * gy);
}

struct EmblemStyle {
    Col bg;
    Col dropTop, dropBottom, ring, ringDark, highlight;
    bool transparent = false;
    bool waterDisc = false;  // icons: the rings sit on a round patch of water
};

// Draws the emblem into a w x h canvas; coordinates are in units where the
// canvas' shorter side is 1. Returns colour and coverage per pixel.
void drawEmblem(int w, int h, const EmblemStyle& st, std::vector<Col>& color, std::vector<float>& alpha) {
    color.assign(static_cast<std::size_t>(w) * h, st.bg);
    alpha.assign(static_cast<std::size_t>(w) * h, st.transparent ? 0.0f : 1.0f);
    const float S = static_cast<float>(std::min(w, h));
    const float px1 = 1.0f / S;  // one pixel in emblem units
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const float ex = (x + 0.5f - w * 0.5f) / S;
            const float ey = (h * 0.5f - (y + 0.5f)) / S;  // y up
            const std::size_t i = static_cast<std::size_t>(y) * w + x;
            Col c = color[i] * alpha[i];  // premultiplied
            float a = alpha[i];
            auto over = [&](Col src, float cov) {
                cov = clamp01(cov);
                c = src * cov + c * (1 - cov);
                a = cov + a * (1 - cov);
            };
            // Water surface: a soft elliptical patch under the rings (icons).
            const float cy = -0.25f;
            if (st.waterDisc) {
                const float qx = ex / 0.49f, qy = (ey - cy + 0.02f) / 0.27f;
                const float q = std::sqrt(qx * qx + qy * qy);
                const float d = (q - 1) * 0.27f;
                const Col water = mix(hex(0x1e6fb8), hex(0x0b3f7a), clamp01(0.5f - ey));
                over(water, 0.5f - d / px1);
            }
            // Ripple rings around the point where the drop lands.
            const float ringW = std::max(0.018f, 1.2f * px1);
            const float radii[3] = {0.15f, 0.29f, 0.43f};
            for (int k = 0; k < 3; ++k) {
                const float ra = radii[k], rb = radii[k] * 0.36f;
                if (st.waterDisc && k == 2) break;
                const float d = ellipseRing(ex, ey - cy, ra, rb) - ringW * (1.0f - 0.25f * k);
                const float fadeK = 1.0f - 0.28f * k;
                Col rc = mix(st.ring, st.ringDark, clamp01(0.5f + (ey - cy) / (rb * 2)));
                over(rc, (0.5f - d / px1) * fadeK);
            }
            // The drop, with a vertical gradient and a highlight.
            const float dropX = ex, dropY = ey - 0.06f;
            const float d = teardrop(dropX, dropY, 0.17f, 0.012f, 0.34f);
            if (d < px1) {
                const float t = clamp01((dropY + 0.17f) / 0.52f);
                Col dc = mix(st.dropBottom, st.dropTop, t);
                // A rim shade towards the lower right gives the drop its body.
                const float shade = clamp01((dropX * 0.7f - dropY * 0.3f) / 0.17f);
                dc = mix(dc, st.dropBottom * 0.75f, shade * 0.45f);
                over(dc, 0.5f - d / px1);
                const float hd = teardrop((dropX + 0.06f) * 1.9f, (dropY + 0.01f) * 1.25f, 0.05f, 0.004f, 0.1f) / 1.9f;
                over(st.highlight, (0.5f - hd / px1) * 0.85f);
            }
            color[i] = a > 0 ? c * (1.0f / a) : Col{};
            alpha[i] = a;
        }
}

EmblemStyle aboutStyle() {
    EmblemStyle st;
    st.bg = rgb(177 / 255.0f, 232 / 255.0f, 179 / 255.0f);
    st.dropTop = hex(0x6cc4f0);
    st.dropBottom = hex(0x1667b8);
    st.ring = hex(0x2a86c8);
    st.ringDark = hex(0x145a94);
    st.highlight = hex(0xf4fbff);
    return st;
}

}  // namespace

Image renderLogo() {
    std::vector<Col> c;
    std::vector<float> a;
    drawEmblem(110, 83, aboutStyle(), c, a);
    Image img(110, 83);
    img.px = c;
    return img;
}

Image renderEmblem(int size) {
    std::vector<Col> c;
    std::vector<float> a;
    drawEmblem(size, size, aboutStyle(), c, a);
    Image img(size, size);
    img.px = c;
    return img;
}

ImageRGBA renderIcon(int size, int variant) {
    EmblemStyle st;
    st.transparent = true;
    st.waterDisc = true;
    st.bg = Col{};
    if (variant == 0) {
        st.dropTop = hex(0x9ddcff);
        st.dropBottom = hex(0x2a8ee0);
        st.ring = hex(0x8fd0ff);
        st.ringDark = hex(0x5aaee8);
    } else {
        st.dropTop = hex(0xb8f0e0);
        st.dropBottom = hex(0x2aa88e);
        st.ring = hex(0x9ae8d8);
        st.ringDark = hex(0x5ac8b8);
    }
    st.highlight = hex(0xffffff);
    // Render at four times the size and average down: crisp small icons.
    const int ss = size <= 48 ? 4 : 2;
    std::vector<Col> c;
    std::vector<float> a;
    drawEmblem(size * ss, size * ss, st, c, a);
    ImageRGBA out;
    out.w = out.h = size;
    out.px.resize(static_cast<std::size_t>(size) * size * 4);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            Col sum{};
            float as = 0;
            for (int j = 0; j < ss; ++j)
                for (int k = 0; k < ss; ++k) {
                    const std::size_t i = static_cast<std::size_t>(y * ss + j) * size * ss + (x * ss + k);
                    sum += c[i] * a[i];
                    as += a[i];
                }
            const float n = static_cast<float>(ss * ss);
            const Col col = as > 0 ? sum * (1.0f / as) : Col{};
            std::uint8_t* p = &out.px[(static_cast<std::size_t>(y) * size + x) * 4];
            p[0] = static_cast<std::uint8_t>(clampf(col.r * 255 + 0.5f, 0, 255));
            p[1] = static_cast<std::uint8_t>(clampf(col.g * 255 + 0.5f, 0, 255));
            p[2] = static_cast<std::uint8_t>(clampf(col.b * 255 + 0.5f, 0, 255));
            p[3] = static_cast<std::uint8_t>(clampf(as / n * 255 + 0.5f, 0, 255));
        }
    return out;
}

Image renderWide() {
    // The sunset scene, a 1024 x 576 band of it scaled up to 1920 x 1080.
    const Image src = renderBackground(195);
    Image img(1920, 1080);
    const float scale = 1024.0f / 1920.0f;
    for (int y = 0; y < 1080; ++y)
        for (int x = 0; x < 1920; ++x) {
            const float sx = (x + 0.5f) * scale - 0.5f, sy = (y + 0.5f) * scale - 0.5f + 300;
            const int x0 = static_cast<int>(std::floor(sx)), y0 = static_cast<int>(std::floor(sy));
            const float fx = sx - x0, fy = sy - y0;
            auto at = [&](int xx, int yy) { return src.at(wrapi(xx, 1024), wrapi(yy, 1024)); };
            img.at(x, y) = mix(mix(at(x0, y0), at(x0 + 1, y0), fx), mix(at(x0, y0 + 1), at(x0 + 1, y0 + 1), fx), fy);
        }
    return img;
}

}  // namespace imagegen
