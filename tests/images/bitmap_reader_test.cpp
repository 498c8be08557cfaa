// The Linux bitmap reader: hand-made BMP files byte by byte, broken files,
// and the generated images the build links in.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <set>
#include <vector>

#include "platform/linux/bitmap_linux.h"
#include "platform/platform.h"
#include "resources/resource_ids.h"

namespace {

using platform::kInvalidColor;

void put16(std::vector<unsigned char>& b, std::size_t at, std::uint32_t v) {
    b[at] = v & 0xFF;
    b[at + 1] = (v >> 8) & 0xFF;
}
void put32(std::vector<unsigned char>& b, std::size_t at, std::uint32_t v) {
    for (int k = 0; k < 4; ++k) b[at + k] = (v >> (8 * k)) & 0xFF;
}

// Pixel (x, y) of the 3x2 test image, y from the top, as 0x00BBGGRR.
std::uint32_t expected(int x, int y) {
    const std::uint32_t r = 0x10 + x * 0x20 + y, g = 0x80 + x + y * 0x10, b = 0xF0 - x * 3 - y * 0x40;
    return r | g << 8 | b << 16;
}

// A 3x2 24-bit BMP; rows are 9 bytes padded to 12 (padding filled with 0xEE
// so that reading it by mistake shows).
std::vector<unsigned char> makeBmp(bool topDown) {
    const int w = 3, h = 2, stride = 12;
    std::vector<unsigned char> b(54 + stride * h, 0);
    b[0] = 'B';
    b[1] = 'M';
    put32(b, 2, std::uint32_t(b.size()));
    put32(b, 10, 54);
    put32(b, 14, 40);
    put32(b, 18, w);
    put32(b, 22, std::uint32_t(topDown ? -h : h));
    put16(b, 26, 1);
    put16(b, 28, 24);
    put32(b, 30, 0);
    for (int row = 0; row < h; ++row) {
        const int y = topDown ? row : h - 1 - row;
        unsigned char* p = b.data() + 54 + row * stride;
        for (int x = 0; x < w; ++x) {
            const std::uint32_t c = expected(x, y);
            p[x * 3] = (c >> 16) & 0xFF;
            p[x * 3 + 1] = (c >> 8) & 0xFF;
            p[x * 3 + 2] = c & 0xFF;
        }
        std::fill(p + 9, p + stride, 0xEE);
    }
    return b;
}

void expectAllInvalid(const platform::BmpView& v) {
    for (int y = -1; y <= 3; ++y)
        for (int x = -1; x <= 4; ++x) EXPECT_EQ(platform::bmpPixel(v, x, y), kInvalidColor) << x << "," << y;
}

TEST(BmpParse, ReadsEveryPixelBottomUpAndTopDown) {
    for (bool topDown : {false, true}) {
        SCOPED_TRACE(topDown ? "top-down" : "bottom-up");
        const auto bytes = makeBmp(topDown);
        platform::BmpView v;
        ASSERT_TRUE(platform::parseBmp(bytes.data(), bytes.size(), &v));
        EXPECT_EQ(v.width, 3);
        EXPECT_EQ(v.height, 2);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 3; ++x) EXPECT_EQ(platform::bmpPixel(v, x, y), expected(x, y)) << x << "," << y;
        for (auto [x, y] : {std::pair{-1, 0}, {3, 0}, {0, 2}, {0, -1}})
            EXPECT_EQ(platform::bmpPixel(v, x, y), kInvalidColor) << x << "," << y;
    }
}

TEST(BmpParse, RowsAreThePixelsAndInvalidBeyondTheImage) {
    constexpr std::uint32_t kUntouched = 0x12345678u;
    for (bool topDown : {false, true}) {
        SCOPED_TRACE(topDown ? "top-down" : "bottom-up");
        const auto bytes = makeBmp(topDown);
        platform::BmpView v;
        ASSERT_TRUE(platform::parseBmp(bytes.data(), bytes.size(), &v));
        for (int y : {-1, 0, 1, 2})
            for (int width : {0, 2, 3, 5}) {  // inside, the whole row, past its end
                std::vector<std::uint32_t> row(static_cast<std::size_t>(width) + 1, kUntouched);
                platform::bmpRow(v, y, width, row.data());
                for (int x = 0; x < width; ++x) EXPECT_EQ(row[x], platform::bmpPixel(v, x, y)) << x << "," << y;
                EXPECT_EQ(row[width], kUntouched) << "written past the width, row " << y;
            }
    }
    std::uint32_t row[3] = {0, 0, 0};
    platform::bmpRow(platform::BmpView{}, 0, 3, row);
    for (std::uint32_t c : row) EXPECT_EQ(c, kInvalidColor);
}

