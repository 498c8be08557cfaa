// An RGBA32F 2D texture built from a square bitmap resource.
#pragma once

#include <cstdint>

#include "gfx/gl.h"
#include "platform/platform.h"

// Where the pixels of a bitmap resource come from. The program always reads
// through the platform back end; tests may substitute their own pixels.
struct BitmapPixelSource {
    platform::BitmapReader* (*open)(int id);
    std::uint32_t (*pixel)(platform::BitmapReader* reader, int x, int y);
    void (*close)(platform::BitmapReader* reader);
};

// The platform's reader (platform::openBitmap, bitmapPixel, closeBitmap).
const BitmapPixelSource& platformBitmapPixelSource();
// Replaces the source used by readBitmapPixels; nullptr restores the platform's.
void setBitmapPixelSource(const BitmapPixelSource* source);

// Number of storage levels for a square texture of side `size`: floor(log2(size)),
// at least 1 (2048 -> 11, 1024 -> 10, ..., 2 -> 1, 1 -> 1).
int textureLevelCount(int size);

// Fills `buffer` (width * height * 4 floats, RGBA, row-major) from bitmap
// `id`. With `flip` set, buffer row i is bitmap row height - 1 - i, so the
// image stands upright in texture coordinates. A pixel the reader cannot
// answer (a missing bitmap, a position outside it) becomes white.
void readBitmapPixels(float* buffer, int id, int width, int height, unsigned char flip);

// Fills `buffer` (width * height * 4 floats) from 8-bit RGB pixels whose
// rows run top to bottom, bottom row first as readBitmapPixels with `flip`
// set lays a bitmap out; alpha is 1.
void readRgbPixels(float* buffer, const unsigned char* rgb, int width, int height);

class GLFWTexture {
public:
    // Builds and uploads the texture; it stays bound to GL_TEXTURE_2D on
    // texture unit 0. A side below 1 gives a texture name with no storage.
    GLFWTexture(int bitmapId, int size);
    // The same texture from size x size 8-bit RGB pixels, rows top to bottom
    // (a photograph decoded at run time).
    GLFWTexture(const unsigned char* rgb, int size);
    ~GLFWTexture();
    GLFWTexture(const GLFWTexture&) = delete;
    GLFWTexture& operator=(const GLFWTexture&) = delete;

    GLuint textureId() const { return id_; }

private:
    // Creates the texture name; with a side of at least 1 also its storage,
    // filled by `fill` (width * width * 4 floats), and its sampling state.
    template <typename Fill>
    void build(int size, Fill fill);

    GLuint id_ = 0;
};
