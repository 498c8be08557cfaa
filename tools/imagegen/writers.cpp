// File writers of the image generator: 24-bit BMP, PNG (tools/png) and ICO.
#include <cstdio>

#include "imagegen.h"
#include "tools/png/png_encoder.h"

namespace imagegen {

namespace {
using Bytes = std::vector<std::uint8_t>;

void put16(Bytes& b, std::uint32_t v) {
    b.push_back(v & 255);
    b.push_back((v >> 8) & 255);
}
void put32(Bytes& b, std::uint32_t v) {
    put16(b, v & 0xFFFF);
    put16(b, v >> 16);
}

bool writeFile(const std::string& path, const Bytes& data) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool ok = std::fwrite(data.data(), 1, data.size(), f) == data.size();
    return (std::fclose(f) == 0) && ok;
}

}  // namespace

bool writeBmp24(const std::string& path, const Image& img) {
    const std::uint32_t stride = (static_cast<std::uint32_t>(img.w) * 3 + 3) & ~3u;
    const std::uint32_t imageSize = stride * img.h;
    Bytes b;
    b.reserve(54 + imageSize);
    b.push_back('B');
    b.push_back('M');
    put32(b, 54 + imageSize);
    put32(b, 0);
    put32(b, 54);
    put32(b, 40);
    put32(b, img.w);
    put32(b, img.h);  // positive: rows bottom to top
    put16(b, 1);
    put16(b, 24);
    put32(b, 0);  // BI_RGB
    put32(b, imageSize);
    put32(b, 2835);
    put32(b, 2835);
    put32(b, 0);
    put32(b, 0);
    for (int y = img.h - 1; y >= 0; --y) {
        const std::size_t rowStart = b.size();
        for (int x = 0; x < img.w; ++x) {
            const Col& c = img.at(x, y);
            b.push_back(toByte(c.b, x, y, 2));
            b.push_back(toByte(c.g, x, y, 1));
            b.push_back(toByte(c.r, x, y, 0));
        }
        while (b.size() - rowStart < stride) b.push_back(0);
    }
    return writeFile(path, b);
}

bool writePngRgb(const std::string& path, const Image& img) {
    Bytes raw;
    raw.reserve(static_cast<std::size_t>(img.w) * img.h * 3);
    for (int y = 0; y < img.h; ++y)
        for (int x = 0; x < img.w; ++x) {
            const Col& c = img.at(x, y);
            raw.push_back(toByte(c.r, x, y, 0));
            raw.push_back(toByte(c.g, x, y, 1));
            raw.push_back(toByte(c.b, x, y, 2));
        }
    return writeFile(path, encodePng(img.w, img.h, 3, raw.data()));
}

std::vector<std::uint8_t> encodePngRgba(const ImageRGBA& img) { return encodePng(img.w, img.h, 4, img.px.data()); }

bool writeIco(const std::string& path, const std::vector<ImageRGBA>& images) {
    std::vector<Bytes> entries;
    for (const ImageRGBA& im : images) {
        if (im.w >= 256) {
            entries.push_back(encodePngRgba(im));
            continue;
        }
        // 32-bit BGRA DIB, doubled height (colour rows, then the AND mask), bottom-up.
        const std::uint32_t maskStride = ((im.w + 31) / 32) * 4;
        Bytes d;
        put32(d, 40);
        put32(d, im.w);
        put32(d, im.h * 2);
        put16(d, 1);
        put16(d, 32);
        put32(d, 0);
        put32(d, im.w * im.h * 4 + maskStride * im.h);
        put32(d, 0);
        put32(d, 0);
        put32(d, 0);
        put32(d, 0);
        for (int y = im.h - 1; y >= 0; --y)
            for (int x = 0; x < im.w; ++x) {
                const std::uint8_t* p = &im.px[(static_cast<std::size_t>(y) * im.w + x) * 4];
                d.push_back(p[2]);
                d.push_back(p[1]);
                d.push_back(p[0]);
                d.push_back(p[3]);
            }
        for (int y = im.h - 1; y >= 0; --y) {
            Bytes row(maskStride, 0);
            for (int x = 0; x < im.w; ++x)
                if (im.px[(static_cast<std::size_t>(y) * im.w + x) * 4 + 3] == 0) row[x / 8] |= 0x80 >> (x % 8);
            d.insert(d.end(), row.begin(), row.end());
        }
        entries.push_back(d);
    }
    Bytes f;
    put16(f, 0);
    put16(f, 1);
    put16(f, static_cast<std::uint32_t>(images.size()));
    std::uint32_t offset = 6 + 16 * static_cast<std::uint32_t>(images.size());
    for (std::size_t i = 0; i < images.size(); ++i) {
        f.push_back(images[i].w >= 256 ? 0 : images[i].w);
        f.push_back(images[i].h >= 256 ? 0 : images[i].h);
        f.push_back(0);
        f.push_back(0);
        put16(f, 1);
        put16(f, 32);
        put32(f, static_cast<std::uint32_t>(entries[i].size()));
        put32(f, offset);
        offset += static_cast<std::uint32_t>(entries[i].size());
    }
    for (const Bytes& e : entries) f.insert(f.end(), e.begin(), e.end());
    return writeFile(path, f);
}

}  // namespace imagegen
