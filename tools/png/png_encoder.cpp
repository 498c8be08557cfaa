#include "tools/png/png_encoder.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>

namespace {

using Bytes = std::vector<std::uint8_t>;

void put32be(Bytes& b, std::uint32_t v) {
    b.push_back((v >> 24) & 255);
    b.push_back((v >> 16) & 255);
    b.push_back((v >> 8) & 255);
    b.push_back(v & 255);
}

// ---------------------------------------------------------------------------
// CRC-32 (PNG chunks) and Adler-32 (zlib stream).
std::uint32_t crc32(const std::uint8_t* p, std::size_t n, std::uint32_t crc = 0) {
    static std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t i = 0; i < 256; ++i) {
            std::uint32_t c = i;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[i] = c;
        }
        return t;
    }();
    crc = ~crc;
    for (std::size_t i = 0; i < n; ++i) crc = table[(crc ^ p[i]) & 255] ^ (crc >> 8);
    return ~crc;
}
std::uint32_t adler32(const Bytes& d) {
    std::uint32_t a = 1, b = 0;
    std::size_t i = 0;
    while (i < d.size()) {
        const std::size_t end = std::min(d.size(), i + 5552);
        for (; i < end; ++i) {
            a += d[i];
            b += a;
        }
        a %= 65521;
        b %= 65521;
    }
    return (b << 16) | a;
}

// ---------------------------------------------------------------------------
// Deflate, one block with the fixed Huffman codes and greedy LZ77 matching
// against the most recent position of each 3-byte hash.
class BitWriter {
public:
    explicit BitWriter(Bytes& out) : out_(out) {}
    void bits(std::uint32_t v, int n) {  // least significant bit first
        acc_ |= static_cast<std::uint64_t>(v) << count_;
        count_ += n;
        while (count_ >= 8) {
            out_.push_back(acc_ & 255);
            acc_ >>= 8;
            count_ -= 8;
        }
    }
    void code(std::uint32_t c, int n) {  // Huffman codes go most significant bit first
        std::uint32_t r = 0;
        for (int i = 0; i < n; ++i) r |= ((c >> i) & 1u) << (n - 1 - i);
        bits(r, n);
    }
    void flush() {
        if (count_ > 0) out_.push_back(acc_ & 255);
        acc_ = 0;
        count_ = 0;
    }

private:
    Bytes& out_;
    std::uint64_t acc_ = 0;
    int count_ = 0;
};

void literal(BitWriter& w, int v) {
    if (v < 144)
        w.code(0x30 + v, 8);
    else if (v < 256)
        w.code(0x190 + (v - 144), 9);
    else if (v < 280)
        w.code(v - 256, 7);
    else
        w.code(0xC0 + (v - 280), 8);
}

