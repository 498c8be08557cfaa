// The OpenGL side of GLFWTexture, against the recording fake.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "gfx/gl.h"
#include "gfx/texture.h"
#include "tests/support/fake_gl.h"
#include "resources/resource_ids.h"

namespace {

// A 4 x 4 bitmap: top-left red, a grey of 128 in the bottom-right corner,
// everything else black.
platform::BitmapReader* openFake(int) { return reinterpret_cast<platform::BitmapReader*>(1); }
std::uint32_t pixelFake(platform::BitmapReader*, int x, int y) {
    if (x < 0 || y < 0 || x >= 4 || y >= 4) return platform::kInvalidColor;
    if (x == 0 && y == 0) return 0x000000FFu;
    if (x == 3 && y == 3) return 0x00808080u;
    return 0u;
}
void closeFake(platform::BitmapReader*) {}
const BitmapPixelSource kSource = {openFake, pixelFake, closeFake};

class TextureGl : public ::testing::Test {
protected:
    void SetUp() override {
        fakegl::install();
        setBitmapPixelSource(&kSource);
    }
    void TearDown() override {
        setBitmapPixelSource(nullptr);
        fakegl::uninstall();
    }
};

TEST_F(TextureGl, CallSequenceAndParameters) {
    GLFWTexture texture(resource::kBackground01, 4);
    const std::vector<std::string> expected = {"glGenTextures",   "glActiveTexture", "glBindTexture",
                                               "glTexStorage2D",  "glTexSubImage2D", "glTexParameteri",
                                               "glTexParameteri", "glTexParameteri", "glTexParameteri",
                                               "glTexParameteri", "glTexParameteri"};
    ASSERT_EQ(fakegl::names(), expected);
    const auto& calls = fakegl::calls();
    const long long name = static_cast<long long>(texture.textureId());
    EXPECT_NE(name, 0);

    EXPECT_EQ(calls[1].i(0), GL_TEXTURE0);
    EXPECT_EQ(calls[2].i(0), GL_TEXTURE_2D);
    EXPECT_EQ(calls[2].i(1), name);

    const fakegl::Call& storage = calls[3];
    EXPECT_EQ(storage.i(0), GL_TEXTURE_2D);
    EXPECT_EQ(storage.i(1), 1) << "levels";
    EXPECT_EQ(storage.i(2), GL_RGBA32F);
    EXPECT_EQ(storage.i(3), 4);
    EXPECT_EQ(storage.i(4), 4);

    const fakegl::Call& upload = calls[4];
    const long long uploadArgs[] = {GL_TEXTURE_2D, 0, 0, 0, 4, 4, GL_RGBA, GL_FLOAT};
    for (std::size_t k = 0; k < 8; ++k) EXPECT_EQ(upload.i(k), uploadArgs[k]) << "argument " << k;
    ASSERT_EQ(upload.bytes.size(), 4u * 4u * 4u * sizeof(float));
    std::vector<float> texels(4 * 4 * 4);
    std::memcpy(texels.data(), upload.bytes.data(), upload.bytes.size());
    // Texel row 3 (the top of the image) column 0 is the red pixel.
    const float* red = &texels[(3 * 4 + 0) * 4];
    EXPECT_EQ(red[0], 1.0f);
    EXPECT_EQ(red[1], 0.0f);
    EXPECT_EQ(red[2], 0.0f);
    EXPECT_EQ(red[3], 1.0f);
    // The bitmap's bottom-right pixel lands in texel row 0, column 3.
    const float* grey = &texels[(0 * 4 + 3) * 4];
    EXPECT_EQ(grey[0], 128 / 255.0f);
    EXPECT_EQ(grey[2], 128 / 255.0f);
    for (std::size_t t = 0; t < 16; ++t) EXPECT_EQ(texels[t * 4 + 3], 1.0f);

    const long long parameters[][2] = {{GL_TEXTURE_WRAP_S, GL_REPEAT},     {GL_TEXTURE_WRAP_T, GL_REPEAT},
                                       {GL_TEXTURE_BASE_LEVEL, 0},         {GL_TEXTURE_MAX_LEVEL, 0},
                                       {GL_TEXTURE_MAG_FILTER, GL_LINEAR}, {GL_TEXTURE_MIN_FILTER, GL_LINEAR}};
    for (std::size_t k = 0; k < 6; ++k) {
        EXPECT_EQ(calls[5 + k].i(0), GL_TEXTURE_2D);
        EXPECT_EQ(calls[5 + k].i(1), parameters[k][0]) << k;
        EXPECT_EQ(calls[5 + k].i(2), parameters[k][1]) << k;
    }
}

TEST_F(TextureGl, StorageHasOneLevelWhateverTheSize) {
    for (int size : {1, 2, 6, 16}) {
        fakegl::clearCalls();
        GLFWTexture texture(resource::kBackground01, size);
        const fakegl::Call* storage = fakegl::first("glTexStorage2D");
        ASSERT_NE(storage, nullptr);
        EXPECT_EQ(storage->i(1), 1) << size;
        EXPECT_EQ(storage->i(3), size);
    }
}

TEST_F(TextureGl, LargeTexturesGoUpInBandsOfWholeRows) {
    // 512 texels of 16 bytes a row: bands of 128 rows (1 MiB), one after
    // the other, together the texels readBitmapPixels gives in one buffer.
    constexpr int kSide = 512, kBand = 128;
    GLFWTexture texture(resource::kBackground01, kSide);
    const std::vector<fakegl::Call> uploads = fakegl::callsNamed("glTexSubImage2D");
    ASSERT_EQ(uploads.size(), static_cast<std::size_t>(kSide / kBand));
    std::vector<float> whole(static_cast<std::size_t>(kSide) * kSide * 4);
    readBitmapPixels(whole.data(), resource::kBackground01, kSide, kSide, 1);
    const std::size_t bandBytes = static_cast<std::size_t>(kBand) * kSide * 4 * sizeof(float);
    for (std::size_t k = 0; k < uploads.size(); ++k) {
        EXPECT_EQ(uploads[k].i(3), static_cast<long long>(k) * kBand) << "y offset of band " << k;
        EXPECT_EQ(uploads[k].i(5), kBand) << "height of band " << k;
        ASSERT_EQ(uploads[k].bytes.size(), bandBytes);
        EXPECT_EQ(std::memcmp(uploads[k].bytes.data(), reinterpret_cast<const char*>(whole.data()) + k * bandBytes,
                              bandBytes),
                  0)
            << "band " << k;
    }
}

TEST_F(TextureGl, NonPositiveSizeAllocatesNothing) {
    GLFWTexture texture(resource::kBackground01, 0);
    EXPECT_EQ(fakegl::count("glGenTextures"), 1u);
    EXPECT_EQ(fakegl::count("glTexStorage2D"), 0u);
    EXPECT_EQ(fakegl::count("glTexSubImage2D"), 0u);
}

TEST_F(TextureGl, DestructionDeletesTheName) {
    { GLFWTexture texture(resource::kBackground01, 2); }
    const fakegl::Call* del = fakegl::last("glDeleteTextures");
    ASSERT_NE(del, nullptr);
    EXPECT_EQ(del->i(0), 1);
}

}  // namespace
