// Bitmap resources on Linux: the build links in the whole .bmp file, so the
// reader parses it in place instead of asking GDI.
#include "platform/linux/bitmap_linux.h"

#include <climits>

#include "platform/platform.h"

namespace platform {

namespace {

std::uint32_t u16(const unsigned char* p) { return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8; }

std::uint32_t u32(const unsigned char* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::uint32_t kInfoHeaderSize = 40;

}  // namespace

bool parseBmp(const unsigned char* data, std::size_t size, BmpView* out) {
    if (!out) return false;
    *out = BmpView{};
    if (!data || size < kFileHeaderSize + kInfoHeaderSize) return false;
    if (data[0] != 'B' || data[1] != 'M') return false;
    const std::uint64_t pixelOffset = u32(data + 10);
    const unsigned char* info = data + kFileHeaderSize;
    const std::uint64_t infoSize = u32(info);
    if (infoSize < kInfoHeaderSize || kFileHeaderSize + infoSize > size) return false;
    const std::int32_t width = std::int32_t(u32(info + 4));
    const std::int32_t height = std::int32_t(u32(info + 8));
    const std::uint32_t bitsPerPixel = u16(info + 14);
    const std::uint32_t compression = u32(info + 16);
    if (bitsPerPixel != 24 || compression != 0) return false;
    if (width <= 0 || height == 0 || height == INT32_MIN) return false;
    const std::uint64_t rows = height < 0 ? std::uint64_t(-std::int64_t(height)) : std::uint64_t(height);
    const std::uint64_t stride = (std::uint64_t(width) * 3 + 3) & ~std::uint64_t(3);
    if (pixelOffset < kFileHeaderSize + infoSize || pixelOffset > size) return false;
    if (rows * stride > size - pixelOffset) return false;
    out->pixels = data + pixelOffset;
    out->width = width;
    out->height = int(rows);
    out->topDown = height < 0;
    out->stride = std::size_t(stride);
    return true;
}

std::uint32_t bmpPixel(const BmpView& view, int x, int y) {
    if (!view.pixels || x < 0 || y < 0 || x >= view.width || y >= view.height) return kInvalidColor;
    const int row = view.topDown ? y : view.height - 1 - y;
    const unsigned char* p = view.pixels + std::size_t(row) * view.stride + std::size_t(x) * 3;
    return std::uint32_t(p[2]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[0]) << 16;
}

void bmpRow(const BmpView& view, int y, int width, std::uint32_t* colors) {
    int x = 0;
    if (view.pixels && y >= 0 && y < view.height) {
        const int row = view.topDown ? y : view.height - 1 - y;
        const unsigned char* p = view.pixels + std::size_t(row) * view.stride;
        for (const int inside = width < view.width ? width : view.width; x < inside; ++x, p += 3)
            colors[x] = std::uint32_t(p[2]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[0]) << 16;
    }
    for (; x < width; ++x) colors[x] = kInvalidColor;
}

struct BitmapReader {
    BmpView view;
};

BitmapReader* openBitmap(int id) {
    auto* reader = new BitmapReader();
    const Resource res = findResource("BITMAP", id);
    parseBmp(res.data, res.size, &reader->view);
    return reader;
}

std::uint32_t bitmapPixel(BitmapReader* reader, int x, int y) {
    return reader ? bmpPixel(reader->view, x, y) : kInvalidColor;
}

void bitmapRow(BitmapReader* reader, int y, int width, std::uint32_t* colors) {
    if (reader) {
        bmpRow(reader->view, y, width, colors);
    } else {
        for (int x = 0; x < width; ++x) colors[x] = kInvalidColor;
    }
}

void closeBitmap(BitmapReader* reader) { delete reader; }

}  // namespace platform
