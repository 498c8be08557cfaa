#include "mesh/objl.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <iostream>
#include <unordered_map>

namespace objl {

// ---------------------------------------------------------------------------
// Vectors

bool operator==(const Vector3& a, const Vector3& b) { return a.x == b.x && a.y == b.y && a.z == b.z; }
bool operator!=(const Vector3& a, const Vector3& b) { return !(a == b); }
Vector3 operator-(const Vector3& a, const Vector3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vector3 cross(const Vector3& a, const Vector3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
float dot(const Vector3& a, const Vector3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

// ---------------------------------------------------------------------------
// Text functions

namespace {
const char* const kWhite = " \t";
}

std::string keywordOf(const std::string& line) {
    if (line.empty()) return std::string();
    const std::size_t start = line.find_first_not_of(kWhite);
    if (start == std::string::npos) return std::string();
    const std::size_t end = line.find_first_of(kWhite, start);
    if (end == std::string::npos) return line.substr(start);
    return line.substr(start, end - start);
}

std::string restOf(const std::string& line) {
    const std::size_t start = line.find_first_not_of(kWhite);
    if (start == std::string::npos) return std::string();
    const std::size_t gap = line.find_first_of(kWhite, start);
    if (gap == std::string::npos) return std::string();
    const std::size_t from = line.find_first_not_of(kWhite, gap);
    const std::size_t to = line.find_last_not_of(kWhite);
    if (from == std::string::npos || to == std::string::npos) return std::string();
    return line.substr(from, to - from + 1);
}

std::vector<std::string> splitOn(const std::string& text, const std::string& delimiter) {
    std::vector<std::string> parts;
    const std::size_t n = text.size();
    const std::size_t d = delimiter.size();
    if (d == 0) {
        if (n != 0) parts.push_back(text);
        return parts;
    }
    std::string accumulator;
    for (std::size_t i = 0; i < n; ++i) {
        if (text.compare(i, d, delimiter) == 0) {
            if (!accumulator.empty()) {
                parts.push_back(accumulator);
                accumulator.clear();
                i += d - 1;
            } else {
                parts.emplace_back();
            }
        } else if (i + d >= n) {
            accumulator.append(text, i, d);
            parts.push_back(accumulator);
            break;
        } else {
            accumulator.push_back(text[i]);
        }
    }
    return parts;
}

std::string trimLineBreaks(const std::string& text) {
    const std::size_t last = text.find_last_not_of("\r\n");
    if (last == std::string::npos) return text;
    return text.substr(0, last + 1);
}

bool toFloat(const std::string& text, float& out) {
    const char* begin = text.c_str();
    char* end = nullptr;
    errno = 0;
    const float value = std::strtof(begin, &end);
    if (end == begin || errno == ERANGE) return false;
    out = value;
    return true;
}

bool toInt(const std::string& text, std::int32_t& out) {
    const char* begin = text.c_str();
    char* end = nullptr;
    errno = 0;
    const long long value = std::strtoll(begin, &end, 10);
    if (end == begin || errno == ERANGE || value < INT32_MIN || value > INT32_MAX) return false;
    out = static_cast<std::int32_t>(value);
    return true;
}

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t feed = text.find('\n', pos);
        if (feed == std::string::npos) feed = text.size();
        lines.emplace_back(text, pos, feed - pos);
        pos = feed + 1;
    }
    return lines;
}

// ---------------------------------------------------------------------------
// MTL reader

namespace {

// Three values separated by single blanks; false (out untouched) otherwise.
bool readColour(const std::string& line, Vector3& out) {
    const std::vector<std::string> parts = splitOn(restOf(line), " ");
    if (parts.size() != 3) return false;
    Vector3 value;
    if (!toFloat(parts[0], value.x) || !toFloat(parts[1], value.y) || !toFloat(parts[2], value.z)) {
        return false;
    }
    out = value;
    return true;
}

}  // namespace

MeshLoader::MeshLoader() : progress(&std::cout) {}

bool MeshLoader::loadMtlText(const std::string& mtlText) {
    try {
        const std::vector<std::string> lines = splitLines(mtlText);
        std::vector<Material> read;
        Material current;
        bool started = false;
        for (const std::string& line : lines) {
            const std::string keyword = keywordOf(line);
            if (keyword == "newmtl") {
                if (started) {
                    read.push_back(current);
                    current = Material();
                } else {
                    started = true;
                }
                current.name = (line.size() > 7) ? trimLineBreaks(restOf(line)) : std::string("none");
            } else if (keyword == "Ka") {
                readColour(line, current.Ka);
            } else if (keyword == "Kd") {
                readColour(line, current.Kd);
            } else if (keyword == "Ks") {
                readColour(line, current.Ks);
            } else if (keyword == "Ns") {
                toFloat(restOf(line), current.Ns);
            } else if (keyword == "Ni") {
                toFloat(restOf(line), current.Ni);
            } else if (keyword == "d") {
                toFloat(restOf(line), current.d);
            } else if (keyword == "illum") {
                toInt(restOf(line), current.illum);
            } else if (keyword == "map_Ka") {
                current.map_Ka = restOf(line);
            } else if (keyword == "map_Kd") {
                current.map_Kd = restOf(line);
            } else if (keyword == "map_Ks") {
                current.map_Ks = restOf(line);
            } else if (keyword == "map_Ns") {
                current.map_Ns = restOf(line);
            } else if (keyword == "map_d") {
                current.map_d = restOf(line);
            } else if (keyword == "map_Bump" || keyword == "map_bump" || keyword == "bump") {
                current.map_bump = restOf(line);
            }
        }
        read.push_back(current);
        materials.reserve(materials.size() + read.size());
        materials.insert(materials.end(), read.begin(), read.end());
    } catch (const std::exception&) {
        // Out of memory: nothing appended.
        return false;
    }
    return !materials.empty();
}

// ---------------------------------------------------------------------------
// OBJ reader

namespace {

// The corner forms of a face token split on "/".
enum class Form { P, PT, PN, PTN };

// Removes every carriage return together with the character after it.
std::string dropCarriageReturns(const std::string& line) {
    if (line.find('\r') == std::string::npos) return line;
    std::string out;
    out.reserve(line.size());
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '\r') {
            ++i;  // the character after it goes too
            continue;
        }
        out.push_back(line[i]);
    }
    return out;
}

bool readVector3(const std::string& line, Vector3& out) {
    const std::vector<std::string> parts = splitOn(restOf(line), " ");
    if (parts.size() < 3) return false;
    Vector3 value;
    if (!toFloat(parts[0], value.x) || !toFloat(parts[1], value.y) || !toFloat(parts[2], value.z)) {
        return false;
    }
    out = value;
    return true;
}

bool readVector2(const std::string& line, Vector2& out) {
    const std::vector<std::string> parts = splitOn(restOf(line), " ");
    if (parts.size() < 2) return false;
    Vector2 value;
    if (!toFloat(parts[0], value.x) || !toFloat(parts[1], value.y)) return false;
    out = value;
    return true;
}

}  // namespace

