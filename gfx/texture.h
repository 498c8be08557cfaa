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
    // A whole row at once, as `pixel` answers it; none: pixel by pixel.
    void (*row)(platform::BitmapReader* reader, int y, int width, std::uint32_t* colors) = nullptr;
};

// The platform's reader (platform::openBitmap, bitmapPixel, closeBitmap,
// bitmapRow).
const BitmapPixelSource& platformBitmapPixelSource();
// Replaces the source used by readBitmapPixels; nullptr restores the platform's.
void setBitmapPixelSource(const BitmapPixelSource* source);

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
    // filled band by band by `fillRows(texels, firstRow, rowCount)` (rowCount
    // * size * 4 floats of buffer rows firstRow on), and its sampling state.
    template <typename FillRows>
    void build(int size, FillRows fillRows);

    GLuint id_ = 0;
};

// A 1 x 1 texture every channel of which reads 0, by its texel and by its
// swizzle; leaves it bound on the active unit, and the caller owns the
// name. The ripple shader takes it on unit 2 (sampler passHint) as the hint
// that a draw computes no ripples, and the rain scene binds it where a pass
// reads no texture: a driver that compiles the bound textures' formats and
// swizzles into its shaders (llvmpipe) then reads constants there, with no
// fetch per fragment, where an empty unit would still be fetched from.
GLuint createBlankTexture();
