// Texel conversion and the storage-level table of GLFWTexture.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "gfx/texture.h"
#include "platform/platform.h"
#include "resources/resource_ids.h"

namespace {

// A scripted bitmap: width x height COLORREFs, row 0 at the top, as GDI
// numbers rows. Positions outside answer CLR_INVALID, as GetPixel does.
struct FakeBitmap {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
    int opened = 0;
    int closed = 0;
    int lastId = 0;
};
FakeBitmap fake;

platform::BitmapReader* fakeOpen(int id) {
    fake.opened++;
    fake.lastId = id;
    return reinterpret_cast<platform::BitmapReader*>(&fake);
}
std::uint32_t fakePixel(platform::BitmapReader* reader, int x, int y) {
    FakeBitmap* b = reinterpret_cast<FakeBitmap*>(reader);
    if (x < 0 || y < 0 || x >= b->width || y >= b->height) return platform::kInvalidColor;
    return b->pixels[static_cast<std::size_t>(y * b->width + x)];
}
void fakeClose(platform::BitmapReader*) { fake.closed++; }
int rowReads = 0;
void fakeRow(platform::BitmapReader* reader, int y, int width, std::uint32_t* colors) {
    ++rowReads;
    for (int x = 0; x < width; ++x) colors[x] = fakePixel(reader, x, y);
}
const BitmapPixelSource kFakeSource = {fakeOpen, fakePixel, fakeClose};
const BitmapPixelSource kFakeRowSource = {fakeOpen, fakePixel, fakeClose, fakeRow};

constexpr std::uint32_t rgb(unsigned r, unsigned g, unsigned b) { return r | (g << 8) | (b << 16); }

class TexturePixels : public ::testing::Test {
protected:
    void SetUp() override {
        fake = FakeBitmap();
        setBitmapPixelSource(&kFakeSource);
    }
    void TearDown() override { setBitmapPixelSource(nullptr); }
    static void paint(int w, int h, std::uint32_t colour) {
        fake.width = w;
        fake.height = h;
        fake.pixels.assign(static_cast<std::size_t>(w * h), colour);
    }
};

TEST_F(TexturePixels, FlipPutsTopLeftPixelIntoLastRow) {
    const int n = 4;
    paint(n, n, rgb(0, 0, 0));
    fake.pixels[0] = rgb(255, 0, 0);  // top-left
    std::vector<float> buffer(n * n * 4, -1.0f);
    readBitmapPixels(buffer.data(), resource::kBackground04, n, n, 1);
    const float* texel = &buffer[((n - 1) * n + 0) * 4];
    EXPECT_EQ(texel[0], 1.0f);
    EXPECT_EQ(texel[1], 0.0f);
    EXPECT_EQ(texel[2], 0.0f);
    EXPECT_EQ(texel[3], 1.0f);
    EXPECT_EQ(buffer[0], 0.0f) << "first buffer row is the bitmap's bottom row";
    EXPECT_EQ(fake.lastId, resource::kBackground04);
    EXPECT_EQ(fake.opened, 1);
    EXPECT_EQ(fake.closed, 1);

    readBitmapPixels(buffer.data(), resource::kBackground04, n, n, 0);
    EXPECT_EQ(buffer[0], 1.0f) << "without the flip, row 0 stays on top";
}

TEST_F(TexturePixels, ChannelConversion) {
    struct Case {
        std::uint32_t colour;
        float r, g, b, a;
    } cases[] = {
        {rgb(128, 0, 0), 128 / 255.0f, 0, 0, 1},
        {rgb(0, 128, 0), 0, 128 / 255.0f, 0, 1},
        {rgb(0, 0, 128), 0, 0, 128 / 255.0f, 1},
        {rgb(1, 2, 254), 1 / 255.0f, 2 / 255.0f, 254 / 255.0f, 1},
        {rgb(255, 255, 255), 1, 1, 1, 1},
        {platform::kInvalidColor, 1, 1, 1, 1},  // CLR_INVALID: white, not garbage
        {0x00FFFFFEu, 254 / 255.0f, 1, 1, 1},   // one bit short of CLR_INVALID's low bits
    };
    for (const Case& c : cases) {
        paint(2, 2, c.colour);
        std::vector<float> buffer(2 * 2 * 4, -1.0f);
        readBitmapPixels(buffer.data(), 1, 2, 2, 1);
        for (int t = 0; t < 4; ++t) {
            EXPECT_EQ(buffer[t * 4 + 0], c.r) << std::hex << c.colour;
            EXPECT_EQ(buffer[t * 4 + 1], c.g) << std::hex << c.colour;
            EXPECT_EQ(buffer[t * 4 + 2], c.b) << std::hex << c.colour;
            EXPECT_EQ(buffer[t * 4 + 3], c.a) << std::hex << c.colour;
        }
    }
}

TEST_F(TexturePixels, PositionsOutsideTheBitmapBecomeWhite) {
    // A 2 x 2 bitmap read as 3 x 3: the right column and the row beyond the
    // bottom (the buffer's first row after the flip) are outside.
    paint(2, 2, rgb(0, 0, 0));
    std::vector<float> buffer(3 * 3 * 4, -1.0f);
    readBitmapPixels(buffer.data(), 1, 3, 3, 1);
    for (int i = 0; i < 3; ++i)
        for (int x = 0; x < 3; ++x) {
            const bool outside = x == 2 || i == 0;
            const float expected = outside ? 1.0f : 0.0f;
            EXPECT_EQ(buffer[(i * 3 + x) * 4], expected) << "row " << i << " col " << x;
            EXPECT_EQ(buffer[(i * 3 + x) * 4 + 3], 1.0f);
        }
}

TEST_F(TexturePixels, RowReadsGiveThePixelReadsTexels) {
    // A source that reads whole rows (the platform's) is asked once a row
    // and gives the texels of the pixel-by-pixel read, flipped or not, with
    // the positions past the bitmap's edge white.
    paint(3, 2, 0);
    for (std::size_t k = 0; k < fake.pixels.size(); ++k) fake.pixels[k] = rgb(10 * k, 255 - k, 7 * k);
    for (unsigned char flip : {0, 1}) {
        std::vector<float> byPixel(4 * 3 * 4), byRow(4 * 3 * 4);
        readBitmapPixels(byPixel.data(), 1, 4, 3, flip);
        setBitmapPixelSource(&kFakeRowSource);
        rowReads = 0;
        readBitmapPixels(byRow.data(), 1, 4, 3, flip);
        setBitmapPixelSource(&kFakeSource);
        EXPECT_EQ(rowReads, 3);
        EXPECT_EQ(byRow, byPixel) << "flip " << int(flip);
    }
}

TEST(TextureBitmaps, MissingBitmapReadsWhiteThroughThePlatform) {
    // The platform reader answers CLR_INVALID for every pixel of a missing
    // resource, so the texture is white rather than undefined.
    setBitmapPixelSource(nullptr);
    std::vector<float> buffer(8 * 8 * 4, -1.0f);
    readBitmapPixels(buffer.data(), 4242, 8, 8, 1);
    for (float v : buffer) ASSERT_EQ(v, 1.0f);
}

}  // namespace

// A decoded photograph (rows top to bottom) lands bottom row first, like a
// flipped bitmap, with every byte scaled to [0, 1] and alpha 1.
TEST(TextureRgbPixels, BottomRowFirstScaledToUnit) {
    const unsigned char rgb[] = {255, 0,   51, 0,  0,  0,     // top row: red-ish, black
                                 0,   255, 0,  10, 20, 255};  // bottom row: green, blue-ish
    std::vector<float> buffer(2 * 2 * 4, -1.0f);
    readRgbPixels(buffer.data(), rgb, 2, 2);
    const std::vector<float> expected = {0.0f, 1.0f, 0.0f, 1.0f, 10 / 255.0f, 20 / 255.0f, 1.0f, 1.0f,
                                         1.0f, 0.0f, 0.2f, 1.0f, 0.0f,        0.0f,        0.0f, 1.0f};
    for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_FLOAT_EQ(buffer[i], expected[i]) << i;
}
