#include "tests/support/png_writer.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>

namespace {

std::uint32_t crc32(const unsigned char* data, std::size_t size, std::uint32_t crc = 0) {
    static std::uint32_t table[256];
    static bool ready = false;
    if (!ready) {
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k) c = (c & 1u) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            table[n] = c;
        }
        ready = true;
    }
    crc = ~crc;
    for (std::size_t i = 0; i < size; ++i) crc = table[(crc ^ data[i]) & 0xFFu] ^ (crc >> 8);
    return ~crc;
}

void put32(std::vector<unsigned char>& out, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<unsigned char>(v >> shift));
}

void chunk(std::vector<unsigned char>& out, const char* type, const std::vector<unsigned char>& data) {
    put32(out, static_cast<std::uint32_t>(data.size()));
    const std::size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    put32(out, crc32(out.data() + start, out.size() - start));
}

}  // namespace

bool writePng(const std::string& path, int width, int height, const unsigned char* rgb, bool bottomRowFirst) {
    if (width <= 0 || height <= 0 || rgb == nullptr) return false;
    const std::size_t rowBytes = static_cast<std::size_t>(width) * 3u;
    // The filtered rows: a 0 (no filter) byte before each row, top row first.
    std::vector<unsigned char> raw;
    raw.reserve((rowBytes + 1u) * static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y) {
        const int row = bottomRowFirst ? height - 1 - y : y;
        const unsigned char* p = rgb + static_cast<std::size_t>(row) * rowBytes;
        raw.push_back(0);
        raw.insert(raw.end(), p, p + rowBytes);
    }
    // A zlib stream of stored (uncompressed) deflate blocks.
    std::vector<unsigned char> z = {0x78, 0x01};
    std::uint32_t a = 1, b = 0;
    for (unsigned char c : raw) {
        a = (a + c) % 65521u;
        b = (b + a) % 65521u;
    }
    std::size_t offset = 0;
    do {
        const std::size_t n = std::min<std::size_t>(65535u, raw.size() - offset);
        z.push_back(offset + n == raw.size() ? 1 : 0);
        z.push_back(static_cast<unsigned char>(n & 0xFFu));
        z.push_back(static_cast<unsigned char>(n >> 8));
        z.push_back(static_cast<unsigned char>(~n & 0xFFu));
        z.push_back(static_cast<unsigned char>((~n >> 8) & 0xFFu));
        z.insert(z.end(), raw.begin() + static_cast<std::ptrdiff_t>(offset),
                 raw.begin() + static_cast<std::ptrdiff_t>(offset + n));
        offset += n;
    } while (offset < raw.size());
    put32(z, (b << 16) | a);

    std::vector<unsigned char> header;
    put32(header, static_cast<std::uint32_t>(width));
    put32(header, static_cast<std::uint32_t>(height));
    header.insert(header.end(), {8, 2, 0, 0, 0});  // 8 bits, RGB, deflate, no filter, no interlace
    std::vector<unsigned char> file = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    chunk(file, "IHDR", header);
    chunk(file, "IDAT", z);
    chunk(file, "IEND", {});

    FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) return false;
    const bool written = std::fwrite(file.data(), 1, file.size(), f) == file.size();
    return std::fclose(f) == 0 && written;
}

std::vector<unsigned char> toBytes(const std::vector<float>& rgb) {
    std::vector<unsigned char> bytes(rgb.size());
    for (std::size_t i = 0; i < rgb.size(); ++i) {
        const float v = std::isnan(rgb[i]) ? 0.0f : std::clamp(rgb[i], 0.0f, 1.0f);
        bytes[i] = static_cast<unsigned char>(std::lround(v * 255.0f));
    }
    return bytes;
}