std::vector<Vertex> buildFaceVertices(const std::string& line, const std::vector<Vector3>& positions,
                                      const std::vector<Vector2>& texCoords, const std::vector<Vector3>& normals) {
    std::vector<Vertex> corners;
    const std::vector<std::string> tokens = splitOn(restOf(line), " ");
    Vertex record;
    bool noNormals = false;
    for (const std::string& token : tokens) {
        const std::vector<std::string> parts = splitOn(token, "/");
        Form form;
        if (parts.size() == 1) {
            form = Form::P;
        } else if (parts.size() == 2) {
            form = Form::PT;
        } else if (parts.size() == 3) {
            form = parts[1].empty() ? Form::PN : Form::PTN;
        } else {
            continue;  // no part, or more than three: not a corner
        }
        // Filled on a copy: a corner that addresses nothing leaves no trace.
        Vertex next = record;
        bool ok = pickElement(positions, parts[0], next.position);
        switch (form) {
            case Form::P: next.texCoord = Vector2(0.0f, 0.0f); break;
            case Form::PT: ok = ok && pickElement(texCoords, parts[1], next.texCoord); break;
            case Form::PN:
                next.texCoord = Vector2(0.0f, 0.0f);
                ok = ok && pickElement(normals, parts[2], next.normal);
                break;
            case Form::PTN:
                ok = ok && pickElement(texCoords, parts[1], next.texCoord);
                ok = ok && pickElement(normals, parts[2], next.normal);
                break;
        }
        if (!ok) continue;
        if (form == Form::P || form == Form::PT) noNormals = true;
        record = next;
        corners.push_back(record);
    }
    if (noNormals) {
        Vector3 n;  // zero when there are fewer than three corners to span a plane
        if (corners.size() >= 3) {
            n = cross(corners[0].position - corners[1].position, corners[2].position - corners[1].position);
        }
        for (Vertex& corner : corners) corner.normal = n;
    }
    return corners;
}

