#include "tests/support/png_writer.h"

#include <algorithm>
#include <cmath>

std::vector<unsigned char> toBytes(const std::vector<float>& rgb) {
    std::vector<unsigned char> bytes(rgb.size());
    for (std::size_t i = 0; i < rgb.size(); ++i) {
        const float v = std::isnan(rgb[i]) ? 0.0f : std::clamp(rgb[i], 0.0f, 1.0f);
        bytes[i] = static_cast<unsigned char>(std::lround(v * 255.0f));
    }
    return bytes;
}
