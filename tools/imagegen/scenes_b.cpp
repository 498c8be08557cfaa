// Backgrounds 197..206: the first ten scenes seen at another hour and from
// another side. Each is its partner turned a quarter (which keeps the tiling
// seamless) and given a light of its own: dusk, moonlight, noon haze, a
// green pond tint and so on, so no two of the twenty look alike.
#include <cmath>

#include "scene_util.h"

namespace imagegen {

namespace {

struct Grade {
    Col multiply;   // colour of the light
    float saturation;
    float gamma;
    Col lift;       // colour added in the shadows
};

const Grade kGrades[10] = {
    {{1.05f, 0.82f, 0.62f}, 1.10f, 1.05f, {0.03f, 0.01f, 0.00f}},  // river stones at dusk
    {{0.62f, 0.76f, 1.05f}, 0.70f, 1.15f, {0.00f, 0.01f, 0.04f}},  // pebble beach by moonlight
    {{1.10f, 1.02f, 0.86f}, 0.85f, 0.90f, {0.04f, 0.03f, 0.01f}},  // sand in noon haze
    {{0.80f, 0.95f, 0.70f}, 0.90f, 1.00f, {0.00f, 0.02f, 0.00f}},  // leaves on a green pond
    {{0.75f, 1.00f, 0.95f}, 1.15f, 1.05f, {0.00f, 0.02f, 0.02f}},  // pool tiles at evening
    {{1.00f, 0.88f, 0.70f}, 0.80f, 1.10f, {0.02f, 0.01f, 0.00f}},  // moss and roots in late sun
    {{0.85f, 0.90f, 1.10f}, 1.05f, 1.00f, {0.00f, 0.00f, 0.03f}},  // koi in the shade
    {{1.05f, 0.90f, 1.00f}, 1.10f, 0.95f, {0.02f, 0.00f, 0.02f}},  // lily pads at dawn
    {{0.70f, 0.75f, 1.10f}, 0.90f, 1.10f, {0.01f, 0.00f, 0.04f}},  // the sunset turned to twilight
    {{1.10f, 0.85f, 1.05f}, 1.20f, 1.00f, {0.02f, 0.00f, 0.02f}},  // city lights in the rain
};

}  // namespace

Image renderSceneB(int index) {
    const Image source = renderSceneACached(index);
    const Grade& g = kGrades[index];
    Image out(source.w, source.h);
    for (int y = 0; y < source.h; ++y) {
        for (int x = 0; x < source.w; ++x) {
            Col c = source.at(y, source.w - 1 - x);  // a quarter turn
            const float luma = 0.2126f * c.r + 0.7152f * c.g + 0.0722f * c.b;
            c = rgb(luma, luma, luma) + (c - rgb(luma, luma, luma)) * g.saturation;
            c = c * g.multiply + g.lift;
            out.at(x, y) = rgb(std::pow(clamp01(c.r), g.gamma), std::pow(clamp01(c.g), g.gamma),
                               std::pow(clamp01(c.b), g.gamma));
        }
    }
    return out;
}

}  // namespace imagegen