bool pointInTriangle(const Vector3& p, const Vector3& a, const Vector3& b, const Vector3& c) {
    const Vector3 u = b - a;
    const Vector3 v = c - a;
    const Vector3 w = p - a;
    const Vector3 n = cross(u, v);
    const float nn = dot(n, n);
    const float gamma = dot(cross(u, w), n) / nn;
    const float beta = dot(cross(w, v), n) / nn;
    const float alpha = 1.0f - gamma - beta;
    // Written so that a NaN fails every comparison and gives false.
    return alpha >= 0.0f && alpha <= 1.0f && beta >= 0.0f && beta <= 1.0f && gamma >= 0.0f && gamma <= 1.0f;
}

// ---------------------------------------------------------------------------
// Triangulation, reference form: every scan starts at the first remaining
// corner and every ear test runs over all face corners.

std::vector<std::uint32_t> triangulateFaceReference(const std::vector<Vertex>& corners) {
    std::vector<std::uint32_t> out;
    const std::size_t count = corners.size();
    if (count < 3) return out;
    if (count == 3) return {0, 1, 2};

    auto emit = [&](const Vector3& first, const Vector3& second, const Vector3& third) {
        for (std::size_t j = 0; j < count; ++j) {
            const Vector3& q = corners[j].position;
            if (q == first) out.push_back(static_cast<std::uint32_t>(j));
            if (q == second) out.push_back(static_cast<std::uint32_t>(j));
            if (q == third) out.push_back(static_cast<std::uint32_t>(j));
        }
    };

    std::vector<Vector3> remaining;
    remaining.reserve(count);
    for (const Vertex& corner : corners) remaining.push_back(corner.position);

    for (std::size_t i = 0; i < remaining.size(); ++i) {
        const std::size_t m = remaining.size();
        const Vector3 cur = remaining[i];
        const Vector3 prev = remaining[(i == 0) ? m - 1 : i - 1];
        const Vector3 next = remaining[(i + 1 == m) ? 0 : i + 1];
        if (m == 4) {
            emit(cur, prev, next);
            Vector3 fourth;
            for (const Vector3& q : remaining) {
                if (q != cur && q != prev && q != next) {
                    fourth = q;
                    break;
                }
            }
            emit(prev, next, fourth);
            remaining.clear();
            break;
        }
        bool ear = true;
        for (std::size_t j = 0; j < count; ++j) {
            const Vector3& q = corners[j].position;
            if (pointInTriangle(q, prev, cur, next) && q != prev && q != cur && q != next) {
                ear = false;
                break;
            }
        }
        if (!ear) continue;
        emit(cur, prev, next);
        std::size_t r = i;  // a NaN corner equals nothing, itself included
        for (std::size_t k = 0; k < m; ++k) {
            if (remaining[k] == cur) {
                r = k;
                break;
            }
        }
        remaining.erase(remaining.begin() + static_cast<std::ptrdiff_t>(r));
        i = static_cast<std::size_t>(-1);  // restart the scan at 0
    }
    return out;
}