TEST(BmpParse, RejectsBrokenFiles) {
    struct Case {
        const char* name;
        void (*spoil)(std::vector<unsigned char>&);
    };
    const Case cases[] = {
        {"truncated by one byte", [](std::vector<unsigned char>& b) { b.pop_back(); }},
        {"header only", [](std::vector<unsigned char>& b) { b.resize(54); }},
        {"shorter than headers", [](std::vector<unsigned char>& b) { b.resize(30); }},
        {"empty", [](std::vector<unsigned char>& b) { b.clear(); }},
        {"wrong magic", [](std::vector<unsigned char>& b) { b[1] = 'A'; }},
        {"info header too small", [](std::vector<unsigned char>& b) { put32(b, 14, 12); }},
        {"info header past the end", [](std::vector<unsigned char>& b) { put32(b, 14, 4000); }},
        {"32 bpp", [](std::vector<unsigned char>& b) { put16(b, 28, 32); }},
        {"8 bpp", [](std::vector<unsigned char>& b) { put16(b, 28, 8); }},
        {"RLE compression", [](std::vector<unsigned char>& b) { put32(b, 30, 1); }},
        {"zero width", [](std::vector<unsigned char>& b) { put32(b, 18, 0); }},
        {"negative width", [](std::vector<unsigned char>& b) { put32(b, 18, std::uint32_t(-3)); }},
        {"zero height", [](std::vector<unsigned char>& b) { put32(b, 22, 0); }},
        {"most negative height", [](std::vector<unsigned char>& b) { put32(b, 22, 0x80000000u); }},
        {"huge width", [](std::vector<unsigned char>& b) { put32(b, 18, 0x7FFFFFFFu); }},
        {"huge height", [](std::vector<unsigned char>& b) { put32(b, 22, 0x7FFFFFFFu); }},
        {"pixel offset inside headers", [](std::vector<unsigned char>& b) { put32(b, 10, 20); }},
        {"pixel offset past the end", [](std::vector<unsigned char>& b) { put32(b, 10, 0xFFFFFFF0u); }},
        {"pixel offset leaves too few rows", [](std::vector<unsigned char>& b) { put32(b, 10, 58); }},
        {"garbage",
         [](std::vector<unsigned char>& b) {
             for (std::size_t k = 0; k < b.size(); ++k) b[k] = static_cast<unsigned char>(k * 37 + 11);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto bytes = makeBmp(false);
        c.spoil(bytes);
        platform::BmpView v;
        v.width = 99;  // must be cleared on failure
        EXPECT_FALSE(platform::parseBmp(bytes.data(), bytes.size(), &v));
        EXPECT_EQ(v.pixels, nullptr);
        expectAllInvalid(v);
    }
    platform::BmpView v;
    EXPECT_FALSE(platform::parseBmp(nullptr, 100, &v));
    expectAllInvalid(v);
}

TEST(BitmapResource, MissingResourceGivesOnlyInvalidPixels) {
    for (int id : {0, -1, resource::kRippleVertexShader, 9999}) {  // a TEXTFILE, not a BITMAP
        platform::BitmapReader* r = platform::openBitmap(id);
        ASSERT_NE(r, nullptr);
        EXPECT_EQ(platform::bitmapPixel(r, 0, 0), kInvalidColor) << id;
        EXPECT_EQ(platform::bitmapPixel(r, 5, 5), kInvalidColor) << id;
        std::uint32_t row[4] = {0, 0, 0, 0};
        platform::bitmapRow(r, 0, 4, row);
        for (std::uint32_t c : row) EXPECT_EQ(c, kInvalidColor) << id;
        platform::closeBitmap(r);
    }
    EXPECT_EQ(platform::bitmapPixel(nullptr, 0, 0), kInvalidColor);
    std::uint32_t row[2] = {0, 0};
    platform::bitmapRow(nullptr, 0, 2, row);
    EXPECT_EQ(row[1], kInvalidColor);
    platform::closeBitmap(nullptr);
}

// Distinct colours over a grid of samples: a flat or nearly flat image means
// the generator or the reader went wrong.
std::size_t distinctSamples(platform::BitmapReader* r, int w, int h) {
    std::set<std::uint32_t> seen;
    for (int j = 0; j < 8; ++j)
        for (int i = 0; i < 8; ++i) seen.insert(platform::bitmapPixel(r, i * (w - 1) / 7, j * (h - 1) / 7));
    return seen.size();
}

TEST(BitmapResource, BackgroundsAre1024Square) {
    for (int id = resource::kBackground01; id <= resource::kBackground20; ++id) {
        SCOPED_TRACE(id);
        platform::BitmapReader* r = platform::openBitmap(id);
        EXPECT_NE(platform::bitmapPixel(r, 0, 0), kInvalidColor);
        EXPECT_NE(platform::bitmapPixel(r, 1023, 1023), kInvalidColor);
        EXPECT_EQ(platform::bitmapPixel(r, 1024, 0), kInvalidColor);
        EXPECT_EQ(platform::bitmapPixel(r, 0, 1024), kInvalidColor);
        EXPECT_GE(distinctSamples(r, 1024, 1024), 8u);
        platform::closeBitmap(r);
    }
}

TEST(BitmapResource, LogoIs110By83) {
    platform::BitmapReader* r = platform::openBitmap(resource::kLogoBitmap);
    EXPECT_NE(platform::bitmapPixel(r, 0, 0), kInvalidColor);
    EXPECT_NE(platform::bitmapPixel(r, 109, 82), kInvalidColor);
    EXPECT_EQ(platform::bitmapPixel(r, 110, 0), kInvalidColor);
    EXPECT_EQ(platform::bitmapPixel(r, 0, 83), kInvalidColor);
    EXPECT_GE(distinctSamples(r, 110, 83), 4u);
    platform::closeBitmap(r);
}

}  // namespace
