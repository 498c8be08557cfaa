#include "platform/linux/photo_image.h"

#include <algorithm>
#include <cmath>

namespace photo {

namespace {

// Where upright pixel (x, y) of an image stored as w x h comes from.
struct SourceMap {
    int w, h, orientation;
    void at(int x, int y, int* sx, int* sy) const {
        switch (orientation) {
            case 2:
                *sx = w - 1 - x;
                *sy = y;
                break;  // mirrored left to right
            case 3:
                *sx = w - 1 - x;
                *sy = h - 1 - y;
                break;  // upside down
            case 4:
                *sx = x;
                *sy = h - 1 - y;
                break;  // mirrored top to bottom
            case 5:
                *sx = y;
                *sy = x;
                break;  // transposed
            case 6:
                *sx = y;
                *sy = h - 1 - x;
                break;  // needs a clockwise quarter turn
            case 7:
                *sx = w - 1 - y;
                *sy = h - 1 - x;
                break;  // transversed
            case 8:
                *sx = w - 1 - y;
                *sy = x;
                break;  // needs a counter-clockwise quarter turn
            default:
                *sx = x;
                *sy = y;
                break;
        }
    }
};

// The source pixels (and their weights, summing to 1) that make target
// pixel i when `count` source pixels from `first` on become `side` pixels.
struct Taps {
    std::vector<int> start;  // per target pixel: first index into index/weight
    std::vector<int> index;
    std::vector<float> weight;
};

Taps makeTaps(int first, int count, int side) {
    Taps taps;
    taps.start.reserve(static_cast<std::size_t>(side) + 1);
    const double scale = static_cast<double>(count) / side;
    for (int i = 0; i < side; ++i) {
        taps.start.push_back(static_cast<int>(taps.index.size()));
        if (scale >= 1.0) {
            // Box: every source pixel the target pixel's span covers, by overlap.
            const double lo = i * scale, hi = (i + 1) * scale;
            const int a = static_cast<int>(std::floor(lo));
            const int b = std::min(count, static_cast<int>(std::ceil(hi)));
            for (int s = a; s < b; ++s) {
                const double overlap = std::min(hi, s + 1.0) - std::max(lo, static_cast<double>(s));
                if (overlap <= 0.0) continue;
                taps.index.push_back(first + s);
                taps.weight.push_back(static_cast<float>(overlap / scale));
            }
        } else {
            // Linear between the two nearest source pixel centres.
            const double centre = std::clamp((i + 0.5) * scale - 0.5, 0.0, count - 1.0);
            const int a = static_cast<int>(centre);
            const int b = std::min(a + 1, count - 1);
            const float t = static_cast<float>(centre - a);
            taps.index.push_back(first + a);
            taps.weight.push_back(1.0f - t);
            taps.index.push_back(first + b);
            taps.weight.push_back(t);
        }
    }
    taps.start.push_back(static_cast<int>(taps.index.size()));
    return taps;
}

}  // namespace

RgbImage orientUpright(const RgbImage& image, int orientation) {
    if (orientation < 2 || orientation > 8) return image;
    const bool turned = orientation >= 5;
    RgbImage out;
    out.width = turned ? image.height : image.width;
    out.height = turned ? image.width : image.height;
    out.pixels.resize(image.pixels.size());
    const SourceMap map{image.width, image.height, orientation};
    std::uint8_t* dst = out.pixels.data();
    for (int y = 0; y < out.height; ++y) {
        for (int x = 0; x < out.width; ++x, dst += 3) {
            int sx = 0, sy = 0;
            map.at(x, y, &sx, &sy);
            const std::uint8_t* src = image.pixels.data() + (static_cast<std::size_t>(sy) * image.width + sx) * 3u;
            dst[0] = src[0];
            dst[1] = src[1];
            dst[2] = src[2];
        }
    }
    return out;
}

void cropAndScaleSquare(const RgbImage& image, int side, std::uint8_t* out) {
    if (side < 1 || image.width < 1 || image.height < 1 || out == nullptr) return;
    const int square = std::min(image.width, image.height);
    const Taps columns = makeTaps((image.width - square) / 2, square, side);
    const Taps rows = makeTaps((image.height - square) / 2, square, side);

    // Rows first: each target row from the source rows it covers, then its columns.
    std::vector<float> row(static_cast<std::size_t>(image.width) * 3u);
    for (int ty = 0; ty < side; ++ty) {
        std::fill(row.begin(), row.end(), 0.0f);
        for (int k = rows.start[ty]; k < rows.start[ty + 1]; ++k) {
            const std::uint8_t* src = image.pixels.data() + static_cast<std::size_t>(rows.index[k]) * image.width * 3u;
            const float w = rows.weight[k];
            for (std::size_t i = 0; i < row.size(); ++i) row[i] += w * src[i];
        }
        std::uint8_t* dst = out + static_cast<std::size_t>(ty) * side * 3u;
        for (int tx = 0; tx < side; ++tx, dst += 3) {
            float sum[3] = {0.0f, 0.0f, 0.0f};
            for (int k = columns.start[tx]; k < columns.start[tx + 1]; ++k) {
                const float* p = row.data() + static_cast<std::size_t>(columns.index[k]) * 3u;
                const float w = columns.weight[k];
                sum[0] += w * p[0];
                sum[1] += w * p[1];
                sum[2] += w * p[2];
            }
            for (int c = 0; c < 3; ++c) {
                dst[c] = static_cast<std::uint8_t>(std::clamp(std::lround(sum[c]), 0L, 255L));
            }
        }
    }
}

}  // namespace photo
