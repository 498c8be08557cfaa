#include "tests/support/ripple_compare.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace ripple {

Texture textureFromRgba(const std::vector<float>& rgba, int width, int height) {
    Texture t;
    t.width = width;
    t.height = height;
    const std::size_t n = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    t.rgb.resize(n * 3u);
    for (std::size_t i = 0; i < n && i * 4u + 2u < rgba.size(); ++i)
        for (std::size_t k = 0; k < 3; ++k) t.rgb[i * 3u + k] = rgba[i * 4u + k];
    return t;
}

std::uint32_t testPhotographPixel(int x, int y) {
    const double fx = x, fy = y;
    auto channel = [](double v) { return static_cast<std::uint32_t>(std::lround(std::clamp(v, 0.0, 255.0))); };
    const std::uint32_t r = channel(128.0 + 90.0 * std::sin(fx / 27.5 + fy / 61.0) + 30.0 * std::cos(fy / 41.0));
    const std::uint32_t g = channel(110.0 + 80.0 * std::sin(fy / 33.0 - fx / 97.0) + 0.04 * fx);
    const std::uint32_t b = channel(60.0 + 0.12 * fy + 50.0 * std::sin((fx + fy) / 45.0));
    return r | (g << 8) | (b << 16);
}

float toHalf(float v) {
    if (v == 0.0f || !std::isfinite(v)) return v;
    int exponent = 0;
    std::frexp(v, &exponent);  // |v| in [2^(exponent-1), 2^exponent)
    // 11 significant bits; below 2^-14 the fixed step of the subnormals.
    const float step = std::ldexp(1.0f, std::max(exponent - 11, -24));
    return std::nearbyint(v / step) * step;  // ties to even
}

std::vector<float> normalsTexels(double seconds, int size, int rows) {
    constexpr int kSide = 1024;
    std::vector<float> texels(static_cast<std::size_t>(kSide) * kSide * 3u);
    for (std::size_t i = 0; i < texels.size(); i += 3) {
        texels[i] = 1.0f;
        texels[i + 1] = 0.0f;
        texels[i + 2] = 1.0f;
    }
    Uniforms u;
    u.time = seconds;
    u.viewportWidth = static_cast<float>(size);
    u.viewportHeight = static_cast<float>(size);
    u.normalsTextureSize = static_cast<float>(size);
    u.renderMode = 0.5f;
    if (rows < 0 || rows > size) rows = size;
    const std::vector<float> normals = render(u, Textures{}, size, rows);
    for (int y = 0; y < rows; ++y)
        for (int x = 0; x < size; ++x)
            for (int k = 0; k < 3; ++k)
                texels[(static_cast<std::size_t>(y) * kSide + x) * 3u + k] =
                    toHalf(normals[(static_cast<std::size_t>(y) * size + x) * 3u + k]);
    return texels;
}

Texture textureFromRgb(const std::vector<float>& rgb, int width, int height) {
    Texture t;
    t.width = width;
    t.height = height;
    t.rgb = rgb;
    t.rgb.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3u);
    return t;
}

std::string Difference::describe() const {
    char text[160];
    std::snprintf(text, sizeof text, "max %.6f at (%d, %d), mean %.3g, beyond bound %.4f%%", maxError, worstX, worstY,
                  meanError, 100.0 * fractionAbove);
    return text;
}

Difference compare(const std::vector<float>& rendered, const std::vector<float>& reference, int width, int height,
                   double bound) {
    Difference d;
    const std::size_t n = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    if (rendered.size() < n * 3u || reference.size() < n * 3u || n == 0) {
        d.maxError = d.meanError = d.fractionAbove = 1e30;
        return d;
    }
    double sum = 0.0;
    std::size_t above = 0;
    for (std::size_t i = 0; i < n; ++i) {
        double e = 0.0;
        for (std::size_t k = 0; k < 3; ++k) {
            const double diff = std::fabs(static_cast<double>(rendered[i * 3u + k]) - reference[i * 3u + k]);
            e = std::max(e, std::isnan(diff) ? 1e30 : diff);
        }
        sum += e;
        if (e > bound) ++above;
        if (e > d.maxError) {
            d.maxError = e;
            d.worstX = static_cast<int>(i % static_cast<std::size_t>(width));
            d.worstY = static_cast<int>(i / static_cast<std::size_t>(width));
        }
    }
    d.meanError = sum / static_cast<double>(n);
    d.fractionAbove = static_cast<double>(above) / static_cast<double>(n);
    return d;
}

double negativeShare(const std::vector<float>& normals, int component, std::size_t count) {
    std::size_t tilted = 0, negative = 0;
    for (std::size_t i = 0; i < count && i * 3u + 2u < normals.size(); ++i) {
        const float v = normals[i * 3u + static_cast<std::size_t>(component)];
        if (std::fabs(v) < 0.01f) continue;
        ++tilted;
        if (v < 0.0f) ++negative;
    }
    return tilted == 0 ? 0.0 : static_cast<double>(negative) / static_cast<double>(tilted);
}

double meanTilt(const std::vector<float>& normals) {
    if (normals.empty()) return 0.0;
    double sum = 0.0;
    for (std::size_t i = 0; i + 2 < normals.size(); i += 3) sum += std::fabs(normals[i]) + std::fabs(normals[i + 1]);
    return sum / static_cast<double>(normals.size() / 3u * 2u);
}

}  // namespace ripple