// ---------------------------------------------------------------------------
// Triangulation, fast form. It yields exactly what the reference form
// yields, with two savings:
//  * Whether a remaining corner is an ear depends only on the positions of
//    it and its two neighbours (the test runs over the fixed face corners),
//    so a corner found not to be an ear stays so until one of its
//    neighbours is removed. Those results are kept, and a rescan skips them.
//  * Corners are grouped by equal position once, so emitting a triangle
//    merges three short sorted lists instead of testing every corner, and
//    the ear test first rejects corners far outside the triangle with a
//    cheap linear bound before running the exact test.

namespace {

struct PositionKey {
    std::uint32_t x, y, z;
    bool operator==(const PositionKey& o) const { return x == o.x && y == o.y && z == o.z; }
};
struct PositionKeyHash {
    std::size_t operator()(const PositionKey& k) const {
        std::uint64_t h = k.x;
        h = h * 0x9E3779B97F4A7C15ull ^ k.y;
        h = h * 0x9E3779B97F4A7C15ull ^ k.z;
        return static_cast<std::size_t>(h ^ (h >> 29));
    }
};

std::uint32_t keyBits(float f) {
    if (f == 0.0f) f = 0.0f;  // -0 and +0 compare equal
    std::uint32_t bits;
    std::memcpy(&bits, &f, sizeof bits);
    return bits;
}

// Positions grouped into classes of equal positions. A position with a NaN
// equals nothing and has class -1.
class PositionClasses {
public:
    explicit PositionClasses(const std::vector<Vertex>& corners) {
        classOf_.reserve(corners.size());
        for (std::size_t j = 0; j < corners.size(); ++j) {
            const int c = classFor(corners[j].position, true);
            classOf_.push_back(c);
            if (c >= 0) members_[static_cast<std::size_t>(c)].push_back(static_cast<std::uint32_t>(j));
        }
    }
    int classOf(std::uint32_t corner) const { return classOf_[corner]; }
    int lookup(const Vector3& p) { return classFor(p, false); }
    const std::vector<std::uint32_t>* members(int c) const {
        return c < 0 ? nullptr : &members_[static_cast<std::size_t>(c)];
    }

private:
    int classFor(const Vector3& p, bool create) {
        if (std::isnan(p.x) || std::isnan(p.y) || std::isnan(p.z)) return -1;
        const PositionKey key{keyBits(p.x), keyBits(p.y), keyBits(p.z)};
        auto found = ids_.find(key);
        if (found != ids_.end()) return found->second;
        if (!create) return -1;
        const int id = static_cast<int>(members_.size());
        ids_.emplace(key, id);
        members_.emplace_back();
        return id;
    }
    std::vector<int> classOf_;
    std::vector<std::vector<std::uint32_t>> members_;
    std::unordered_map<PositionKey, int, PositionKeyHash> ids_;
};

// Appends the ascending merge of up to three sorted lists (a corner in two
// of them appears twice).
void emitMerged(std::vector<std::uint32_t>& out, const std::vector<std::uint32_t>* a,
                const std::vector<std::uint32_t>* b, const std::vector<std::uint32_t>* c,
                std::vector<std::uint32_t>& scratch) {
    static const std::vector<std::uint32_t> none;
    if (a == nullptr) a = &none;
    if (b == nullptr) b = &none;
    if (c == nullptr) c = &none;
    scratch.clear();
    std::merge(a->begin(), a->end(), b->begin(), b->end(), std::back_inserter(scratch));
    std::merge(scratch.begin(), scratch.end(), c->begin(), c->end(), std::back_inserter(out));
}

// The face corners' coordinates, one array per axis, for the bulk test.
struct CornerArrays {
    std::vector<float> x, y, z;
    explicit CornerArrays(const std::vector<Vertex>& corners) {
        x.reserve(corners.size());
        y.reserve(corners.size());
        z.reserve(corners.size());
        for (const Vertex& v : corners) {
            x.push_back(v.position.x);
            y.push_back(v.position.y);
            z.push_back(v.position.z);
        }
    }
};

// True when some face corner other than the three lies in triangle
// (prev, cur, next): the ear test.
bool hasCornerInside(const std::vector<Vertex>& corners, const CornerArrays& xyz, const Vector3& prev,
                     const Vector3& cur, const Vector3& next) {
    const std::size_t count = corners.size();
    auto exact = [&](std::size_t j) {
        const Vector3& q = corners[j].position;
        return pointInTriangle(q, prev, cur, next) && q != prev && q != cur && q != next;
    };

    const Vector3 u = cur - prev;
    const Vector3 v = next - prev;
    const Vector3 n = cross(u, v);
    const float nn = dot(n, n);
    // x / 0 is never within 0..1, and neither is anything divided by NaN:
    // no point lies in such a triangle.
    if (!(nn > 0.0f)) return false;

    // The barycentric coordinates are linear in w = p - prev:
    // gamma = w . (n x u) / nn, beta = w . (v x n) / nn. Evaluated in floats
    // they may differ from the exact test by rounding; the margin, far
    // larger than that rounding, keeps the rejection conservative.
    const double ux = u.x, uy = u.y, uz = u.z, vx = v.x, vy = v.y, vz = v.z;
    const double nx = n.x, ny = n.y, nz = n.z, nnd = static_cast<double>(nn);
    const double gx = (ny * uz - nz * uy) / nnd, gy = (nz * ux - nx * uz) / nnd, gz = (nx * uy - ny * ux) / nnd;
    const double bx = (vy * nz - vz * ny) / nnd, by = (vz * nx - vx * nz) / nnd, bz = (vx * ny - vy * nx) / nnd;
    const double lengthN = std::sqrt(nx * nx + ny * ny + nz * nz);
    const double k =
        1e-3 * std::max(std::sqrt(ux * ux + uy * uy + uz * uz), std::sqrt(vx * vx + vy * vy + vz * vz)) / lengthN;
    const double limit = 1e30;
    const bool usable = std::isfinite(nn) && std::abs(gx) < limit && std::abs(gy) < limit && std::abs(gz) < limit &&
                        std::abs(bx) < limit && std::abs(by) < limit && std::abs(bz) < limit && k < limit;
    if (!usable) {
        for (std::size_t j = 0; j < count; ++j) {
            if (exact(j)) return true;
        }
        return false;
    }

    const float fgx = static_cast<float>(gx), fgy = static_cast<float>(gy), fgz = static_cast<float>(gz);
    const float fbx = static_cast<float>(bx), fby = static_cast<float>(by), fbz = static_cast<float>(bz);
    const float fk = static_cast<float>(k);
    const float ax = prev.x, ay = prev.y, az = prev.z;
    const float* px = xyz.x.data();
    const float* py = xyz.y.data();
    const float* pz = xyz.z.data();
    auto candidate = [&](std::size_t j) {
        const float wx = px[j] - ax, wy = py[j] - ay, wz = pz[j] - az;
        const float g = wx * fgx + wy * fgy + wz * fgz;
        const float b = wx * fbx + wy * fby + wz * fbz;
        const float m = fk * (std::fabs(wx) + std::fabs(wy) + std::fabs(wz)) + 1e-5f;
        // NaN or infinite values fail every comparison and stay candidates.
        const bool outside = (g < -m) | (g > 1.0f + m) | (b < -m) | (b > 1.0f + m) | (g + b > 1.0f + m + m);
        return !outside;
    };

    // Whole blocks run a fixed-length loop without early exit, which the
    // compiler turns into vector code; a block holding a candidate is then
    // checked corner by corner.
    constexpr std::size_t kBlock = 64;
    std::size_t start = 0;
    for (; start + kBlock <= count; start += kBlock) {
        int any = 0;
        for (std::size_t j = 0; j < kBlock; ++j) {
            const float wx = px[start + j] - ax, wy = py[start + j] - ay, wz = pz[start + j] - az;
            const float g = wx * fgx + wy * fgy + wz * fgz;
            const float b = wx * fbx + wy * fby + wz * fbz;
            const float m = fk * (std::fabs(wx) + std::fabs(wy) + std::fabs(wz)) + 1e-5f;
            const int outside = (g < -m) | (g > 1.0f + m) | (b < -m) | (b > 1.0f + m) | (g + b > 1.0f + m + m);
            any |= outside ^ 1;
        }
        if (any == 0) continue;
        for (std::size_t j = start; j < start + kBlock; ++j) {
            if (candidate(j) && exact(j)) return true;
        }
    }
    for (std::size_t j = start; j < count; ++j) {
        if (candidate(j) && exact(j)) return true;
    }
    return false;
}

}  // namespace

