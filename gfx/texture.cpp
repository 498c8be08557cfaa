#include "gfx/texture.h"

#include <algorithm>
#include <cstddef>
#include <memory>
#include <vector>

namespace {

const BitmapPixelSource kPlatformSource = {platform::openBitmap, platform::bitmapPixel, platform::closeBitmap,
                                           platform::bitmapRow};
const BitmapPixelSource* currentSource = &kPlatformSource;

// The texels go up in bands of about 1 MiB rather than in one 16 MiB buffer
// for a 1024-pixel side: a buffer that size is fresh memory, and touching it
// page by page costs more than converting the pixels (tens of milliseconds
// at start-up on a loaded machine), while a band stays in the cache.
constexpr std::size_t kBandBytes = std::size_t(1) << 20;

int bandRows(int width) {
    const std::size_t rowBytes = static_cast<std::size_t>(width) * 4u * sizeof(float);
    return static_cast<int>(std::max<std::size_t>(1, kBandBytes / rowBytes));
}

void storeTexel(float* texel, std::uint32_t c) {
    if (c == platform::kInvalidColor) {
        texel[0] = texel[1] = texel[2] = texel[3] = 1.0f;
        return;
    }
    texel[0] = static_cast<float>(c & 0xFFu) / 255.0f;
    texel[1] = static_cast<float>((c >> 8) & 0xFFu) / 255.0f;
    texel[2] = static_cast<float>((c >> 16) & 0xFFu) / 255.0f;
    texel[3] = 1.0f;
}

// Buffer rows [first, first + count) of bitmap `reader` into `texels`
// (count * width * 4 floats); `colors` holds one row.
void readBitmapRows(const BitmapPixelSource& source, platform::BitmapReader* reader, float* texels, int width,
                    int height, int first, int count, unsigned char flip, std::vector<std::uint32_t>& colors) {
    colors.resize(static_cast<std::size_t>(width));
    for (int i = first; i < first + count; ++i) {
        const int y = flip == 1 ? height - 1 - i : i;
        // A null reader answers nothing: every pixel is the invalid colour.
        if (reader == nullptr) {
            std::fill(colors.begin(), colors.end(), platform::kInvalidColor);
        } else if (source.row != nullptr) {
            source.row(reader, y, width, colors.data());
        } else {
            for (int x = 0; x < width; ++x) colors[static_cast<std::size_t>(x)] = source.pixel(reader, x, y);
        }
        float* texel = texels + static_cast<std::size_t>(i - first) * static_cast<std::size_t>(width) * 4u;
        for (int x = 0; x < width; ++x, texel += 4) storeTexel(texel, colors[static_cast<std::size_t>(x)]);
    }
}

// Buffer rows [first, first + count) of 8-bit RGB pixels stored top row
// first.
void readRgbRows(float* texels, const unsigned char* rgb, int width, int height, int first, int count) {
    for (int i = first; i < first + count; ++i) {
        const unsigned char* src =
            rgb + static_cast<std::size_t>(height - 1 - i) * static_cast<std::size_t>(width) * 3u;
        float* texel = texels + static_cast<std::size_t>(i - first) * static_cast<std::size_t>(width) * 4u;
        for (int x = 0; x < width; ++x, texel += 4, src += 3) {
            texel[0] = static_cast<float>(src[0]) / 255.0f;
            texel[1] = static_cast<float>(src[1]) / 255.0f;
            texel[2] = static_cast<float>(src[2]) / 255.0f;
            texel[3] = 1.0f;
        }
    }
}

}  // namespace

const BitmapPixelSource& platformBitmapPixelSource() { return kPlatformSource; }

void setBitmapPixelSource(const BitmapPixelSource* source) { currentSource = source ? source : &kPlatformSource; }

void readBitmapPixels(float* buffer, int id, int width, int height, unsigned char flip) {
    if (buffer == nullptr || width <= 0 || height <= 0) return;
    const BitmapPixelSource& source = *currentSource;
    platform::BitmapReader* reader = source.open(id);
    std::vector<std::uint32_t> colors;
    readBitmapRows(source, reader, buffer, width, height, 0, height, flip, colors);
    if (reader) source.close(reader);
}

void readRgbPixels(float* buffer, const unsigned char* rgb, int width, int height) {
    if (buffer == nullptr || rgb == nullptr || width <= 0 || height <= 0) return;
    readRgbRows(buffer, rgb, width, height, 0, height);
}

template <typename FillRows>
void GLFWTexture::build(int size, FillRows fillRows) {
    glGenTextures(1, &id_);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, id_);
    if (size < 1) return;

    // One level: only level 0 is ever filled or sampled (base and maximum
    // level 0), and a driver allocates every level of immutable storage at
    // once; llvmpipe zeroes them there, so a full chain below a 1024 side
    // would be 5 MiB of fresh memory written at start-up for nothing.
    glTexStorage2D(GL_TEXTURE_2D, 1, GL_RGBA32F, size, size);
    const int rows = std::min(bandRows(size), size);
    // Left uninitialised: every band is written whole before it goes up.
    const std::unique_ptr<float[]> texels(new float[static_cast<std::size_t>(rows) * static_cast<std::size_t>(size) * 4u]);
    for (int first = 0; first < size; first += rows) {
        const int count = std::min(rows, size - first);
        fillRows(texels.get(), first, count);
        glTexSubImage2D(GL_TEXTURE_2D, 0, 0, first, size, count, GL_RGBA, GL_FLOAT, texels.get());
    }
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_BASE_LEVEL, 0);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    // The band buffer is released on the way out; the texture keeps its copy.
}

GLFWTexture::GLFWTexture(int bitmapId, int size) {
    const BitmapPixelSource& source = *currentSource;
    platform::BitmapReader* reader = size < 1 ? nullptr : source.open(bitmapId);
    std::vector<std::uint32_t> colors;
    build(size, [&](float* texels, int first, int count) {
        readBitmapRows(source, reader, texels, size, size, first, count, 1, colors);
    });
    if (reader) source.close(reader);
}

GLFWTexture::GLFWTexture(const unsigned char* rgb, int size) {
    build(size, [&](float* texels, int first, int count) {
        if (rgb != nullptr)
            readRgbRows(texels, rgb, size, size, first, count);
        else
            std::fill(texels, texels + static_cast<std::size_t>(count) * static_cast<std::size_t>(size) * 4u, 0.0f);
    });
}

GLFWTexture::~GLFWTexture() { glDeleteTextures(1, &id_); }

GLuint createBlankTexture() {
    GLuint id = 0;
    glGenTextures(1, &id);
    glBindTexture(GL_TEXTURE_2D, id);
    const unsigned char texel[4] = {0, 0, 0, 0};
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, texel);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    for (GLenum channel : {GL_TEXTURE_SWIZZLE_R, GL_TEXTURE_SWIZZLE_G, GL_TEXTURE_SWIZZLE_B, GL_TEXTURE_SWIZZLE_A})
        glTexParameteri(GL_TEXTURE_2D, channel, GL_ZERO);
    return id;
}
