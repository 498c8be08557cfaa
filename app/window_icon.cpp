#include "app/window_icon.h"

namespace {

// A raindrop falling towards two rings of ripples on deep blue water, drawn
// at compile time. Distances are compared squared (no constexpr sqrt).
struct Rgba {
    unsigned char r, g, b, a;
};

constexpr Rgba pixelAt(int x, int y) {
    const int cx = 32, cy = 44;
    // Ripple rings: flattened ellipses around (cx, cy).
    const int dx = x - cx, dy = (y - cy) * 3;
    const int d2 = dx * dx + dy * dy;
    // Rounded square background (transparent corners).
    const int ex = x < 6 ? 6 - x : (x > 57 ? x - 57 : 0);
    const int ey = y < 6 ? 6 - y : (y > 57 ? y - 57 : 0);
    if (ex * ex + ey * ey > 36) return {0, 0, 0, 0};
    // Water gradient, darker towards the bottom.
    Rgba c{static_cast<unsigned char>(20 + y / 4), static_cast<unsigned char>(60 + y),
           static_cast<unsigned char>(120 + y), 255};
    if ((d2 > 22 * 22 && d2 < 25 * 25) || (d2 > 12 * 12 && d2 < 15 * 15)) c = {170, 220, 245, 255};
    if (d2 < 4 * 4) c = {210, 240, 255, 255};
    // The drop: a circle with a pointed top, above the rings.
    const int qx = x - 32, qy = y - 22;
    const bool body = qx * qx + qy * qy <= 64;
    const bool tip = qy < 0 && qy >= -16 && (qx < 0 ? -qx : qx) * 16 <= (qy + 16) * 8;
    if (body || tip) {
        const bool highlight = (qx + 3) * (qx + 3) + (qy + 1) * (qy + 1) <= 5;
        c = highlight ? Rgba{255, 255, 255, 255} : Rgba{120, 200, 250, 255};
    }
    return c;
}

constexpr WindowIconPixels columnOrdered() {
    WindowIconPixels out{};
    for (int column = 0; column < kWindowIconSide; ++column) {
        for (int row = 0; row < kWindowIconSide; ++row) {
            const Rgba p = pixelAt(column, row);
            const int i = (column * kWindowIconSide + row) * 4;
            out[i] = p.r;
            out[i + 1] = p.g;
            out[i + 2] = p.b;
            out[i + 3] = p.a;
        }
    }
    return out;
}

}  // namespace

constexpr WindowIconPixels kWindowIconColumns = columnOrdered();

WindowIconPixels windowIconRows() {
    WindowIconPixels rows{};
    for (int r = 0; r < kWindowIconSide; ++r) {
        for (int c = 0; c < kWindowIconSide; ++c) {
            for (int k = 0; k < 4; ++k) {
                rows[(r * kWindowIconSide + c) * 4 + k] = kWindowIconColumns[(c * kWindowIconSide + r) * 4 + k];
            }
        }
    }
    return rows;
}