std::vector<std::uint32_t> triangulateFace(const std::vector<Vertex>& corners) {
    std::vector<std::uint32_t> out;
    const std::size_t count = corners.size();
    if (count < 3) return out;
    if (count == 3) return {0, 1, 2};

    PositionClasses classes(corners);
    const CornerArrays xyz(corners);
    std::vector<std::uint32_t> scratch;

    std::vector<std::uint32_t> remaining(count);  // face corner numbers, in order
    for (std::size_t j = 0; j < count; ++j) remaining[j] = static_cast<std::uint32_t>(j);
    std::vector<char> notEar(count, 0);  // known not to be an ear with its current neighbours
    std::size_t low = 0;                 // every remaining corner before it is known not to be an ear

    auto position = [&](std::uint32_t corner) -> const Vector3& { return corners[corner].position; };
    auto members = [&](std::uint32_t corner) { return classes.members(classes.classOf(corner)); };

    for (;;) {
        const std::size_t m = remaining.size();
        if (m == 4) {
            const std::uint32_t cur = remaining[0], prev = remaining[3], next = remaining[1];
            emitMerged(out, members(cur), members(prev), members(next), scratch);
            Vector3 fourth;
            for (std::uint32_t q : remaining) {
                const Vector3& p = position(q);
                if (p != position(cur) && p != position(prev) && p != position(next)) {
                    fourth = p;
                    break;
                }
            }
            emitMerged(out, members(prev), members(next), classes.members(classes.lookup(fourth)), scratch);
            break;
        }
        bool found = false;
        for (std::size_t i = low; i < m; ++i) {
            if (notEar[i]) continue;
            const std::uint32_t cur = remaining[i];
            const std::uint32_t prev = remaining[(i == 0) ? m - 1 : i - 1];
            const std::uint32_t next = remaining[(i + 1 == m) ? 0 : i + 1];
            if (hasCornerInside(corners, xyz, position(prev), position(cur), position(next))) {
                notEar[i] = 1;
                continue;
            }
            emitMerged(out, members(cur), members(prev), members(next), scratch);
            // The first remaining corner at cur's position goes; cur itself
            // when it has none (a NaN position equals nothing).
            std::size_t r = i;
            const int curClass = classes.classOf(cur);
            if (curClass >= 0) {
                for (std::size_t k = 0; k < m; ++k) {
                    if (classes.classOf(remaining[k]) == curClass) {
                        r = k;
                        break;
                    }
                }
            }
            remaining.erase(remaining.begin() + static_cast<std::ptrdiff_t>(r));
            notEar.erase(notEar.begin() + static_cast<std::ptrdiff_t>(r));
            const std::size_t m2 = m - 1;
            const std::size_t before = (r + m2 - 1) % m2;  // the removed corner's neighbours
            const std::size_t after = r % m2;
            notEar[before] = 0;
            notEar[after] = 0;
            low = (r < i) ? i - 1 : i;
            low = std::min(low, std::min(before, after));
            found = true;
            break;
        }
        if (!found) break;
    }
    return out;
}

