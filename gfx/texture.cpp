#include "gfx/texture.h"

#include <cstddef>
#include <vector>

namespace {

const BitmapPixelSource kPlatformSource = {platform::openBitmap, platform::bitmapPixel, platform::closeBitmap};
const BitmapPixelSource* currentSource = &kPlatformSource;

}  // namespace

const BitmapPixelSource& platformBitmapPixelSource() { return kPlatformSource; }

void setBitmapPixelSource(const BitmapPixelSource* source) { currentSource = source ? source : &kPlatformSource; }

int textureLevelCount(int size) {
    int levels = 0;
    while (size > 1) {
        size >>= 1;
        ++levels;
    }
    return levels < 1 ? 1 : levels;
}

void readBitmapPixels(float* buffer, int id, int width, int height, unsigned char flip) {
    if (buffer == nullptr || width <= 0 || height <= 0) return;
    const BitmapPixelSource& source = *currentSource;
    platform::BitmapReader* reader = source.open(id);
    for (int i = 0; i < height; ++i) {
        const int y = flip == 1 ? height - 1 - i : i;
        float* texel = buffer + static_cast<std::size_t>(i) * static_cast<std::size_t>(width) * 4u;
        for (int x = 0; x < width; ++x, texel += 4) {
            // A null reader answers nothing: every pixel is the invalid colour.
            const std::uint32_t c = reader ? source.pixel(reader, x, y) : platform::kInvalidColor;
            if (c == platform::kInvalidColor) {
                texel[0] = texel[1] = texel[2] = texel[3] = 1.0f;
                continue;
            }
            texel[0] = static_cast<float>(c & 0xFFu) / 255.0f;
            texel[1] = static_cast<float>((c >> 8) & 0xFFu) / 255.0f;
            texel[2] = static_cast<float>((c >> 16) & 0xFFu) / 255.0f;
            texel[3] = 1.0f;
        }
    }
    if (reader) source.close(reader);
}

void readRgbPixels(float* buffer, const unsigned char* rgb, int width, int height) {
    if (buffer == nullptr || rgb == nullptr || width <= 0 || height <= 0) return;
    for (int i = 0; i < height; ++i) {
        const unsigned char* src =
            rgb + static_cast<std::size_t>(height - 1 - i) * static_cast<std::size_t>(width) * 3u;
        float* texel = buffer + static_cast<std::size_t>(i) * static_cast<std::size_t>(width) * 4u;
        for (int x = 0; x < width; ++x, texel += 4, src += 3) {
            texel[0] = static_cast<float>(src[0]) / 255.0f;
            texel[1] = static_cast<float>(src[1]) / 255.0f;
            texel[2] = static_cast<float>(src[2]) / 255.0f;
            texel[3] = 1.0f;
        }
    }
}

template <typename Fill>
void GLFWTexture::build(int size, Fill fill) {
    glGenTextures(1, &id_);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, id_);
    if (size < 1) return;

    glTexStorage2D(GL_TEXTURE_2D, textureLevelCount(size), GL_RGBA32F, size, size);
    std::vector<float> texels(static_cast<std::size_t>(size) * static_cast<std::size_t>(size) * 4u);
    fill(texels.data());
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, size, size, GL_RGBA, GL_FLOAT, texels.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_BASE_LEVEL, 0);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    // The texel buffer is released on the way out; the texture keeps its copy.
}

GLFWTexture::GLFWTexture(int bitmapId, int size) {
    build(size, [&](float* texels) { readBitmapPixels(texels, bitmapId, size, size, 1); });
}

GLFWTexture::GLFWTexture(const unsigned char* rgb, int size) {
    build(size, [&](float* texels) { readRgbPixels(texels, rgb, size, size); });
}

GLFWTexture::~GLFWTexture() { glDeleteTextures(1, &id_); }