const int kLenBase[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                          31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
const int kLenExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
const int kDistBase[30] = {1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
                           193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
const int kDistExtra[30] = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                            6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

void match(BitWriter& w, int length, int distance) {
    int lc = 28;
    while (kLenBase[lc] > length) --lc;
    literal(w, 257 + lc);
    if (kLenExtra[lc]) w.bits(length - kLenBase[lc], kLenExtra[lc]);
    int dc = 29;
    while (kDistBase[dc] > distance) --dc;
    w.code(dc, 5);
    if (kDistExtra[dc]) w.bits(distance - kDistBase[dc], kDistExtra[dc]);
}

Bytes zlibCompress(const Bytes& in) {
    Bytes out;
    out.reserve(in.size() / 2 + 64);
    out.push_back(0x78);
    out.push_back(0x01);
    BitWriter w(out);
    w.bits(1, 1);  // final block
    w.bits(1, 2);  // fixed Huffman codes
    constexpr int kHashBits = 16;
    constexpr std::size_t kWindow = 32768;
    std::vector<std::int64_t> head(1u << kHashBits, -1);
    const std::size_t n = in.size();
    std::size_t i = 0;
    while (i < n) {
        int best = 0;
        std::size_t bestDist = 0;
        if (i + 3 <= n) {
            const std::uint32_t key = ((in[i] << 16) | (in[i + 1] << 8) | in[i + 2]) * 2654435761u >> (32 - kHashBits);
            const std::int64_t cand = head[key];
            head[key] = static_cast<std::int64_t>(i);
            // Prefer the run of the previous pixel or byte when it is at least as long.
            const std::size_t tries[3] = {cand >= 0 ? static_cast<std::size_t>(cand) : i, i >= 3 ? i - 3 : i,
                                          i >= 1 ? i - 1 : i};
            for (std::size_t c : tries) {
                if (c >= i || i - c > kWindow) continue;
                const std::size_t limit = std::min<std::size_t>(258, n - i);
                std::size_t l = 0;
                while (l < limit && in[c + l] == in[i + l]) ++l;
                if (static_cast<int>(l) > best) {
                    best = static_cast<int>(l);
                    bestDist = i - c;
                }
            }
        }
        if (best >= 3) {
            match(w, best, static_cast<int>(bestDist));
            // Keep the hash table fresh inside long matches, sparsely.
            for (std::size_t k = i + 1; k + 3 <= n && k < i + best; k += 4) {
                const std::uint32_t key =
                    ((in[k] << 16) | (in[k + 1] << 8) | in[k + 2]) * 2654435761u >> (32 - kHashBits);
                head[key] = static_cast<std::int64_t>(k);
            }
            i += best;
        } else {
            literal(w, in[i]);
            ++i;
        }
    }
    literal(w, 256);
    w.flush();
    put32be(out, adler32(in));
    return out;
}

void chunk(Bytes& png, const char* type, const Bytes& data) {
    put32be(png, static_cast<std::uint32_t>(data.size()));
    const std::size_t start = png.size();
    png.insert(png.end(), type, type + 4);
    png.insert(png.end(), data.begin(), data.end());
    put32be(png, crc32(&png[start], png.size() - start));
}

int paeth(int a, int b, int c) {
    const int p = a + b - c;
    const int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    if (pa <= pb && pa <= pc) return a;
    return pb <= pc ? b : c;
}

}  // namespace

std::vector<std::uint8_t> encodePng(int w, int h, int channels, const std::uint8_t* pixels, bool bottomRowFirst) {
    const std::size_t stride = static_cast<std::size_t>(w) * channels;
    auto rowOf = [&](int y) { return pixels + static_cast<std::size_t>(bottomRowFirst ? h - 1 - y : y) * stride; };
    Bytes filtered;
    filtered.reserve((stride + 1) * h);
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* row = rowOf(y);
        const std::uint8_t* up = y > 0 ? rowOf(y - 1) : nullptr;
        filtered.push_back(4);  // Paeth
        for (std::size_t i = 0; i < stride; ++i) {
            const int a = i >= static_cast<std::size_t>(channels) ? row[i - channels] : 0;
            const int b = up ? up[i] : 0;
            const int c = (up && i >= static_cast<std::size_t>(channels)) ? up[i - channels] : 0;
            filtered.push_back(static_cast<std::uint8_t>(row[i] - paeth(a, b, c)));
        }
    }
    Bytes png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    Bytes ihdr;
    put32be(ihdr, w);
    put32be(ihdr, h);
    ihdr.push_back(8);
    ihdr.push_back(channels == 4 ? 6 : 2);  // RGBA or RGB
    ihdr.push_back(0);                      // deflate
    ihdr.push_back(0);                      // adaptive filtering
    ihdr.push_back(0);                      // no interlace
    chunk(png, "IHDR", ihdr);
    chunk(png, "IDAT", zlibCompress(filtered));
    chunk(png, "IEND", {});
    return png;
}

bool writePng(const std::string& path, int width, int height, const unsigned char* rgb, bool bottomRowFirst) {
    if (width <= 0 || height <= 0 || rgb == nullptr) return false;
    const Bytes png = encodePng(width, height, 3, rgb, bottomRowFirst);
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) return false;
    const bool written = std::fwrite(png.data(), 1, png.size(), f) == png.size();
    return std::fclose(f) == 0 && written;
}