// ---------------------------------------------------------------------------
// loadObj

bool MeshLoader::loadObjText(const std::string& objText, const std::string& mtlText) {
    try {
        const std::vector<std::string> lines = splitLines(objText);

        std::vector<Vector3> positions;
        std::vector<Vector2> texCoords;
        std::vector<Vector3> normals;
        std::vector<Vertex> runVertices;
        std::vector<std::uint32_t> runIndices;
        std::vector<std::string> materialNames;
        std::string meshName;
        bool inObject = false;
        unsigned counter = 1000;

        auto closeRun = [&](const std::string& name) {
            Mesh mesh(runVertices, runIndices);
            mesh.name = name;
            meshes.push_back(mesh);
            runVertices.clear();
            runIndices.clear();
        };

        for (const std::string& rawLine : lines) {
            const std::string line = dropCarriageReturns(rawLine);

            counter = (counter + 1) % 1000;
            if (counter == 1 && !meshName.empty() && progress != nullptr) {
                std::ostream& os = *progress;
                os << "\r- " << meshName << "\t| vertices > " << positions.size() << "\t| texcoords > "
                   << texCoords.size() << "\t| normals > " << normals.size() << "\t| triangles > "
                   << (runVertices.size() / 3);
                if (!materialNames.empty()) os << "\t| material: " << materialNames.back();
            }

            const std::string keyword = keywordOf(line);
            const bool objectKeyword = (keyword == "o" || keyword == "g");
            if (objectKeyword || (!line.empty() && line[0] == 'g')) {
                if (!inObject) {
                    inObject = true;
                    meshName = objectKeyword ? restOf(line) : std::string("unnamed");
                } else if (!runVertices.empty() && !runIndices.empty()) {
                    closeRun(meshName);
                    meshName = restOf(line);
                } else {
                    meshName = objectKeyword ? restOf(line) : std::string("unnamed");
                }
                if (progress != nullptr) *progress << '\n';
                counter = 0;
            } else if (keyword == "v") {
                Vector3 p;
                if (readVector3(line, p)) positions.push_back(p);
            } else if (keyword == "vt") {
                Vector2 t;
                if (readVector2(line, t)) texCoords.push_back(t);
            } else if (keyword == "vn") {
                Vector3 n;
                if (readVector3(line, n)) normals.push_back(n);
            } else if (keyword == "f") {
                const std::vector<Vertex> corners = buildFaceVertices(line, positions, texCoords, normals);
                runVertices.insert(runVertices.end(), corners.begin(), corners.end());
                vertices.insert(vertices.end(), corners.begin(), corners.end());
                const std::vector<std::uint32_t> face = triangulateFace(corners);
                const std::size_t runBase = runVertices.size() - corners.size();
                const std::size_t loaderBase = vertices.size() - corners.size();
                for (std::uint32_t k : face) {
                    runIndices.push_back(static_cast<std::uint32_t>(runBase + k));
                    indices.push_back(static_cast<std::uint32_t>(loaderBase + k));
                }
            } else if (keyword == "usemtl") {
                materialNames.push_back(restOf(line));
                if (!runVertices.empty() && !runIndices.empty()) closeRun(meshName + "_2");
                counter = 0;
            } else if (keyword == "mtllib") {
                loadMtlText(mtlText);
            }
        }
        if (progress != nullptr) *progress << '\n';
        if (!runVertices.empty() && !runIndices.empty()) closeRun(meshName);

        // The i-th material name belongs to the i-th mesh; names beyond the
        // last mesh have no mesh to go to.
        const std::size_t paired = std::min(materialNames.size(), meshes.size());
        for (std::size_t i = 0; i < paired; ++i) {
            for (const Material& material : materials) {
                if (material.name == materialNames[i]) {
                    meshes[i].material = material;
                    break;
                }
            }
        }
    } catch (const std::exception&) {
        // Out of memory part-way: the load counts as failed.
        return false;
    }
    return !(meshes.empty() && vertices.empty() && indices.empty());
}

}  // namespace objl
